#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "engine/ball_engine.h"
#include "engine/random.h"
#include "engine_fixture.h"

namespace {

// Checks the list invariants over the first n nodes; returns the active count.
int CheckLists(const BallEngine& e, int n) {
    std::set<const BallNode*> seen;
    int active = 0;
    EXPECT_EQ(e.head == nullptr, e.tail == nullptr);
    if (e.head != nullptr) {
        EXPECT_EQ(e.head->newer, nullptr);
    }
    if (e.tail != nullptr) {
        EXPECT_EQ(e.tail->older, nullptr);
    }
    const BallNode* prev = nullptr;
    for (const BallNode* b = e.head; b != nullptr; b = b->older) {
        EXPECT_TRUE(seen.insert(b).second) << "node twice in the active list";
        EXPECT_EQ(b->newer, prev);
        EXPECT_LT(b - e.nodes, n);
        prev = b;
        ++active;
        if (active > kBallPoolSize) break;
    }
    EXPECT_EQ(prev, e.tail);
    int free = 0;
    for (const BallNode* b = e.freeHead; b != nullptr; b = b->newer) {
        EXPECT_TRUE(seen.insert(b).second) << "node in both lists or twice";
        EXPECT_LT(b - e.nodes, n);
        ++free;
        if (free > kBallPoolSize) break;
    }
    EXPECT_EQ(active + free, n);
    return active;
}

TEST(BallPool, TakeOrderAndLinks) {
    auto e = SizedEngine(1024, 768, 3);
    BallNode* a = TakeBall(e.get());
    BallNode* b = TakeBall(e.get());
    BallNode* c = TakeBall(e.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(e->head, c);
    EXPECT_EQ(e->tail, a);
    EXPECT_EQ(c->older, b);
    EXPECT_EQ(b->older, a);
    EXPECT_EQ(a->newer, b);
    EXPECT_EQ(a->older, nullptr);

    // The pool is exhausted: null, and nothing changes.
    EXPECT_EQ(TakeBall(e.get()), nullptr);
    EXPECT_EQ(e->head, c);
    EXPECT_EQ(e->tail, a);
    EXPECT_EQ(e->freeHead, nullptr);
    CheckLists(*e, 3);
}

TEST(BallPool, ReleaseHeadTailAndOnly) {
    auto e = SizedEngine(1024, 768, 3);
    BallNode* a = TakeBall(e.get());
    BallNode* b = TakeBall(e.get());
    BallNode* c = TakeBall(e.get());
    EXPECT_EQ(ReleaseBall(e.get(), c), c);
    EXPECT_EQ(e->head, b);
    EXPECT_EQ(b->newer, nullptr);
    EXPECT_EQ(ReleaseBall(e.get(), a), a);
    EXPECT_EQ(e->tail, b);
    EXPECT_EQ(b->older, nullptr);
    ReleaseBall(e.get(), b);
    EXPECT_EQ(e->head, nullptr);
    EXPECT_EQ(e->tail, nullptr);
    EXPECT_EQ(ReleaseBall(e.get(), nullptr), nullptr);
    CheckLists(*e, 3);
}

TEST(BallPool, ReleaseMiddleAndLastInFirstOut) {
    auto e = SizedEngine(1024, 768, 5);
    BallNode* a = TakeBall(e.get());
    BallNode* b = TakeBall(e.get());
    BallNode* c = TakeBall(e.get());
    ReleaseBall(e.get(), b);
    EXPECT_EQ(c->older, a);
    EXPECT_EQ(a->newer, c);
    EXPECT_EQ(TakeBall(e.get()), b);
    EXPECT_EQ(e->head, b);
    EXPECT_EQ(b->older, c);
    CheckLists(*e, 5);
}

TEST(BallPool, InvariantsHoldOverManyRandomCycles) {
    for (int n : {1, 10, 52, 100}) {
        auto e = SizedEngine(1024, 768, n);
        std::mt19937 gen(static_cast<unsigned>(n));
        std::vector<BallNode*> active;
        for (int step = 0; step < 20000; ++step) {
            if (gen() % 2 == 0) {
                BallNode* t = TakeBall(e.get());
                if (static_cast<int>(active.size()) == n) {
                    EXPECT_EQ(t, nullptr);
                } else {
                    ASSERT_NE(t, nullptr);
                    ASSERT_LT(t - e->nodes, n);
                    active.push_back(t);
                }
            } else if (!active.empty()) {
                const size_t k = gen() % active.size();
                EXPECT_EQ(ReleaseBall(e.get(), active[k]), active[k]);
                active.erase(active.begin() + static_cast<long>(k));
            }
            if (step % 997 == 0) {
                ASSERT_EQ(CheckLists(*e, n), static_cast<int>(active.size()));
            }
        }
        EXPECT_EQ(CheckLists(*e, n), static_cast<int>(active.size()));
        // Nodes beyond the count never circulate.
        for (int i = n; i < kBallPoolSize; ++i) {
            for (BallNode* b : active)
                EXPECT_NE(b, &e->nodes[i]);
        }
    }
}

TEST(Random, StandardSequenceAndPerThreadState) {
    SeedRandom(1);
    // The classic generator's first values for seed 1.
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    EXPECT_EQ(NextRandom(), 6334);
    SeedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) {
        const int32_t r = NextRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 0x7FFF);
    }
}

TEST(BallEngineRecord, LookCacheHoldsTheWordsAheadOfTheColours) {
    BallEngine e;
    BallNode b{};
    b.moveFrames = 11;
    b.opacityBoost = 64;
    b.stamp = 1;
    b.look.topColour = {1, 2, 3};
    b.look.specularColour = {10, 11, 12};
    b.look.shadingFlags = 99;
    CacheLook(&e, &b);
    EXPECT_EQ(e.lookCache[0], 11);
    EXPECT_EQ(e.lookCache[1], 64);
    EXPECT_EQ(e.lookCache[2], 1);
    EXPECT_EQ(e.lookCache[3], 1);
    EXPECT_EQ(e.lookCache[5], 3);
    EXPECT_EQ(e.lookCache[14], 12);
}

}  // namespace
