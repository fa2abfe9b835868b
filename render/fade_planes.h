// The background fade of the Normal style: every pixel of the background plane whose
// green passes the pass's test loses a step of green, blue and (strong pass) red, and the
// faded word goes to the same index of the front plane too. Other pixels change in
// neither plane.
#pragma once

#include <cstdint>

// Strong pass: green above 0x1F loses 2, blue from 16 on 1, red from 32 on 1.
// Weak pass: green above 0x3F loses 1, blue from 16 on 1.
void FadePlanes(uint32_t* background, uint32_t* front, int64_t count, bool strong);

// The plain loop and the SSE2 one, which gives the same planes and touches neither where
// a run of four pixels all fail the test (the usual case on the dark background).
void FadePlanesPlain(uint32_t* background, uint32_t* front, int64_t count, bool strong);
void FadePlanesSse2(uint32_t* background, uint32_t* front, int64_t count, bool strong);
