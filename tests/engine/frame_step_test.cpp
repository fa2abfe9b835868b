#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/ball_engine.h"
#include "engine/frame_step_internal.h"
#include "engine/sine_tables.h"
#include "engine_fixture.h"

namespace {

constexpr uint32_t kViolet = 0x2A003F;

// A scene past its intro in the given display mode, violet in both planes, with
// an empty free list so that the spawner adds nothing; balls come from AddBall.
struct Stage {
    Scene scene;
    BallEngine* e;
    std::vector<BallNode*> spare;

    Stage(int32_t width, int32_t height, int32_t mode) : scene(MakeScene(width, height, 0, 100)) {
        e = scene.engine.get();
        e->introState.store(0);
        e->repaintAll.store(0);  // the skipped intro would have presented the first paint
        e->displayMode = mode;
        e->style = mode;
        e->frameCount = 1000;
        const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
        std::fill(e->frame.backgroundPixels, e->frame.backgroundPixels + n, kViolet);
        std::fill(e->frame.frontPixels, e->frame.frontPixels + n, kViolet);
    }

    BallNode* AddBall(int32_t x, int32_t y, int32_t side, int32_t fullSize = 200) {
        BallNode* b = TakeBall(e);
        if (b == nullptr) std::abort();  // the test asked for more balls than the pool has
        BallNode* older = b->older;
        *b = BallNode{};
        b->older = older;
        b->kind = BallKind::Ordinary;
        b->fullSize = fullSize;
        b->x = x;
        b->y = y;
        ShadeParams& l = b->look;
        l.topColour = {0, 64, 0};
        l.rimColour = {0, 64, 0};
        l.diffuseColour = {0, 128, 0};
        l.specularColour = {128, 192, 128};
        l.shadingFlags = 16;
        l.spriteWidth = l.spriteHeight = l.ellipseWidth = l.ellipseHeight = l.normalRadius = side;
        l.lightDirection = 0x880180;
        l.specularIndex = 4;
        l.secondLight = -1;
        return b;
    }

