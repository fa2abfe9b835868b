// Special balls: about one new ball in 256 becomes one of eighteen special
// kinds, chosen by one of sixteen set-up rows. Hub, launcher, dropper, chaser,
// pulsar and roller exist at most once; while one exists its row falls back to
// another kind.
#include "engine/random.h"
#include "engine/spawner_internal.h"

namespace {

// Doubles vy when yBit is set in r3, else vx.
void DoubleOneAxis(BallNode* b, int32_t r3, int32_t yBit) {
    if (r3 & yBit) {
        b->vy *= 2;
    } else {
        b->vx *= 2;
    }
}

void Kind18(BallNode* b, int32_t r3) {
    b->kind = 18;
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

void Kind6(BallNode* b, int32_t r3) {
    b->kind = 6;
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

void Kind5(BallNode* b, int32_t r3) {
    b->kind = 5;
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

void Kind4(BallNode* b, int32_t r3) {
    b->kind = 4;
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

void Hub(BallEngine* e, BallNode* b, int32_t r3) {
    b->kind = 15;
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

void Launcher(BallEngine* e, BallNode* b, int32_t r3, int32_t px, int32_t py) {
    b->kind = 14;
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
    const int32_t d = (r3 & 0x3000) ? 3 : 2;
    b->vx = px > 64 ? -d : d;  // heads for the middle
    b->vy = py <= 64 ? 2 : -2;
    SetLookRow(b, 14);
    if (r3 & 0x1000) {
        l.diffuseColour.b += r3 & 0x3F;
    } else {
        l.diffuseColour.r += r3 & 0x3F;
        l.topColour.r += (r3 >> 2) & 0xF;
    }
}

void Kind7(BallNode* b, int32_t r3) {
    b->kind = 7;
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

void Kind10(BallNode* b, int32_t r3) {
    b->kind = 10;
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

void Kind8(BallNode* b, int32_t r3) {
    b->kind = 8;
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

void Dropper(BallEngine* e, BallNode* b, int32_t r3, int32_t& px, int32_t& py) {
    b->kind = 13;
    e->dropperBall = b;
    e->dropX = 0;
    SetLookRow(b, 13);
    ShadeParams& l = b->look;
    l.specularIndex = 4;
    const int32_t e2 = (r3 >> 2) & 0x2F;
    l.topColour.b += e2;
    l.rimColour.b += e2;
    l.diffuseColour.b += 2 * e2;
    b->stamp = 4;  // quarter circles still to fly
    b->moveFrames = 10000;
    b->flags = 0;
    b->vx = b->vy = 0;
    const int32_t d = (r3 & 0x1F) + 30;
    if (r3 & 0x4000) b->flags |= FlagToggle;
    const bool toggle = (b->flags & FlagToggle) != 0;
    switch (r3 & 0x3000) {
        case 0x1000:
            b->flags |= FlagAxisB;
            px -= d;
            break;
        case 0x2000:
            b->flags |= FlagAxisA;
            py += toggle ? -d : d;
            break;
        case 0x3000:
            b->flags |= FlagAxisA | FlagAxisB;
            py += toggle ? d : -d;
            break;
        default:
            px += d;
            break;
    }
    if (r3 & 0x1) {
        b->flags |= FlagWobble;
        if (r3 & 0x2) b->flags |= FlagWobbleAlt;
        if (r3 & 0x4) b->flags |= FlagDriftSign;
    }
    e->orbitB = 1;
    e->orbitError = 4 * d;
    e->orbitA = 4 * d + 1;
}

void Kind9(BallEngine* e, BallNode* b, int32_t r3) {
    b->kind = 9;
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
    const int32_t e2 = (r3 >> 4) & 0x1F;
    l.rimColour.g += e2;
    l.topColour.g += e2;
    if ((r3 & 3) == 0) l.diffuseColour.b = 192;
}

void Kind19(BallNode* b, int32_t r3) {
    b->kind = 19;
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

// Selector 11: an implosion starts, then chaser, roller, pulsar or kind 19.
void Selector11(BallEngine* e, BallNode* b, int32_t r3, int32_t px, int32_t py) {
    const int32_t width = e->frame.width;
    const int32_t height = e->frame.height;
    const int32_t startX = ((px * width) >> 8) + (width >> 2);
    const int32_t startY = ((py * height) >> 8) + (height >> 2);
    if (e->implosionLeft == 0) {
        e->implosionLeft = 8;
        e->implosionFrame = WrapAdd(e->frameCount, 48);
        e->implosionX = startX;
        e->implosionY = startY;
    }
    ShadeParams& l = b->look;
    if (e->chaserBall == nullptr && (r3 & 0x4000)) {
        b->kind = 12;
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
    } else if (e->rollerBall == nullptr) {
        b->kind = 20;
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
        e->rollerX = startX;
        e->rollerY = startY;
    } else if (e->pulsarBall == nullptr) {
        b->kind = 17;
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
    } else {
        Kind19(b, r3);
    }
}

void Kind11(BallNode* b, int32_t r3) {
    b->kind = 11;
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

void Kind16(BallNode* b, int32_t r3) {
    b->kind = 16;
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
    const int32_t d = r3 & 0x2F;
    topC += d;
    diffuseC += d;
    specularC += d;
}

void Kind3(BallNode* b, int32_t r3) {
    b->kind = 3;
    ShadeParams& l = b->look;
    l.shadingFlags = 16;
    l.specularIndex = 4;
    if (r3 & 0x1) DoubleOneAxis(b, r3, 0x2);
    SetLookRow(b, 3);
    l.diffuseColour.r += r3 & 0x70;
    const int32_t e2 = (r3 >> 1) & 0x38;
    if (r3 & 0x1000) {
        b->flags |= FlagVariant;
        l.opacityControl = 128;
        l.rimColour.r += e2;
        l.lightDirection = 0xB00180;
        l.secondSpecularIndex = 7;
        l.sharpenShift = 9;
        l.topColour.r = (l.diffuseColour.r * 3) >> 2;
        l.topColour.g = (l.diffuseColour.g * 3) >> 2;
    } else {
        l.backLight = -12;
        l.topColour.r += e2;
        l.specularColour.r += e2;
        l.rimColour.r *= 2;
        l.rimColour.g *= 2;
        l.rimColour.b *= 2;
        l.lightDirection = 0xC00180;
        l.sharpenShift = 11;
    }
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

    switch ((r3 >> 8) & 15) {
        case 0:
            Kind18(b, r3);
            break;
        case 1:
            Kind6(b, r3);
            break;
        case 2:
            Kind5(b, r3);
            break;
        case 3:
            if (e->hubBall == nullptr) {
                Hub(e, b, r3);
            } else {
                Kind4(b, r3);
            }
            break;
        case 4:
            Kind4(b, r3);
            break;
        case 5:
            if (e->launcherBall == nullptr) {
                Launcher(e, b, r3, px, py);
            } else {
                Kind7(b, r3);
            }
            break;
        case 6:
            Kind7(b, r3);
            break;
        case 7:
            Kind10(b, r3);
            break;
        case 8:
            Kind8(b, r3);
            break;
        case 9:
            if (e->dropperBall == nullptr) {
                Dropper(e, b, r3, px, py);
            } else {
                Kind9(e, b, r3);
            }
            break;
        case 10:
            Kind9(e, b, r3);
            break;
        case 11:
            Selector11(e, b, r3, px, py);
            break;
        case 12:
            Kind19(b, r3);
            break;
        case 13:
            Kind11(b, r3);
            break;
        case 14:
            Kind16(b, r3);
            break;
        default:
            Kind3(b, r3);
            break;
    }

    // Special balls start in the middle half of the frame.
    b->x = ((px * e->frame.width) >> 8) + (e->frame.width >> 2);
    b->y = ((py * e->frame.height) >> 8) + (e->frame.height >> 2);
}
