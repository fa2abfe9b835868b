// Run-time choice between the portable code (SSE2, the x86-64 baseline) and wider
// vector paths, and which vector kernels a build has. The build defines QUORIX_AVX2_PATH where it
// compiles the AVX2 kernels and QUORIX_AVX512_PATH where it compiles the AVX-512 ones; without
// them, or on a processor without the instructions, every kernel takes the next narrower path
// down to the portable one. All paths give the same bits.
#pragma once

#if defined(QUORIX_AVX2_PATH) && (defined(__GNUC__) || defined(__clang__)) && \
    (defined(__x86_64__) || defined(__i386__))
#define QUORIX_HAS_AVX2_KERNELS 1
#else
#define QUORIX_HAS_AVX2_KERNELS 0
#endif

#if defined(QUORIX_AVX512_PATH) && QUORIX_HAS_AVX2_KERNELS
#define QUORIX_HAS_AVX512_KERNELS 1
#else
#define QUORIX_HAS_AVX512_KERNELS 0
#endif

// SSE2 is the x86-64 baseline; other processors take the plain loops.
#if defined(__SSE2__) || defined(_M_X64)
#define QUORIX_HAS_SSE2_KERNELS 1
#else
#define QUORIX_HAS_SSE2_KERNELS 0
#endif

// The vector paths, narrowest first.
enum class VectorPath { kPortable, kAvx2, kAvx512 };

// True when the AVX2 kernels are built and the processor runs them.
bool Avx2Available();
// True when the AVX-512 kernels are built and the processor (and the system, which must
// save the wider registers) runs them: AVX-512 F, BW, DQ, VL and CD.
bool Avx512Available();
// True when the kernels should take the AVX2 path: available and not switched off. Still
// true where AVX-512 is taken too, for the kernels that have no AVX-512 form.
bool UseAvx2();
// True when the kernels that have an AVX-512 form should take it.
bool UseAvx512();
// Switches the wide paths off (false) or back on where available (true); the tests use
// it to run both paths. Not meant to be called while another thread draws.
void AllowWidePaths(bool allow);
// Limits the paths to widest and narrower ones (where available); AllowWidePaths(false)
// is kPortable, AllowWidePaths(true) is kAvx512. For the tests, like AllowWidePaths.
void LimitWidePaths(VectorPath widest);