    // No further balls are spawned.
    void FreezePool() { e->freeHead = nullptr; }
    int Transfers() const { return GetMemoryDCTransferCount(scene.dc.get()); }
    uint32_t& Back(int32_t x, int32_t y) {
        return e->frame.backgroundPixels[y * e->frame.width + x];
    }
    uint32_t& Front(int32_t x, int32_t y) { return e->frame.frontPixels[y * e->frame.width + x]; }
};

TEST(FrameStep, BeforeTheFirstPaintFramesOnlyCount) {
    Scene s = MakeScene(100, 80);
    BallEngine* e = s.engine.get();
    e->introState.store(kIntroWaitingForPaint);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(StepFrame(e), 0);
    EXPECT_EQ(e->frameCount, 10);
    EXPECT_EQ(GetMemoryDCTransferCount(s.dc.get()), 0);
    EXPECT_EQ(e->head, nullptr);
    for (int i = 0; i < 100 * 80; ++i)
        ASSERT_EQ(e->frame.backgroundPixels[i], 0u);
}

TEST(BallUpdate, GrowthOfMovingAndResting) {
    Stage st(200, 200, 1);
    BallNode* b = st.AddBall(50, 50, 8);
    b->vx = 3;
    b->vy = -2;
    b->moveFrames = 2;
    GrowBall(st.e, b);
    EXPECT_EQ(b->x, 53);
    EXPECT_EQ(b->y, 48);
    EXPECT_EQ(b->look.spriteWidth, 9);
    // moveFrames runs out: both tests apply in one frame, 1 + 2.
    GrowBall(st.e, b);
    EXPECT_EQ(b->moveFrames, 0);
    EXPECT_EQ(b->look.spriteWidth, 12);
    EXPECT_EQ(b->look.spriteHeight, 12);
    GrowBall(st.e, b);
    EXPECT_EQ(b->x, 56);  // resting: no motion
    EXPECT_EQ(b->look.spriteWidth, 14);

    // A dropped ball grows by 1 on odd frames only.
    b->flags = FlagDropped;
    st.e->frameCount = 8;
    GrowBall(st.e, b);
    EXPECT_EQ(b->look.spriteWidth, 14);
    st.e->frameCount = 9;
    GrowBall(st.e, b);
    EXPECT_EQ(b->look.spriteWidth, 15);
}

TEST(BallUpdate, FormationSteeringRoundsTowardThePoint) {
    Stage st(400, 400, 1);
    BallNode* b = st.AddBall(100, 100, 8);
    b->moveFrames = 10;
    b->flags = FlagFormation | 3;
    st.e->pathX[3] = 100 + 1 + 17;  // after the move: dx 17 -> (17 + 7) >> 3 = 3
    st.e->pathY[3] = 100 - 17;      // dy -17 -> -17 >> 3 = -3
    GrowBall(st.e, b);
    EXPECT_EQ(b->vx, 3);
    EXPECT_EQ(b->vy, -3);
    st.e->pathX[3] = b->x - 1;  // -1 >> 3 = -1
    st.e->pathY[3] = b->y + 1;  // (1 + 15) >> 3 = 2
    b->vx = b->vy = 0;
    GrowBall(st.e, b);
    EXPECT_EQ(b->vx, -1);
    EXPECT_EQ(b->vy, 2);
}

TEST(BallUpdate, RingMotionAndWobble) {
    Stage st(400, 400, 1);
    BallNode* b = st.AddBall(100, 100, 8);
    b->flags = FlagVortex;
    b->moveFrames = 100000;
    st.e->ringCounter = 5;
    GrowBall(st.e, b);
    const int32_t m = 100000 - 641;
    EXPECT_EQ(b->moveFrames, m);
    EXPECT_EQ(b->vx, (SIN32[m & 31] * m + 0x80000) >> 20);
    EXPECT_EQ(b->vy, (COS32[m & 31] * m + 0x80000) >> 20);
    b->flags |= FlagWobbleAlt;
    GrowBall(st.e, b);
    const int32_t m2 = m - 641;
    EXPECT_EQ(b->vy, -((COS32[m2 & 31] * m2 + 0x80000) >> 20));

    // Wobble: only ordinary balls, one count per update, the 16-step tables.
    st.e->ringCounter = 0;
    st.e->wobbleLeft = 2;
    BallNode* w = st.AddBall(200, 200, 8);
    w->moveFrames = 5;  // index 4 after the decrement
    GrowBall(st.e, w);
    EXPECT_EQ(st.e->wobbleLeft, 1);
    EXPECT_EQ(w->x, 200 + 3);  // WOB16X[4]
    EXPECT_EQ(w->y, 200 + 0);  // WOB16Y2[4]
    w->kind = BallKind::Oval;
    GrowBall(st.e, w);
    EXPECT_EQ(st.e->wobbleLeft, 1);
}

TEST(FullSize, EndsGrowthByFlags) {
    Stage st(400, 400, 1);
    BallNode* b = st.AddBall(100, 100, 30, 30);
    b->vx = 5;
    b->vy = -1;
    b->flags = FlagBounceX | FlagBounceY;
    FullSizeTest(st.e, b);
    EXPECT_EQ(b->state, BallState::Shrinking);
    EXPECT_EQ(b->vx, -2);  // negated, then limited
    EXPECT_EQ(b->vy, 1);   // -1, 0 and 1 stay

    BallNode* r = st.AddBall(100, 100, 29, 30);
    r->flags = FlagRemoveWhenGrown;
    FullSizeTest(st.e, r);
    EXPECT_EQ(r->state, BallState::Growing);  // neither side has reached full size
    r->look.spriteHeight = 30;
    FullSizeTest(st.e, r);
    EXPECT_EQ(r->state, BallState::Retiring);

    // A stamped formation ball snaps to its point and is not bounced.
    BallNode* f = st.AddBall(100, 100, 31, 30);
    f->stamp = 1;
    f->vx = 7;
    f->flags = FlagFormation | FlagBounceX | 9;
    st.e->pathX[9] = 123;
    st.e->pathY[9] = 45;
    FullSizeTest(st.e, f);
    EXPECT_EQ(f->state, BallState::Retiring);
    EXPECT_EQ(f->x, 123);
    EXPECT_EQ(f->y, 45);
    EXPECT_EQ(f->vx, 7);
}

TEST(Shrink, CountdownAndShrinkOut) {
    Stage st(400, 400, 1);
    BallNode* b = st.AddBall(100, 100, 60);
    b->state = BallState::Shrinking;
    b->flags = FlagBounceX | 3;
    EXPECT_TRUE(ShrinkBall(st.e, b));
    EXPECT_EQ(b->flags, FlagBounceX | 2);
    EXPECT_EQ(b->look.spriteWidth, 60 - 10 - 2);
    EXPECT_TRUE(ShrinkBall(st.e, b));
    EXPECT_EQ(b->look.spriteWidth, 48 - 12);
    EXPECT_EQ(b->state, BallState::Shrinking);
    // The countdown expires: removed, but the rest of the update still runs.
    EXPECT_TRUE(ShrinkBall(st.e, b));
    EXPECT_EQ(b->state, BallState::Retiring);
    EXPECT_EQ(b->look.spriteWidth, 36 - 2);

    BallNode* s = st.AddBall(100, 100, 8);
    s->state = BallState::Shrinking;
    s->look.spriteHeight = 6;
    EXPECT_FALSE(ShrinkBall(st.e, s));
    EXPECT_EQ(s->look.spriteWidth, 5);
    EXPECT_EQ(s->look.spriteHeight, 5);
    EXPECT_EQ(s->state, BallState::Retiring);
}

TEST(Shrink, MovingShrinkAndDroppedBalls) {
    Stage st(400, 400, 1);
    BallNode* b = st.AddBall(100, 100, 40);
    b->state = BallState::Shrinking;
    b->moveFrames = 1;
    b->vx = -2;
    EXPECT_TRUE(ShrinkBall(st.e, b));
    EXPECT_EQ(b->x, 98);
    EXPECT_EQ(b->look.spriteWidth, 40 - 1 - 2);
    b->flags = FlagDropped;
    st.e->frameCount = 10;
    ShrinkBall(st.e, b);
    EXPECT_EQ(b->look.spriteWidth, 37);
    st.e->frameCount = 11;
    ShrinkBall(st.e, b);
    EXPECT_EQ(b->look.spriteWidth, 36);
}

TEST(FrameStep, ShrunkOutBallIsDrawnAtFiveAndReleased) {
    Stage st(200, 200, 1);
    BallNode* b = st.AddBall(100, 100, 6);
    b->state = BallState::Shrinking;
    st.FreezePool();
    EXPECT_FALSE(ShrinkBall(st.e, b));
    DrawBall(st.e, b);
    EXPECT_EQ(st.e->head, nullptr);
    EXPECT_EQ(st.e->freeHead, b);
    ASSERT_EQ(st.e->dirtyRects.drawnCount, 1);
    const RECT r = st.e->dirtyRects.drawnRects[0];
    EXPECT_EQ(r.left, 98);
    EXPECT_EQ(r.right, 103);
    EXPECT_EQ(r.top, 98);
    EXPECT_EQ(r.bottom, 103);
}

TEST(FrameStep, StampedBallStaysPaintedInTheBackground) {
    Stage st(200, 200, 1);
    BallNode* b = st.AddBall(100, 100, 28, 30);
    b->stamp = 1;
    st.FreezePool();
    GrowBall(st.e, b);  // grows to 30: full size, state 2, stamped and released
    FullSizeTest(st.e, b);
    DrawBall(st.e, b);
    EXPECT_EQ(st.e->head, nullptr);
    EXPECT_NE(st.Back(100, 100), kViolet);
    EXPECT_EQ(st.Back(100, 100), st.Front(100, 100));
    EXPECT_EQ(st.Back(10, 10), kViolet);
    // Next frame the erase restores from the background: the ball stays.
    StepFrame(st.e);
    EXPECT_NE(st.Front(100, 100), kViolet);
}

TEST(FrameStep, RetiredSingletonsClearTheirPointer) {
    struct Case {
        BallKind kind;
        BallNode* BallEngine::*pointer;
    } cases[] = {{BallKind::Dropper, &BallEngine::dropperBall},
                 {BallKind::Launcher, &BallEngine::launcherBall},
                 {BallKind::Hub, &BallEngine::hubBall},
                 {BallKind::Pulsar, &BallEngine::pulsarBall},
                 {BallKind::Roller, &BallEngine::rollerBall}};
    for (const Case& c : cases) {
        Stage st(200, 200, 1);
        BallNode* b = st.AddBall(100, 100, 20);
        BallNode* other = st.AddBall(30, 30, 10);
        b->kind = c.kind;
        b->state = BallState::Retiring;
        st.e->*c.pointer = b;
        st.e->chaserBall = other;
        st.FreezePool();
        DrawBall(st.e, b);
        EXPECT_EQ(st.e->*c.pointer, nullptr) << static_cast<int>(c.kind);
        EXPECT_EQ(st.e->chaserBall, other);
        EXPECT_EQ(st.e->head, other);
    }
}

TEST(FrameStep, OverlappingBallsArePresentedAsOne) {
    for (int32_t secondX : {59, 60}) {
        Stage st(200, 200, 1);
        // Each grows from 8 to 10: [x - 5, x + 5).
        st.AddBall(50, 50, 8);
        st.AddBall(secondX, 50, 8);
        st.FreezePool();
        const int before = st.Transfers();
        StepFrame(st.e);
        const int presented = st.Transfers() - before;
        EXPECT_EQ(presented, secondX == 59 ? 1 : 2) << secondX;  // 60 shares an edge only
        EXPECT_EQ(st.e->dirtyRects.drawnCount, secondX == 59 ? 1 : 2);
    }
}

TEST(FrameStep, RectanglesAreClippedAndOutsideBallsAddNone) {
    Stage st(400, 256, 1);
    st.AddBall(2, 3, 18);      // half outside left and bottom: 20 wide after growing
    st.AddBall(900, 50, 18);   // entirely outside
    st.AddBall(100, -40, 18);  // entirely below
    st.AddBall(399, 255, 18);  // the top right corner
    st.FreezePool();
    StepFrame(st.e);
    ASSERT_EQ(st.e->dirtyRects.drawnCount, 2);
    const RECT a = st.e->dirtyRects.drawnRects[0];  // newest first: the corner ball
    EXPECT_EQ(a.left, 389);
    EXPECT_EQ(a.top, 245);
    EXPECT_EQ(a.right, 400);
    EXPECT_EQ(a.bottom, 256);
    const RECT b = st.e->dirtyRects.drawnRects[1];
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.right, 12);
    EXPECT_EQ(b.bottom, 13);
    EXPECT_NE(st.Front(0, 0), kViolet);
}

