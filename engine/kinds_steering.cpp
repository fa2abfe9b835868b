// The two steering kinds: the chaser follows the look ball, matching its size
// and colours, and wanders when there is nothing to follow; the dropper flies a
// circle of four quarters and marks where the spawner drops a ball.
#include <algorithm>
#include <cstdlib>

#include "engine/kind_rules_internal.h"

namespace {

constexpr int32_t kChaserMaxOpacity = 160;

// One axis of the chaser's steering: d the distance to the target on this axis,
// u the spacing term, lv the target's velocity.
void SteerAxis(int32_t& v, int32_t d, int32_t u, int32_t lv) {
    if (d < 0) {
        const int32_t e = d - u;
        if (e < -84) {
            if (v > lv - 5) v -= 1;
        } else if (e < -75) {
            if (v < lv - 1) v += 1;
        } else if (e <= -66) {
            if (v == 0) v = lv >= 0 ? 1 : -1;
        } else {
            v += lv >= 0 ? -1 : 1;
        }
    } else {
        const int32_t e = d + u;
        if (e > 84) {
            if (v < lv + 5) v += 1;
        } else if (e > 75) {
            if (v > lv + 1) v -= 1;
        } else if (e >= 66) {
            if (v == 0) v = lv >= 0 ? 1 : -1;
        } else {
            v += lv >= 0 ? -1 : 1;
        }
    }
}

inline void TowardZero(int32_t& v) {
    if (v > 1) {
        v -= 1;
    } else if (v < -1) {
        v += 1;
    }
}

inline void ToggleOrStart(int32_t& v, bool negative) {
    if (v != 0) {
        v = 0;
    } else {
        v = negative ? -1 : 1;
    }
}

// The wander step, every 32 frames of the chaser's life.
void Wander(BallEngine* e, BallNode* b) {
    int32_t& m = b->moveFrames;
    if (b->x < 40) {
        b->vx = 1;
    } else if (b->x > e->frame.width - 40) {
        b->vx = -1;
    } else if (b->y < 40) {
        b->vy = 1;
    } else if (b->y > e->frame.height - 40) {
        b->vy = -1;
    } else {
        // A new random word from m itself: m >> 1 with bit 16 of m as bit 31,
        // plus F << 15; its high half replaces m's, the life stays.
        const uint32_t um = static_cast<uint32_t>(m);
        uint32_t n = ((um >> 1) & 0x7FFFFFFFu) | (((um >> 16) & 1u) << 31);
        n += static_cast<uint32_t>(e->frameCount) << 15;
        m = static_cast<int32_t>((um & 0xFFFFu) | (n & 0xFFFF0000u));
        if (m & 0x10000) {
            if (m & 0x20000) {
                ToggleOrStart(b->vx, (m & 0x40000) != 0);
            } else {
                ToggleOrStart(b->vy, (m & 0x40000) != 0);
            }
        }
    }
    if (b->vx == 0 && b->vy == 0) {
        if (m & 0x100000) {
            b->vx = 1;
        } else if (m & 0x200000) {
            b->vy = 1;
        } else if (m & 0x400000) {
            b->vy = -1;
        } else {
            b->vx = -1;
        }
    }
}

// Approach of a side toward the followed ball's side L.
inline int32_t ApproachSide(int32_t own, int32_t l) {
    return l > 32 ? (l + 3 * own) >> 2 : (l + 30 * own + 16) >> 5;
}

// ---- Chaser -----------------------------------------------------------------

void SetUpChaser(BallEngine* e, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    ShadeParams& l = b->look;
    e->lookBall = nullptr;
    l.shadingFlags = 16;
    b->flags = 3;
    l.specularIndex = 4;
    l.sharpenShift = 9;
    b->vx = b->vy = 0;
    // A random word in the high half, the life in the low half.
    b->moveFrames = ((r3 & 0x7FFF) << 16) | 0x1800;
    if (r3 & 0x1000) b->flags |= FlagCycle;
    SetLookRow(b, 12);
    e->chaserBall = b;
}

// Follows the look ball, or wanders; ends itself when its life runs out.
void GrowChaser(BallEngine* e, BallNode* b) {
    ShadeParams& look = b->look;
    int32_t& w = look.spriteWidth;
    int32_t& h = look.spriteHeight;
    int32_t& r = look.normalRadius;
    const int32_t f = e->frameCount;

    // End of life: shrink from now on.
    if ((b->moveFrames & 0xFFFF) == 0) {
        b->stamp = 0;
        b->state = BallState::Shrinking;
        e->chaserBall = nullptr;
        return;
    }

    const bool cycle = (b->flags & FlagCycle) != 0;
    const int32_t* c0 = kLookTemplates[12];
    if (e->lookBall != nullptr) {
        const BallNode* target = e->lookBall;
        r = w + h + 10;
        if (target->kind == BallKind::Ordinary) {
            if (cycle) {
                if (f & 0x80) {
                    r += (f & 0x7F) - 127;
                } else {
                    r -= f & 0x7F;
                    c0 = e->lookCache + 3;  // the cached colour words
                }
                if ((f & 0xFF) == 0) e->lookBall = nullptr;
            } else {
                b->stamp = std::min(b->stamp + 1, kChaserMaxOpacity);
                look.opacityControl = b->stamp;
            }
        } else {
            b->opacityBoost = target->opacityBoost;
            c0 = &target->look.topColour.r;
            if (cycle) {
                if (target->kind == BallKind::Glass) {
                    b->flags = (b->flags & ~FlagVariant) | (target->flags & FlagVariant);
                    look.opacityControl = (b->flags & FlagVariant) ? 48 : 0;
                }
            } else {
                b->stamp = std::max(b->stamp - 2, 0);
                look.opacityControl = b->stamp;
            }
            w = ApproachSide(w, target->look.spriteWidth);
            h = ApproachSide(h, target->look.spriteHeight);
            r = (r >> 1) + target->look.normalRadius;
        }
        r >>= 1;
    }

    if (f & 1) {
        int32_t target[kLookWords];
        std::memcpy(target, c0, sizeof target);
        BlendColoursToward(b, target, 5);
    }

    if (w >= b->fullSize) w = b->fullSize - 1;
    if (h >= b->fullSize) h = b->fullSize - 1;

    const BallNode* target = e->lookBall;
    if (target != nullptr && target->kind != BallKind::Ordinary && (b->moveFrames & 1) == 0) {
        const int32_t dx = target->x - b->x;
        const int32_t dy = target->y - b->y;
        const int32_t d = std::abs(dx) + std::abs(dy);
        int32_t z = target->look.spriteWidth + target->look.spriteHeight;
        if (cycle) z = 152 - z;
        if (b->flags & FlagToggle) z >>= 1;
        const int32_t u = (d + z) >> 2;
        SteerAxis(b->vx, dx, u, target->vx);
        SteerAxis(b->vy, dy, u, target->vy);
    } else {
        if ((b->moveFrames & 7) == 0) {
            TowardZero(b->vx);
            TowardZero(b->vy);
        }
        if ((b->moveFrames & 0x1F) == 0) Wander(e, b);
    }

    r = std::max(r, 8);
    look.ellipseWidth = w;
    look.ellipseHeight = h;
}

// ---- Dropper ----------------------------------------------------------------

void SetUpDropper(BallEngine* e, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    e->dropperBall = b;
    e->dropX = 0;
    SetLookRow(b, 13);
    ShadeParams& l = b->look;
    l.specularIndex = 4;
    const int32_t tint = (r3 >> 2) & 0x2F;
    l.topColour.b += tint;
    l.rimColour.b += tint;
    l.diffuseColour.b += 2 * tint;
    b->stamp = 4;  // quarter circles still to fly
    b->moveFrames = 10000;
    b->flags = 0;
    b->vx = b->vy = 0;
    const int32_t radius = (r3 & 0x1F) + 30;
    if (r3 & 0x4000) b->flags |= FlagToggle;
    const bool toggle = (b->flags & FlagToggle) != 0;
    switch (r3 & 0x3000) {
        case 0x1000:
            b->flags |= FlagAxisB;
            d.px -= radius;
            break;
        case 0x2000:
            b->flags |= FlagAxisA;
            d.py += toggle ? -radius : radius;
            break;
        case 0x3000:
            b->flags |= FlagAxisA | FlagAxisB;
            d.py += toggle ? radius : -radius;
            break;
        default:
            d.px += radius;
            break;
    }
    if (r3 & 0x1) {
        b->flags |= FlagWobble;
        if (r3 & 0x2) b->flags |= FlagWobbleAlt;
        if (r3 & 0x4) b->flags |= FlagDriftSign;
    }
    e->orbitB = 1;
    e->orbitError = 4 * radius;
    e->orbitA = 4 * radius + 1;
}

// Flies a circle of four quarters and marks where the next dropped ball goes.
void GrowDropper(BallEngine* e, BallNode* b) {
    ShadeParams& look = b->look;
    int32_t& vx = b->vx;
    int32_t& vy = b->vy;
    vx = 0;
    vy = 0;

    // Four steps of a midpoint circle on the engine's orbit words.
    for (int32_t step = 0; step < 4; ++step) {
        if (e->orbitA < e->orbitB) {
            if (e->orbitError < 0) {
                vy += 1;
                e->orbitError += e->orbitB + 2;
                e->orbitB += 2;
            }
            vx -= 1;
            e->orbitA -= 2;
            e->orbitError -= e->orbitA;
            if (e->orbitA < 0) {
                // A quarter is complete: on to the next one.
                std::swap(e->orbitA, e->orbitB);
                const int32_t oldVx = vx;
                vx = vy;
                vy = -oldVx;
                e->orbitError = -e->orbitError;
                if (b->stamp == 1) {
                    b->state = BallState::Retiring;
                    e->dropperBall = nullptr;
                }
                b->stamp -= 1;
                const bool wasA = (b->flags & FlagAxisA) != 0;
                b->flags ^= FlagAxisA;
                if (wasA) b->flags ^= FlagAxisB;
            }
        } else {
            if (e->orbitError < 0) {
                vx -= 1;
                e->orbitError += e->orbitA - 2;
                e->orbitA -= 2;
            }
            vy += 1;
            e->orbitError -= e->orbitB + 2;
            e->orbitB += 2;
        }
    }

    if ((b->moveFrames & 7) == 0) {
        e->dropX = b->x;
        e->dropY = b->y;
    }

    if (b->stamp < 3) {
        look.spriteWidth = std::max(look.spriteWidth - 2, 11);
        look.spriteHeight = std::max(look.spriteHeight - 2, 11);
    } else {
        if (look.spriteWidth >= b->fullSize) look.spriteWidth = b->fullSize - 1;
        if (look.spriteHeight >= b->fullSize) look.spriteHeight = b->fullSize - 1;
    }

    // Rotate the step into the current quarter.
    const bool a = (b->flags & FlagAxisA) != 0;
    const bool bb = (b->flags & FlagAxisB) != 0;
    const int32_t ox = vx;
    const int32_t oy = vy;
    if (a && bb) {
        vx = oy;
        vy = -ox;
    } else if (bb) {
        vx = -ox;
        vy = -oy;
    } else if (a) {
        vx = -oy;
        vy = ox;
    }
    if (b->flags & FlagToggle) vy = -vy;

    if (b->flags & FlagWobble) {
        const int32_t drift = (b->flags & FlagDriftSign) ? -2 : 2;
        if (b->flags & FlagWobbleAlt) {
            vy += drift;
        } else {
            vx += drift;
        }
    }

    look.ellipseWidth = look.spriteWidth;
    look.ellipseHeight = look.spriteHeight;
    look.normalRadius = (look.spriteWidth + look.spriteHeight) >> 1;
}

}  // namespace

// The chaser clears its own pointer when its life ends, before it shrinks.
const KindRules kChaserRules{SetUpChaser, GrowChaser, nullptr, &BallEngine::chaserBall, false};
const KindRules kDropperRules{SetUpDropper, GrowDropper, nullptr, &BallEngine::dropperBall, true};
