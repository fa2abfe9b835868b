// The per-row work of BlendSprite: a run of colour-sprite pixels over a run of plane
// pixels with the ball's opacity boost.
#pragma once

#include <cstdint>

// d[k] from s[k] over d[k] for k < count: t = 0 copies, t = 255 keeps, otherwise each
// channel ((s.c * (256 - u)) >> 8) + ((d.c * u) >> 8), u the boosted transparency.
void BlendRow(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost);

// The ways of doing it; BlendRow takes the AVX-512 or else the SSE2 one where it is built
// and the boost lies in 0..255 (where the channels fit 16-bit lanes), the plain one
// otherwise.
void BlendRowPlain(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost);
void BlendRowSse2(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost);
void BlendRowAvx512(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost);
