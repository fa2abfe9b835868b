#include <gtest/gtest.h>

#include <vector>

#include "engine/ball_engine.h"
#include "engine/intro_internal.h"
#include "engine/random.h"
#include "engine_fixture.h"

namespace {

// Runs frames until the intro leaves step `from`; returns the number of frames.
int FramesInSteps(BallEngine* e, int32_t fromStep, int32_t untilStep, int limit = 100000) {
    int frames = 0;
    while (e->introStep < fromStep && frames < limit)
        StepFrame(e);
    while (e->introStep < untilStep && frames < limit) {
        StepFrame(e);
        ++frames;
    }
    return frames;
}

TEST(IntroStyle, ChoiceFromTheSetting) {
    // Random (0): one of the three, Squash with its own sub-step count, and
    // the same seed gives the same choice (RandomChoiceFrequencies: how often).
    for (uint32_t seed = 0; seed < 200; ++seed) {
        SeedRandom(seed);
        int32_t sub = 3;
        const int32_t style = ChooseStyle(0, &sub);
        EXPECT_TRUE(style >= -1 && style <= 1) << style;
        EXPECT_EQ(sub, style == -1 ? 20 : 3) << seed;
        SeedRandom(seed);
        int32_t again = 3;
        EXPECT_EQ(ChooseStyle(0, &again), style) << seed;
    }
    int32_t sub = 3;
    EXPECT_EQ(ChooseStyle(1, &sub), 0);
    EXPECT_EQ(ChooseStyle(2, &sub), 1);
    EXPECT_EQ(sub, 3);
    EXPECT_EQ(ChooseStyle(3, &sub), -1);
    EXPECT_EQ(sub, 20);
}

TEST(IntroStyle, SettingsOutsideTheRangeDrawNothingAndGiveNormal) {
    for (int32_t setting : {4, -1, 100, INT32_MIN, INT32_MAX}) {
        SeedRandom(7);
        const int32_t first = NextRandom();
        SeedRandom(7);
        int32_t sub = 3;
        EXPECT_EQ(ChooseStyle(setting, &sub), 0);
        EXPECT_EQ(sub, 3);
        EXPECT_EQ(NextRandom(), first) << "a random number was drawn for " << setting;
    }
}

TEST(IntroStyle, RandomChoiceFrequencies) {
    // Over the low three bits: Normal 6 of 8, Green 1, Squash 1.
    int counts[3] = {};
    SeedRandom(12345);
    for (int i = 0; i < 80000; ++i) {
        int32_t sub = 3;
        ++counts[ChooseStyle(0, &sub) + 1];
    }
    EXPECT_NEAR(counts[1], 60000, 800);
    EXPECT_NEAR(counts[2], 10000, 500);
    EXPECT_NEAR(counts[0], 10000, 500);
}

TEST(Intro, FirstFrameRunsOneSubStepAndPresentsTheWholeFrame) {
    Scene s = MakeScene(400, 300, 2);
    BallEngine* e = s.engine.get();
    StepFrame(e);
    EXPECT_EQ(e->introState.load(), -1);
    EXPECT_EQ(e->introStep, 1);
    EXPECT_EQ(e->introCounter, 1);   // the first fill (black) is done
    EXPECT_EQ(e->introSubSteps, 3);  // takes effect from the next frame
    EXPECT_EQ(e->fadeParity, 2);     // the fade pass was skipped
    EXPECT_EQ(e->style, 1);
    EXPECT_EQ(e->displayMode, 1);
    EXPECT_EQ(e->repaintAll.load(), 0);  // cleared by the whole-frame present
    EXPECT_EQ(GetMemoryDCTransferCount(s.dc.get()), 1);
    EXPECT_EQ(e->frameCount, 1);
    EXPECT_EQ(e->dirtyRects.drawnCount, 0);
    // Green look of the intro ball.
    EXPECT_EQ(e->nodes[0].look.topColour.g, 150);
    EXPECT_EQ(e->nodes[0].look.rimColour.g, 50);
    EXPECT_EQ(e->nodes[0].look.normalRadius, e->unit / 2);
    EXPECT_EQ(e->lookCache[4], 64);  // row 2's top green
    // The ball sprite was shaded and flattened (opaque) into sprite buffer 1.
    EXPECT_EQ(e->sprites[0].Kind(), kKindColour);
    EXPECT_EQ(e->sprites[1].pixels[0] >> 24, 0u);
}

TEST(Intro, FadeInFillsTheBackgroundOncePerFrame) {
    Scene s = MakeScene(64, 64, 1);
    BallEngine* e = s.engine.get();
    for (int c = 0; c < 22; ++c) {
        StepFrame(e);
        EXPECT_EQ(e->frame.backgroundPixels[0], static_cast<uint32_t>(c) * 0x20003u) << c;
    }
    EXPECT_EQ(e->introStep, 2);
    EXPECT_EQ(e->frame.backgroundPixels[64 * 64 - 1], 0x2A003Fu);
}

TEST(Intro, SubStepCountsOn1024x768) {
    for (int32_t style : {1, 2, 3}) {
        Scene s = MakeScene(1024, 768, style);
        const int frames = FramesInSteps(s.engine.get(), 2, 8);
        EXPECT_EQ(frames, style == 3 ? 55 : 363) << "style setting " << style;
    }
}

TEST(Intro, FigureEndsWhereTheSpiralEnds) {
    Scene s = MakeScene(1024, 768, 3);
    BallEngine* e = s.engine.get();
    FramesInSteps(e, 2, 8);
    // 771 spiral sub-steps: the last drawn at 770 degrees.
    EXPECT_NEAR(e->introAngle, 771 * kOneDegree, 1e-9);
    EXPECT_EQ(e->introCounter, 0);
    // workRect covers every ball drawn plus one pixel.
    const RECT& w = e->frame.workRect;
    EXPECT_EQ(w.left, e->introBox[0] - 1);
    EXPECT_EQ(w.right, e->introBox[2] + 1 + e->unit);
}

TEST(Intro, SquashEndsAtOnceAndCopiesTheBackground) {
    Scene s = MakeScene(200, 150, 3);
    BallEngine* e = s.engine.get();
    int guard = 0;
    while (e->introState.load() != 0 && guard++ < 10000)
        StepFrame(e);
    EXPECT_EQ(e->introStep, 8);
    EXPECT_EQ(e->displayMode, -1);
    EXPECT_EQ(e->style, -1);
    const size_t n = 200 * 150;
    for (size_t i = 0; i < n; i += 97) {
        ASSERT_EQ(e->frame.frontPixels[i], e->frame.backgroundPixels[i]) << i;
    }
    // The trail is kept: some pixels are brighter than the violet.
    size_t bright = 0;
    for (size_t i = 0; i < n; ++i)
        bright += (e->frame.backgroundPixels[i] & 0xFFFF) > 0x003F;
    EXPECT_GT(bright, 100u);
}

TEST(Intro, NormalAndGreenRunTheOrdinaryFrameWhileTheTrailFades) {
    for (int32_t setting : {1, 2}) {
        Scene s = MakeScene(200, 150, setting);
        BallEngine* e = s.engine.get();
        FramesInSteps(e, 2, 8);
        EXPECT_EQ(e->introState.load(), 1) << setting;  // trail still fading
        EXPECT_EQ(e->displayMode, 1);
        int frames = 0;
        while (e->introState.load() != 0 && frames < 20000) {
            StepFrame(e);
            ++frames;
        }
        EXPECT_EQ(e->introState.load(), 0);
        EXPECT_EQ(e->displayMode, setting == 1 ? 0 : 1);
        // Nothing left to fade: Normal keeps green at most 47, Green red at most 42.
        for (int32_t i = 0; i < 200 * 150; ++i) {
            const uint32_t p = e->frame.backgroundPixels[i];
            if (setting == 1) {
                ASSERT_LE(p & 0xFF00, 0x2F00u) << i;
            } else {
                ASSERT_LE(p & 0xFF0000, 0x2A0000u) << i;
            }
        }
    }
}

TEST(Intro, NormalFadeTakesTwoGreenStepsEverySecondFrame) {
    Scene s = MakeScene(100, 100, 1);
    BallEngine* e = s.engine.get();
    FramesInSteps(e, 2, 8);
    // Put one trail pixel inside workRect and watch it across intro calls.
    const RECT& w = e->frame.workRect;
    const int32_t index = (w.top + 2) * 100 + w.left + 2;
    e->frame.backgroundPixels[index] = 0x0000C800;  // green 200
    std::vector<uint32_t> greens;
    for (int i = 0; i < 8; ++i) {
        RunIntroFrame(e);
        greens.push_back((e->frame.backgroundPixels[index] >> 8) & 0xFF);
    }
    // One call in two runs the pass; which one depends on the parity so far.
    const int first = greens[0] == 198 ? 0 : 1;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(greens[i], 200u - 2u * ((i + 1 - first + 1) / 2)) << i;
    }
    for (int i = 0; i < 400; ++i)
        RunIntroFrame(e);
    EXPECT_EQ((e->frame.backgroundPixels[index] >> 8) & 0xFF, 46u);
}

