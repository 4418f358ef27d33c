// The process clock: virtual time moves only when advanced and wraps like a 32-bit
// millisecond counter; switching modes never sends time backwards.
#include <gtest/gtest.h>

#include "wincompat.h"
#include "windows.h"

#include <chrono>
#include <thread>

namespace {

// Every test leaves the clock real, as the process starts.
class ClockTest : public ::testing::Test {
 protected:
  void TearDown() override { compatUseVirtualClock(0); }
};

TEST_F(ClockTest, VirtualClockStandsStillUntilAdvanced) {
  compatUseVirtualClock(1);
  EXPECT_EQ(compatIsVirtualClock(), 1);
  compatSetClock(1000);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(timeGetTime(), 1000u);
  compatAdvanceClock(16);
  compatAdvanceClock(17);
  EXPECT_EQ(timeGetTime(), 1033u);
}

TEST_F(ClockTest, VirtualClockWrapsPast32Bits) {
  compatUseVirtualClock(1);
  compatSetClock(0xFFFFFFF0u);
  DWORD start = timeGetTime();
  compatAdvanceClock(0x20);
  DWORD now = timeGetTime();
  EXPECT_EQ(now, 0x10u);
  // Elapsed time computed the Windows way stays right across the wrap.
  EXPECT_EQ(static_cast<DWORD>(now - start), 0x20u);
}

TEST_F(ClockTest, RealClockMovesAndAdvanceDoesNotTouchIt) {
  ASSERT_EQ(compatIsVirtualClock(), 0);
  DWORD before = timeGetTime();
  compatAdvanceClock(100000);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  DWORD elapsed = timeGetTime() - before;
  EXPECT_GE(elapsed, 25u);
  EXPECT_LT(elapsed, 50000u);
}

TEST_F(ClockTest, SwitchingModesContinuesFromTheCurrentTime) {
  compatSetClock(5000);
  compatUseVirtualClock(1);
  DWORD frozen = timeGetTime();
  EXPECT_GE(frozen, 5000u);
  EXPECT_LT(frozen, 6000u);
  compatAdvanceClock(0xFFFFFF00u);  // far ahead, past the wrap
  DWORD target = frozen + 0xFFFFFF00u;
  compatUseVirtualClock(0);
  EXPECT_EQ(compatIsVirtualClock(), 0);
  DWORD after = timeGetTime();
  EXPECT_LT(static_cast<DWORD>(after - target), 1000u);
}

TEST_F(ClockTest, SetClockInRealModeMovesTheBase) {
  compatSetClock(0xFFFFFFFFu);
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  DWORD now = timeGetTime();
  EXPECT_GE(now, 9u);
  EXPECT_LT(now, 5000u);
}

}  // namespace
