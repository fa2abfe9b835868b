// The kinds that bring further balls: the launcher fills two launch slots
// every 8 frames, and the hub, once grown, asks for eight children and pushes
// them while it shrinks. The spawner turns slots and requests into balls.
#include <algorithm>

#include "engine/kind_rules_internal.h"
#include "engine/kind_tables.h"

namespace {

// ---- Launcher ---------------------------------------------------------------

void SetUpLauncher(BallEngine* e, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    e->launcherBall = b;
    ShadeParams& l = b->look;
    l.specularIndex = 4;
    l.shadingFlags = 16;
    l.lightDirection = 0xA00180;
    l.backLight = -13;
    l.sharpenShift = 10;
    e->launchBX = 0;
    e->launchAX = 0;
    b->moveFrames = 10000;
    b->flags = 0;
    const int32_t speed = (r3 & 0x3000) ? 3 : 2;
    b->vx = d.px > 64 ? -speed : speed;  // heads for the middle
    b->vy = d.py <= 64 ? 2 : -2;
    SetLookRow(b, 14);
    if (r3 & 0x1000) {
        l.diffuseColour.b += r3 & 0x3F;
    } else {
        l.diffuseColour.r += r3 & 0x3F;
        l.topColour.r += (r3 >> 2) & 0xF;
    }
}

// The same while growing and shrinking: both slots every 8 frames of its life.
void Launch(BallEngine* e, BallNode* b) {
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

// ---- Hub --------------------------------------------------------------------

void SetUpHub(BallEngine* e, BallNode* b, SpecialDraw& d) {
    const int32_t r3 = d.r3;
    e->hubBall = b;
    ShadeParams& l = b->look;
    l.specularIndex = 3;
    l.lightDirection = 0x600180;
    b->moveFrames = 0;
    b->vx = b->vy = 0;
    b->flags = 0;
    if (r3 & 0x1000) b->flags = FlagAxisA;
    if (r3 & 0x2000) b->flags |= FlagAxisB;
    SetLookRow(b, 15);
    for (BallNode*& child : e->hubChildren)
        child = nullptr;
    // The grown hub's look: the pristine row, tinted red or blue.
    int32_t* grown = kLookTemplates[kHubGrownRow];
    for (int32_t i = 0; i < kLookWords; ++i)
        grown[i] = kLookTemplates[kHubPristineRow][i];
    const int32_t t = r3 & 0x4F;
    const int32_t channel = (r3 & 0x4000) ? 0 : 2;
    grown[0 + channel] += t;  // top
    grown[6 + channel] += t;  // diffuse
    grown[9 + channel] += t;  // specular
}

void GrowHub(BallEngine* e, BallNode* b) {
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

void ShrinkHub(BallEngine* e, BallNode* b) {
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

}  // namespace

const KindRules kLauncherRules{SetUpLauncher, Launch, Launch, &BallEngine::launcherBall, true};
const KindRules kHubRules{SetUpHub, GrowHub, ShrinkHub, &BallEngine::hubBall, true};