TEST(Intro, TinyFramesSkipTheFigure) {
    for (int32_t setting : {1, 2, 3}) {
        Scene s = MakeScene(60, 60, setting);  // unit 4
        BallEngine* e = s.engine.get();
        ASSERT_EQ(e->unit, 4);
        int frames = 0;
        while (e->introState.load() != 0 && frames < 1000) {
            StepFrame(e);
            ++frames;
        }
        EXPECT_EQ(e->introStep, 8);
        EXPECT_LT(frames, 40);
        for (int32_t i = 0; i < 60 * 60; ++i) {
            ASSERT_EQ(e->frame.backgroundPixels[i], 0x2A003Fu) << i;  // no ball was drawn
        }
    }
}

TEST(Intro, BallAtAWholePixelUsesTheFlattenedSprite) {
    Scene s = MakeScene(200, 200, 1);
    BallEngine* e = s.engine.get();
    StepFrame(e);  // step 0 builds and flattens the sprite
    const SpriteBuffer& flat = e->sprites[1];
    const int32_t sw = flat.Width();
    std::fill(e->frame.backgroundPixels, e->frame.backgroundPixels + 200 * 200, 0u);
    e->trainHeadX = 50 << 8;
    e->trainHeadY = 60 << 8;
    DrawIntroBall(e);
    const uint32_t centre = flat.pixels[(sw / 2) * sw + sw / 2];
    EXPECT_EQ(e->frame.backgroundPixels[(60 + sw / 2) * 200 + 50 + sw / 2], centre);
    EXPECT_EQ(e->frame.workRect.left, 49);
    EXPECT_EQ(e->frame.workRect.top, 59);
    EXPECT_EQ(e->frame.workRect.right, 51 + e->unit);
}

