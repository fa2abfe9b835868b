// The x86 intrinsics for the files that build AVX-512 kernels.
//
// GCC 12's AVX-512 intrinsics start their results from a self-initialised "undefined"
// vector, which -Wmaybe-uninitialized reports inside the intrinsics' header wherever they
// are inlined (GCC bug 105593). The warning is off for that header alone, so this must be
// its first inclusion in the file.
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
