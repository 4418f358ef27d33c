// Ordered lists: the ring through the sentinel in both directions, removal anywhere, and the
// elements' handles released as they leave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/support.h"

namespace {

using Name = SharedHandle<std::string>;
using NameList = OrderedList<Name>;

std::vector<std::string> forward(const NameList& list) {
  std::vector<std::string> seen;
  for (auto at = list.first(); at != nullptr; at = list.next(at)) seen.push_back(*at->element);
  return seen;
}

std::vector<std::string> backward(const NameList& list) {
  std::vector<std::string> seen;
  for (auto at = list.last(); at != nullptr; at = list.previous(at)) seen.push_back(*at->element);
  return seen;
}

NameList listOf(std::initializer_list<const char*> names) {
  NameList list;
  for (const char* name : names) list.append(makeHandle<std::string>(name));
  return list;
}

using Names = std::vector<std::string>;

TEST(OrderedList, EmptyListHasNoPositions) {
  NameList list;
  EXPECT_EQ(list.count(), 0u);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.first(), nullptr);
  EXPECT_EQ(list.last(), nullptr);
  EXPECT_FALSE(list.removeFirst());
  EXPECT_EQ(list.remove(nullptr), nullptr);
  list.clear();
  EXPECT_EQ(list.begin(), list.end());
}

TEST(OrderedList, AppendKeepsOrderBothWays) {
  NameList list = listOf({"a", "b", "c"});
  EXPECT_EQ(list.count(), 3u);
  EXPECT_EQ(forward(list), (Names{"a", "b", "c"}));
  EXPECT_EQ(backward(list), (Names{"c", "b", "a"}));
  EXPECT_EQ(*list.first()->element, "a");
  EXPECT_EQ(*list.last()->element, "c");
  EXPECT_EQ(list.previous(list.first()), nullptr);
  EXPECT_EQ(list.next(list.last()), nullptr);
}

TEST(OrderedList, RemoveInTheMiddleReturnsTheFollowingPosition) {
  NameList list = listOf({"a", "b", "c"});
  auto following = list.remove(list.next(list.first()));
  ASSERT_NE(following, nullptr);
  EXPECT_EQ(*following->element, "c");
  EXPECT_EQ(forward(list), (Names{"a", "c"}));
  EXPECT_EQ(backward(list), (Names{"c", "a"}));
  EXPECT_EQ(list.count(), 2u);
}

TEST(OrderedList, RemoveTheLastReturnsNone) {
  NameList list = listOf({"a", "b"});
  EXPECT_EQ(list.remove(list.last()), nullptr);
  EXPECT_EQ(forward(list), (Names{"a"}));
  EXPECT_EQ(list.first(), list.last());
}

TEST(OrderedList, RemoveWhileWalkingWithPositions) {
  NameList list = listOf({"keep", "drop", "drop", "keep", "drop"});
  for (auto at = list.first(); at != nullptr;)
    at = *at->element == "drop" ? list.remove(at) : list.next(at);
  EXPECT_EQ(forward(list), (Names{"keep", "keep"}));
  EXPECT_EQ(backward(list), (Names{"keep", "keep"}));
}

TEST(OrderedList, RemoveFirstUntilEmptyThenReuse) {
  NameList list = listOf({"a", "b"});
  EXPECT_TRUE(list.removeFirst());
  EXPECT_EQ(forward(list), (Names{"b"}));
  EXPECT_TRUE(list.removeFirst());
  EXPECT_FALSE(list.removeFirst());
  EXPECT_EQ(list.first(), nullptr);
  list.append(makeHandle<std::string>("c"));
  EXPECT_EQ(forward(list), (Names{"c"}));
  EXPECT_EQ(backward(list), (Names{"c"}));
}

TEST(OrderedList, ElementsAreSharedAndReleasedAsTheyLeave) {
  auto name = makeHandle<std::string>("shared");
  {
    NameList list;
    list.append(name);
    list.append(name);
    EXPECT_EQ(name.useCount(), 3);
    list.removeFirst();
    EXPECT_EQ(name.useCount(), 2);
  }
  EXPECT_EQ(name.useCount(), 1);  // the list's destruction let go of the rest
}

TEST(OrderedList, ClearReleasesEveryElementAndTheirBlocks) {
  std::size_t before = poolAvailable();
  NameList list = listOf({"a", "b", "c"});
  EXPECT_EQ(poolAvailable(), before - 3);
  list.clear();
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(poolAvailable(), before);
  list.append(makeHandle<std::string>("d"));
  EXPECT_EQ(forward(list), (Names{"d"}));
}

TEST(OrderedList, MoveTakesTheRingAlong) {
  NameList list = listOf({"a", "b"});
  NameList moved = std::move(list);
  EXPECT_EQ(list.count(), 0u);  // NOLINT: the moved-from list is empty and usable
  EXPECT_EQ(list.first(), nullptr);
  EXPECT_EQ(forward(moved), (Names{"a", "b"}));
  list.append(makeHandle<std::string>("x"));
  EXPECT_EQ(forward(list), (Names{"x"}));
  moved = std::move(list);
  EXPECT_EQ(forward(moved), (Names{"x"}));
}

TEST(OrderedList, RangeForVisitsEveryElement) {
  NameList list = listOf({"x", "y"});
  std::string joined;
  for (const Name& name : list) joined += *name;
  EXPECT_EQ(joined, "xy");
}

}  // namespace
