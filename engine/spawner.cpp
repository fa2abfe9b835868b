// The spawner: turns free pool nodes into new balls once per frame and runs the
// group events (converge and ring bursts, wind, trains, implosions, hub
// children, dropped and launched balls, the formation).
#include <atomic>

#include "engine/random.h"
#include "engine/sine_tables.h"
#include "engine/spawner_internal.h"
#include "render/default_look.h"

namespace {

// The defaults every new ball starts from.
void SetCommonDefaults(BallNode* b) {
    b->kind = BallKind::SettingUp;
    // The colour words are replaced by a look row before the ball is drawn.
    b->look = DefaultLook();
    b->state = BallState::Growing;
    b->flags = 0;
    b->opacityBoost = 0;
    b->stamp = 0;
}

// Looks for a free path point, starting one past r4 mod n; -1 when all are taken.
int32_t FindFreePathPoint(BallEngine* e, int32_t r4) {
    const int32_t n = e->pathCount;
    if (n <= 0) return -1;
    int32_t i = r4 % n;
    for (int32_t tries = 0; tries < n; ++tries) {
        i = i + 1;
        if (i >= n) i = 0;
        if (e->formationSlotTaken[i] == 0) return i;
    }
    return -1;
}

void MakeFormationBall(BallEngine* e, BallNode* b, int32_t i) {
    e->formationSlotTaken[i] = 1;
    b->moveFrames = 1000000;
    b->fullSize = e->unit;
    b->flags = static_cast<uint32_t>(i) | FlagFormation;
    ShadeParams& l = b->look;
    l.lightDirection = 0xA00180;
    const int32_t variant = FormationVariant(e);
    if (variant == 1) {
        SetLookRow(b, 1);
        l.specularIndex = 3;
        l.backLight = -16;
    } else if (variant == 0) {
        SetLookRow(b, 0);
        l.specularIndex = 6;
        l.sharpenShift = 10;
        l.backLight = 0;
        l.secondSpecularIndex = 8;
    }
    b->x = e->frame.width >> 1;
    b->y = e->frame.height >> 1;
    b->vx = (e->pathX[i] - b->x) >> 3;
    b->vy = (e->pathY[i] - b->y) >> 3;
}

void MakeTrainFollower(BallEngine* e, BallNode* b, int32_t r4) {
    const BallNode* leader = e->trainLeader;
    const int32_t d = (r4 & 0x100) ? 5 : 3;
    b->stamp = 0;
    b->moveFrames = 10000;
    if (b->fullSize < (e->ballSize >> 1)) b->fullSize = e->ballSize >> 1;
    b->vx = leader->vx < 0 ? -d : d;
    b->vy = leader->vy < 0 ? -d : d;
    b->x = e->trainHeadX;
    b->y = e->trainHeadY;
    if (r4 & 0x200) {
        b->vy += (r4 & 0x400) ? 2 : -1;
        b->vx += (r4 & 0x800) ? 1 : -2;
    }
    if ((e->frameCount & 3) == 0) {
        if (r4 & 0x1) e->trainHeadX -= b->vx;
        if (r4 & 0x2) e->trainHeadY -= b->vy;
    }
    if ((e->frameCount & 63) == 0) {
        b->vx = -b->vx;
        if (r4 & 0x2000) b->vy = -b->vy;
    }
    if (r4 & 0x4) b->flags = (r4 & 0x4000) ? FlagBounceX : FlagBounceY;
    e->trainCount -= 1;
    e->trainLeader = e->trainCount == 0 ? nullptr : b;
}

void MakeDroppedBall(BallEngine* e, BallNode* b) {
    b->x = e->dropX;
    b->y = e->dropY;
    e->dropX = 0;
    b->stamp = 0;
    b->moveFrames = 0;
    b->fullSize = 28;
    ShadeParams& l = b->look;
    l.specularIndex = 5;
    l.lightDirection = 0x700180;
    l.backLight = 0;
    l.secondLight = 0x900180;
    b->flags = FlagDropped;
    if (e->dropperBall != nullptr) CopyColours(b, e->dropperBall);
}

void MakeLaunchedBall(BallEngine* e, BallNode* b) {
    // Slot B first; the slot empties (its x becomes 0), its other words stay.
    const bool slotB = e->launchBX != 0;
    int32_t& slotX = slotB ? e->launchBX : e->launchAX;
    b->x = slotX;
    b->y = slotB ? e->launchBY : e->launchAY;
    b->vx = slotB ? e->launchBVx : e->launchAVx;
    b->vy = slotB ? e->launchBVy : e->launchAVy;
    slotX = 0;
    CopyColours(b, e->launcherBall);
    b->stamp = 0;
    b->moveFrames = 1000;
    b->fullSize = 28;
    b->look.specularIndex = 6;
    b->flags = 0;
    b->look.lightDirection = 0x800180;
    b->look.backLight = 0;
}

void MakeHubChild(BallEngine* e, BallNode* b) {
    const int32_t k = --e->hubChildrenToPlace;
    e->hubChildren[k] = b;
    b->stamp = 0;
    b->moveFrames = 1000;
    b->fullSize = 28;
    b->flags = 0;
    b->look.specularIndex = 3;
    b->look.lightDirection = 0x700180;
    b->look.backLight = 0;
    b->vx = kBurstDirections[k][0];
    b->vy = kBurstDirections[k][1];
    b->x = e->hubBall->x + kBurstDirections[k][2];
    b->y = e->hubBall->y + kBurstDirections[k][3];
    CopyColours(b, e->hubBall);
}

void MakeImplosionBall(BallEngine* e, BallNode* b) {
    const int32_t k = --e->implosionLeft;
    b->stamp = 0;
    b->moveFrames = 1000;
    b->fullSize = 34;
    b->look.specularIndex = 3;
    b->flags = 0;
    b->vx = kBurstDirections[k][0];
    b->vy = kBurstDirections[k][1];
    // All eight reach the meeting point in the same frame.
    const int32_t t = wrap::Sub(e->implosionFrame, e->frameCount);
    b->x = e->implosionX - t * b->vx;
    b->y = e->implosionY - t * b->vy;
}

void MakeConvergeBall(BallEngine* e, BallNode* b) {
    e->convergeLeft -= 1;
    b->look.specularIndex = 3;
    const int32_t r5 = NextRandom();
    b->vx = (r5 & 7) - 3;
    b->vy = ((r5 >> 3) & 7) - 3;
    // Each ball passes the burst point up to 15 frames after convergeFrame.
    const int32_t ahead = wrap::Sub(e->convergeFrame, e->frameCount);
    b->x = e->convergeX - (((r5 >> 6) & 0xF) + ahead) * b->vx;
    b->y = e->convergeY - (((r5 >> 10) & 0xF) + ahead) * b->vy;
    b->moveFrames = 1000;
    b->fullSize = 34;
}

void MakeTrainLeader(BallEngine* e, BallNode* b) {
    e->trainLeader = b;
    b->x = (b->x >> 1) + (e->frame.width >> 2);
    b->y = (b->y >> 1) + (e->frame.height >> 2);
    e->trainHeadX = b->x;
    e->trainHeadY = b->y;
}

void MakeRingBall(BallEngine* e, BallNode* b, int32_t r4) {
    const int32_t ring = --e->ringCounter;  // even again
    b->flags = (e->ringY & 0x80) ? FlagVortex : (FlagVortex | FlagWobbleAlt);
    const int32_t m = r4 & 0x1F;
    const int32_t k = (m + 7) & 0x1F;
    const int32_t rho = ((r4 & 0x3F) + ring + 100) >> 1;
    b->x = e->ringX + SIN32[k] * rho / 403;
    int32_t dy = COS32[k] * rho / 403;
    if (b->flags & FlagWobbleAlt) dy = -dy;
    b->y = dy + e->ringY;
    // Angle step and radius, decoded by the vortex motion of the frame step.
    b->moveFrames = m + wrap::Shl(rho, 9) + 224;
    b->vx = 0;
    b->vy = 0;
}

// The ordinary ball and the claims of the group events; px, py are the 7-bit
// position fractions of r1.
void SetUpOrdinaryBall(BallEngine* e, BallNode* b, int32_t r2, int32_t px, int32_t py) {
    const int32_t width = e->frame.width;
    const int32_t height = e->frame.height;

    // Event triggers.
    if ((r2 & 0x7FF0) == 0) {
        if ((r2 & 1) && e->convergeLeft == 0) {
            e->convergeLeft = 28;
            e->convergeFrame = wrap::Add(e->frameCount, 28);
            e->convergeX = (width * px) >> 7;
            e->convergeY = (height * py) >> 7;
        } else if (e->ringCounter == 0) {
            e->ringCounter = 100;
            e->ringX = (width * px) >> 7;
            e->ringY = (height * py) >> 7;
        }
        if (r2 & 0x8) e->wind = ((r2 & 6) << 15) | 400;
    }

    // Kind, size, velocity, bounce.
    b->kind = BallKind::Ordinary;
    if (e->style == 0) b->opacityBoost = 64;
    b->fullSize = 15 + (((r2 & 0x17) * e->sizeScale) >> 16);
    b->vx = (r2 & 0x40) ? 0 : ((r2 & 0x80) ? 1 : -1);
    b->vy = (r2 & 0x100) ? 0 : ((r2 & 0x200) ? 1 : -1);
    if ((r2 & 0xC00) == 0) b->flags = FlagBounceX;
    if ((r2 & 0x3000) == 0) b->flags = FlagBounceY;

    // Life, formation candidacy, speed, position.
    const int32_t r3 = NextRandom();
    b->moveFrames = r3 & 0xF;
    if (b->moveFrames != 0) b->moveFrames = (r3 & 0x1F) + b->fullSize;
    if ((r3 & 0x80) && e->introState.load(std::memory_order_relaxed) == 0) b->stamp = 1;
    if ((r3 & 0x300) == 0 && px > 32 && px < 96) b->vx = 5 * b->vx;
    if ((r3 & 0xC00) == 0 && py > 32 && py < 96) b->vy = 5 * b->vy;
    b->x = (px * width) >> 7;
    b->y = (py * height) >> 7;

    // Look, colour jitter, wobble selectors.
    SetLookRow(b, 2);
    const int32_t r4 = NextRandom();
    ShadeParams& l = b->look;
    l.backLight = (r4 & 0x2000) ? 14 : -16;
    if (r4 & 0x4000) {
        l.specularIndex = 6;
        l.lightDirection = 0x980180;
        l.backLight = 8;
    }
    const int32_t green = r4 & 0x7F;
    const int32_t red = (r4 >> 4) & 0x7F;
    const int32_t blue = (r4 >> 8) & 0x7F;
    l.diffuseColour.g += green;
    l.topColour.g += green >> 1;
    l.rimColour.g += green >> 2;
    l.specularColour.g += green >> 1;
    l.diffuseColour.r += red;
    l.topColour.r += red >> 1;
    l.rimColour.r += red >> 2;
    l.specularColour.r += red >> 2;
    l.diffuseColour.b += blue;
    l.topColour.b += blue >> 1;
    l.rimColour.b += blue >> 2;
    l.specularColour.b += blue >> 2;
    if (r4 & 0x1) b->flags |= FlagWobble;
    if (r4 & 0x2) b->flags |= FlagWobbleAlt;

    // Wind pushes every new ordinary ball one way.
    if (e->wind != 0) {
        switch ((e->wind >> 16) & 3) {
            case 0:
                if (b->vx > -3) b->vx = -3;
                break;
            case 1:
                if (b->vx < 3) b->vx = 3;
                break;
            case 2:
                if (b->vy < 3) b->vy = 3;
                break;
            default:
                if (b->vy > -3) b->vy = -3;
                break;
        }
        if (e->wind & 0xFFF) {
            e->wind -= 1;
        } else {
            e->wind = 0;
        }
    }

    // The claims, first match wins. A formation candidate that is not captured
    // loses its stamp and skips the train.
    const int32_t phase = e->formationPhase.load(std::memory_order_relaxed);
    if (phase != 0 && b->stamp == 1) {
        if (e->formationFull == 0 && phase == 65) {
            const int32_t i = FindFreePathPoint(e, r4);
            if (i >= 0) {
                MakeFormationBall(e, b, i);
                return;
            }
            e->formationFull = 1;
        }
        b->stamp = 0;
    } else if (e->trainLeader != nullptr && phase == 0 && e->trainLeader->look.spriteWidth > 9) {
        MakeTrainFollower(e, b, r4);
        return;
    }
    if (e->dropX != 0) {
        MakeDroppedBall(e, b);
        return;
    }
    if (e->launcherBall != nullptr && (e->launchBX != 0 || e->launchAX != 0)) {
        MakeLaunchedBall(e, b);
        return;
    }
    if (e->hubChildrenToPlace != 0) {
        if (e->hubBall == nullptr) {
            e->hubChildrenToPlace = 0;
        } else {
            MakeHubChild(e, b);
            return;
        }
    }
    if (e->implosionLeft != 0) {
        MakeImplosionBall(e, b);
        return;
    }
    if (e->convergeLeft != 0 && b->stamp == 0) {
        MakeConvergeBall(e, b);
        return;
    }
    if (e->trainCount != 0 && e->trainLeader == nullptr) {
        MakeTrainLeader(e, b);
        return;
    }
    // One ring ball per frame while the ring burst runs.
    if ((e->ringCounter & 1) && b->stamp == 0) MakeRingBall(e, b, r4);
}

void SetUpBall(BallEngine* e, BallNode* b) {
    SetCommonDefaults(b);
    const int32_t r1 = NextRandom();
    const int32_t px = r1 & 0x7F;
    const int32_t py = (r1 >> 7) & 0x7F;
    b->x = px;
    b->y = py;
    const int32_t r2 = NextRandom();
    if (r2 & 0xFF) {
        SetUpOrdinaryBall(e, b, r2, px, py);
    } else {
        SetUpSpecialBall(e, b, px, py);
    }
    // The first ball after the look ball went away becomes the new one.
    if (e->lookBall == nullptr && b->kind != BallKind::Chaser) {
        CacheLook(e, b);
        e->lookBall = b;
    }
}

}  // namespace