TEST(Intro, BallBlendKeepsTheBrighterPixelAndStaysInsideThePlane) {
    // Planes with guard words on both sides: a ball partly outside the frame on
    // every side writes only inside.
    Scene s = MakeScene(256, 160, 1);  // unit 12
    BallEngine* e = s.engine.get();
    StepFrame(e);
    const int32_t n = 256 * 160;
    const uint32_t guard = 0xDEADBEEF;
    std::vector<uint32_t> plane(static_cast<size_t>(n) + 2 * 4096, guard);
    uint32_t* saved = e->frame.backgroundPixels;
    e->frame.backgroundPixels = plane.data() + 4096;
    std::fill(e->frame.backgroundPixels, e->frame.backgroundPixels + n, 0u);
    const int32_t positions[][2] = {{-10, -10}, {250, 150}, {-3, 30}, {30, -3},
                                    {255, 159}, {-200, 5},  {5, 400}};
    for (const auto& p : positions) {
        e->trainHeadX = p[0] * 256 + 0x40;  // fractions: the shifted sprite
        e->trainHeadY = p[1] * 256 + 0x80;
        DrawIntroBall(e);
    }
    for (int32_t i = 0; i < 4096; ++i) {
        ASSERT_EQ(plane[static_cast<size_t>(i)], guard) << "below the plane at " << i;
        ASSERT_EQ(plane[static_cast<size_t>(4096 + n + i)], guard) << "above the plane at " << i;
    }
    EXPECT_NE(e->frame.backgroundPixels[0], 0u);      // the corner ball reached row 0
    EXPECT_NE(e->frame.backgroundPixels[n - 1], 0u);  // and the top right pixel
    // A darker background pixel is replaced, a brighter one (by green and blue) kept.
    e->frame.backgroundPixels[0] = 0x0000FFFF;
    e->trainHeadX = -10 * 256;
    e->trainHeadY = -10 * 256;
    DrawIntroBall(e);
    EXPECT_EQ(e->frame.backgroundPixels[0], 0x0000FFFFu);
    e->frame.backgroundPixels = saved;
}

TEST(Intro, WideLowFrameRunsTheWholeIntroInsideThePlane) {
    for (int32_t setting : {1, 3}) {
        Scene s = MakeScene(2000, 64, setting);  // unit 5: the figure is drawn
        BallEngine* e = s.engine.get();
        int frames = 0;
        while (e->introState.load() != 0 && frames < 5000) {
            StepFrame(e);
            ++frames;
        }
        EXPECT_EQ(e->introState.load(), 0) << setting;
        // The figure fills the frame's height almost to its edges.
        EXPECT_LE(e->introBox[1], 1);
        EXPECT_GE(e->introBox[3] + e->unit, 60);
    }
}

TEST(Intro, SameSeedSamePicture) {
    auto run = [](uint32_t seed) {
        Scene s = MakeScene(160, 120, 0, 0, 0, seed);
        for (int i = 0; i < 120; ++i)
            StepFrame(s.engine.get());
        std::vector<uint32_t> back(s.engine->frame.backgroundPixels,
                                   s.engine->frame.backgroundPixels + 160 * 120);
        return std::make_pair(s.engine->style, back);
    };
    EXPECT_EQ(run(5), run(5));
}

}  // namespace
