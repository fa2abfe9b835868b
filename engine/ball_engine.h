// The scene engine's record: one running animation with its settings, frame
// buffer, pool of ball nodes, group-event state, intro state, path-point figure,
// dirty-rectangle lists, worker thread and scratch sprites. Everything is plain
// data in one block; nothing is allocated per frame.
//
// Engine operations are free functions taking the engine (BallEngine*) as their
// first argument: TakeBall(e), SetUpScene(e), SpawnBalls(e), StepFormation(e), ...
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/ball_kind.h"
#include "platform/win32.h"
#include "render/frame_buffer.h"
#include "render/shade_params.h"
#include "render/sprite_buffer.h"
#include "timing/paced_worker.h"

// ---- Ball flags (BallNode::flags) ------------------------------------------
constexpr uint32_t FlagShrinkCountdown = 0x00000007;  // mask: frames of fast shrinking
constexpr uint32_t FlagPathIndex = 0x000000FF;        // mask: path point, with FlagFormation
constexpr uint32_t FlagBounceX = 0x00010000;
constexpr uint32_t FlagBounceY = 0x00020000;
constexpr uint32_t FlagRemoveWhenGrown = 0x00040000;
constexpr uint32_t FlagFormation = 0x00080000;
constexpr uint32_t FlagAxisA = 0x00100000;
constexpr uint32_t FlagAxisB = 0x00200000;
constexpr uint32_t FlagToggle = 0x00400000;
constexpr uint32_t FlagVariant = 0x00800000;
constexpr uint32_t FlagDropped = 0x01000000;
constexpr uint32_t FlagCycle = 0x02000000;
constexpr uint32_t FlagVortex = 0x04000000;
constexpr uint32_t FlagWobble = 0x10000000;
constexpr uint32_t FlagWobbleAlt = 0x20000000;
constexpr uint32_t FlagDriftSign = 0x40000000;

constexpr int32_t kBallPoolSize = 100;
constexpr int32_t kPathCapacity = 128;  // at most 125 path points are used
constexpr int32_t kLookCacheWords = 15;
constexpr int32_t kSpriteCount = 5;
constexpr int32_t kIntroWaitingForPaint = 1234321;  // introState before the first paint

// One ball. `look` is the ShadeParams record handed to the renderer; the frame
// step and the kind rules treat look.spriteWidth / look.spriteHeight as the
// ball's current width and height.
struct BallNode {
    BallNode* older;  // active list: next older ball (toward tail)
    BallNode* newer;  // active list: next newer ball; free list: next free node
    BallKind kind;
    BallState state;
    uint32_t flags;
    int32_t fullSize;
    int32_t x, y;    // centre in px, y counted upward from the bottom row
    int32_t vx, vy;  // px per frame
    int32_t moveFrames;
    int32_t opacityBoost;
    int32_t stamp;
    ShadeParams look;
};

// The dirty-rectangle pair. Both arrays hold capacity + 1 rectangles: the spare
// element takes an append to a full list, so a full list never writes past its
// end (the intro's last phase can add one rectangle more than 2N).
struct DirtyRects {
    RECT* drawnRects;    // rectangles covered by balls drawn this frame
    RECT* refreshRects;  // rectangles presented this frame
    int32_t drawnCount;
    int32_t refreshCount;
    int32_t cursor;
    int32_t capacity;  // in rectangles, 2 x the number of balls
};

struct BallEngine {
    BallEngine();
    ~BallEngine();
    BallEngine(const BallEngine&) = delete;
    BallEngine& operator=(const BallEngine&) = delete;

    int32_t fadeDone{};     // intro: the last fade pass changed no pixel
    int32_t displayMode{};  // Style setting at creation; then 1 during the intro; then style
    int32_t style{};        // 0 Normal, 1 Green, -1 Squash
    int32_t frameCount{};   // requested ball count before set-up, then frames since set-up
    int32_t ballSize{};
    int32_t sizeScale{};  // 16.16: ((ballSize - 15) << 16) / 23

    FrameBuffer frame{};  // width, height, wholeRect, workRect, byteSize, planes, hdc, header

    BallNode nodes[kBallPoolSize]{};  // node 0 doubles as the intro ball
    BallNode* tail{};                 // oldest active ball
    BallNode* head{};                 // newest active ball
    BallNode* freeHead{};
    BallNode* trainLeader{};
    BallNode* lookBall{};
    BallNode* chaserBall{};  // kind 12
    // lookBall's moveFrames, opacityBoost, stamp, then its 12 colour words.
    int32_t lookCache[kLookCacheWords]{};
    int32_t trainCount{};  // 256 requests a train

    BallNode* dropperBall{};  // kind 13
    int32_t dropX{}, dropY{};
    int32_t orbitA{}, orbitB{}, orbitError{};

    BallNode* launcherBall{};                                // kind 14
    int32_t launchAX{}, launchAY{}, launchBX{}, launchBY{};  // slot x 0: empty
    int32_t launchAVx{}, launchAVy{}, launchBVx{}, launchBVy{};

    BallNode* hubBall{};  // kind 15
    BallNode* hubChildren[8]{};
    int32_t hubChildrenToPlace{};

