// The per-frame routine: intro gate, repaint, event clock, erase, fade, the ball
// loop (motion, growth, kind rule, draw, retire), formation clock, spawning and
// presentation of the changed rectangles.
#include "engine/ball_engine.h"
#include "engine/dirty_rects.h"
#include "engine/frame_step_internal.h"
#include "engine/jitter_tables.h"
#include "engine/kind_rules.h"
#include "engine/sine_tables.h"
#include "render/ball_maps.h"
#include "render/compositing.h"
#include "render/shade_ball.h"
#include "render/wrap_math.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

// Ring motion or wobble, the first that applies, after a moving update.
void RingOrWobble(BallEngine* e, BallNode* b) {
    if (e->ringCounter != 0 && b->kind == BallKind::Ordinary && (b->flags & FlagVortex) != 0) {
        b->moveFrames = wrap::Add(b->moveFrames, -640);
        const int32_t k = b->moveFrames & 31;
        b->vx = wrap::Add(wrap::Mul(SIN32[k], b->moveFrames), 0x80000) >> 20;
        b->vy = wrap::Add(wrap::Mul(COS32[k], b->moveFrames), 0x80000) >> 20;
        if ((b->flags & FlagWobbleAlt) != 0) b->vy = -b->vy;
    } else if (e->wobbleLeft != 0 && b->kind == BallKind::Ordinary) {
        e->wobbleLeft -= 1;
        const bool alt = (b->flags & FlagWobbleAlt) != 0;
        if ((b->flags & FlagWobble) != 0) {
            const int32_t k = b->moveFrames & 7;
            b->x += WOB8X[k];
            b->y += alt ? WOB8Y1[k] : WOB8Y2[k];
        } else {
            const int32_t k = b->moveFrames & 15;
            b->x += WOB16X[k];
            b->y += alt ? WOB16Y1[k] : WOB16Y2[k];
        }
    }
}

}  // namespace

void GrowBall(BallEngine* e, BallNode* b) {
    ShadeParams& look = b->look;
    if (b->moveFrames != 0) {
        b->x += b->vx;
        b->y += b->vy;
        b->moveFrames -= 1;
        look.spriteWidth += 1;
        look.spriteHeight += 1;
        if ((b->flags & FlagFormation) != 0) {
            const uint32_t k = b->flags & FlagPathIndex;
            if (k < static_cast<uint32_t>(kPathCapacity)) {
                const int32_t dx = e->pathX[k] - b->x;
                const int32_t dy = e->pathY[k] - b->y;
                b->vx = dx < 0 ? dx >> 3 : (dx + 7) >> 3;
                b->vy = dy < 0 ? dy >> 3 : (dy + 15) >> 3;
            }
        } else {
            RingOrWobble(e, b);
        }
    }
    // Not an else: the frame in which moveFrames reaches 0 grows by 1 and then by 2.
    if (b->moveFrames == 0) {
        if ((b->flags & FlagDropped) == 0) {
            look.spriteWidth += 2;
            look.spriteHeight += 2;
        } else if ((e->frameCount & 1) != 0) {
            look.spriteWidth += 1;
            look.spriteHeight += 1;
        }
    }
}

void FullSizeTest(BallEngine* e, BallNode* b) {
    const int32_t w = b->look.spriteWidth;
    const int32_t h = b->look.spriteHeight;
    if (w < b->fullSize && h < b->fullSize) return;
    if (b->stamp != 0) {
        b->state = BallState::Retiring;
        if ((b->flags & FlagFormation) != 0) {
            const uint32_t k = b->flags & FlagPathIndex;
            if (k < static_cast<uint32_t>(kPathCapacity)) {
                b->x = e->pathX[k];
                b->y = e->pathY[k];
            }
        }
        return;
    }
    b->state = (b->flags & FlagRemoveWhenGrown) != 0 ? BallState::Retiring : BallState::Shrinking;
    if ((b->flags & FlagBounceX) != 0) b->vx = -b->vx;
    if ((b->flags & FlagBounceY) != 0) b->vy = -b->vy;
    if (b->vx > 1) b->vx = 2;
    if (b->vx < -1) b->vx = -2;
    if (b->vy > 1) b->vy = 2;
    if (b->vy < -1) b->vy = -2;
}

bool ShrinkBall(BallEngine* e, BallNode* b) {
    ShadeParams& look = b->look;
    if ((b->flags & FlagShrinkCountdown) != 0) {
        b->flags -= 1;
        if ((b->flags & FlagShrinkCountdown) == 0) {
            b->state = BallState::Retiring;
        } else {
            look.spriteWidth -= 10;
            look.spriteHeight -= 10;
        }
    }
    if (look.spriteWidth < 7 || look.spriteHeight < 7) {
        look.spriteWidth = 5;
        look.spriteHeight = 5;
        b->state = BallState::Retiring;
        return false;  // straight to drawing
    }
    if (b->moveFrames != 0) {
        b->x += b->vx;
        b->y += b->vy;
        b->moveFrames -= 1;
        look.spriteWidth -= 1;
        look.spriteHeight -= 1;
        RingOrWobble(e, b);
    }
    if (b->moveFrames == 0) {
        if ((b->flags & FlagDropped) == 0) {
            look.spriteWidth -= 2;
            look.spriteHeight -= 2;
        } else if ((e->frameCount & 1) != 0) {
            look.spriteWidth -= 1;
            look.spriteHeight -= 1;
        }
    }
    return true;
}

void FadeBackground(BallEngine* e) {
    e->frame.fadeMap.Fade(e->frame.backgroundPixels, e->frame.frontPixels,
                          (e->frameCount & 4) != 0);
}

