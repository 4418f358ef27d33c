// The figures `usage` writes for the soak: what the process holds, counted where it is held.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "ledger.h"

namespace {

std::map<std::string, long> figures() {
  std::map<std::string, long> out;
  std::istringstream in(usageReport());
  for (std::string word; in >> word;) {
    std::size_t equals = word.find('=');
    EXPECT_NE(equals, std::string::npos) << word;
    out[word.substr(0, equals)] = std::atol(word.c_str() + equals + 1);
  }
  return out;
}

TEST(Usage, FollowsOpenFilesHeapAndHostObjects) {
  auto before = figures();
  for (const char* key : {"rss_kb", "heap_kb", "fds", "images", "sprites", "fonts", "sounds",
                          "streams", "files", "wipes"})
    EXPECT_EQ(before.count(key), 1u) << key;
  EXPECT_GT(before["rss_kb"], 0);

  int fd = open("/dev/null", O_RDONLY);
  void* block = std::malloc(8 << 20);
  static_cast<volatile char*>(block)[0] = 1;
  ledgerCreated(HostObject::Image);
  auto during = figures();
  EXPECT_EQ(during["fds"], before["fds"] + 1);
#ifndef __SANITIZE_ADDRESS__  // the sanitizer's allocator keeps its own books
  EXPECT_GE(during["heap_kb"], before["heap_kb"] + 8 * 1024);
#endif
  EXPECT_EQ(during["images"], before["images"] + 1);

  close(fd);
  std::free(block);
  ledgerDestroyed(HostObject::Image);
  auto after = figures();
  EXPECT_EQ(after["fds"], before["fds"]);
  EXPECT_EQ(after["images"], before["images"]);
#ifndef __SANITIZE_ADDRESS__
  EXPECT_LT(after["heap_kb"], during["heap_kb"]);
#endif
}

}  // namespace
