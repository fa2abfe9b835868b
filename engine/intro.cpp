// The intro: the style choice, the glowing ball's sprite, the fade-in, the figure
// drawn into the background sub-step by sub-step, the trail fade, and the hand
// over to the ordinary animation.
#include <cmath>
#include <cstring>
#include <ctime>

#include "engine/ball_engine.h"
#include "engine/dirty_rects.h"
#include "engine/intro_internal.h"
#include "engine/look_templates.h"
#include "engine/random.h"
#include "render/ball_maps.h"
#include "render/compositing.h"
#include "render/shade_ball.h"

namespace {

constexpr int32_t kIntroColour = 0x3F002A;  // COLORREF: red 42, green 0, blue 63

// The work rectangle limited to the plane: the figure can reach past the frame's
// edges on some frame shapes, and nothing outside the plane is read or written.
RECT ClippedWorkRect(const BallEngine* e) {
    return ClipRect(e->frame.workRect, e->frame.width, e->frame.height);
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

void FadeWorkRect(BallEngine* e) {
    e->fadeDone = 1;
    if (e->style < 0) return;  // Squash keeps its trail
    const RECT r = ClippedWorkRect(e);
    uint32_t* back = e->frame.backgroundPixels;
    const int32_t stride = e->frame.width;
    bool changed = false;
    for (int32_t row = r.top; row < r.bottom; ++row) {
        uint32_t* line = back + static_cast<int64_t>(row) * stride;
        for (int32_t col = r.left; col < r.right; ++col) {
            uint32_t p = line[col];
            if (e->style > 0) {
                if ((p & 0xFF0000u) > 0x2A0000u) {
                    p -= 0x10000u;
                    if ((p & 0xC0u) != 0) p -= 1u;
                    line[col] = p;
                    changed = true;
                }
            } else if ((p & 0xFF00u) > 0x2F00u) {
                p -= 0x200u;
                if ((p & 0xFCu) != 0) p -= 2u;
                if ((p & 0xE00000u) != 0) p -= 0x10000u;
                line[col] = p;
                changed = true;
            }
        }
    }
    if (changed) e->fadeDone = 0;
}

void AddWorkRectToDrawn(BallEngine* e) {
    const RECT r = ClippedWorkRect(e);
    if (IsEmpty(r)) return;
    DirtyRects& dr = e->dirtyRects;
    AddDirtyRect(dr.drawnRects, &dr.drawnCount, dr.capacity, r);
}

void StartIntro(BallEngine* e) {
    e->introSubSteps = e->unit < 20 ? 10 : 3;
    SeedRandom(e->useFixedSeed != 0 ? e->fixedSeed : static_cast<uint32_t>(std::time(nullptr)));
    e->style = ChooseStyle(StyleSetting(e), &e->introSubSteps);
    e->introColour = kIntroColour;
    e->displayMode = 1;

    ShadeParams& look = e->nodes[0].look;
    if (e->style > 0) {
        look.specularColour = {255, 255, 128};
        look.topColour.g = 150;
        look.diffuseColour.g = 250;
        look.diffuseColour.b = 128;
        look.rimColour.g = 50;
        look.normalRadius = e->unit / 2;
        look.lightDirection = 0x640190;
        look.secondLight = 0xBE0190;
        look.specularIndex = 5;
    } else if (e->style < 0) {
        look.topColour = {50, 50, 90};
        look.rimColour = {20, 50, 60};
        look.diffuseColour = {128, 165, 240};
        look.specularColour = {192, 240, 255};
        look.normalRadius = e->unit;
        look.lightDirection = 0xC8FF38;
        look.specularIndex = 4;
        look.sharpenShift = 11;
    }
    std::memcpy(&e->lookCache[3], kLookTemplates[2], 12 * sizeof(int32_t));

    BuildBallMaps(e->sprites, look);
    ShadeBall(e->sprites, look);
    FlattenSprite(e->sprites[0], e->sprites[1].pixels, 0, 0, e->sprites[0].Width(),
                  e->sprites[0].Height(), static_cast<COLORREF>(e->introColour));

    e->introCounter = 0;
    e->introStep = 1;
    e->introBox[0] = e->frame.width;
    e->introBox[1] = e->frame.height;
    e->introBox[2] = 0;
    e->introBox[3] = 0;
}

void FillBackground(BallEngine* e, uint32_t value) {
    const int64_t count = static_cast<int64_t>(e->frame.width) * e->frame.height;
    uint32_t* back = e->frame.backgroundPixels;
    for (int64_t i = 0; i < count; ++i)
        back[i] = value;
    e->frame.fadeMap.MarkAll();
}

// Runs one sub-step; returns true when the ball is to be drawn.
bool RunIntroStep(BallEngine* e, bool lastSubStep) {
    int32_t& x = e->trainHeadX;
    int32_t& y = e->trainHeadY;
    switch (e->introStep) {
        case 0:
            StartIntro(e);
            [[fallthrough]];
        case 1:
            if (lastSubStep) {
                FillBackground(e, static_cast<uint32_t>(e->introCounter) * 0x20003u);
                e->introCounter += 1;
                if (e->introCounter > 21) {
                    e->introStep = 2;
                    e->introCounter = 0;
                    x = e->shapeCentreX[2];
                    y = e->shapeCentreY[2];
                }
            }
            e->repaintAll.store(1, std::memory_order_relaxed);
            return false;
        case 2: {
            const bool tiny = e->unit < 5;
            if (tiny) {
                e->introCounter = 0;
                e->introStep = 8;
                e->introAngle = 0.0;
            }
            y -= 512;
            if (y <= e->lineEndY1) {
                e->introCounter = 0;
                e->introStep = 3;
                e->introAngle = 0.0;
            }
            return !tiny;
        }
        case 3:
            e->introAngle += kMinusTwoDegrees;
            x = static_cast<int32_t>(std::cos(e->introAngle) * e->shapeRadiusX[3]) +
                e->shapeCentreX[3];
            y = static_cast<int32_t>(std::sin(e->introAngle) * e->shapeRadiusY[3]) +
                e->shapeCentreY[3];
            e->introCounter += 1;
            if (e->introCounter > 179) {
                e->introCounter = 0;
                e->introStep = 4;
                x = e->shapeCentreX[4];
                y = e->shapeCentreY[4];
            }
            return true;
        case 4:
            y -= 512;
            if (y <= e->lineEndY2) {
                e->introCounter = 0;
                e->introStep = 5;
                e->introAngle = kPi;
            }
            return true;
        case 5:
        case 6: {
            const int i = e->introStep;
            x = static_cast<int32_t>(std::cos(e->introAngle) * e->shapeRadiusX[i]) +
                e->shapeCentreX[i];
            y = static_cast<int32_t>(std::sin(e->introAngle) * e->shapeRadiusY[i]) +
                e->shapeCentreY[i];
            e->introAngle += i == 5 ? kThreeDegrees : kTwoDegrees;
            e->introCounter += 1;
            if (i == 5 && e->introCounter > 28) {
                e->introCounter = 0;
                e->introStep = 6;
                e->introAngle = kThreeQuarterTurn;
            } else if (i == 6 && e->introCounter > 44) {
                e->introCounter = 0;
                e->introStep = 7;
                e->introAngle = 0.0;
                e->spiralRadiusX = e->shapeRadiusX[7];
                e->spiralRadiusY = e->shapeRadiusY[7];
            }
            return true;
        }
        case 7:
            x = static_cast<int32_t>(std::cos(e->introAngle) * e->spiralRadiusX) +
                e->shapeCentreX[7];
            y = static_cast<int32_t>(std::sin(e->introAngle) * e->spiralRadiusY) +
                e->shapeCentreY[7];
            e->introAngle += kOneDegree;
            e->spiralRadiusX += e->shapeRadiusX[0];
            e->spiralRadiusY += e->shapeRadiusY[0];
            e->introCounter += 1;
            if (e->introCounter > 770) {
                e->introCounter = 0;
                e->introStep = 8;
                e->worker.Command(CmdRunPaced, 40);
            }
            return true;
        default:
            return false;
    }
}

}  // namespace

int32_t ChooseStyle(int32_t styleSetting, int32_t* subSteps) {
    switch (styleSetting) {
        case 0: {
            const int32_t r = NextRandom();
            if ((r & 3) != 0) return 0;
            if ((r & 4) != 0) return 1;
            *subSteps = 20;
            return -1;
        }
        case 2:
            return 1;
        case 3:
            *subSteps = 20;
            return -1;
        default:  // 1, and any setting outside 0..3, draw nothing and give Normal
            return 0;
    }
}

void DrawIntroBall(BallEngine* e) {
    const int32_t x = e->trainHeadX;
    const int32_t y = e->trainHeadY;
    const int32_t bx = x >> 8;
    const int32_t by = y >> 8;
    int32_t* box = e->introBox;
    if (bx < box[0]) box[0] = bx;
    if (bx > box[2]) box[2] = bx;
    if (by < box[1]) box[1] = by;
    if (by > box[3]) box[3] = by;

    RECT& work = e->frame.workRect;
    work = RECT{box[0], box[1], box[2], box[3]};
    InflateRect(&work, 1, 1);
    work.right += e->unit;
    work.bottom += e->unit;

    const SpriteBuffer* sprite = &e->sprites[1];
    if ((x & 0xFF) != 0 || (y & 0xFF) != 0) {
        SpriteBuffer& shifted = e->sprites[2];
        ShiftSprite(e->sprites[0], shifted, x & 0xFF, y & 0xFF);
        FlattenSprite(shifted, shifted.pixels, 0, 0, shifted.Width(), shifted.Height(),
                      static_cast<COLORREF>(e->introColour));
        sprite = &shifted;
    }

    // Keep the brighter of ball and background by their green and blue bytes;
    // pixels outside the plane are skipped.
    const int32_t sw = sprite->Width();
    const int32_t sh = sprite->Height();
    const int32_t width = e->frame.width;
    const int32_t height = e->frame.height;
    const int32_t colStart = bx < 0 ? -bx : 0;
    const int32_t colEnd = bx + sw > width ? width - bx : sw;
    const int32_t rowStart = by < 0 ? -by : 0;
    const int32_t rowEnd = by + sh > height ? height - by : sh;
    uint32_t* back = e->frame.backgroundPixels;
    for (int32_t i = rowStart; i < rowEnd; ++i) {
        const uint32_t* src = sprite->pixels + static_cast<int64_t>(i) * sw;
        uint32_t* dst = back + static_cast<int64_t>(by + i) * width + bx;
        for (int32_t j = colStart; j < colEnd; ++j) {
            if ((dst[j] & 0xFFFFu) < (src[j] & 0xFFFFu)) dst[j] = src[j];
        }
    }
    e->frame.fadeMap.Mark(RECT{bx + colStart, by + rowStart, bx + colEnd, by + rowEnd});
}

int32_t RunIntroFrame(BallEngine* e) {
    // 1. Fade pass on every second call.
    e->fadeParity = static_cast<int32_t>(static_cast<uint32_t>(e->fadeParity) + 1u);
    if ((e->fadeParity & 1) != 0) {
        FadeWorkRect(e);
        AddWorkRectToDrawn(e);
    }

    // 2. Sub-steps; the count is read once.
    const int32_t subSteps = e->introSubSteps;
    for (int32_t n = 0; n < subSteps; ++n) {
        if (RunIntroStep(e, n == subSteps - 1)) DrawIntroBall(e);
    }

    // 3-4. The ordinary frame's pacing starts from 1; the end of the intro.
    e->frameCount = 1;
    if (e->introStep == 8) {
        if (e->style >= 0 && e->fadeDone == 0) return 1;
        e->displayMode = e->style;
        if (e->style < 0 && e->frame.byteSize > 0) {
            std::memcpy(e->frame.frontPixels, e->frame.backgroundPixels,
                        static_cast<size_t>(e->frame.byteSize));
        }
        return 0;
    }

    // 5. The intro presents from the background plane.
    if (e->repaintAll.load(std::memory_order_relaxed) != 0) {
        e->repaintAll.store(0, std::memory_order_relaxed);
        e->frame.PresentAll(e->frame.backgroundPixels);
    } else {
        const RECT r = ClippedWorkRect(e);
        if (!IsEmpty(r)) e->frame.PresentRect(r, e->frame.backgroundPixels);
    }
    return -1;
}
