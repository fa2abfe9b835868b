// The kinds made for their look: glass keeps the ordinary shape with a glassy
// or bright-rimmed look, and the colour cycler blends its colours through
// three rows or turns its two lights.
#include "engine/kind_rules_internal.h"

namespace {

void SetUpGlass(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    l.shadingFlags = 16;
    l.specularIndex = 4;
    if (r3 & 0x1) DoubleOneAxis(b, r3, 0x2);
    SetLookRow(b, 3);
    l.diffuseColour.r += r3 & 0x70;
    const int32_t tint = (r3 >> 1) & 0x38;
    if (r3 & 0x1000) {
        b->flags |= FlagVariant;
        l.opacityControl = 128;
        l.rimColour.r += tint;
        l.lightDirection = 0xB00180;
        l.secondSpecularIndex = 7;
        l.sharpenShift = 9;
        l.topColour.r = (l.diffuseColour.r * 3) >> 2;
        l.topColour.g = (l.diffuseColour.g * 3) >> 2;
    } else {
        l.backLight = -12;
        l.topColour.r += tint;
        l.specularColour.r += tint;
        l.rimColour.r *= 2;
        l.rimColour.g *= 2;
        l.rimColour.b *= 2;
        l.lightDirection = 0xC00180;
        l.sharpenShift = 11;
    }
}

void SetUpColourCycler(BallEngine*, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    b->moveFrames = (r3 & 0x36) | 0x800;
    if (r3 & 0x10) {
        l.shadingFlags = 16;
        l.specularIndex = 2;
        b->flags |= FlagCycle;
        if (r3 & 0x1) {
            if (r3 & 0x2) {
                b->vx = 0;
                b->vy *= 2;
            } else {
                b->vy = 0;
                b->vx *= 2;
            }
        } else if (r3 & 0x4) {
            DoubleOneAxis(b, r3, 0x8);
        }
    }
    SetLookRow(b, 19);
    if ((r3 & 0x10) == 0) {
        if (r3 & 0x1) b->flags |= FlagVortex;
        l.lightDirection = 0;
        l.secondLight = 0;
        l.specularIndex = 1;
        SetLookRow(b, (r3 & 0x20) ? 27 : ((r3 & 0x40) ? 26 : 25));
    }
}

// Growing, the ball also loses 2 px on a quarter of its phases.
void CycleColours(BallNode* b, bool growing) {
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

void GrowColourCycler(BallEngine*, BallNode* b) {
    CycleColours(b, true);
}

void ShrinkColourCycler(BallEngine*, BallNode* b) {
    CycleColours(b, false);
}

}  // namespace

const KindRules kGlassRules{SetUpGlass, nullptr, nullptr, nullptr, false};
const KindRules kColourCyclerRules{SetUpColourCycler, GrowColourCycler, ShrinkColourCycler, nullptr,
                                   false};
