#include "timing/tick_timer.h"

#include <gtest/gtest.h>

#include <vector>

#include "timing/tick_timer_hooks.h"

namespace {

// A scripted millisecond counter and a recording SetTimer.
struct FakePlatform {
    std::vector<DWORD> readings;
    size_t next = 0;
    int sleeps = 0;
    int setTimerCalls = 0;
    HWND timerWindow = reinterpret_cast<HWND>(1);
    UINT_PTR timerId = 0;
    UINT timerElapse = 0;
    TIMERPROC timerProc = nullptr;
    UINT_PTR timerResult = 77;
};
FakePlatform* g_fake = nullptr;

DWORD FakeTicks() {
    if (g_fake->next < g_fake->readings.size()) return g_fake->readings[g_fake->next++];
    return g_fake->readings.empty() ? 0 : g_fake->readings.back();
}
void FakeSleep(DWORD) {
    g_fake->sleeps++;
}
UINT_PTR FakeSetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    g_fake->setTimerCalls++;
    g_fake->timerWindow = hwnd;
    g_fake->timerId = id;
    g_fake->timerElapse = elapse;
    g_fake->timerProc = proc;
    return g_fake->timerResult;
}

class TickTimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TickTimerReset();
        saved_ = g_tickTimerPlatform;
        g_fake = &fake_;
        g_tickTimerPlatform = {FakeTicks, FakeSleep, FakeSetTimer};
    }
    void TearDown() override {
        g_tickListWriteHook = nullptr;
        TickTimerReset();
        g_tickTimerPlatform = saved_;
        g_fake = nullptr;
    }
    // Starts with a counter that advances `granule` per Sleep(1).
    UINT Start(UINT period, int capacity, DWORD granule, DWORD base = 1000) {
        fake_.readings = {base, base + granule, base + 2 * granule};
        fake_.next = 0;
        return TickTimerStart(period, capacity);
    }
    FakePlatform fake_;
    TickTimerPlatform saved_;
};

// Subscribers that know their own argument, so that a walk can check that
// every function it sees stands beside its own argument.
constexpr int kKinds = 8;
int g_tokens[kKinds];
std::vector<int> g_calls;
template <int K>
void Subscriber(void* argument) {
    EXPECT_EQ(argument, &g_tokens[K]) << "function " << K << " met a foreign argument";
    g_calls.push_back(K);
}
const TickFunction kSubscribers[kKinds] = {Subscriber<0>, Subscriber<1>, Subscriber<2>,
                                           Subscriber<3>, Subscriber<4>, Subscriber<5>,
                                           Subscriber<6>, Subscriber<7>};
void Sub(int k) {
    TickSubscribe(kSubscribers[k], &g_tokens[k]);
}
void Unsub(int k) {
    TickUnsubscribe(kSubscribers[k], &g_tokens[k]);
}

// The visible list, as a walker would see it now; fails on a foreign pair or a
// missing terminator.
std::vector<int> Visible() {
    std::vector<int> seen;
    int32_t capacity = g_tickTimer.capacity.load();
    auto* functions = g_tickTimer.functions.load();
    auto* arguments = g_tickTimer.arguments.load();
    for (int32_t i = 0;; i++) {
        if (i >= capacity) {
            ADD_FAILURE() << "no null slot within capacity " << capacity;
            return seen;
        }
        TickFunction f = functions[i].load();
        if (f == nullptr) break;
        int kind = -1;
        for (int k = 0; k < kKinds; k++)
            if (kSubscribers[k] == f) kind = k;
        EXPECT_GE(kind, 0);
        if (kind >= 0) {
            EXPECT_EQ(arguments[i].load(), &g_tokens[kind]) << "slot " << i;
        }
        seen.push_back(kind);
    }
    return seen;
}

int g_writes = 0;
void CheckAfterWrite() {
    g_writes++;
    Visible();
}

