// The moving kinds: the swinger sways and the bobber bobs on the sine table,
// the looper flies loops, the coin flips about one axis, the pulsar pulses and
// steers after the newest ball, and the roller rolls in sub-pixel steps.
#include <algorithm>

#include "engine/kind_rules_internal.h"
#include "engine/kind_tables.h"
#include "engine/sine_tables.h"

namespace {

// ---- Swinger ----------------------------------------------------------------

void SetUpSwinger(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    l.normalRadius = 16;
    l.shadingFlags = 16;
    l.specularIndex = 6;
    l.lightDirection = 0x900180;
    if (r3 & 0x1) {
        if (r3 & 0x2) {
            b->vy *= 2;
            if (r3 & 0x4000) b->flags |= FlagAxisA;
        } else {
            b->vx *= 2;
            if (r3 & 0x4000) b->flags |= FlagAxisB;
        }
        b->moveFrames += r3 & 0x37;
    }
    if (r3 & 0x1000) {
        if (r3 & 0x2000) {
            l.spriteHeight = 16;
        } else {
            l.spriteWidth = 16;
        }
    }
    SetLookRow(b, 4);
    l.topColour.r = r3 & 0x4F;
    l.diffuseColour.r = 3 * (r3 & 0x4F);
}

void GrowSwinger(BallEngine*, BallNode* b) {
    if (b->flags & (FlagAxisA | FlagAxisB)) {
        const int32_t s = SIN32[(b->moveFrames >> 1) & 31] >> 7;
        if (Has(b, FlagAxisB)) {
            b->vy = s;
        } else {
            b->vx = s;
        }
    }
    SetEllipse(b, b->look.spriteWidth, b->look.spriteHeight);
}

void ShrinkSwinger(BallEngine*, BallNode* b) {
    SetEllipse(b, b->look.spriteWidth, b->look.spriteHeight);
}

// ---- Bobber -----------------------------------------------------------------

void SetUpBobber(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    b->moveFrames += r3 & 0x37;
    l.specularIndex = 3;
    if (r3 & 0x1000) {
        b->flags |= FlagAxisA;
        if (r3 & 0x2000) b->vx *= 2;
    } else {
        l.lightDirection = 0xA00180;
        if (r3 & 0x2000) b->vy *= 2;
    }
    SetLookRow(b, 6);
    l.diffuseColour.b += r3 & 0x3F;
    l.diffuseColour.r += r3 & 0x9F;
}

void Bob(BallNode* b, bool growing) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    const int32_t s = SIN32[(b->moveFrames >> 1) & 31];
    if (Has(b, FlagAxisA)) {
        h = growing ? (5 * w) >> 3 : w >> 1;
        if (!growing) SetEllipse(b, h, h);
        b->vy = wrap::Mul(w, s) >> 13;
    } else {
        w = growing ? (5 * h) >> 3 : h >> 1;
        if (!growing) SetEllipse(b, w, w);
        b->vx = wrap::Mul(h, s) >> 13;
    }
    if (growing) {
        Default(b);
    } else {
        l.normalRadius = (w + h) >> 1;
    }
}

void GrowBobber(BallEngine*, BallNode* b) {
    Bob(b, true);
}

void ShrinkBobber(BallEngine*, BallNode* b) {
    Bob(b, false);
}

// ---- Looper -----------------------------------------------------------------

void SetUpLooper(BallEngine* e, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    if ((r3 & 0xC) == 0 && e->wobbleLeft == 0 && e->ringCounter == 0) e->wobbleLeft = 30400;
    ShadeParams& l = b->look;
    l.specularIndex = 3;
    l.shadingFlags = 16;
    b->moveFrames *= 2;
    l.lightDirection = 0x900180;
    l.secondLight = 0xA00180;
    l.sharpenShift = 11;
    if (r3 & 0x1000) b->flags |= FlagAxisA;
    if (r3 & 0x2000) b->flags |= FlagAxisB;
    SetLookRow(b, (r3 & 0x400C) ? 9 : 1);
    l.diffuseColour.r += r3 & 0x1F;
    const int32_t rim = (r3 >> 4) & 0x1F;
    l.rimColour.g += rim;
    l.topColour.g += rim;
    if ((r3 & 3) == 0) l.diffuseColour.b = 192;
}

// The same while growing and shrinking.
void Loop(BallEngine* e, BallNode* b) {
    b->look.secondLight ^= 0x40004;
    const int32_t k = wrap::Add(b->look.diffuseColour.r, e->frameCount) & 15;
    b->vx = LOOP16X[k];
    b->vy = LOOP16Y[k];
    if (Has(b, FlagAxisA)) b->vx = -b->vx;
    if (Has(b, FlagAxisB)) b->vy = -b->vy;
    Default(b);
}

// ---- Coin -------------------------------------------------------------------

