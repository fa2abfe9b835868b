// The table of the kinds' rules and the three places the engine applies them:
// the growing and shrinking rules in the frame step, and the retirement of a
// removed ball.
#include "engine/kind_rules.h"

#include "engine/kind_rules_internal.h"

namespace {

// The ordinary kind (and a ball still being set up) has no rule of its own.
const KindRules kDefaultRules{nullptr, nullptr, nullptr, nullptr, false};

// Indexed by the kind's word.
const KindRules* const kRules[kLastKind + 1] = {
    &kDefaultRules,       // SettingUp
    &kDefaultRules,       // unused
    &kDefaultRules,       // Ordinary
    &kGlassRules,         // Glass
    &kSwingerRules,       // Swinger
    &kOvalRules,          // Oval
    &kBobberRules,        // Bobber
    &kSeeSawRules,        // SeeSaw
    &kSquasherRules,      // Squasher
    &kLooperRules,        // Looper
    &kLopsidedRules,      // Lopsided
    &kCoinRules,          // Coin
    &kChaserRules,        // Chaser
    &kDropperRules,       // Dropper
    &kLauncherRules,      // Launcher
    &kHubRules,           // Hub
    &kBouncerRules,       // Bouncer
    &kPulsarRules,        // Pulsar
    &kStretcherRules,     // Stretcher
    &kColourCyclerRules,  // ColourCycler
    &kRollerRules,        // Roller
};

}  // namespace

const KindRules& RulesFor(BallKind kind) {
    const auto index = static_cast<uint32_t>(kind);
    return index <= static_cast<uint32_t>(kLastKind) ? *kRules[index] : kDefaultRules;
}

void ApplyGrowingRule(BallEngine* e, BallNode* b) {
    const KindRule grow = RulesFor(b->kind).grow;
    if (grow != nullptr) {
        grow(e, b);
    } else {
        Default(b);
    }
}

void ApplyShrinkingRule(BallEngine* e, BallNode* b) {
    const KindRule shrink = RulesFor(b->kind).shrink;
    if (shrink != nullptr) {
        shrink(e, b);
    } else {
        Default(b);
    }
}

void RetireKind(BallEngine* e, const BallNode* b) {
    const KindRules& rules = RulesFor(b->kind);
    if (rules.clearedOnRetire) e->*rules.single = nullptr;
}

void SetUpKind(BallEngine* e, BallNode* b, BallKind kind, SpecialDraw& draw) {
    b->kind = kind;
    const KindSetUp setUp = RulesFor(kind).setUp;
    if (setUp != nullptr) setUp(e, b, draw);
}
