// Run-time choice between the portable code (SSE2, the x86-64 baseline) and wider
// vector paths, and which vector kernels a build has. The build defines QUORIX_AVX2_PATH where it
// compiles the AVX2 kernels; without it, or on a processor without AVX2, every kernel takes the
// portable path. Both paths give the same bits.
#pragma once

#if defined(QUORIX_AVX2_PATH) && (defined(__GNUC__) || defined(__clang__)) && \
    (defined(__x86_64__) || defined(__i386__))
#define QUORIX_HAS_AVX2_KERNELS 1
#else
#define QUORIX_HAS_AVX2_KERNELS 0
#endif

// SSE2 is the x86-64 baseline; other processors take the plain loops.
#if defined(__SSE2__) || defined(_M_X64)
#define QUORIX_HAS_SSE2_KERNELS 1
#else
#define QUORIX_HAS_SSE2_KERNELS 0
#endif

// True when the AVX2 kernels are built and the processor runs them.
bool Avx2Available();
// True when the kernels should take the AVX2 path: available and not switched off.
bool UseAvx2();
// Switches the wide paths off (false) or back on where available (true); the tests use
// it to run both paths. Not meant to be called while another thread draws.
void AllowWidePaths(bool allow);
