#include "render/fade_map.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "render/fade_planes.h"

namespace {

// What a tile's pixels may still do; a pass moves a tile only downward.
constexpr uint8_t kSettled = 0;     // no green above 0x1F: no pass fades it
constexpr uint8_t kStrongOnly = 1;  // no green above 0x3F: only the strong pass fades it
constexpr uint8_t kBoth = 2;        // both passes may fade it

constexpr int32_t kAhead = 2;  // rows fetched ahead of the fade

uint8_t StateAfter(uint32_t saw) {
    if ((saw & kFadeSawWeak) != 0) return kBoth;
    return (saw & kFadeSawStrong) != 0 ? kStrongOnly : kSettled;
}

}  // namespace

FadeMap::~FadeMap() {
    delete[] m_tiles;
    delete[] m_runs;
}

void FadeMap::Cover(int32_t width, int32_t height) {
    delete[] m_tiles;
    delete[] m_runs;
    m_tiles = m_saw = nullptr;
    m_runs = nullptr;
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_columns = int32_t((int64_t(m_width) + kTileWidth - 1) / kTileWidth);
    m_rows = int32_t((int64_t(m_height) + kTileHeight - 1) / kTileHeight);
    const size_t count = size_t(m_columns) * size_t(m_rows);
    if (count != 0) {
        m_tiles = new (std::nothrow) uint8_t[count + size_t(m_columns)];
        m_runs = new (std::nothrow) int32_t[size_t(m_columns) + 1];
    }
    if (m_tiles == nullptr || m_runs == nullptr) {
        delete[] m_tiles;
        delete[] m_runs;
        m_tiles = nullptr;
        m_runs = nullptr;
        m_columns = m_rows = 0;
    } else {
        m_saw = m_tiles + count;
    }
    MarkAll();
}

void FadeMap::Mark(const RECT& rect) {
    if (m_tiles == nullptr) return;
    const int64_t left = std::max<int64_t>(rect.left, 0);
    const int64_t top = std::max<int64_t>(rect.top, 0);
    const int64_t right = std::min<int64_t>(rect.right, m_width);
    const int64_t bottom = std::min<int64_t>(rect.bottom, m_height);
    if (right <= left || bottom <= top) return;
    const int64_t firstColumn = left / kTileWidth;
    const int64_t lastColumn = (right - 1) / kTileWidth;
    for (int64_t row = top / kTileHeight; row <= (bottom - 1) / kTileHeight; ++row) {
        uint8_t* line = m_tiles + row * m_columns;
        std::memset(line + firstColumn, kBoth, size_t(lastColumn - firstColumn + 1));
    }
}

void FadeMap::MarkAll() {
    if (m_tiles != nullptr) std::memset(m_tiles, kBoth, size_t(m_columns) * size_t(m_rows));
}

void FadeMap::Fade(uint32_t* background, uint32_t* front, bool strong) {
    if (background == nullptr || front == nullptr) return;
    if (m_tiles == nullptr) {
        FadePlanes(background, front, int64_t(m_width) * m_height, strong);
        return;
    }
    const uint8_t needed = strong ? kStrongOnly : kBoth;
    const int32_t whole = m_width / kTileWidth;  // tiles of full width in a row
    for (int32_t band = 0; band < m_rows; ++band) {
        uint8_t* line = m_tiles + int64_t(band) * m_columns;
        // The runs of whole tiles that this pass visits in the band, as start and end
        // columns, each faded in one call per row.
        int32_t runs = 0;
        for (int32_t column = 0; column < whole; ++column) {
            if (line[column] < needed) continue;
            m_runs[runs] = column;
            while (column < whole && line[column] >= needed)
                ++column;
            m_runs[runs + 1] = column;
            runs += 2;
        }
        const bool partial = whole < m_columns && line[whole] >= needed;
        if (runs == 0 && !partial) continue;
        std::memset(m_saw, 0, size_t(m_columns));
        const int32_t firstRow = band * kTileHeight;
        const int32_t lastRow = std::min(firstRow + kTileHeight, m_height);
        for (int32_t row = firstRow; row < lastRow; ++row) {
            const int64_t rowStart = int64_t(row) * m_width;
            for (int32_t k = 0; k < runs; k += 2) {
                const int32_t column = m_runs[k];
                const int32_t tiles = m_runs[k + 1] - column;
                const int64_t at = rowStart + int64_t(column) * kTileWidth;
                // The same run a few rows up, loaded while this one is faded: the runs of a
                // row lie apart, where the processor does not fetch ahead by itself.
                if (row + kAhead < lastRow) {
                    const int64_t ahead = at + int64_t(kAhead) * m_width;
                    PrefetchTileRun(background + ahead, front + ahead, tiles);
                }
                FadeTileRun(background + at, front + at, tiles, strong, m_saw + column);
            }
            if (partial) {
                const int64_t at = rowStart + int64_t(whole) * kTileWidth;
                m_saw[whole] =
                    uint8_t(m_saw[whole] | FadePlanes(background + at, front + at,
                                                      m_width - whole * kTileWidth, strong));
            }
        }
        // What the pass saw before fading bounds what is left after it: a tile in which no
        // word had green above 0x1F (0x3F) has none now.
        for (int32_t column = 0; column < m_columns; ++column) {
            if (line[column] >= needed) line[column] = StateAfter(m_saw[column]);
        }
    }
}

int32_t FadeMap::MarkedTiles() const {
    if (m_tiles == nullptr) return 0;
    return int32_t(
        std::count_if(m_tiles, m_tiles + Tiles(), [](uint8_t t) { return t != kSettled; }));
}
