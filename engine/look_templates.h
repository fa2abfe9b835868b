// Ball looks: the colour rows that new balls copy as a block into their four
// shading colours, and the directions of the eight-ball bursts.
#pragma once

#include <cstdint>

constexpr int32_t kLookTemplateCount = 28;
constexpr int32_t kLookWords = 12;  // top, rim, diffuse, specular colour; R, G, B each

// Rows of (top R, G, B, rim R, G, B, diffuse R, G, B, specular R, G, B).
// Row 21 is the grown hub's look: every new hub restores it from row 22 and
// tints it. The table is per thread, so that engines on different worker
// threads never write the same row; one engine only ever runs on one thread.
extern thread_local int32_t kLookTemplates[kLookTemplateCount][kLookWords];

// The eight burst directions (vx, vy, dx, dy) of hub children and implosion balls.
extern const int32_t kBurstDirections[8][4];

constexpr int32_t kHubGrownRow = 21;
constexpr int32_t kHubPristineRow = 22;
