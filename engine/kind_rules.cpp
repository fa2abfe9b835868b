// Shape and motion rules of the ball kinds, applied by the frame step after a
// ball's common motion and growth: one set while it grows, one while it shrinks.
#include <algorithm>

#include "engine/kind_tables.h"
#include "engine/sine_tables.h"
#include "engine/spawner_internal.h"

namespace {

inline bool Has(const BallNode* b, uint32_t flag) {
    return (b->flags & flag) != 0;
}
inline void SetFlag(BallNode* b, uint32_t flag, bool on) {
    if (on) {
        b->flags |= flag;
    } else {
        b->flags &= ~flag;
    }
}

inline void SetEllipse(BallNode* b, int32_t a, int32_t c) {
    b->look.ellipseWidth = a;
    b->look.ellipseHeight = c;
}

// ellipse = (w, h), normalRadius = (w + h) >> 1.
inline void Default(BallNode* b) {
    SetEllipse(b, b->look.spriteWidth, b->look.spriteHeight);
    b->look.normalRadius = (b->look.spriteWidth + b->look.spriteHeight) >> 1;
}

// Keeps v below limit: a value >= limit becomes limit - 1.
inline void KeepBelow(int32_t& v, int32_t limit) {
    if (v >= limit) v = limit - 1;
}

// Truncating division that gives 0 instead of faulting on a zero divisor.
inline int32_t SafeDiv(int32_t a, int32_t b) {
    if (b == 0) return 0;
    if (b == -1) return WrapSub(0, a);
    return a / b;
}

// Light angle of the coin: (numerator * 160) / side, clamped to 0..120. A side
// that has closed to 0 or less cannot tilt further than edge-on: 120.
inline int32_t CoinAngle(int32_t numerator, int32_t side) {
    if (side == 0) return 120;
    return std::clamp(SafeDiv(WrapMul(numerator, 160), side), 0, 120);
}

void Kind4Grow(BallNode* b) {
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

void Kind5Grow(BallNode* b) {
    ShadeParams& l = b->look;
    if (Has(b, FlagAxisA)) {
        if (l.spriteWidth >= b->fullSize) l.spriteWidth = b->fullSize - 1;
    } else {
        if (l.spriteHeight >= b->fullSize) l.spriteHeight = b->fullSize - 1;
    }
    Default(b);
}

void Kind6(BallNode* b, bool growing) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    const int32_t s = SIN32[(b->moveFrames >> 1) & 31];
    if (Has(b, FlagAxisA)) {
        h = growing ? (5 * w) >> 3 : w >> 1;
        if (!growing) SetEllipse(b, h, h);
        b->vy = WrapMul(w, s) >> 13;
    } else {
        w = growing ? (5 * h) >> 3 : h >> 1;
        if (!growing) SetEllipse(b, w, w);
        b->vx = WrapMul(h, s) >> 13;
    }
    if (growing) {
        Default(b);
    } else {
        l.normalRadius = (w + h) >> 1;
    }
}

// See-saw squash; the flip margin is 6 while growing, 8 while shrinking.
void Kind7(BallNode* b, bool growing) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    const int32_t margin = growing ? 6 : 8;
    if (Has(b, FlagAxisA)) {
        w += 1;
        h -= 1;
        if (w > h + margin) SetFlag(b, FlagAxisA, false);
    } else {
        w -= 1;
        h += 1;
        if (h > w + margin) SetFlag(b, FlagAxisA, true);
    }
    SetEllipse(b, w, h);
    l.normalRadius = w > h ? 2 * h - w : 2 * w - h;
}

void Kind8Grow(BallNode* b) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    const bool a = Has(b, FlagAxisA);
    const bool bb = Has(b, FlagAxisB);
    if (a && bb) {
        w -= 1;
        SetEllipse(b, h, h);
        if (h >= w) SetFlag(b, FlagAxisA, false);
    } else if (a) {
        h -= 1;
        l.ellipseHeight = h;
        if (w > h + 8) SetFlag(b, FlagAxisB, true);
    } else if (bb) {
        w -= 1;
        l.ellipseWidth = w;
        if (h > w + 8) SetFlag(b, FlagAxisB, false);
    } else {
        h -= 1;
        SetEllipse(b, w, w);
        if (w >= h) SetFlag(b, FlagAxisA, true);
    }
    l.normalRadius = (w + h) >> 1;
}

