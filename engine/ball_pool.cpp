// The engine record's construction and the two lists over the ball pool.
#include <cstring>

#include "engine/ball_engine.h"

BallEngine::BallEngine() = default;

BallEngine::~BallEngine() {
    if (dirtyRects.capacity != 0) {
        delete[] dirtyRects.drawnRects;
        delete[] dirtyRects.refreshRects;
    }
}

void CacheLook(BallEngine* e, const BallNode* ball) {
    e->lookCache[0] = ball->moveFrames;
    e->lookCache[1] = ball->opacityBoost;
    e->lookCache[2] = ball->stamp;
    static_assert(sizeof(ShadeColour) * 4 == 12 * sizeof(int32_t));
    std::memcpy(&e->lookCache[3], &ball->look.topColour, 12 * sizeof(int32_t));
}

BallNode* TakeBall(BallEngine* e) {
    BallNode* n = e->freeHead;
    if (n == nullptr) return nullptr;
    e->freeHead = n->newer;
    if (e->head != nullptr) e->head->newer = n;
    n->newer = nullptr;
    n->older = e->head;
    e->head = n;
    if (e->tail == nullptr) e->tail = n;
    return n;
}

BallNode* ReleaseBall(BallEngine* e, BallNode* n) {
    if (n == nullptr) return nullptr;
    if (n == e->head) e->head = n->older;
    if (n == e->tail) e->tail = n->newer;
    if (n->newer != nullptr) n->newer->older = n->older;
    if (n->older != nullptr) n->older->newer = n->newer;
    n->newer = e->freeHead;
    e->freeHead = n;
    return n;
}
