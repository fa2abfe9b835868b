// Scene set-up: settings clamps, derived scales, the ball pool, the rectangle
// lists, the intro ball's look and the path-point figure.
#include <cmath>

#include "engine/ball_engine.h"
#include "render/default_look.h"
#include "render/wrap_math.h"

const double kPi = 3.1415926535;
const double kOneDegree = kPi * (1.0 / 180.0);
const double kTwoDegrees = 2.0 * kPi * (1.0 / 180.0);
const double kThreeDegrees = 3.0 * kPi * (1.0 / 180.0);
const double kThreeQuarterTurn = 3.0 * kPi * 0.5;
const double kMinusTwoDegrees = 2.0 * kPi * (-1.0 / 180.0);

namespace {

void AppendPathPoint(BallEngine* e, int32_t x, int32_t y) {
    if (e->pathCount >= kPathCapacity) return;
    e->pathX[e->pathCount] = x;
    e->pathY[e->pathCount] = y;
    ++e->pathCount;
}

}  // namespace

void ResetDirtyRects(DirtyRects* rects, int32_t capacity, const RECT* firstRect) {
    if (rects->capacity < capacity) {
        if (rects->capacity != 0) {
            delete[] rects->drawnRects;
            delete[] rects->refreshRects;
        }
        rects->capacity = capacity;
        // One spare rectangle per array takes an append to a full list.
        rects->drawnRects = new RECT[static_cast<size_t>(capacity) + 1]();
        rects->refreshRects = new RECT[static_cast<size_t>(capacity) + 1]();
    }
    if (firstRect != nullptr && rects->drawnRects != nullptr) {
        rects->drawnRects[0] = *firstRect;
        rects->drawnCount = 1;
    } else {
        rects->drawnCount = 0;
    }
    rects->refreshCount = 0;
}

void AddArcPoints(BallEngine* e, int32_t steps, int32_t minDistanceSquared, int32_t shape,
                  int32_t growRadius) {
    double angle;
    double step;
    switch (shape) {
        case 3:
            angle = 0.0, step = kMinusTwoDegrees;
            break;
        case 5:
            angle = kPi, step = kThreeDegrees;
            break;
        case 6:
            angle = kThreeQuarterTurn, step = kTwoDegrees;
            break;
        case 7:
            angle = 0.0, step = kOneDegree;
            break;
        default:
            return;
    }
    double rx = e->shapeRadiusX[shape];
    double ry = e->shapeRadiusY[shape];
    const int32_t cx = e->shapeCentreX[shape];
    const int32_t cy = e->shapeCentreY[shape];
    for (int32_t n = 0; n < steps; ++n) {
        if (e->pathCount > 124) break;
        const int32_t x = (static_cast<int32_t>(rx * std::cos(angle)) + cx) >> 8;
        const int32_t y = (static_cast<int32_t>(ry * std::sin(angle)) + cy) >> 8;
        if (e->pathCount == 0) {
            AppendPathPoint(e, x, y);  // no last point to keep a distance from
        } else {
            const int32_t dx = x - e->pathX[e->pathCount - 1];
            const int32_t dy = y - e->pathY[e->pathCount - 1];
            if (dx * dx + dy * dy > minDistanceSquared) AppendPathPoint(e, x, y);
        }
        angle += step;
        if (growRadius == 1) {
            rx += e->shapeRadiusX[0];
            ry += e->shapeRadiusY[0];
        }
    }
}