TEST(FrameStep, EraseRestoresLastFramesBallsExceptInSquash) {
    for (int32_t mode : {1, -1}) {
        Stage st(200, 200, mode);
        BallNode* b = st.AddBall(50, 50, 8);
        b->vx = 20;
        b->moveFrames = 100;
        st.FreezePool();
        StepFrame(st.e);  // drawn at x = 70
        EXPECT_NE(st.Front(70, 50), kViolet);
        StepFrame(st.e);  // moved to 90
        EXPECT_NE(st.Front(90, 50), kViolet);
        if (mode >= 0) {
            EXPECT_EQ(st.Front(70, 50), kViolet) << "Green restores the background";
        } else {
            EXPECT_NE(st.Front(70, 50), kViolet) << "Squash leaves a trail";
        }
        EXPECT_EQ(st.Back(70, 50), kViolet);
    }
}

TEST(FrameStep, NormalFadeStrongAndWeakPasses) {
    Stage st(40, 30, 0);
    st.FreezePool();
    st.Back(5, 5) = 0x00C8C8;  // green 200, blue 200
    st.Back(6, 5) = 0x203000;  // green 48: only the strong pass
    st.Back(7, 5) = 0xFF1F10;  // green 31: never
    std::vector<uint32_t> green200;
    for (int32_t f = 1001; f <= 1016; ++f) {  // frameCount after the increment
        st.e->frameCount = f - 1;
        StepFrame(st.e);
        green200.push_back((st.Back(5, 5) >> 8) & 0xFF);
    }
    // 1004 strong (-2), 1008 weak (-1), 1012 strong, 1016 weak.
    EXPECT_EQ(green200[2], 200u);
    EXPECT_EQ(green200[3], 198u);
    EXPECT_EQ(green200[7], 197u);
    EXPECT_EQ(green200[11], 195u);
    EXPECT_EQ(green200[15], 194u);
    EXPECT_EQ(st.Back(5, 5), st.Front(5, 5));
    EXPECT_EQ(st.Back(5, 5) & 0xFF, 200u - 4u);  // blue -1 per pass
    EXPECT_EQ(st.Back(6, 5), 0x1F2C00u);  // two strong passes; red only while it is 32 or more
    EXPECT_EQ(st.Back(7, 5), 0xFF1F10u);
    // A fade frame presents the whole frame.
    const int before = st.Transfers();
    st.e->frameCount = 1019;
    StepFrame(st.e);
    EXPECT_EQ(st.Transfers() - before, 1);
    EXPECT_EQ(st.e->dirtyRects.refreshCount, 1);
    EXPECT_EQ(st.e->dirtyRects.refreshRects[0].right, 40);
}

