// The squashing kinds: their shape changes while they grow and shrink. The
// oval keeps one side below full size; the see-saw, the four-phase squasher,
// the lopsided ball, the bouncer and the stretcher squash in phases kept in
// the flag bits A (FlagAxisA) and B (FlagAxisB).
#include <algorithm>

#include "engine/kind_rules_internal.h"

namespace {

// ---- Oval -------------------------------------------------------------------

void SetUpOval(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    if (r3 & 0x1000) {
        b->flags |= FlagAxisA;
        l.spriteWidth = 24;
    } else {
        l.spriteHeight = 24;
    }
    if (r3 & 0x2000) DoubleOneAxis(b, r3, 0x4000);
    l.sharpenShift = 9;
    l.specularIndex = 3;
    SetLookRow(b, 5);
    if (r3 & 0x1) {
        l.diffuseColour.r += 32;
    } else {
        l.diffuseColour.g += 32;
    }
    l.topColour.g -= r3 & 0x1F;
    if ((r3 & 0x60) == 0) {
        l.shadingFlags = 16;
        l.specularIndex = 0;
        l.topColour.b = l.topColour.g;
        l.rimColour.b = l.rimColour.g;
    }
}

void GrowOval(BallEngine*, BallNode* b) {
    ShadeParams& l = b->look;
    if (Has(b, FlagAxisA)) {
        KeepBelow(l.spriteWidth, b->fullSize);
    } else {
        KeepBelow(l.spriteHeight, b->fullSize);
    }
    Default(b);
}

void ShrinkOval(BallEngine*, BallNode* b) {
    ShadeParams& l = b->look;
    int32_t& side = Has(b, FlagAxisA) ? l.spriteWidth : l.spriteHeight;
    side = std::max(side - 1, 8);
    Default(b);
}

// ---- See-saw ----------------------------------------------------------------

void SetUpSeeSaw(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    l.shadingFlags = 16;
    b->moveFrames *= 4;
    l.specularIndex = 5;
    if (r3 & 0x1) DoubleOneAxis(b, r3, 0x2);
    if (r3 & 0x1000) b->flags |= FlagAxisA;
    SetLookRow(b, 7);
    l.topColour.b += r3 & 0x1F;
    l.diffuseColour.r += r3 & 0x3F;
}

// The flip margin is 6 while growing, 8 while shrinking.
void SeeSaw(BallNode* b, int32_t margin) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
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

void GrowSeeSaw(BallEngine*, BallNode* b) {
    SeeSaw(b, 6);
}

void ShrinkSeeSaw(BallEngine*, BallNode* b) {
    SeeSaw(b, 8);
}

// ---- Four-phase squasher ----------------------------------------------------

void SetUpSquasher(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    b->moveFrames *= 2;
    l.specularIndex = 3;
    l.sharpenShift = 10;
    l.lightDirection = 0x900180;
    if (r3 & 0x1) DoubleOneAxis(b, r3, 0x2);
    b->flags |= (r3 & 0x1000) ? FlagAxisA : FlagAxisB;
    SetLookRow(b, 8);
    if (r3 & 0x80) {
        l.diffuseColour.b += r3 & 0x7F;
    } else {
        l.diffuseColour.r += r3 & 0x7F;
    }
}

void GrowSquasher(BallEngine*, BallNode* b) {
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

void ShrinkSquasher(BallEngine*, BallNode* b) {
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

// ---- Lopsided ---------------------------------------------------------------

void SetUpLopsided(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    l.shadingFlags = 16;
    b->moveFrames *= 2;
    l.specularIndex = 3;
    if (r3 & 0x4) DoubleOneAxis(b, r3, 0x8);
    b->flags |= (r3 & 0x2) ? FlagAxisA : FlagAxisB;
    SetLookRow(b, 10);
    if (r3 & 0x19) {
        l.rimColour.g = 230;
        l.rimColour.b = 170;
        if (r3 & 0x10) {
            l.topColour.g = 230;
            l.topColour.r = 170;
            l.rimColour.r = 170;
        }
        if (r3 & 0x8) l.topColour.b = 170;
    }
}

void GrowLopsided(BallEngine*, BallNode* b) {
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

// ---- Bouncer ----------------------------------------------------------------

void SetUpBouncer(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    b->moveFrames = 10000;
    l.specularIndex = 4;
    l.sharpenShift = 10;
    l.shadingFlags = 16;
    l.lightDirection = 0x800180;
    b->flags = (r3 & 0x2000) ? FlagAxisA : FlagAxisB;
    SetLookRow(b, 16);
    // The tinted channel: blue or red.
    const bool blue = (r3 & 0x1000) != 0;
    int32_t& topC = blue ? l.topColour.b : l.topColour.r;
    int32_t& rimC = blue ? l.rimColour.b : l.rimColour.r;
    int32_t& diffuseC = blue ? l.diffuseColour.b : l.diffuseColour.r;
    int32_t& specularC = blue ? l.specularColour.b : l.specularColour.r;
    if ((r3 & 0x1C0) == 0) {
        if (r3 & 0x4000) {
            l.rimColour.g = 245;
            rimC = 245;
        } else {
            l.topColour.g = 200;
            l.rimColour.g = 128;
            topC = 96;
            l.secondSpecularIndex = 7;
            l.specularIndex = 6;
            l.sharpenShift = 9;
        }
    }
    const int32_t add = r3 & 0x2F;
    topC += add;
    diffuseC += add;
    specularC += add;
}

// Light word of the bounce: G in the high half, offset + (sign 3 S^2 >> 10) in
// the low half.
int32_t BounceLight(int32_t g, int32_t s, int32_t sign, int32_t offset) {
    const int32_t sq = wrap::Mul(wrap::Mul(3 * sign, s), s) >> 10;
    return static_cast<int32_t>(static_cast<uint32_t>(g) |
                                (static_cast<uint32_t>(wrap::Add(sq, offset)) & 0xFFFF));
}

void Bounce(BallNode* b, bool growing) {
    ShadeParams& l = b->look;
    int32_t& w = l.spriteWidth;
    int32_t& h = l.spriteHeight;
    const bool a = Has(b, FlagAxisA);
    const bool bb = Has(b, FlagAxisB);
    const int32_t s = a ? wrap::Div(wrap::Mul(w - h, 256), h) : wrap::Div(wrap::Mul(h - w, 256), w);
    const int32_t g = wrap::Shl(128 - (wrap::Mul(s, s) >> 10), 16);
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

void GrowBouncer(BallEngine*, BallNode* b) {
    Bounce(b, true);
}

void ShrinkBouncer(BallEngine*, BallNode* b) {
    Bounce(b, false);
}

// ---- Stretcher --------------------------------------------------------------

void SetUpStretcher(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    l.shadingFlags = 16;
    l.specularIndex = 2;
    b->moveFrames = 10000;
    if (r3 & 0x1000) DoubleOneAxis(b, r3, 0x4000);
    if (r3 & 0x2000) b->flags |= FlagAxisA;
    SetLookRow(b, 18);
    l.topColour.b += r3 & 0x3F;
    l.diffuseColour.b += r3 & 0x2F;
    l.specularColour.b += (r3 >> 1) & 0x1F;
}

void Stretch(BallNode* b, bool growing) {
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

void GrowStretcher(BallEngine*, BallNode* b) {
    Stretch(b, true);
}

void ShrinkStretcher(BallEngine*, BallNode* b) {
    Stretch(b, false);
}

}  // namespace

const KindRules kOvalRules{SetUpOval, GrowOval, ShrinkOval, nullptr, false};
const KindRules kSeeSawRules{SetUpSeeSaw, GrowSeeSaw, ShrinkSeeSaw, nullptr, false};
const KindRules kSquasherRules{SetUpSquasher, GrowSquasher, ShrinkSquasher, nullptr, false};
const KindRules kLopsidedRules{SetUpLopsided, GrowLopsided, nullptr, nullptr, false};
const KindRules kBouncerRules{SetUpBouncer, GrowBouncer, ShrinkBouncer, nullptr, false};
const KindRules kStretcherRules{SetUpStretcher, GrowStretcher, ShrinkStretcher, nullptr, false};