void DrawBall(BallEngine* e, BallNode* b) {
    ShadeParams& look = b->look;
    FrameBuffer& fb = e->frame;
    DirtyRects& dr = e->dirtyRects;
    // A side below 0 (the coin can drive one there) draws nothing new: the maps
    // and sprites are not built from it and nothing is blended.
    const bool drawable = look.spriteWidth >= 0 && look.spriteHeight >= 0;
    const SpriteBuffer* sprite = &e->sprites[0];
    if (drawable) {
        BuildBallMaps(e->sprites, look);
        ShadeBall(e->sprites, look);
        if (b->kind == BallKind::Roller && (e->rollerSubX != 0 || e->rollerSubY != 0)) {
            ShiftSprite(e->sprites[0], e->sprites[1], e->rollerSubX, e->rollerSubY);
            look.spriteWidth = e->sprites[1].Width();
            look.spriteHeight = e->sprites[1].Height();
            sprite = &e->sprites[1];
        }
    }
    const int32_t w = look.spriteWidth;
    const int32_t h = look.spriteHeight;
    const int32_t left = b->x - (w >> 1);
    const int32_t top = b->y - (h >> 1);
    if (drawable)
        BlendSprite(*sprite, fb.frontPixels, left, top, fb.width, fb.height, b->opacityBoost);

    RECT r = ClipRect(RECT{left, top, left + w, top + h}, fb.width, fb.height);
    if (r.right > r.left && r.bottom > r.top) {
        AddDirtyRect(dr.drawnRects, &dr.drawnCount, dr.capacity, r);
        AddDirtyRect(dr.refreshRects, &dr.refreshCount, dr.capacity, r);
    }

    if (b->state == BallState::Retiring) {
        RetireKind(e, b);
        if (b->stamp != 0 && drawable) {
            const SpriteBuffer& stamp = e->sprites[0];
            BlendSprite(stamp, fb.backgroundPixels, left, top, fb.width, fb.height,
                        b->opacityBoost);
            // The stamp's own area: a roller's shifted sprite, which sized r, is another one.
            fb.fadeMap.Mark(RECT{left, top, left + stamp.Width(), top + stamp.Height()});
        }
        ReleaseBall(e, b);
    }
}

int StepFrame(void* engine) {
    BallEngine* e = static_cast<BallEngine*>(engine);
    FrameBuffer& fb = e->frame;
    DirtyRects& dr = e->dirtyRects;

    // 1-2. Frame counter and the intro gate.
    e->frameCount = wrap::Add(e->frameCount, 1);
    const int32_t introState = e->introState.load(kRelaxed);
    if (introState != 0) {
        if (introState == kIntroWaitingForPaint) return 0;
        const int32_t result = RunIntroFrame(e);
        e->introState.store(result, kRelaxed);
        if (result < 0) {
            fb.EndPresent();
            return 0;
        }
    }

    // 3. Full repaint request.
    if (e->repaintAll.load(kRelaxed) != 0) {
        ResetDirtyRects(&dr, dr.capacity, &fb.wholeRect);
        e->repaintAll.store(0, kRelaxed);
    }

    // 4. Event clock: every 2048 frames without a train, a formation or a train.
    if (e->trainLeader == nullptr && (e->frameCount & 0x7FF) == 0) {
        if (e->formationPhase.load(kRelaxed) == 0 && e->formationAllowed != 0 &&
            (e->frameCount & 0x1800) == 0x1800) {
            e->formationPhase.store(1, kRelaxed);
        } else {
            e->trainCount = 256;
        }
    }

    // 5. Swap: last frame's drawn rectangles are this frame's refresh list.
    RECT* swapped = dr.drawnRects;
    dr.drawnRects = dr.refreshRects;
    dr.refreshRects = swapped;
    dr.refreshCount = dr.drawnCount;
    dr.drawnCount = 0;

    // 6. Erase (not in Squash, where balls leave trails).
    if (e->displayMode >= 0) {
        dr.refreshCount = CoalesceRects(dr.refreshRects, dr.refreshCount);
        for (int32_t i = 0; i < dr.refreshCount; ++i)
            fb.RestoreRect(dr.refreshRects[i]);
    }

    // 7. Fade (Normal style, every fourth frame).
    if (e->displayMode == 0 && (e->frameCount & 3) == 0) {
        FadeBackground(e);
        dr.refreshRects[0] = fb.wholeRect;
        dr.refreshCount = 1;
        dr.drawnCount = 0;
    }

    // 8. Ball loop, newest first; the next node is read before a release.
    BallNode* next = nullptr;
    for (BallNode* b = e->head; b != nullptr; b = next) {
        next = b->older;
        if (b->state == BallState::Growing) {
            GrowBall(e, b);
            ApplyGrowingRule(e, b);
            // Runs even when the kind's rule has just changed the state.
            FullSizeTest(e, b);
        } else if (b->state == BallState::Shrinking) {
            if (ShrinkBall(e, b)) ApplyShrinkingRule(e, b);
        }
        DrawBall(e, b);
    }

    // 9-10. Formation clock and spawning.
    if (e->formationPhase.load(kRelaxed) != 0) StepFormation(e);
    SpawnBalls(e);

    // 11. Present the changed rectangles.
    dr.refreshCount = CoalesceRects(dr.refreshRects, dr.refreshCount);
    for (int32_t i = 0; i < dr.refreshCount; ++i)
        fb.PresentRect(dr.refreshRects[i]);
    fb.EndPresent();
    return 0;
}
