// The engine's life cycle, the one way every host (the saver windows, the
// settings dialog's trial, the headless renderer, the benchmark and the tests)
// makes, drives and ends an animation:
//
//   BallEngine* e = CreateEngine(hdc, width, height, settings, hosting);
//   StartEngine(e);            // windows: the paced worker runs the frames
//   StepEngine(e);             // headless hosts: one frame on the calling thread
//   EnginePainted(e);          // the window was painted
//   RequestFormation(e);       // a formation, once the intro is over
//   DestroyEngine(e);          // ends the worker, frees the buffers
#pragma once

#include <cstdint>

#include "platform/win32.h"

struct BallEngine;
struct FrameBuffer;

// The three settings as stored: 0 in a field makes set-up use its default.
struct EngineSettings {
    int32_t style;        // 0 random, 1 Normal, 2 Green, 3 Squash
    int32_t numOfBalls;   // requested number of balls
    int32_t sizeOfBalls;  // requested size of balls
};

// What the host lets the engine do.
struct EngineHosting {
    int32_t formationAllowed;  // 1 in the saver windows, 0 in the trial
    bool fixedSeed;            // seed the intro with `seed` instead of the time
    uint32_t seed;
};

// The saver windows (full screen and preview).
constexpr EngineHosting kSaverWindowHosting{1, false, 0};
// The settings dialog's trial: no formation clock.
constexpr EngineHosting kTrialHosting{0, false, 0};
// Headless runs (renderer, benchmark, tests): reproducible from the seed.
constexpr EngineHosting HeadlessHosting(uint32_t seed, int32_t formationAllowed = 1) {
    return EngineHosting{formationAllowed, true, seed};
}

// Builds an engine presenting through hdc (kept for the engine's life, may be
// null) for a width x height frame, and sets up its scene; the intro waits for
// the first EnginePainted. Null when the frame buffer cannot be had; nothing is
// left allocated then.
BallEngine* CreateEngine(HDC hdc, int32_t width, int32_t height, const EngineSettings& settings,
                         const EngineHosting& hosting);

// Starts the process's tick service (20 ms) and the engine's paced worker,
// which runs a frame every 20 ms. 1 on success, 0 if the worker could not start.
int StartEngine(BallEngine* e);

// Runs one frame on the calling thread (engines without a running worker).
void StepEngine(BallEngine* e);

// The window was painted: the next frame presents the whole picture, and the
// intro starts if it waited for this. Hosts that draw from the start (the
// preview, headless runs) call it once after creation.
void EnginePainted(BallEngine* e);

// Starts a formation if the intro is over and none runs; true if one started.
bool RequestFormation(BallEngine* e);

// The engine presents through hdc from now on. Only before StartEngine.
void SetEngineDc(BallEngine* e, HDC hdc);

// Ends the worker (CmdExit, then waits for its thread), frees the frame
// buffer's planes, the sprite buffers, the rectangle lists and the engine.
// Null does nothing. Not from the engine's own worker. The saver windows and
// the trial never call it: their engines live until the process ends.
void DestroyEngine(BallEngine* e);

// Read access for hosts that look at the picture (the headless renderer).
const FrameBuffer& EngineFrame(const BallEngine* e);
// The plane the window shows now: the background while the intro presents from it.
const uint32_t* EngineShownPlane(const BallEngine* e);