    BallNode* pulsarBall{};              // kind 17, then the ball it heads for
    BallNode* rollerBall{};              // kind 20
    int32_t rollerSubX{}, rollerSubY{};  // 0..255, in 1/256 px
    int32_t rollerX{}, rollerY{};

    int32_t implosionFrame{}, implosionLeft{}, implosionX{}, implosionY{};
    int32_t convergeFrame{}, convergeLeft{}, convergeX{}, convergeY{};
    int32_t wobbleLeft{};
    int32_t ringCounter{};
    int32_t ringX{}, ringY{};
    int32_t wind{};                      // bits 16..17 direction, bits 0..11 balls left
    int32_t trainHeadX{}, trainHeadY{};  // also the intro ball's 8.8 position

    int32_t introCounter{};
    // 1234321 waiting for the first paint, 0 intro over, otherwise the intro runs.
    // Written by the window's thread (first paint); relaxed loads and stores.
    std::atomic<int32_t> introState{};
    int32_t introStep{};
    int32_t introSubSteps{};
    int32_t unit{};  // 5/64 of the smaller frame side (capped at 512), at least 1

    int32_t shapeCentreX[8]{};  // 8.8
    int32_t shapeCentreY[8]{};  // 8.8; entry 0 is formationVariant (FormationVariant())

    int32_t introColour{};  // COLORREF the intro ball is flattened onto
    int32_t introWordsA[7]{};
    // Set to 1 by the window's paint handlers; relaxed loads and stores.
    std::atomic<int32_t> repaintAll{};
    int32_t introWordB0{};
    int32_t lineEndY1{};  // 8.8
    int32_t introWordB2{};
    int32_t lineEndY2{};  // 8.8
    int32_t introWordsB[3]{};

    // 0 idle, 1 start, then counted by the formation clock. The configuration
    // dialog may set it from 0 to 1 on its thread; relaxed loads and stores.
    std::atomic<int32_t> formationPhase{};
    int32_t formationFull{};
    double shapeRadiusX[8]{};  // 8.8 units; entry 0 is the spiral's growth per step
    double shapeRadiusY[8]{};
    int32_t formationSlotTaken[kPathCapacity]{};
    int32_t pathX[kPathCapacity]{};  // px
    int32_t pathY[kPathCapacity]{};
    int32_t pathCount{};
    int32_t formationAllowed{};

    PacedWorker worker;
    DirtyRects dirtyRects{};
    SpriteBuffer sprites[kSpriteCount];

    // ---- Not part of the described record ----
    // Intro values that the original design keeps process-wide; kept per engine
    // so that two engines on two worker threads never race on them. With one
    // engine per process the pictures are the same.
    int32_t fadeParity{1};
    double introAngle{};
    double spiralRadiusX{}, spiralRadiusY{};
    int32_t introBox[4]{};  // min x, min y, max x, max y in px
    // When useFixedSeed is non-zero the intro seeds the generator with fixedSeed
    // instead of the time (headless rendering and tests).
    int32_t useFixedSeed{};
    uint32_t fixedSeed{};
};

// Words that hold two meanings over the engine's life, named where they are used.
// frameCount: the requested number of balls until set-up reads it, then frames.
inline int32_t& RequestedBallCount(BallEngine* e) {
    return e->frameCount;
}
// displayMode: the Style setting (0 random, 1..3) until the intro chooses `style`.
inline int32_t StyleSetting(const BallEngine* e) {
    return e->displayMode;
}
// formationVariant shares its word with shapeCentreY[0] (centre 0 is never used).
inline int32_t& FormationVariant(BallEngine* e) {
    return e->shapeCentreY[0];
}

// Copies the ball's cached words into lookCache: moveFrames, opacityBoost and
// stamp (the three words ahead of topColour), then the 12 colour words.
void CacheLook(BallEngine* e, const BallNode* ball);

// ---- Pool (ball_pool.cpp) -------------------------------------------------
// Moves the first free node to the head of the active list; null when empty.
BallNode* TakeBall(BallEngine* e);
// Unlinks node from the active list and pushes it on the free list; null in, null out.
BallNode* ReleaseBall(BallEngine* e, BallNode* node);

// ---- Scene set-up (scene_setup.cpp) ---------------------------------------
void SetUpScene(BallEngine* e);
void ResetDirtyRects(DirtyRects* rects, int32_t capacity, const RECT* firstRect);
void AddArcPoints(BallEngine* e, int32_t steps, int32_t minDistanceSquared, int32_t shape,
                  int32_t growRadius);

extern const double kPi;
extern const double kOneDegree;
extern const double kTwoDegrees;
extern const double kThreeDegrees;
extern const double kThreeQuarterTurn;
extern const double kMinusTwoDegrees;

// ---- Intro (intro.cpp) ------------------------------------------------------
// -1: the intro handled the frame; 0: the intro is over; 1: run the ordinary frame too.
int32_t RunIntroFrame(BallEngine* e);

// ---- Frame step (frame_step.cpp) ------------------------------------------
// The worker's frame callback; engine is a BallEngine*. Always returns 0.
int StepFrame(void* engine);

// ---- Spawner and group events (spawner*.cpp) ------------------------------
void SpawnBalls(BallEngine* e);
void StepFormation(BallEngine* e);

// ---- Kind rules: engine/kind_rules.h ----------------------------------------
