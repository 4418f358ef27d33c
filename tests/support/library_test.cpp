// Start-up and shutdown of the support library: the allocation-failure handler and the
// plug-in list living from one to the other.
#include <gtest/gtest.h>

#include <unistd.h>
#include <wincompat.h>

#include <clocale>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

#include "support/support.h"

namespace {

namespace fs = std::filesystem;

class SupportLibrary : public testing::Test {
 protected:
  void SetUp() override {
    const char* locale = std::setlocale(LC_ALL, nullptr);
    savedLocale_ = locale != nullptr ? locale : "C";
    savedHandler_ = std::get_new_handler();
    folder_ = fs::path(testing::TempDir()) / ("orvane_library_" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    compatSetModuleFileName((folder_ / "orvane").c_str());
  }
  void TearDown() override {
    shutdownSupportLibrary();
    std::set_new_handler(savedHandler_);
    std::setlocale(LC_ALL, savedLocale_.c_str());
    compatSetModuleFileName(nullptr);
    fs::remove_all(folder_);
  }

  std::string savedLocale_;
  std::new_handler savedHandler_ = nullptr;
  fs::path folder_;
};

TEST_F(SupportLibrary, ExhaustedHeapThrowsBadAllocation) {
  initSupportLibrary();
  std::new_handler handler = std::get_new_handler();
  ASSERT_NE(handler, nullptr);
  try {
    handler();
    FAIL() << "the handler returned";
  } catch (const std::bad_alloc& error) {
    EXPECT_STREQ(error.what(), "bad allocation");
  }
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(SupportLibrary, ImpossibleRequestReachesTheHandler) {
  initSupportLibrary();
  try {
    void* never = ::operator new(static_cast<std::size_t>(1) << 62);
    ::operator delete(never);
    FAIL() << "the request was granted";
  } catch (const DBadAlloc& error) {
    EXPECT_STREQ(error.what(), "bad allocation");
  }
}
#endif

TEST_F(SupportLibrary, PluginsLiveFromStartUpToShutdown) {
  fs::copy_file(fs::path(SPI_FIXTURE_DIR) / "good.spi", folder_ / "good.spi");
  initSupportLibrary();
  EXPECT_EQ(imagePluginCount(), 1u);
  shutdownSupportLibrary();
  EXPECT_EQ(imagePluginCount(), 0u);
  shutdownSupportLibrary();  // a second shutdown has nothing left to free
  EXPECT_EQ(imagePluginCount(), 0u);
}

TEST(DebugLog, TextGoesToTheDebuggerOutputUnchanged) {
  fs::path log = fs::path(testing::TempDir()) / ("orvane_log_" + std::to_string(getpid()));
  fs::remove(log);
  ASSERT_EQ(compatSetDebugLogFile(log.c_str()), 1);
  logMessage("first line\n");
  logMessage("\x83\x5C no line end");
  logMessage(nullptr);
  compatSetDebugLogFile(nullptr);
  FILE* file = std::fopen(log.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char text[128] = {};
  std::size_t got = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  fs::remove(log);
  EXPECT_EQ(std::string(text, got), "first line\n\x83\x5C no line end");
}

}  // namespace