void SetUpScene(BallEngine* e) {
    // 1-2. Ball size and its 16.16 scale.
    if (e->ballSize == 0) e->ballSize = 38;
    if (e->ballSize < 30) e->ballSize = 30;
    if (e->ballSize > 60) e->ballSize = 60;
    e->sizeScale = wrap::Shl(e->ballSize - 15, 16) / 23;

    // 3. The intro waits for the first paint.
    e->introSubSteps = 1;
    e->introState.store(kIntroWaitingForPaint, std::memory_order_relaxed);

    // 4-5. Scale unit and the figure's radius step.
    const int32_t width = e->frame.width;
    const int32_t height = e->frame.height;
    int32_t side = width < height ? width : height;
    if (side > 512) side = 512;
    e->unit = (side * 5) >> 6;
    if (e->unit == 0) e->unit = 1;
    const int32_t unit = e->unit;
    int32_t r = (2 * unit) / 5;
    if (r == 0) r = 1;
    const int32_t r8 = wrap::Shl(r, 8);

    // 6. Radii; entry 0 is the spiral's growth per step.
    for (int i = 0; i < 8; ++i) {
        e->shapeRadiusX[i] = 1.0;
        e->shapeRadiusY[i] = 1.0;
    }
    e->shapeRadiusX[0] = r8 * 0.01;
    e->shapeRadiusY[0] = r8 * 0.01;

    // 7. Shape centres (8.8) around the reference point.
    const int32_t x0 = wrap::Shl(width / 2 - unit / 2 - r, 8);
    const int32_t y0 = wrap::Shl(height / 2 - 2 * r + unit / 2, 8);
    auto setShape = [e](int i, int32_t cx, int32_t cy, double rx, double ry) {
        e->shapeCentreX[i] = cx;
        e->shapeCentreY[i] = cy;
        e->shapeRadiusX[i] = rx;
        e->shapeRadiusY[i] = ry;
    };
    setShape(2, x0 + 4 * r8, y0 + 5 * r8, 1.0, 1.0);
    setShape(3, x0, y0, 4.0 * r8, 6.0 * r8);
    setShape(4, x0 + 4 * r8, y0, 1.0, 1.0);
    setShape(5, x0 + 6 * r8, y0 - 3 * r8, 2.0 * r8, 2.0 * r8);
    setShape(6, x0 + 6 * r8, y0, 2.0 * r8, 5.0 * r8);
    setShape(7, x0, y0, 8.0 * r8, 8.0 * r8);
    e->lineEndY1 = y0;
    e->lineEndY2 = y0 - 3 * r8;

    // 8. The pool chained in array order; the free list starts at node 0.
    for (int i = 0; i < kBallPoolSize; ++i) {
        e->nodes[i].newer = i + 1 < kBallPoolSize ? &e->nodes[i + 1] : nullptr;
        e->nodes[i].older = i > 0 ? &e->nodes[i - 1] : nullptr;
    }
    e->freeHead = &e->nodes[0];

    // 9-10. Number of balls; the free list is cut to it.
    int32_t count = RequestedBallCount(e);
    if (count == 0) count = 52;
    if (count > 100) count = 100;
    if (count < 1) count = 1;  // a negative request ends at 1 either way; no overflow
    if (unit < 20) count = count * unit / 40;
    if (count < 1) count = 1;
    e->nodes[0].older = nullptr;
    e->nodes[count - 1].newer = nullptr;

    // 11-13. Rectangle lists, look cache owner, sprite buffers.
    ResetDirtyRects(&e->dirtyRects, 2 * count, nullptr);
    e->lookBall = &e->nodes[0];
    const int32_t spriteSide = 2 * e->ballSize + 4;
    for (SpriteBuffer& sprite : e->sprites)
        sprite.Resize(spriteSide, spriteSide);

    // 14. The intro ball's look.
    ShadeParams& look = e->nodes[0].look;
    look = DefaultLook(unit);
    look.topColour = {20, 90, 60};
    look.rimColour = {20, 90, 60};
    look.diffuseColour = {70, 150, 250};
    look.specularColour = {192, 240, 255};
    look.shadingFlags = 0;
    look.normalRadius = 2 * unit;
    look.lightDirection = 0x820190;
    look.specularIndex = 2;

    // 15-16. The path-point figure, moved by half a unit.
    const int32_t seedX = e->shapeCentreX[2] >> 8;
    AppendPathPoint(e, seedX, e->shapeCentreY[2] >> 8);
    AppendPathPoint(e, seedX, y0 >> 8);
    const int32_t d = ((7 * unit) >> 3) * ((7 * unit) >> 3);
    AddArcPoints(e, 179, d, 3, 0);
    AddArcPoints(e, 28, d, 5, 0);
    AddArcPoints(e, 44, d, 6, 0);
    AddArcPoints(e, 770, d, 7, 1);
    for (int32_t i = 0; i < e->pathCount; ++i) {
        e->pathX[i] += unit >> 1;
        e->pathY[i] += unit >> 1;
    }

    // 17. From here on frameCount counts frames.
    e->frameCount = 0;
}