void BlendColoursToward(BallNode* ball, const int32_t* target, int32_t shift) {
    int32_t c[kLookWords];
    std::memcpy(c, &ball->look.topColour, sizeof c);
    const int32_t keep = (1 << shift) - 1;
    const int32_t round = 1 << (shift - 1);
    for (int32_t i = 0; i < kLookWords; ++i)
        c[i] = (target[i] + keep * c[i] + round) >> shift;
    std::memcpy(&ball->look.topColour, c, sizeof c);
}

void SpawnBalls(BallEngine* e) {
    // An even ring counter turns odd here, which lets one ring ball be placed.
    if (e->ringCounter != 0 && (e->ringCounter & 1) == 0) e->ringCounter -= 1;
    for (;;) {
        BallNode* b = TakeBall(e);
        if (b == nullptr) return;
        SetUpBall(e, b);
        if (e->frameCount >= 201) continue;
        // Early on at most four balls a frame: the counter is pushed up to the
        // next multiple of 4.
        if ((e->frameCount & 3) == 0) return;
        e->frameCount += 1;
    }
}

void StepFormation(BallEngine* e) {
    const int32_t p = e->formationPhase.load(std::memory_order_relaxed);
    if (p == 1) {
        FormationVariant(e) = NextRandom() & 1;
        e->formationPhase.store(2, std::memory_order_relaxed);
        e->formationFull = 0;
        for (int32_t& taken : e->formationSlotTaken)
            taken = 0;
        return;
    }
    // The phase climbs to 64, holds at 65 while balls are captured, then runs
    // on for 256 frames once every path point is taken.
    const int32_t q = p + 1;
    e->formationPhase.store(q, std::memory_order_relaxed);
    if (q == 64 && e->displayMode >= 0) e->displayMode = 1;
    if (e->formationFull == 0) {
        if (q >= 64) e->formationPhase.store(65, std::memory_order_relaxed);
        return;
    }
    if (e->formationFull == 1) {
        if (q == 192) {
            e->displayMode = e->style;
        } else if (q > 320) {
            e->formationPhase.store(0, std::memory_order_relaxed);
        }
    }
}
