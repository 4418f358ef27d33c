// Shared handles: one control block per owned object, taken from the pool, and the deleter
// called exactly once, when the last owner lets go.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/support.h"

namespace {

struct Counted {
  int* destroyed;
  explicit Counted(int* counter) : destroyed(counter) {}
  ~Counted() { ++*destroyed; }
};

// Stands for a host destroy function: counts the calls and frees the object.
struct CountingDeleter {
  int* calls = nullptr;
  void operator()(std::string* object) const {
    ++*calls;
    delete object;
  }
};

using StringHandle = SharedHandle<std::string, CountingDeleter>;

TEST(SharedHandle, DeleterFiresOnceAfterCopiesAndMoves) {
  int calls = 0;
  {
    StringHandle first(new std::string("image"), CountingDeleter{&calls});
    StringHandle copy = first;
    StringHandle moved = std::move(copy);
    StringHandle assigned;
    assigned = moved;
    EXPECT_EQ(first.useCount(), 3);
    EXPECT_EQ(*assigned, "image");
    first.reset();
    moved.reset();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(assigned.useCount(), 1);
  }
  EXPECT_EQ(calls, 1);
}

TEST(SharedHandle, OneControlBlockPerObjectFromThePool) {
  std::size_t before = poolAvailable();
  int destroyed = 0;
  {
    SharedHandle<Counted> handle(new Counted(&destroyed));
    EXPECT_EQ(poolAvailable(), before - 1);
    SharedHandle<Counted> copy = handle;
    SharedHandle<Counted> another = copy;
    EXPECT_EQ(poolAvailable(), before - 1);  // copies share the block
  }
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(poolAvailable(), before);
}

TEST(SharedHandle, EmptyHandlesOwnNothing) {
  int calls = 0;
  std::size_t before = poolAvailable();
  {
    StringHandle empty;
    StringHandle null(nullptr, CountingDeleter{&calls});
    StringHandle copy = null;
    EXPECT_FALSE(empty);
    EXPECT_EQ(null.get(), nullptr);
    EXPECT_EQ(copy.useCount(), 0);
    EXPECT_TRUE(copy == nullptr);
    EXPECT_EQ(poolAvailable(), before);
  }
  EXPECT_EQ(calls, 0);
}

TEST(SharedHandle, ResetWithANewObjectReleasesTheOldOne) {
  int destroyed = 0;
  SharedHandle<Counted> handle(new Counted(&destroyed));
  SharedHandle<Counted> keeper = handle;
  handle.reset(new Counted(&destroyed));
  EXPECT_EQ(destroyed, 0);  // keeper still owns the first
  EXPECT_EQ(handle.useCount(), 1);
  EXPECT_FALSE(handle == keeper);
  keeper.reset();
  EXPECT_EQ(destroyed, 1);
  handle.reset();
  EXPECT_EQ(destroyed, 2);
  handle.reset();  // a second reset of an empty handle does nothing
  EXPECT_EQ(destroyed, 2);
}

TEST(SharedHandle, SelfAssignmentKeepsTheObject) {
  int calls = 0;
  StringHandle handle(new std::string("x"), CountingDeleter{&calls});
  StringHandle& alias = handle;
  handle = alias;
  EXPECT_EQ(handle.useCount(), 1);
  handle = std::move(alias);
  EXPECT_EQ(calls, 0);
  ASSERT_TRUE(handle);
  EXPECT_EQ(*handle, "x");
}

TEST(SharedHandle, AssigningOverTheLastOwnerReleasesIt) {
  int calls = 0;
  StringHandle a(new std::string("a"), CountingDeleter{&calls});
  StringHandle b(new std::string("b"), CountingDeleter{&calls});
  a = b;
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(*a, "b");
  EXPECT_EQ(b.useCount(), 2);
}

TEST(SharedHandle, MovedFromHandleIsEmpty) {
  auto handle = makeHandle<std::string>("text");
  auto moved = std::move(handle);
  EXPECT_FALSE(handle);  // NOLINT: checking the moved-from state on purpose
  EXPECT_EQ(moved.useCount(), 1);
  EXPECT_EQ(moved->size(), 4u);
}

TEST(SharedHandle, ControlBlocksPastThePoolComeFromTheHeap) {
  std::vector<void*> held;
  while (poolAvailable() > 0) held.push_back(poolAlloc(kPoolBlockSize));
  int destroyed = 0;
  {
    SharedHandle<Counted> handle(new Counted(&destroyed));
    SharedHandle<Counted> copy = handle;
    EXPECT_EQ(copy.useCount(), 2);
  }
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(poolAvailable(), 0u);  // the heap block did not join the pool
  for (void* block : held) poolFree(block);
}

}  // namespace
