// The background fade of the Normal style: every pixel of the background plane whose
// green passes the pass's test loses a step of green, blue and (strong pass) red, and the
// faded word goes to the same index of the front plane too. Other pixels change in
// neither plane.
#pragma once

#include <cstdint>

// What a pass saw in the words it read, before fading them: some word with green above
// 0x1F (the strong pass fades it), some word with green above 0x3F (both passes do). A
// run without kFadeSawStrong has nothing left to fade until it is written again.
constexpr uint32_t kFadeSawStrong = 1;
constexpr uint32_t kFadeSawWeak = 2;

// Strong pass: green above 0x1F loses 2, blue from 16 on 1, red from 32 on 1.
// Weak pass: green above 0x3F loses 1, blue from 16 on 1.
// Returns the kFadeSaw bits of the count words read.
uint32_t FadePlanes(uint32_t* background, uint32_t* front, int64_t count, bool strong);

// The same pass over `tiles` runs of kFadeTileWidth words that follow each other, ORing
// what run k saw into saw[k]: the fade of the tracked background (render/fade_map.h).
constexpr int32_t kFadeTileWidth = 16;
void FadeTileRun(uint32_t* background, uint32_t* front, int32_t tiles, bool strong, uint8_t* saw);
// Asks the processor to start loading such a run of both planes (a hint, no access).
void PrefetchTileRun(const uint32_t* background, const uint32_t* front, int32_t tiles);

// The plain loops and the SSE2 ones, which give the same planes and results and touch
// neither plane where a run of four pixels all fail the test (the usual case on the dark
// background).
uint32_t FadePlanesPlain(uint32_t* background, uint32_t* front, int64_t count, bool strong);
uint32_t FadePlanesSse2(uint32_t* background, uint32_t* front, int64_t count, bool strong);
void FadeTileRunPlain(uint32_t* background, uint32_t* front, int32_t tiles, bool strong,
                      uint8_t* saw);
void FadeTileRunSse2(uint32_t* background, uint32_t* front, int32_t tiles, bool strong,
                     uint8_t* saw);
// The tile pass one tile to a vector, where AVX-512 is in use.
void FadeTileRunAvx512(uint32_t* background, uint32_t* front, int32_t tiles, bool strong,
                       uint8_t* saw);
