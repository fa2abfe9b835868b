// 32-bit signed arithmetic as the renderer's formulas define it: sums and products wrap
// modulo 2^32 (done in uint32_t so that the sanitizers stay quiet), >> is arithmetic,
// division truncates toward zero, a division by zero gives 0, and shifts by 32 or more
// give the mathematical result instead of the machine's masked count.
#pragma once

#include <cstdint>

namespace wrap {

inline int32_t Add(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) + uint32_t(b));
}
inline int32_t Sub(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) - uint32_t(b));
}
inline int32_t Mul(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) * uint32_t(b));
}
inline int32_t Neg(int32_t a) {
    return int32_t(0u - uint32_t(a));
}

inline int32_t Div(int32_t a, int32_t b) {
    if (b == 0) return 0;
    if (b == -1) return Neg(a);  // INT32_MIN / -1 wraps to INT32_MIN
    return a / b;
}

inline int32_t Shr(int32_t a, int32_t n) {
    if (n <= 0) return a;
    if (n >= 32) return a < 0 ? -1 : 0;
    return a >> n;
}

inline int32_t Shl(int32_t a, int32_t n) {
    if (n <= 0) return a;
    if (n >= 32) return 0;
    return int32_t(uint32_t(a) << n);
}

}  // namespace wrap
