// Special balls: about one new ball in 256 becomes one of eighteen special
// kinds, chosen by one of sixteen set-up rows. Hub, launcher, dropper, chaser,
// pulsar and roller exist at most once; while one exists its row falls back to
// another kind. Each kind's own set-up is in its family's file.
#include "engine/kind_rules.h"
#include "engine/random.h"
#include "engine/spawner_internal.h"
#include "render/wrap_math.h"

namespace {

// The kind of each row; a kind that exists at most once falls back to another
// while its ball exists. Row 11 is chosen by ChooseRow11 instead.
struct Row {
    BallKind kind;
    BallKind fallback;
};
constexpr Row kRows[16] = {
    {BallKind::Stretcher, BallKind::Stretcher},
    {BallKind::Bobber, BallKind::Bobber},
    {BallKind::Oval, BallKind::Oval},
    {BallKind::Hub, BallKind::Swinger},
    {BallKind::Swinger, BallKind::Swinger},
    {BallKind::Launcher, BallKind::SeeSaw},
    {BallKind::SeeSaw, BallKind::SeeSaw},
    {BallKind::Lopsided, BallKind::Lopsided},
    {BallKind::Squasher, BallKind::Squasher},
    {BallKind::Dropper, BallKind::Looper},
    {BallKind::Looper, BallKind::Looper},
    {BallKind::Chaser, BallKind::ColourCycler},
    {BallKind::ColourCycler, BallKind::ColourCycler},
    {BallKind::Coin, BallKind::Coin},
    {BallKind::Bouncer, BallKind::Bouncer},
    {BallKind::Glass, BallKind::Glass},
};

bool Exists(const BallEngine* e, BallKind kind) {
    BallNode* BallEngine::*single = RulesFor(kind).single;
    return single != nullptr && e->*single != nullptr;
}

BallKind KindOfRow(const BallEngine* e, const Row& row) {
    return Exists(e, row.kind) ? row.fallback : row.kind;
}

// Row 11: an implosion starts at the ball's own start position, then the
// chaser (only with bit 0x4000), the roller or the pulsar, the first that does
// not exist yet, else the colour cycler.
BallKind ChooseRow11(BallEngine* e, const SpecialDraw& d) {
    if (e->implosionLeft == 0) {
        const int32_t width = e->frame.width;
        const int32_t height = e->frame.height;
        e->implosionLeft = 8;
        e->implosionFrame = wrap::Add(e->frameCount, 48);
        e->implosionX = ((d.px * width) >> 8) + (width >> 2);
        e->implosionY = ((d.py * height) >> 8) + (height >> 2);
    }
    if (!Exists(e, BallKind::Chaser) && (d.r3 & 0x4000)) return BallKind::Chaser;
    if (!Exists(e, BallKind::Roller)) return BallKind::Roller;
    if (!Exists(e, BallKind::Pulsar)) return BallKind::Pulsar;
    return BallKind::ColourCycler;
}

}  // namespace

void SetUpSpecialBall(BallEngine* e, BallNode* b, int32_t px, int32_t py) {
    b->fullSize = 2 * e->ballSize;
    b->moveFrames = 2 * e->ballSize;
    const int32_t r3 = NextRandom();
    b->vx = (r3 & 0x2) ? 1 : -1;
    b->vy = (r3 & 0x4) ? 1 : -1;
    if (r3 & 0x8)
        b->flags = (r3 & 0x10) ? FlagRemoveWhenGrown : static_cast<uint32_t>((r3 & 6) | 1);
    b->look.shadingFlags = 18;
    e->lookBall = b;
    if (e->chaserBall != nullptr) e->chaserBall->flags ^= FlagToggle;

    SpecialDraw draw{r3, px, py};
    const int32_t row = (r3 >> 8) & 15;
    const BallKind kind = row == 11 ? ChooseRow11(e, draw) : KindOfRow(e, kRows[row]);
    SetUpKind(e, b, kind, draw);

    // Special balls start in the middle half of the frame (the dropper's row
    // may have moved px and py).
    b->x = ((draw.px * e->frame.width) >> 8) + (e->frame.width >> 2);
    b->y = ((draw.py * e->frame.height) >> 8) + (e->frame.height >> 2);
}