void Kind8Shrink(BallNode* b) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    const bool a = Has(b, FlagAxisA);
    const bool bb = Has(b, FlagAxisB);
    if (a && bb) {
        h += 1;
        SetEllipse(b, h, h);
        if (h >= w) SetFlag(b, FlagAxisA, false);
    } else if (a) {
        l.ellipseHeight = h;
        w += 1;
        if (w > h + 8) SetFlag(b, FlagAxisB, true);
    } else if (bb) {
        l.ellipseWidth = w;
        h += 1;
        if (h > w + 8) SetFlag(b, FlagAxisB, false);
    } else {
        w += 1;
        SetEllipse(b, w, w);
        if (w >= h) SetFlag(b, FlagAxisA, true);
    }
    l.normalRadius = (w + h) >> 1;
}

void Kind9(BallEngine* e, BallNode* b) {
    b->look.secondLight ^= 0x40004;
    const int32_t k = WrapAdd(b->look.diffuseColour.r, e->frameCount) & 15;
    b->vx = LOOP16X[k];
    b->vy = LOOP16Y[k];
    if (Has(b, FlagAxisA)) b->vx = -b->vx;
    if (Has(b, FlagAxisB)) b->vy = -b->vy;
    Default(b);
}

void Kind10Grow(BallNode* b) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    if (Has(b, FlagAxisA)) {
        w += 1;
        h -= 2;
        SetEllipse(b, std::max(h >> 1, 8), h);
        if (w > h + 8) SetFlag(b, FlagAxisA, false);
    } else {
        h += 1;
        w -= 2;
        SetEllipse(b, w, std::max(w >> 1, 8));
        if (h > w + 8) SetFlag(b, FlagAxisA, true);
    }
    l.normalRadius = (w + h) >> 1;
}

