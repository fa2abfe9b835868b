// Which tiles of the background plane may still fade. The fade only lowers green, so a
// tile in which a strong pass saw no green above 0x1F stays unchanged by every later pass
// until something is drawn into it again. Every writer of the background plane marks what
// it wrote; the fade then reads only the marked tiles and gives the same planes as a pass
// over the whole plane.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "render/fade_planes.h"

class FadeMap {
  public:
    static constexpr int32_t kTileWidth = kFadeTileWidth;  // pixels
    static constexpr int32_t kTileHeight = 4;              // rows

    FadeMap() = default;
    ~FadeMap();
    FadeMap(const FadeMap&) = delete;
    FadeMap& operator=(const FadeMap&) = delete;

    // Covers a width x height plane with every tile marked. When the map cannot be had,
    // every pass visits the whole plane.
    void Cover(int32_t width, int32_t height);
    // Marks the tiles that rect (plane coordinates, clipped to the plane) touches.
    void Mark(const RECT& rect);
    // Marks every tile: the safe call after writing the plane in any other way.
    void MarkAll();
    // One fade pass (render/fade_planes.h) over the tiles that may fade in it.
    void Fade(uint32_t* background, uint32_t* front, bool strong);
    // Tiles that a strong pass would visit, and all tiles (0 without a map).
    int32_t MarkedTiles() const;
    int32_t Tiles() const { return m_columns * m_rows; }

  private:
    // Per tile: kSettled, kStrongOnly (no green above 0x3F) or kBoth; then one row of
    // scratch bytes for what a pass saw in each tile of a band.
    uint8_t* m_tiles = nullptr;
    uint8_t* m_saw = nullptr;
    int32_t* m_runs = nullptr;  // scratch: a band's runs of tiles to visit
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_columns = 0;
    int32_t m_rows = 0;
};