void SetUpCoin(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    l.shadingFlags = 16;
    b->moveFrames = 0;
    l.specularIndex = 5;
    l.lightDirection = 0;
    l.sharpenShift = 10;
    b->flags = 0;
    if (r3 & 0x20) b->flags = FlagAxisA;
    if (r3 & 0x40) b->flags |= FlagToggle;
    if (r3 & 0x80) b->vx = 0;
    SetLookRow(b, (r3 & 0x4000) ? 5 : 11);
    if (r3 & 0x1) l.specularColour.r = 192;
    if (r3 & 0x2) l.specularColour.b = 192;
}

// Light angle of the coin: (numerator * 160) / side, clamped to 0..120. A side
// that has closed to 0 or less cannot tilt further than edge-on: 120.
int32_t CoinAngle(int32_t numerator, int32_t side) {
    if (side == 0) return 120;
    return std::clamp(wrap::Div(wrap::Mul(numerator, 160), side), 0, 120);
}

// With A the coin turns about the horizontal axis (the height closes and
// opens), without A about the vertical axis. Growing, the sides first lose 1
// and the coin drifts; shrinking, they first gain 1 (the closing side may pass
// below 0 here) and the coin ends when its long side is down to 10.
void FlipCoin(BallNode* b, bool growing) {
    ShadeParams& l = b->look;
    l.spriteWidth += growing ? -1 : 1;
    l.spriteHeight += growing ? -1 : 1;
    const bool horizontal = Has(b, FlagAxisA);
    // long: the side that stays, flip: the side that closes and opens.
    int32_t& longSide = horizontal ? l.spriteWidth : l.spriteHeight;
    int32_t& flipSide = horizontal ? l.spriteHeight : l.spriteWidth;
    if (growing) {
        if (horizontal) {
            b->y += b->vx;
        } else {
            b->x += b->vx;
        }
        if (longSide < 7) return;
    } else if (longSide <= 10) {
        b->state = BallState::Retiring;
    }
    const int32_t s = std::max(longSide >> 3, 1);
    if (Has(b, FlagAxisB)) {
        flipSide -= s;
        if (flipSide <= (growing ? 7 : 8)) {
            flipSide = growing ? std::max(flipSide, 5) : flipSide + 2;
            b->flags &= ~FlagAxisB;
            b->flags ^= FlagToggle;
        }
    } else {
        flipSide += s;
        if (flipSide >= longSide) {
            flipSide = longSide;
            b->flags |= FlagAxisB;
            b->flags ^= FlagToggle;
        }
    }
    const int32_t a = CoinAngle(longSide - flipSide, flipSide);
    const bool t = Has(b, FlagToggle);
    const int32_t low = horizontal ? (t ? 0x0100 : 0xFF00) : (t ? 0x200 : 0);
    l.lightDirection = l.secondLight = (a << 16) | low;
    l.normalRadius = longSide >> 3;
    SetEllipse(b, l.spriteWidth, l.spriteHeight);
}

void GrowCoin(BallEngine*, BallNode* b) {
    FlipCoin(b, true);
}

void ShrinkCoin(BallEngine*, BallNode* b) {
    FlipCoin(b, false);
}

// ---- Pulsar -----------------------------------------------------------------

void SetUpPulsar(BallEngine* e, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    e->pulsarBall = b;
    b->moveFrames = 200;
    l.specularIndex = 4;
    l.sharpenShift = 10;
    l.backLight = -10;
    SetLookRow(b, 17);
    if (r3 & 0x1000) {
        l.diffuseColour.b += r3 & 0x1F;
    } else {
        l.diffuseColour.r += r3 & 0x1F;
    }
}

// One step of v toward aim: up when below a positive aim, else down (and the
// mirror for a negative aim); an aim of 0 leaves v alone.
void StepToward(int32_t& v, int32_t aim) {
    if (aim > 0) {
        v = v < aim ? v + 1 : v - 1;
    } else if (aim < 0) {
        v = v > aim ? v - 1 : v + 1;
    }
}

// Distance bucket of the pulsar's steering: 0 inside -64..95.
int32_t PulsarBucket(int32_t d) {
    return (d >= -64 && d < 96) ? 0 : d >> 5;
}

void GrowPulsar(BallEngine* e, BallNode* b) {
    ShadeParams& l = b->look;
    const BallNode* t = e->pulsarBall;
    if ((e->frameCount & 1) == 0 && t != nullptr) {
        const int32_t bx = PulsarBucket(t->x - b->x);
        const int32_t by = PulsarBucket(t->y - b->y);
        if (bx != 0 || by != 0) {
            StepToward(b->vx, (128 * bx + (e->frame.width >> 1) - b->x) >> 6);
            StepToward(b->vy, ((e->frame.height >> 1) + 128 * by - b->y) >> 6);
        } else if (e->head != nullptr) {
            e->pulsarBall = e->head;  // reached: head for the newest ball
        }
        b->vx = std::clamp(b->vx, -7, 7);
        b->vy = std::clamp(b->vy, -7, 7);
    }
    const int32_t m = b->moveFrames;
    const int32_t d = std::max(b->fullSize - (((m & 0x40) ? ~m : m) & 0x3F), 8);
    if (l.spriteWidth >= d) l.spriteWidth = l.spriteHeight = d;
    KeepBelow(l.spriteWidth, b->fullSize);
    KeepBelow(l.spriteHeight, b->fullSize);
    if (m == 0) {
        b->state = BallState::Shrinking;
        b->moveFrames = 30;
    }
    Default(b);
}

