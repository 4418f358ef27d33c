// The scan of image plug-ins beside the executable: which candidates are kept, the exact log
// lines for the rejected ones, that rejected modules are unloaded, and that shutdown frees
// the rest. Real shared objects stand in for the plug-ins.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>
#include <wincompat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/support.h"

namespace {

namespace fs = std::filesystem;

class PluginScan : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(testing::TempDir()) /
              ("orvane_spi_" + std::to_string(getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    log_ = folder_ / "debug.log";
    ASSERT_EQ(compatSetDebugLogFile(log_.c_str()), 1);
    compatSetModuleFileName((folder_ / "orvane").c_str());
  }

  void TearDown() override {
    releaseImagePlugins();
    compatSetDebugLogFile(nullptr);
    compatSetModuleFileName(nullptr);
    fs::remove_all(folder_);
  }

  // Copies a built stand-in into the executable's folder under `as`.
  std::string install(const char* fixture, const char* as) {
    fs::path target = folder_ / as;
    fs::copy_file(fs::path(SPI_FIXTURE_DIR) / fixture, target);
    return target.string();
  }

  std::string log() const {
    std::ifstream in(log_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Whether the process still has this file loaded.
  static bool isLoaded(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
  }

  fs::path folder_;
  fs::path log_;
};

TEST_F(PluginScan, KeepsAGoodPluginAndLogsIt) {
  std::string good = install("good.spi", "good.spi");
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 1u);
  EXPECT_EQ(log(), "[_DSusieInit] \"" + good + "\": loaded.\n");
  EXPECT_TRUE(isLoaded(good));
  shutdownSupportLibrary();
  EXPECT_EQ(imagePluginCount(), 0u);
  EXPECT_FALSE(isLoaded(good));
}

TEST_F(PluginScan, VersionTextIsComparedWithoutCase) {
  install("lower.spi", "lower.spi");
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 1u);
}

TEST_F(PluginScan, MissingGetPluginInfoIsLoggedAndUnloaded) {
  std::string path = install("noinfo.spi", "noinfo.spi");
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 0u);
  EXPECT_EQ(log(), "[_DSusieInit] can't get \"GetPluginInfo\" in \"" + path + "\"\n");
  EXPECT_FALSE(isLoaded(path));
}

TEST_F(PluginScan, OtherVersionIsAVersionError) {
  std::string path = install("oldversion.spi", "oldversion.spi");
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 0u);
  EXPECT_EQ(log(), "[_DSusieInit] \"" + path + "\": version error.\n");
  EXPECT_FALSE(isLoaded(path));
}

TEST_F(PluginScan, InfoReportingFailureIsAVersionError) {
  // It writes "00IN" into the buffer but returns 0: the return value decides.
  std::string path = install("refusing.spi", "refusing.spi");
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 0u);
  EXPECT_EQ(log(), "[_DSusieInit] \"" + path + "\": version error.\n");
}

TEST_F(PluginScan, MissingPictureFunctionIsLoggedAndUnloaded) {
  std::string path = install("nopicture.spi", "nopicture.spi");
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 0u);
  EXPECT_EQ(log(), "[_DSusieInit] \"" + path + "\": can't find functions.\n");
  EXPECT_FALSE(isLoaded(path));
}

TEST_F(PluginScan, FilesThatAreNoLibraryAndFoldersAreSkippedSilently) {
  std::ofstream(folder_ / "junk.spi") << "not a shared object\n";
  fs::create_directory(folder_ / "folder.spi");
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 0u);
  EXPECT_EQ(log(), "");
}

TEST_F(PluginScan, OnlySpiFilesAreCandidates) {
  install("good.spi", "good.so");
  install("good.spi", "good.spi.bak");
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 0u);
  EXPECT_EQ(log(), "");
}

TEST_F(PluginScan, MixedFolderKeepsOnlyThePluginsThatPass) {
  std::string good = install("good.spi", "a_good.spi");
  std::string upper = install("lower.spi", "B_LOWER.SPI");  // the extension matches any case
  std::string noinfo = install("noinfo.spi", "c_noinfo.spi");
  std::string version = install("oldversion.spi", "d_old.spi");
  std::string picture = install("nopicture.spi", "e_nopicture.spi");
  std::ofstream(folder_ / "f_junk.spi") << "junk";
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 2u);
  std::string text = log();
  EXPECT_NE(text.find("[_DSusieInit] \"" + good + "\": loaded.\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[_DSusieInit] \"" + upper + "\": loaded.\n"), std::string::npos) << text;
  EXPECT_NE(text.find("can't get \"GetPluginInfo\" in \"" + noinfo + "\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"" + version + "\": version error.\n"), std::string::npos);
  EXPECT_NE(text.find("\"" + picture + "\": can't find functions.\n"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
}

TEST_F(PluginScan, SecondScanReplacesTheFirst) {
  install("good.spi", "good.spi");
  scanImagePlugins();
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 1u);
}

TEST_F(PluginScan, MissingFolderFindsNothing) {
  compatSetModuleFileName((folder_ / "absent" / "orvane").c_str());
  scanImagePlugins();
  EXPECT_EQ(imagePluginCount(), 0u);
  EXPECT_EQ(log(), "");
}

}  // namespace