TEST(FrameStep, FadeStopsBelowGreen32) {
    Stage st(16, 16, 0);
    st.FreezePool();
    st.Back(1, 1) = 0x0000C800;
    for (int i = 0; i < 4000; ++i)
        StepFrame(st.e);
    const uint32_t g = (st.Back(1, 1) >> 8) & 0xFF;
    EXPECT_LT(g, 32u);
    EXPECT_GE(g, 30u);
}

TEST(FrameStep, GreenAndSquashNeverFade) {
    for (int32_t mode : {1, -1}) {
        Stage st(16, 16, mode);
        st.FreezePool();
        st.Back(1, 1) = 0x0000C800;
        for (int i = 0; i < 64; ++i)
            StepFrame(st.e);
        EXPECT_EQ(st.Back(1, 1), 0x0000C800u) << mode;
    }
}

TEST(FrameStep, RepaintPresentsTheWholeFrame) {
    Stage st(100, 100, 1);
    st.AddBall(50, 50, 8);
    st.FreezePool();
    st.e->repaintAll.store(1);
    const int before = st.Transfers();
    StepFrame(st.e);
    EXPECT_EQ(st.e->repaintAll.load(), 0);
    // The whole rectangle swallows the ball's: one present.
    EXPECT_EQ(st.Transfers() - before, 1);
    EXPECT_EQ(st.e->dirtyRects.refreshRects[0].right, 100);
    EXPECT_EQ(st.e->dirtyRects.drawnCount, 1);
}

