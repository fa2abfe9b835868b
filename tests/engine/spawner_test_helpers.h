// Helpers for the spawner and kind-rule tests: seeds whose first draws have
// chosen bits, and engines whose pool holds a given number of balls.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "engine/ball_engine.h"
#include "engine/random.h"
#include "engine_fixture.h"

// Failure messages name a kind by its word.
inline std::ostream& operator<<(std::ostream& os, BallKind kind) {
    return os << "kind " << static_cast<int32_t>(kind);
}
inline std::ostream& operator<<(std::ostream& os, BallState state) {
    return os << "state " << static_cast<int32_t>(state);
}

// The generator's step, replayed to look ahead at the draws of a seed.
struct DrawReplay {
    uint32_t state;
    int32_t Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int32_t>((state >> 16) & 0x7FFF);
    }
};

// The first seed whose first six draws satisfy pred(r), r[0] being the first draw.
template <class Pred>
uint32_t FindSeed(Pred pred) {
    for (uint32_t seed = 0; seed < (1u << 28); ++seed) {
        DrawReplay g{seed};
        int32_t r[6];
        for (int32_t& v : r)
            v = g.Next();
        if (pred(r)) return seed;
    }
    ADD_FAILURE() << "no seed found";
    return 0;
}

// An engine after the intro with a pool of `balls` nodes, on a 1024 x 768 frame.
inline EnginePtr SpawnEngine(int32_t balls = 1, int32_t ballSize = 38, int32_t width = 1024,
                             int32_t height = 768) {
    auto e = SizedEngine(width, height, balls, ballSize);
    e->introState.store(0);
    e->frameCount = 4;
    return e;
}

// Spawns with the given seed and returns the newest ball.
inline BallNode* SpawnWithSeed(BallEngine* e, uint32_t seed) {
    SeedRandom(seed);
    SpawnBalls(e);
    return e->head;
}

// The i-th of a run of seeds spread over the whole range: the first draws of
// neighbouring seeds are alike (a hash's finishing mix).
inline uint32_t SpreadSeed(uint32_t i) {
    i ^= i >> 16;
    i *= 0x85EBCA6Bu;
    i ^= i >> 13;
    i *= 0xC2B2AE35u;
    return i ^ (i >> 16);
}

// Spawns one ball with each of `seeds` spread seeds on a fresh engine that
// prepare(engine) sets up, and hands engine and ball to check(engine, ball):
// what a caller sees of new balls, whatever the order of the draws.
template <class Prepare, class Check>
void SpawnWithEachSeed(uint32_t seeds, Prepare prepare, Check check) {
    for (uint32_t i = 1; i <= seeds; ++i) {
        auto e = SpawnEngine();
        prepare(e.get());
        BallNode* b = SpawnWithSeed(e.get(), SpreadSeed(i));
        check(e.get(), b);
    }
}

// An ordinary r2: low byte not zero, no event trigger.
inline bool PlainR2(int32_t r2) {
    return (r2 & 0xFF) != 0 && (r2 & 0x7FF0) != 0;
}

// A stand-in ball outside the circulating pool (nodes N..99 are never taken).
inline BallNode* SpareNode(BallEngine* e, int32_t i = 90) {
    return &e->nodes[i];
}