TEST(TickInterval, RoundsThePeriodToWholeGranules) {
    EXPECT_EQ(TickIntervalFor(20, 16), 16u);
    EXPECT_EQ(TickIntervalFor(20, 15), 15u);
    EXPECT_EQ(TickIntervalFor(20, 10), 20u);
    EXPECT_EQ(TickIntervalFor(20, 1), 20u);
    EXPECT_EQ(TickIntervalFor(40, 16), 32u);
    EXPECT_EQ(TickIntervalFor(5, 16), 16u);  // shorter than a granule: one granule
    EXPECT_EQ(TickIntervalFor(20, 0), 10u);  // a counter that did not move
    EXPECT_EQ(TickIntervalFor(0, 16), 16u);
}

TEST_F(TickTimerTest, FirstStartMeasuresTheCounterAndSetsTheTimer) {
    EXPECT_EQ(Start(20, 2, 16), 77u);
    EXPECT_EQ(g_tickTimer.capacity.load(), 2);
    EXPECT_EQ(g_tickTimer.interval.load(), 16u);
    EXPECT_EQ(g_tickTimer.now.load(), 1032u);  // the last reading
    EXPECT_EQ(fake_.sleeps, 2);
    EXPECT_EQ(fake_.next, 3u);
    EXPECT_EQ(fake_.setTimerCalls, 1);
    EXPECT_EQ(fake_.timerWindow, nullptr);
    EXPECT_EQ(fake_.timerId, 1u);
    EXPECT_EQ(fake_.timerElapse, 15u);  // one millisecond short of the interval
    EXPECT_EQ(fake_.timerProc, &TickTimerProc);
    EXPECT_TRUE(Visible().empty());
}

TEST_F(TickTimerTest, IntervalAndTimeOutFollowTheGranule) {
    EXPECT_EQ(Start(20, 0, 1), 77u);
    EXPECT_EQ(g_tickTimer.capacity.load(), 16);  // 0 means 16
    EXPECT_EQ(g_tickTimer.interval.load(), 20u);
    EXPECT_EQ(fake_.timerElapse, 19u);
    TickTimerReset();
    Start(20, 16, 0);  // equal readings around the sleeps
    EXPECT_EQ(g_tickTimer.interval.load(), 10u);
    EXPECT_EQ(fake_.timerElapse, 9u);
    TickTimerReset();
    Start(5, 16, 16);
    EXPECT_EQ(g_tickTimer.interval.load(), 16u);
}

TEST_F(TickTimerTest, LaterStartsChangeNothing) {
    Start(20, 2, 16);
    fake_.readings = {5000, 5001, 5002};
    fake_.next = 0;
    EXPECT_EQ(TickTimerStart(40, 16), 2u);  // the current capacity
    EXPECT_EQ(g_tickTimer.interval.load(), 16u);
    EXPECT_EQ(g_tickTimer.capacity.load(), 2);
    EXPECT_EQ(fake_.setTimerCalls, 1);
    EXPECT_EQ(fake_.next, 0u);  // the counter was not read again
}

TEST_F(TickTimerTest, RefusedTimerReturnsZero) {
    fake_.timerResult = 0;
    EXPECT_EQ(Start(20, 4, 1), 0u);
    EXPECT_EQ(g_tickTimer.capacity.load(), 4);  // started all the same, with no tick to come
}

TEST_F(TickTimerTest, TickStoresTheTimeAndCallsEverySubscriberInOrder) {
    Start(20, 16, 1);
    Sub(3);
    Sub(1);
    Sub(3);  // the same pair twice is called twice
    g_calls.clear();
    TickTimerProc(nullptr, WM_TIMER, 1, 123456);
    EXPECT_EQ(g_tickTimer.now.load(), 123456u);
    EXPECT_EQ(g_calls, (std::vector<int>{3, 1, 3}));
}

TEST_F(TickTimerTest, TickBeforeStartOnlyStoresTheTime) {
    TickTimerProc(nullptr, WM_TIMER, 1, 42);
    EXPECT_EQ(g_tickTimer.now.load(), 42u);
    Sub(0);  // before the start there is nowhere to put it
    EXPECT_EQ(g_tickTimer.functions.load(), nullptr);
}

