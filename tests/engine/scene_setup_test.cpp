#include <gtest/gtest.h>

#include "engine/ball_engine.h"
#include "engine_fixture.h"

namespace {

int FreeCount(const BallEngine& e) {
    int n = 0;
    for (const BallNode* b = e.freeHead; b != nullptr && n <= kBallPoolSize; b = b->newer)
        ++n;
    return n;
}

TEST(SceneSetUp, BallSizeClampsAndScale) {
    struct Case {
        int32_t setting, size, scale;
    } cases[] = {{0, 38, 65536},   {29, 30, 42740},  {30, 30, 42740},
                 {60, 60, 128222}, {61, 60, 128222}, {-5, 30, 42740}};
    for (const Case& c : cases) {
        auto e = SizedEngine(1024, 768, 0, c.setting);
        EXPECT_EQ(e->ballSize, c.size) << c.setting;
        EXPECT_EQ(e->sizeScale, c.scale) << c.setting;
        for (const SpriteBuffer& s : e->sprites) {
            EXPECT_EQ(s.Width(), 2 * c.size + 4);
            EXPECT_EQ(s.Height(), 2 * c.size + 4);
        }
    }
}

TEST(SceneSetUp, NumberOfBallsAndFreeList) {
    struct Case {
        int32_t w, h, request, count;
    } cases[] = {{1024, 768, 0, 52},   {1024, 768, 150, 100}, {1024, 768, 20, 20},
                 {1024, 768, -7, 1},   {152, 112, 52, 10},    {80, 80, 5, 1},
                 {256, 256, 100, 100}, {255, 600, 100, 47}};
    for (const Case& c : cases) {
        auto e = SizedEngine(c.w, c.h, c.request);
        EXPECT_EQ(FreeCount(*e), c.count) << c.w << "x" << c.h << " " << c.request;
        EXPECT_EQ(e->dirtyRects.capacity, 2 * c.count);
        for (int i = 0; i < c.count; ++i)
            ASSERT_NE(TakeBall(e.get()), nullptr);
        EXPECT_EQ(TakeBall(e.get()), nullptr);
    }
}

TEST(SceneSetUp, UnitAndDerivedValues) {
    auto big = SizedEngine(1024, 768);
    EXPECT_EQ(big->unit, 40);
    const int32_t r8 = 16 << 8;
    const int32_t x0 = (512 - 20 - 16) << 8;
    const int32_t y0 = (384 - 32 + 20) << 8;
    EXPECT_EQ(big->shapeCentreX[3], x0);
    EXPECT_EQ(big->shapeCentreY[3], y0);
    EXPECT_EQ(big->shapeCentreX[2], x0 + 4 * r8);
    EXPECT_EQ(big->shapeCentreY[2], y0 + 5 * r8);
    EXPECT_EQ(big->shapeCentreY[5], y0 - 3 * r8);
    EXPECT_EQ(big->shapeCentreX[6], x0 + 6 * r8);
    EXPECT_DOUBLE_EQ(big->shapeRadiusX[3], 4.0 * r8);
    EXPECT_DOUBLE_EQ(big->shapeRadiusY[6], 5.0 * r8);
    EXPECT_DOUBLE_EQ(big->shapeRadiusX[0], r8 * 0.01);
    EXPECT_DOUBLE_EQ(big->shapeRadiusX[1], 1.0);
    EXPECT_DOUBLE_EQ(big->shapeRadiusY[4], 1.0);
    EXPECT_EQ(big->shapeCentreX[0], 0);  // entries 0 and 1 are not written
    EXPECT_EQ(big->shapeCentreY[1], 0);
    EXPECT_EQ(big->lineEndY1, y0);
    EXPECT_EQ(big->lineEndY2, y0 - 3 * r8);

    EXPECT_EQ(SizedEngine(10, 10)->unit, 1);
    EXPECT_EQ(SizedEngine(4000, 3000)->unit, 40);  // the side is capped at 512
    EXPECT_EQ(SizedEngine(152, 112)->unit, 8);
    EXPECT_EQ(SizedEngine(1, 1)->unit, 1);
    // 10 x 10: R is 0 and becomes 1, so the spiral grows by 2.56 per step.
    EXPECT_DOUBLE_EQ(SizedEngine(10, 10)->shapeRadiusX[0], 256 * 0.01);
    // A tiny frame puts the reference point left of the frame: negative 8.8 values.
    EXPECT_EQ(SizedEngine(1, 1)->shapeCentreX[3], -256);
}

TEST(SceneSetUp, StateAfterSetUp) {
    auto e = SizedEngine(1024, 768, 40, 45);
    EXPECT_EQ(e->frameCount, 0);
    EXPECT_EQ(e->introState.load(), kIntroWaitingForPaint);
    EXPECT_EQ(e->introSubSteps, 1);
    EXPECT_EQ(e->lookBall, &e->nodes[0]);
    EXPECT_EQ(e->freeHead, &e->nodes[0]);
    EXPECT_EQ(e->head, nullptr);
    const ShadeParams& look = e->nodes[0].look;
    EXPECT_EQ(look.topColour.g, 90);
    EXPECT_EQ(look.diffuseColour.b, 250);
    EXPECT_EQ(look.specularColour.r, 192);
    EXPECT_EQ(look.spriteWidth, 40);
    EXPECT_EQ(look.normalRadius, 80);
    EXPECT_EQ(look.lightDirection, 0x820190);
    EXPECT_EQ(look.specularIndex, 2);
    EXPECT_EQ(look.secondLight, -1);
}

TEST(SceneSetUp, AngleConstants) {
    EXPECT_EQ(kPi, 3.1415926535);
    EXPECT_EQ(kOneDegree, 0.017453292519444445);
    EXPECT_EQ(kTwoDegrees, 0.03490658503888889);
    EXPECT_EQ(kThreeDegrees, 0.05235987755833334);
    EXPECT_EQ(kThreeQuarterTurn, 4.71238898025);
    EXPECT_EQ(kMinusTwoDegrees, -0.03490658503888889);
}

// Re-runs the four arc calls from the two seed points and returns the counts.
std::vector<int32_t> ArcCounts(BallEngine* e) {
    const int32_t half = e->unit >> 1;
    e->pathCount = 2;
    for (int i = 0; i < 2; ++i) {
        e->pathX[i] -= half;
        e->pathY[i] -= half;
    }
    const int32_t d = ((7 * e->unit) >> 3) * ((7 * e->unit) >> 3);
    std::vector<int32_t> counts;
    AddArcPoints(e, 179, d, 3, 0);
    counts.push_back(e->pathCount);
    AddArcPoints(e, 28, d, 5, 0);
    counts.push_back(e->pathCount);
    AddArcPoints(e, 44, d, 6, 0);
    counts.push_back(e->pathCount);
    AddArcPoints(e, 770, d, 7, 1);
    counts.push_back(e->pathCount);
    return counts;
}

TEST(SceneSetUp, PathPointCounts) {
    auto big = SizedEngine(1024, 768);
    EXPECT_EQ(big->pathCount, 88);
    EXPECT_EQ(ArcCounts(big.get()), (std::vector<int32_t>{15, 17, 19, 88}));
    auto small = SizedEngine(152, 112);
    EXPECT_EQ(small->pathCount, 83);
    EXPECT_EQ(ArcCounts(small.get()), (std::vector<int32_t>{14, 16, 18, 83}));
}

TEST(SceneSetUp, PathPointSeedsAndOffset) {
    auto e = SizedEngine(1024, 768);
    const int32_t half = 20;
    EXPECT_EQ(e->pathX[0], (e->shapeCentreX[2] >> 8) + half);
    EXPECT_EQ(e->pathY[0], (e->shapeCentreY[2] >> 8) + half);
    EXPECT_EQ(e->pathX[1], e->pathX[0]);
    EXPECT_EQ(e->pathY[1], (e->lineEndY1 >> 8) + half);
    // The ellipse's point at angle 0 coincides with the second seed and is skipped.
    EXPECT_EQ((4 * 16 * 256 + e->shapeCentreX[3]) >> 8, e->pathX[1] - half);
    EXPECT_NE(e->pathY[2], e->pathY[1]);
}

TEST(SceneSetUp, PathPointsKeepTheirDistanceAndLimitOnEverySize) {
    const int32_t sizes[][2] = {{1, 1},     {10, 10},    {80, 80},     {152, 112},  {2000, 64},
                                {64, 2000}, {1024, 768}, {1920, 1080}, {7680, 4320}};
    for (const auto& s : sizes) {
        auto e = SizedEngine(s[0], s[1]);
        ASSERT_LE(e->pathCount, 125) << s[0] << "x" << s[1];
        ASSERT_GE(e->pathCount, 2);
        const int32_t d = ((7 * e->unit) >> 3) * ((7 * e->unit) >> 3);
        for (int32_t i = 2; i < e->pathCount; ++i) {
            const int32_t dx = e->pathX[i] - e->pathX[i - 1];
            const int32_t dy = e->pathY[i] - e->pathY[i - 1];
            EXPECT_GT(dx * dx + dy * dy, d) << s[0] << "x" << s[1] << " point " << i;
        }
    }
}

TEST(SceneSetUp, ArcPointsStopAt125AndIgnoreUnknownShapes) {
    auto e = SizedEngine(1024, 768);
    AddArcPoints(e.get(), 770, 0, 4, 1);
    EXPECT_EQ(e->pathCount, 88);
    AddArcPoints(e.get(), 770, 0, 7, 1);  // distance 0: nearly every step appends
    EXPECT_EQ(e->pathCount, 125);
    AddArcPoints(e.get(), 770, 0, 3, 0);
    EXPECT_EQ(e->pathCount, 125);
}

TEST(DirtyRectPair, ResetGrowsNeverShrinksAndSetsTheFirstRect) {
    DirtyRects r{};
    ResetDirtyRects(&r, 4, nullptr);
    EXPECT_EQ(r.capacity, 4);
    EXPECT_EQ(r.drawnCount, 0);
    RECT* drawn = r.drawnRects;
    const RECT whole{0, 0, 10, 10};
    r.refreshCount = 3;
    ResetDirtyRects(&r, 2, &whole);
    EXPECT_EQ(r.capacity, 4);
    EXPECT_EQ(r.drawnRects, drawn);
    EXPECT_EQ(r.drawnCount, 1);
    EXPECT_EQ(r.refreshCount, 0);
    EXPECT_EQ(r.drawnRects[0].right, 10);
    ResetDirtyRects(&r, 8, nullptr);
    EXPECT_EQ(r.capacity, 8);
    EXPECT_EQ(r.drawnCount, 0);
    delete[] r.drawnRects;
    delete[] r.refreshRects;
}

}  // namespace
