// Bringing colour sprites into a picture: blending with transparency, flattening onto a
// colour, and sub-pixel shifting.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "render/sprite_buffer.h"

// Draws a colour sprite into a plane (row length planeWidth) at (x, y), clipped to the
// plane, with its transparency; opacityBoost makes soft edges more solid.
void BlendSprite(const SpriteBuffer& sprite, uint32_t* plane, int32_t x, int32_t y,
                 int32_t planeWidth, int32_t planeHeight, int32_t opacityBoost);

// Lays a colour sprite onto the solid colour (0x00BBGGRR) and writes the opaque result at
// (x, y), clipped. The destination may be the sprite's own pixels.
void FlattenSprite(const SpriteBuffer& sprite, uint32_t* destination, int32_t x, int32_t y,
                   int32_t destinationWidth, int32_t destinationHeight, COLORREF colour);

// Makes destination a copy of source moved by (xFraction & 0xFF) / 256 of a pixel toward
// higher columns and (yFraction & 0xFF) / 256 toward higher rows, one column / row larger
// for a non-zero fraction. source and destination are distinct.
void ShiftSprite(const SpriteBuffer& source, SpriteBuffer& destination, int32_t xFraction,
                 int32_t yFraction);
