// The shared 25 ms tick: intervals, counted pauses, unregistering, and the real thread.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "metering/TickService.h"

namespace ostrel {
namespace {

class ManualTick : public ::testing::Test {
 protected:
  TickHandle Counting(int intervalMs, bool paused, int& count) {
    return service.RegisterTick(
        intervalMs, paused, [&count](void*) { ++count; }, nullptr);
  }
  void Periods(int n) {
    for (int i = 0; i < n; ++i) service.RunPeriod();
  }
  TickService service{TickService::Mode::kManual};
};

TEST_F(ManualTick, IntervalsRoundUpToThePeriodAndFireWhenElapsedReachesThem) {
  struct Case {
    int interval;
    int periods;
    int calls;
  } cases[] = {{10, 4, 4}, {25, 3, 3}, {50, 5, 2}, {60, 5, 1}, {60, 6, 2}, {75, 2, 0}};
  for (const Case& c : cases) {
    int count = 0;
    const TickHandle h = Counting(c.interval, false, count);
    Periods(c.periods);
    EXPECT_EQ(count, c.calls) << "interval " << c.interval << ", periods " << c.periods;
    service.UnregisterTick(h);
  }
}

TEST_F(ManualTick, CallbackReceivesItsComponent) {
  int marker = 0;
  void* seen = nullptr;
  service.RegisterTick(
      25, false, [&](void* component) { seen = component; }, &marker);
  service.RunPeriod();
  EXPECT_EQ(seen, &marker);
}

TEST_F(ManualTick, PausesAreCountedAndResumeNeverGoesBelowZero) {
  int count = 0;
  const TickHandle h = Counting(25, true, count);  // registered paused: count 1
  Periods(2);
  EXPECT_EQ(count, 0);
  service.PauseTick(h);   // 2
  service.ResumeTick(h);  // 1
  Periods(1);
  EXPECT_EQ(count, 0);
  service.ResumeTick(h);  // 0
  Periods(1);
  EXPECT_EQ(count, 1);
  service.ResumeTick(h);  // stays 0, so one pause stops it again
  service.PauseTick(h);
  Periods(2);
  EXPECT_EQ(count, 1);
}

TEST_F(ManualTick, PauseClearsTheElapsedTime) {
  int count = 0;
  const TickHandle h = Counting(75, false, count);
  Periods(2);  // 50 of 75
  service.PauseTick(h);
  service.ResumeTick(h);
  Periods(2);
  EXPECT_EQ(count, 0);
  Periods(1);
  EXPECT_EQ(count, 1);
}

TEST_F(ManualTick, MissingOrUnknownHandlesAreIgnored) {
  int count = 0;
  Counting(25, false, count);
  for (TickHandle h : {kNoTick, TickHandle(9999)}) {
    service.PauseTick(h);
    service.ResumeTick(h);
    service.UnregisterTick(h);
  }
  Periods(1);
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(service.TimerRunning());
}

TEST_F(ManualTick, FirstRegistrationStartsTheTimerAndLastUnregistrationStopsIt) {
  EXPECT_FALSE(service.TimerRunning());
  int a = 0, b = 0;
  const TickHandle ha = Counting(25, false, a);
  const TickHandle hb = Counting(25, false, b);
  EXPECT_TRUE(service.TimerRunning());
  service.UnregisterTick(ha);
  EXPECT_TRUE(service.TimerRunning());
  Periods(1);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  service.UnregisterTick(hb);
  EXPECT_FALSE(service.TimerRunning());
  service.UnregisterTick(hb);  // twice is harmless
}

TEST_F(ManualTick, CallbackMayUnregisterItselfAndOthersKeepTicking) {
  int self = 0, other = 0;
  TickHandle h = kNoTick;
  h = service.RegisterTick(
      25, false,
      [&](void*) {
        ++self;
        service.UnregisterTick(h);
      },
      nullptr);
  Counting(25, false, other);
  Periods(3);
  EXPECT_EQ(self, 1);
  EXPECT_EQ(other, 3);
}

TEST_F(ManualTick, PeriodIsSkippedWhileThePreviousOneStillRuns) {
  int count = 0;
  service.RegisterTick(
      25, false,
      [&](void*) {
        ++count;
        service.RunPeriod();  // a period arriving while this one runs
      },
      nullptr);
  Periods(2);
  EXPECT_EQ(count, 2);
}

TEST(ThreadedTick, TicksOnItsOwnThreadAndStopsCallingAfterUnregister) {
  TickService service;
  std::mutex m;
  std::condition_variable cv;
  int watched = 0, witness = 0;
  bool unregistered = false, calledAfterUnregister = false;
  const TickHandle h = service.RegisterTick(
      25, false,
      [&](void*) {
        std::lock_guard lock(m);
        ++watched;
        if (unregistered) calledAfterUnregister = true;
        cv.notify_all();
      },
      nullptr);
  service.RegisterTick(
      25, false,
      [&](void*) {
        std::lock_guard lock(m);
        ++witness;
        cv.notify_all();
      },
      nullptr);
  {
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return watched >= 3; }));
  }
  service.UnregisterTick(h);
  int witnessAtUnregister;
  {
    std::lock_guard lock(m);
    unregistered = true;
    witnessAtUnregister = witness;
  }
  std::unique_lock lock(m);
  ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20),
                          [&] { return witness >= witnessAtUnregister + 3; }));
  EXPECT_FALSE(calledAfterUnregister);
}

TEST(ThreadedTick, RestartsAfterTheLastClientLeft) {
  TickService service;
  std::mutex m;
  std::condition_variable cv;
  int count = 0;
  auto counting = [&](void*) {
    std::lock_guard lock(m);
    ++count;
    cv.notify_all();
  };
  service.UnregisterTick(service.RegisterTick(25, false, counting, nullptr));
  EXPECT_FALSE(service.TimerRunning());
  {
    std::lock_guard lock(m);
    count = 0;
  }
  service.RegisterTick(25, false, counting, nullptr);
  EXPECT_TRUE(service.TimerRunning());
  std::unique_lock lock(m);
  EXPECT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return count >= 2; }));
}

}  // namespace
}  // namespace ostrel