TEST(FrameStep, EventClockStartsFormationsAndRequestsTrains) {
    struct Case {
        int32_t frame, allowed;
        bool formation;
    } cases[] = {{6144, 1, true},  {14336, 1, true}, {6144, 0, false},
                 {2048, 1, false}, {4096, 1, false}, {8192, 1, false}};
    for (const Case& c : cases) {
        Stage st(100, 100, 1);
        st.FreezePool();
        st.e->formationAllowed = c.allowed;
        st.e->frameCount = c.frame - 1;
        StepFrame(st.e);
        EXPECT_EQ(st.e->formationPhase.load() != 0, c.formation) << c.frame;
        EXPECT_EQ(st.e->trainCount, c.formation ? 0 : 256) << c.frame;
    }
    // Not while a train runs, and not between the 2048th frames.
    Stage st(100, 100, 1);
    st.FreezePool();
    BallNode leader{};
    st.e->trainLeader = &leader;
    st.e->frameCount = 2047;
    StepFrame(st.e);
    EXPECT_EQ(st.e->trainCount, 0);
    st.e->trainLeader = nullptr;
    st.e->frameCount = 2048;
    StepFrame(st.e);
    EXPECT_EQ(st.e->trainCount, 0);
}

TEST(FrameStep, NegativeSidesDrawNothing) {
    Stage st(100, 100, 1);
    BallNode* b = st.AddBall(50, 50, 8);
    b->state = BallState::Retiring;
    b->stamp = 1;
    b->look.spriteWidth = 20;
    b->look.spriteHeight = -6;
    st.FreezePool();
    DrawBall(st.e, b);
    EXPECT_EQ(st.e->dirtyRects.drawnCount, 0);
    EXPECT_EQ(st.Front(50, 50), kViolet);
    EXPECT_EQ(st.Back(50, 50), kViolet);
    EXPECT_EQ(st.e->head, nullptr);
}

