// The handle pool: control-block-sized requests come from the slab, everything else and
// everything past the slab from the heap, and each block goes back where it came from.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "support/support.h"

namespace {

TEST(Pool, ControlBlockSizedRequestsComeFromThePool) {
  std::size_t before = poolAvailable();
  void* block = poolAlloc(kPoolBlockSize);
  EXPECT_TRUE(poolIsPoolBlock(block));
  EXPECT_EQ(poolAvailable(), before - 1);
  poolFree(block);
  EXPECT_EQ(poolAvailable(), before);
}

TEST(Pool, OtherSizesComeFromTheHeap) {
  std::size_t before = poolAvailable();
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, kPoolBlockSize - 1, kPoolBlockSize + 1,
                           std::size_t{4096}}) {
    void* block = poolAlloc(size);
    ASSERT_NE(block, nullptr);
    EXPECT_FALSE(poolIsPoolBlock(block)) << size;
    std::memset(block, 0xAB, size);  // the whole request is usable
    poolFree(block);
  }
  EXPECT_EQ(poolAvailable(), before);
}

TEST(Pool, BlocksAreAlignedForAnyObject) {
  void* pooled = poolAlloc(kPoolBlockSize);
  void* heap = poolAlloc(40);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pooled) % alignof(std::max_align_t), 0u);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(heap) % alignof(std::max_align_t), 0u);
  poolFree(pooled);
  poolFree(heap);
}

TEST(Pool, FreedBlockIsTheNextOneTaken) {
  void* first = poolAlloc(kPoolBlockSize);
  poolFree(first);
  void* again = poolAlloc(kPoolBlockSize);
  EXPECT_EQ(again, first);
  poolFree(again);
}

TEST(Pool, ExhaustedPoolFallsBackToTheHeapAndKeepsServing) {
  std::vector<void*> taken;
  while (poolAvailable() > 0) taken.push_back(poolAlloc(kPoolBlockSize));
  ASSERT_GE(taken.size(), kPoolBlockCount - 64);  // little else holds blocks in this test
  for (void* block : taken) EXPECT_TRUE(poolIsPoolBlock(block));

  void* overflow = poolAlloc(kPoolBlockSize);
  EXPECT_FALSE(poolIsPoolBlock(overflow));
  std::memset(overflow, 0, kPoolBlockSize);
  poolFree(overflow);  // back to the heap: the pool stays empty
  EXPECT_EQ(poolAvailable(), 0u);

  void* returned = taken.back();
  taken.pop_back();
  poolFree(returned);
  EXPECT_EQ(poolAvailable(), 1u);
  void* reused = poolAlloc(kPoolBlockSize);
  EXPECT_EQ(reused, returned);
  EXPECT_TRUE(poolIsPoolBlock(reused));
  taken.push_back(reused);

  for (void* block : taken) poolFree(block);
  EXPECT_EQ(poolAvailable(), taken.size());
}

TEST(Pool, NullIsIgnored) {
  std::size_t before = poolAvailable();
  poolFree(nullptr);
  EXPECT_EQ(poolAvailable(), before);
}

TEST(Pool, TakesAndReturnsFromTwoThreadsKeepTheCount) {
  std::size_t before = poolAvailable();
  auto churn = [] {
    for (int round = 0; round < 2000; ++round) {
      void* blocks[8];
      for (void*& block : blocks) block = poolAlloc(kPoolBlockSize);
      for (void* block : blocks) poolFree(block);
    }
  };
  std::thread other(churn);
  churn();
  other.join();
  EXPECT_EQ(poolAvailable(), before);
}

TEST(PoolDeathTest, BlockReturnedTwiceStopsTheProcess) {
  EXPECT_DEATH(
      {
        void* block = poolAlloc(kPoolBlockSize);
        poolFree(block);
        poolFree(block);
      },
      "returned twice");
}

}  // namespace