// Coin flip while growing. With A the coin turns about the horizontal axis (the
// height closes and opens), without A about the vertical axis.
void Kind11Grow(BallNode* b) {
    ShadeParams& l = b->look;
    l.spriteWidth -= 1;
    l.spriteHeight -= 1;
    const bool horizontal = Has(b, FlagAxisA);
    // long: the side that stays, flip: the side that closes and opens.
    int32_t& longSide = horizontal ? l.spriteWidth : l.spriteHeight;
    int32_t& flipSide = horizontal ? l.spriteHeight : l.spriteWidth;
    if (horizontal) {
        b->y += b->vx;
    } else {
        b->x += b->vx;
    }
    if (longSide < 7) return;
    const int32_t s = std::max(longSide >> 3, 1);
    if (Has(b, FlagAxisB)) {
        flipSide -= s;
        if (flipSide <= 7) {
            flipSide = std::max(flipSide, 5);
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

// Coin flip while shrinking: the sides first grow back by 1, the coin ends when
// its long side is down to 10. The closing side may pass below 0 here.
void Kind11Shrink(BallNode* b) {
    ShadeParams& l = b->look;
    l.spriteWidth += 1;
    l.spriteHeight += 1;
    const bool horizontal = Has(b, FlagAxisA);
    int32_t& longSide = horizontal ? l.spriteWidth : l.spriteHeight;
    int32_t& flipSide = horizontal ? l.spriteHeight : l.spriteWidth;
    if (longSide <= 10) b->state = StateRemove;
    const int32_t s = longSide > 7 ? longSide >> 3 : 1;
    if (Has(b, FlagAxisB)) {
        flipSide -= s;
        if (flipSide <= 8) {
            flipSide += 2;
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

// The launcher fills both launch slots every 8 frames of its life.
void Kind14(BallEngine* e, BallNode* b) {
    if ((b->moveFrames & 7) == 0) {
        const int32_t v = ((6 * b->look.normalRadius) >> 4) + 4;
        e->launchAX = b->x + v;
        e->launchAVx = 1;
        e->launchBX = b->x - v;
        e->launchBVx = -1;
        if (static_cast<int64_t>(b->vx) * b->vy < 0) {
            e->launchAY = b->y + v;
            e->launchAVy = 1;
            e->launchBY = b->y - v;
            e->launchBVy = -1;
        } else {
            e->launchAY = b->y - v;
            e->launchAVy = -1;
            e->launchBY = b->y + v;
            e->launchBVy = 1;
        }
    }
    Default(b);
}

void Kind15Grow(BallEngine* e, BallNode* b) {
    ShadeParams& l = b->look;
    if (l.spriteWidth > b->fullSize - 2) {
        l.spriteWidth = l.spriteHeight = b->fullSize;
        SetLookRow(b, kHubGrownRow);
        l.specularIndex = 4;
        e->hubChildrenToPlace = 8;
    }
    SetEllipse(b, l.spriteWidth, l.spriteHeight);
    l.normalRadius = (l.spriteWidth + l.spriteHeight) >> 2;
}

void Kind15Shrink(BallEngine* e, BallNode* b) {
    ShadeParams& l = b->look;
    const int32_t half = b->fullSize >> 1;
    SetEllipse(b, std::min(l.spriteWidth, half), std::min(l.spriteHeight, half));
    l.normalRadius = (l.spriteWidth + l.spriteHeight) >> 1;
    if ((e->frameCount & 3) != 0) return;
    const bool a = Has(b, FlagAxisA);
    const bool bb = Has(b, FlagAxisB);
    if (!a && !bb) return;
    const int32_t* px = a && bb ? HUBPUSH3X : (a ? HUBPUSH1X : HUBPUSH2X);
    const int32_t* py = a && bb ? HUBPUSH3Y : (a ? HUBPUSH1Y : HUBPUSH2Y);
    for (int32_t k = 0; k < 8; ++k) {
        BallNode* child = e->hubChildren[k];
        if (child == nullptr) continue;
        child->vx += px[k];
        child->vy += py[k];
    }
}

// Light word of the bounce squash: G in the high half, offset + (sign 3 S^2 >> 10)
// in the low half.
inline int32_t BounceLight(int32_t g, int32_t s, int32_t sign, int32_t offset) {
    const int32_t sq = WrapMul(WrapMul(3 * sign, s), s) >> 10;
    return static_cast<int32_t>(static_cast<uint32_t>(g) |
                                (static_cast<uint32_t>(WrapAdd(sq, offset)) & 0xFFFF));
}

void Kind16(BallNode* b, bool growing) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    const bool a = Has(b, FlagAxisA);
    const bool bb = Has(b, FlagAxisB);
    const int32_t s = a ? SafeDiv(WrapMul(w - h, 256), h) : SafeDiv(WrapMul(h - w, 256), w);
    const int32_t g = WrapShl(128 - (WrapMul(s, s) >> 10), 16);
    if (a && bb) {
        w -= 3;
        if (!growing) b->x += b->vx;
        if (w <= h) SetFlag(b, FlagAxisA, false);
        b->y -= b->vy;
        SetEllipse(b, h, h);
        l.normalRadius = h;
        l.lightDirection = BounceLight(g, s, 1, 64);
    } else if (a) {
        h += growing ? -1 : 1;
        w += growing ? 1 : 3;
        if (w >= 2 * h) b->flags |= FlagAxisA | FlagAxisB;
        b->y -= b->vy;
        SetEllipse(b, h, h);
        l.normalRadius = h;
        l.lightDirection = BounceLight(g, s, -1, 448);
    } else if (bb) {
        w += growing ? -1 : 1;
        h += growing ? 1 : 3;
        if (h >= 2 * w) b->flags &= ~(FlagAxisA | FlagAxisB);
        l.lightDirection = BounceLight(g, s, -1, -320);
        b->x -= b->vx;
        SetEllipse(b, w, w);
        l.normalRadius = w;
    } else {
        h -= 3;
        if (!growing) b->y += b->vy;
        if (w >= h) SetFlag(b, FlagAxisA, true);
        l.lightDirection = BounceLight(g, s, 1, 320);
        b->x -= b->vx;
        SetEllipse(b, w, w);
        l.normalRadius = w;
    }
}

// One step of v toward aim: up when below a positive aim, else down (and the
// mirror for a negative aim); an aim of 0 leaves v alone.
inline void StepToward(int32_t& v, int32_t aim) {
    if (aim > 0) {
        v = v < aim ? v + 1 : v - 1;
    } else if (aim < 0) {
        v = v > aim ? v - 1 : v + 1;
    }
}

// Distance bucket of the pulsar's steering: 0 inside -64..95.
inline int32_t PulsarBucket(int32_t d) {
    return (d >= -64 && d < 96) ? 0 : d >> 5;
}

void Kind17Grow(BallEngine* e, BallNode* b) {
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
        b->state = StateShrinking;
        b->moveFrames = 30;
    }
    Default(b);
}

void Kind18(BallNode* b, bool growing) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    const bool a = Has(b, FlagAxisA);
    const bool bb = Has(b, FlagAxisB);
    const int32_t w8 = w >> 3;
    const int32_t h8 = h >> 3;
    if (a && bb) {
        w -= h8 + 1;
        if (w <= h) b->flags &= ~(FlagAxisA | FlagAxisB);
        l.normalRadius = h;
    } else if (a) {
        w += h8 + 3;
        h += growing ? -1 : 1;
        if (w >= 2 * h) b->flags |= FlagAxisA | FlagAxisB;
        l.normalRadius = h;
    } else if (bb) {
        h -= w8 + 1;
        if (h <= w) {
            // Growing: on to (A set, B clear); shrinking flips both, the same result.
            b->flags |= FlagAxisA;
            b->flags &= ~FlagAxisB;
        }
        l.normalRadius = w;
    } else {
        h += w8 + 3;
        w += growing ? -1 : 1;
        if (h >= 2 * w) b->flags |= FlagAxisB;
        l.normalRadius = w;
    }
    SetEllipse(b, w, h);
}

void Kind19(BallNode* b, bool growing) {
    ShadeParams& l = b->look;
    const int32_t m = b->moveFrames;
    if (growing && (m & 0x18) == 8) {
        l.spriteWidth -= 2;
        l.spriteHeight -= 2;
    }
    if (Has(b, FlagCycle)) {
        const int32_t phase = m & 0x30;
        const int32_t row = phase == 0x30 ? 23 : (phase == 0x10 ? 24 : 19);
        BlendColoursToward(b, kLookTemplates[row], 4);
    } else {
        const int32_t c = m & 0xF;
        const bool vortex = Has(b, FlagVortex);
        if (m & 0x10) {
            l.lightDirection = c << 21;
            l.secondLight = (16 - c) << 22;
            if (vortex) {
                l.lightDirection |= 0x200;
            } else {
                l.secondLight |= 0x200;
            }
        } else {
            l.lightDirection = (16 - c) << 21;
            l.secondLight = c << 22;
            if (vortex) {
                l.secondLight |= 0x200;
            } else {
                l.lightDirection |= 0x200;
            }
        }
    }
    Default(b);
}

// Moves a sub-pixel position by v (1/256 px) and carries whole pixels.
inline void CarrySubPixel(int32_t& sub, int32_t v, int32_t& whole) {
    sub += v;
    if (sub < 0) {
        sub += 256;
        whole -= 1;
    } else if (sub > 255) {
        sub -= 256;
        whole += 1;
    }
}

// Roller: rolls in 1/256 px steps once grown to its size, slows down at the end
// of its life and stops when its sub-pixel motion has died out.
void Kind20Grow(BallEngine* e, BallNode* b) {
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
            b->state = StateShrinking;
        }
    }
    b->x = e->rollerX;
    b->y = e->rollerY;
    Default(b);
}

// Roller fading out: full size, a widening then fading body.
void Kind20Shrink(BallEngine* e, BallNode* b) {
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
        if (m == 1) b->state = StateRemove;
    }
    b->x = e->rollerX;
    b->y = e->rollerY;
    SetEllipse(b, s, s);
}

}  // namespace

