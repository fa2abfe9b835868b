// The rules of the ball kinds, one record per kind: its special set-up row,
// its growing and shrinking rule, and the engine's pointer to the one ball of
// a kind that exists at most once. Each family of kinds has its file:
// kinds_squash.cpp, kinds_motion.cpp, kinds_look.cpp, kinds_sources.cpp and
// kinds_steering.cpp.
#pragma once

#include <cstdint>

#include "engine/ball_engine.h"

// The draws a special set-up row works from: r3, and the 7-bit position
// fractions px and py, which a row may move before the ball is placed.
struct SpecialDraw {
    int32_t r3;
    int32_t px;
    int32_t py;
};

using KindSetUp = void (*)(BallEngine* e, BallNode* ball, SpecialDraw& draw);
using KindRule = void (*)(BallEngine* e, BallNode* ball);

struct KindRules {
    KindSetUp setUp;                // the special set-up row; null for the ordinary kind
    KindRule grow;                  // null: the default (ellipse (w, h), radius (w + h) >> 1)
    KindRule shrink;                // null: the default
    BallNode* BallEngine::*single;  // the one ball of the kind, or null
    bool clearedOnRetire;           // the frame step clears `single` at removal
};

// The rules of a kind; kinds without rules of their own get the default ones.
const KindRules& RulesFor(BallKind kind);

// Growing rule of the ball's kind, including the default for kinds without a
// rule. The frame step runs the full-size test afterwards.
void ApplyGrowingRule(BallEngine* e, BallNode* ball);
// Shrinking rule of the ball's kind, including the default.
void ApplyShrinkingRule(BallEngine* e, BallNode* ball);
// A removed ball's kind lets go of its engine pointer.
void RetireKind(BallEngine* e, const BallNode* ball);
// Sets the ball up as `kind`: its kind word, then its set-up row.
void SetUpKind(BallEngine* e, BallNode* ball, BallKind kind, SpecialDraw& draw);

// The families' records.
extern const KindRules kGlassRules, kColourCyclerRules;
extern const KindRules kSwingerRules, kBobberRules, kLooperRules, kCoinRules, kPulsarRules,
    kRollerRules;
extern const KindRules kOvalRules, kSeeSawRules, kSquasherRules, kLopsidedRules, kBouncerRules,
    kStretcherRules;
extern const KindRules kLauncherRules, kHubRules;
extern const KindRules kChaserRules, kDropperRules;