// ---- Roller -----------------------------------------------------------------

void SetUpRoller(BallEngine* e, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    const int32_t width = e->frame.width;
    const int32_t height = e->frame.height;
    ShadeParams& l = b->look;
    e->rollerBall = b;
    l.backLight = 8;
    l.sharpenShift = 9;
    b->flags = 0;
    l.spriteWidth = l.spriteHeight = l.normalRadius = l.ellipseWidth = l.ellipseHeight = 8;
    // Velocities of 32 or 64 in 1/256 px.
    if (r3 & 0x10) {
        b->vx *= 64;
        b->vy *= 32;
    } else {
        b->vx *= 32;
        b->vy *= 64;
    }
    b->moveFrames = b->moveFrames * 8;
    if (b->moveFrames > height) b->moveFrames = height;
    SetLookRow(b, 20);
    e->rollerSubX = 0;
    e->rollerSubY = 0;
    e->rollerX = ((d.px * width) >> 8) + (width >> 2);
    e->rollerY = ((d.py * height) >> 8) + (height >> 2);
}

// Moves a sub-pixel position by v (1/256 px) and carries whole pixels.
void CarrySubPixel(int32_t& sub, int32_t v, int32_t& whole) {
    sub += v;
    if (sub < 0) {
        sub += 256;
        whole -= 1;
    } else if (sub > 255) {
        sub -= 256;
        whole += 1;
    }
}

// Rolls in 1/256 px steps once grown to its size, slows down at the end of its
// life and stops when its sub-pixel motion has died out.
void GrowRoller(BallEngine* e, BallNode* b) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    if (e->rollerSubX != 0) w -= 1;
    if (e->rollerSubY != 0) h -= 1;
    const int32_t s = (b->fullSize - 1) & ~1;
    if (s < w || s < h) {
        w = h = s;
        CarrySubPixel(e->rollerSubX, b->vx, e->rollerX);
        CarrySubPixel(e->rollerSubY, b->vy, e->rollerY);
    } else {
        e->rollerSubX = (w & 1) << 7;
        e->rollerSubY = (h & 1) << 7;
    }
    if (b->moveFrames == 1) {
        if (w != s) b->fullSize = (w + 2) & ~1;
        if (e->rollerSubX > 17) {
            b->vx = std::clamp(b->vx, -16, 16);
        } else {
            e->rollerSubX = 0;
            b->vx = 0;
        }
        if (e->rollerSubY > 17) {
            b->vy = std::clamp(b->vy, -16, 16);
        } else {
            e->rollerSubY = 0;
            b->vy = 0;
        }
        if (e->rollerSubX != 0 || e->rollerSubY != 0) {
            b->moveFrames = 2;
        } else {
            b->moveFrames = 0;
            b->state = BallState::Shrinking;
        }
    }
    b->x = e->rollerX;
    b->y = e->rollerY;
    Default(b);
}

// Fading out: full size, a widening then fading body.
void ShrinkRoller(BallEngine* e, BallNode* b) {
    ShadeParams& l = b->look;
    const int32_t s = (b->fullSize - 1) & ~1;
    l.spriteWidth = l.spriteHeight = s;
    if (b->moveFrames == 0) b->moveFrames = s + (s >> 1) + 256;
    const int32_t m = b->moveFrames;
    l.normalRadius = s >> 2;
    if (m >= 257) l.normalRadius = (s >> 2) + ((m - 256) >> 1);
    if (m == 256) {
        l.lightDirection = 0;
        l.specularIndex = 1;
    }
    if (m < 256) {
        l.opacityControl = m - 256;
        if (m == 254) {
            l.lightDirection = 0x800180;
            l.specularIndex = 3;
        }
        if (m == 1) b->state = BallState::Retiring;
    }
    b->x = e->rollerX;
    b->y = e->rollerY;
    SetEllipse(b, s, s);
}

}  // namespace

const KindRules kSwingerRules{SetUpSwinger, GrowSwinger, ShrinkSwinger, nullptr, false};
const KindRules kBobberRules{SetUpBobber, GrowBobber, ShrinkBobber, nullptr, false};
const KindRules kLooperRules{SetUpLooper, Loop, Loop, nullptr, false};
const KindRules kCoinRules{SetUpCoin, GrowCoin, ShrinkCoin, nullptr, false};
const KindRules kPulsarRules{SetUpPulsar, GrowPulsar, nullptr, &BallEngine::pulsarBall, true};
const KindRules kRollerRules{SetUpRoller, GrowRoller, ShrinkRoller, &BallEngine::rollerBall, true};
