// The thread runtime's GetTickCount64 slot (framework/TickCount64.cpp): the
// runtime's timed waits call through it, it resolves to kernel32's function
// where there is one, and the count made from GetTickCount steps its high
// half at a wrap.
#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <ctime>
#include <thread>

#include "framework/TickCount64.h"

namespace {

std::atomic<int> g_countingCalls{0};

ULONGLONG WINAPI CountingTickCount64() {
  ++g_countingCalls;
  return TickCount64FromTickCount();
}

// The slot for the scope of a test, restored afterwards.
class SlotFor {
 public:
  explicit SlotFor(TickCount64Function f) : saved_(ts_tickCount64Slot) { ts_tickCount64Slot = f; }
  ~SlotFor() { ts_tickCount64Slot = saved_; }
  SlotFor(const SlotFor&) = delete;
  SlotFor& operator=(const SlotFor&) = delete;

 private:
  TickCount64Function saved_;
};

// A timed lock of a mutex that another thread holds: the runtime waits in
// slices measured with the slot's function. The result and the time taken.
struct TimedLock {
  int result;
  DWORD elapsed;
};

TimedLock LockHeldMutexFor(int milliseconds) {
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_mutex_lock(&mutex);
  TimedLock out{};
  std::thread waiter([&] {
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_nsec += milliseconds * 1000000L;
    deadline.tv_sec += deadline.tv_nsec / 1000000000L;
    deadline.tv_nsec %= 1000000000L;
    const DWORD start = ::GetTickCount();
    out.result = pthread_mutex_timedlock(&mutex, &deadline);
    out.elapsed = ::GetTickCount() - start;
    if (out.result == 0) pthread_mutex_unlock(&mutex);
  });
  waiter.join();
  pthread_mutex_unlock(&mutex);
  pthread_mutex_destroy(&mutex);
  return out;
}

TEST(TickCount64, ExtendsTheLowHalfAndStepsAtAWrap) {
  struct Case {
    std::uint64_t previous;
    std::uint32_t now;
    std::uint64_t expected;
  } const cases[] = {
      {0, 5, 5},
      {5, 5, 5},
      {0xFFFFFFF0, 0xFFFFFFFF, 0xFFFFFFFF},
      {0xFFFFFFF0, 0x10, 0x100000010},
      {0x100000010, 0x20, 0x100000020},
      {0x2FFFFFFFF, 0, 0x300000000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExtendTickCount(c.previous, c.now), c.expected) << std::hex << "previous " << c.previous << ", now " << c.now;
}

TEST(TickCount64, ResolvesToKernelsFunctionElseTheFallback) {
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const auto exported =
      reinterpret_cast<TickCount64Function>(reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "GetTickCount64")));
  ASSERT_NE(exported, nullptr) << "Wine's kernel32 exports it";
  EXPECT_EQ(ResolveTickCount64(kernel), exported);
  EXPECT_EQ(ResolveTickCount64(::GetModuleHandleW(L"user32.dll")), &TickCount64FromTickCount)
      << "a module without the export, as kernel32 on Windows XP";
  EXPECT_EQ(ResolveTickCount64(nullptr), &TickCount64FromTickCount);
}

TEST(TickCount64, FallbackFollowsGetTickCount) {
  const DWORD before = ::GetTickCount();
  const ULONGLONG counted = TickCount64FromTickCount();
  const DWORD after = ::GetTickCount();
  EXPECT_LE(static_cast<DWORD>(counted) - before, after - before) << "low half " << static_cast<DWORD>(counted);
  EXPECT_GE(TickCount64FromTickCount(), counted);
}

TEST(TickCount64, RuntimesTimedWaitsCallThroughTheSlot) {
  g_countingCalls = 0;
  SlotFor slot(&CountingTickCount64);
  const TimedLock lock = LockHeldMutexFor(100);
  EXPECT_EQ(lock.result, ETIMEDOUT);
  EXPECT_GT(g_countingCalls.load(), 0) << "the runtime took GetTickCount64 from elsewhere";
  EXPECT_GE(lock.elapsed, 90u);
}

TEST(TickCount64, FirstCallResolvesTheSlot) {
  // The program's own start (the runtime's first timed wait, or the test
  // above restoring its value) may already have resolved it: both are fine.
  LockHeldMutexFor(20);
  const TickCount64Function resolved = ts_tickCount64Slot;
  EXPECT_EQ(resolved, ResolveTickCount64(::GetModuleHandleW(L"kernel32.dll")));
}

TEST(TickCount64, TimedWaitsKeepTheirTimeWithTheFallback) {
  SlotFor slot(&TickCount64FromTickCount);
  const TimedLock lock = LockHeldMutexFor(100);
  EXPECT_EQ(lock.result, ETIMEDOUT);
  EXPECT_GE(lock.elapsed, 90u);
  EXPECT_LT(lock.elapsed, 5000u) << "a wait that lost its count would not end";
}

}  // namespace