TEST_F(TickTimerTest, GrowthFromCapacityTwoKeepsTheListWellFormedAtEveryWrite) {
    Start(20, 2, 16);
    g_tickListWriteHook = CheckAfterWrite;
    g_writes = 0;
    Sub(0);
    EXPECT_EQ(g_tickTimer.capacity.load(), 2);  // slot 0, slot 1 stays null
    EXPECT_EQ(g_writes, 2);                     // argument, then function
    auto* before = g_tickTimer.functions.load();
    Sub(1);  // 1 >= 2 - 1: grow first
    EXPECT_EQ(g_tickTimer.capacity.load(), 4);
    EXPECT_NE(g_tickTimer.functions.load(), before);
    EXPECT_EQ(g_writes, 6);  // two array installs, then the pair
    for (int k = 2; k < kKinds; k++)
        Sub(k);
    EXPECT_EQ(g_tickTimer.capacity.load(), 16);  // 4 -> 8 -> 16
    EXPECT_EQ(Visible(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(TickTimerTest, UnsubscribeClosesTheGapAndKeepsTheListWellFormed) {
    Start(20, 16, 1);
    for (int k : {0, 1, 2, 1, 3})
        Sub(k);
    g_tickListWriteHook = CheckAfterWrite;
    g_writes = 0;
    Unsub(1);  // only the first slot holding the pair
    EXPECT_EQ(Visible(), (std::vector<int>{0, 2, 1, 3}));
    EXPECT_EQ(g_writes, 4 * 4);  // four writes for each of slots 1..4
    Unsub(5);                    // not subscribed: nothing changes, nothing is written
    EXPECT_EQ(g_writes, 16);
    TickUnsubscribe(kSubscribers[2], &g_tokens[3]);  // function and argument must both match
    EXPECT_EQ(Visible(), (std::vector<int>{0, 2, 1, 3}));
    Unsub(3);  // the last one
    Unsub(0);  // the first one
    EXPECT_EQ(Visible(), (std::vector<int>{2, 1}));
    Unsub(2);
    Unsub(1);
    EXPECT_TRUE(Visible().empty());
    Unsub(1);  // an empty list stays empty
    EXPECT_TRUE(Visible().empty());
}

// Subscribers that change the list while the tick walks it.
void SubscribeMore(void*) {
    g_calls.push_back(100);
    for (int k = 0; k < 4; k++)
        Sub(k);  // grows the arrays under the walk
}
void LeaveList(void* self) {
    g_calls.push_back(200);
    TickUnsubscribe(LeaveList, self);
}

TEST_F(TickTimerTest, WalkFollowsTheListAsSubscribersChangeIt) {
    Start(20, 2, 1);
    int self = 0;
    TickSubscribe(SubscribeMore, nullptr);
    g_calls.clear();
    TickTimerProc(nullptr, WM_TIMER, 1, 10);  // grows 2 -> 4 -> 8 while walking
    EXPECT_EQ(g_tickTimer.capacity.load(), 8);
    EXPECT_EQ(g_calls, (std::vector<int>{100, 0, 1, 2, 3}));

    TickUnsubscribe(SubscribeMore, nullptr);
    for (int k = 0; k < 4; k++)
        Unsub(k);
    TickSubscribe(LeaveList, &self);
    Sub(5);
    Sub(6);
    g_calls.clear();
    // Leaving moves the next subscriber into the current slot, so this tick
    // passes it by; the next tick calls both that are left.
    TickTimerProc(nullptr, WM_TIMER, 1, 20);
    EXPECT_EQ(g_calls, (std::vector<int>{200, 6}));
    g_calls.clear();
    TickTimerProc(nullptr, WM_TIMER, 1, 30);
    EXPECT_EQ(g_calls, (std::vector<int>{5, 6}));
}

}  // namespace