TEST(FrameStep, FullListsTakeTheSpareRectangle) {
    // One ball allowed: capacity 2. Three disjoint rectangles from last frame
    // (as the intro's last phase can leave) plus the ball's fit the spare.
    Scene s = MakeScene(300, 300, 0, 1);
    BallEngine* e = s.engine.get();
    e->introState.store(0);
    e->repaintAll.store(0);
    e->displayMode = 1;
    DirtyRects& dr = e->dirtyRects;
    ASSERT_EQ(dr.capacity, 2);
    dr.drawnRects[0] = RECT{0, 0, 10, 10};
    dr.drawnRects[1] = RECT{20, 0, 30, 10};
    dr.drawnRects[2] = RECT{40, 0, 50, 10};
    dr.drawnCount = 3;
    StepFrame(e);  // the spawner adds the one ball; it is drawn next frame
    EXPECT_EQ(dr.refreshCount, 3);
    StepFrame(e);
    EXPECT_LE(dr.refreshCount, 3);
    EXPECT_LE(dr.drawnCount, 2);
}

}  // namespace

namespace {

// The fade as first written, pixel by pixel with branches: the vector version
// must give the same bits.
void ReferenceFade(uint32_t* back, uint32_t* front, size_t count, bool strong) {
    for (size_t i = 0; i < count; ++i) {
        uint32_t p = back[i];
        if (strong) {
            if ((p & 0xFF00u) > 0x1F00u) {
                p -= 0x200u;
                if ((p & 0xF0u) != 0) p -= 1u;
                if ((p & 0xE00000u) != 0) p -= 0x10000u;
                back[i] = p;
                front[i] = p;
            }
        } else if ((p & 0xFF00u) > 0x3F00u) {
            p -= 0x100u;
            if ((p & 0xF0u) != 0) p -= 1u;
            back[i] = p;
            front[i] = p;
        }
    }
}

TEST(FrameStep, FadeMatchesThePixelByPixelPass) {
    Stage st(317, 211, 0);  // an odd pixel count exercises the loop tails
    const size_t n = 317 * 211;
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state;
    };
    std::vector<uint32_t> back(n), front(n);
    for (int round = 0; round < 8; ++round) {
        for (size_t i = 0; i < n; ++i) {
            // Full 32-bit words, with the top byte clear most of the time.
            back[i] = next() & (round < 4 ? 0x00FFFFFFu : 0xFFFFFFFFu);
            front[i] = next();
        }
        std::copy(back.begin(), back.end(), st.e->frame.backgroundPixels);
        std::copy(front.begin(), front.end(), st.e->frame.frontPixels);
        st.e->frame.fadeMap.MarkAll();  // written around the engine's writers
        const bool strong = (round & 1) != 0;
        st.e->frameCount = strong ? 4 : 8;
        FadeBackground(st.e);
        ReferenceFade(back.data(), front.data(), n, strong);
        ASSERT_TRUE(std::equal(back.begin(), back.end(), st.e->frame.backgroundPixels)) << round;
        ASSERT_TRUE(std::equal(front.begin(), front.end(), st.e->frame.frontPixels)) << round;
    }
}

}  // namespace