void ApplyGrowingRule(BallEngine* e, BallNode* b) {
    switch (b->kind) {
        case 4:
            Kind4Grow(b);
            break;
        case 5:
            Kind5Grow(b);
            break;
        case 6:
            Kind6(b, true);
            break;
        case 7:
            Kind7(b, true);
            break;
        case 8:
            Kind8Grow(b);
            break;
        case 9:
            Kind9(e, b);
            break;
        case 10:
            Kind10Grow(b);
            break;
        case 11:
            Kind11Grow(b);
            break;
        case 12:
            ApplyChaserRule(e, b);
            break;
        case 13:
            ApplyDropperRule(e, b);
            break;
        case 14:
            Kind14(e, b);
            break;
        case 15:
            Kind15Grow(e, b);
            break;
        case 16:
            Kind16(b, true);
            break;
        case 17:
            Kind17Grow(e, b);
            break;
        case 18:
            Kind18(b, true);
            break;
        case 19:
            Kind19(b, true);
            break;
        case 20:
            Kind20Grow(e, b);
            break;
        default:
            Default(b);
            break;
    }
}

void ApplyShrinkingRule(BallEngine* e, BallNode* b) {
    ShadeParams& l = b->look;
    switch (b->kind) {
        case 4:
            SetEllipse(b, l.spriteWidth, l.spriteHeight);
            break;
        case 5: {
            int32_t& side = Has(b, FlagAxisA) ? l.spriteWidth : l.spriteHeight;
            side = std::max(side - 1, 8);
            Default(b);
            break;
        }
        case 6:
            Kind6(b, false);
            break;
        case 7:
            Kind7(b, false);
            break;
        case 8:
            Kind8Shrink(b);
            break;
        case 9:
            Kind9(e, b);
            break;
        case 11:
            Kind11Shrink(b);
            break;
        case 14:
            Kind14(e, b);
            break;
        case 15:
            Kind15Shrink(e, b);
            break;
        case 16:
            Kind16(b, false);
            break;
        case 18:
            Kind18(b, false);
            break;
        case 19:
            Kind19(b, false);
            break;
        case 20:
            Kind20Shrink(e, b);
            break;
        default:
            Default(b);
            break;
    }
}
