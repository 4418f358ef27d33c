// Library loading over dlopen, the module path the game reads its files beside, and the
// debugger output with its log file.
#include <gtest/gtest.h>

#include "compat/temp_folder.h"
#include "wincompat.h"
#include "windows.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string upperCaseName(std::string path) {
  size_t slash = path.rfind('/');
  for (size_t i = slash + 1; i < path.size(); ++i) path[i] = static_cast<char>(std::toupper(path[i]));
  return path;
}

TEST(LoadLibrary, LoadsRealModuleAndFindsItsFunction) {
  HMODULE module = LoadLibraryA(PROBE_MODULE_PATH);
  ASSERT_NE(module, nullptr) << compatLastLoadError();
  auto answer = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "probeAnswer")));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(GetProcAddress(module, "GetPluginInfo"), nullptr);
  EXPECT_NE(std::string(compatLastLoadError()), "");
  EXPECT_NE(FreeLibrary(module), FALSE);
}

TEST(LoadLibrary, FileNameFoundWithoutAsciiCase) {
  TempFolder dir;
  std::filesystem::copy_file(PROBE_MODULE_PATH, dir / "Probe.SPI");
  HMODULE module = LoadLibraryA((dir / "probe.spi").c_str());
  ASSERT_NE(module, nullptr) << compatLastLoadError();
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(module, path, sizeof path);
  EXPECT_EQ(std::string(path, length), dir / "Probe.SPI");
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(LoadLibrary, FailuresAreNullWithAReason) {
  TempFolder dir;
  dir.write("fake.spi", "not a library");
  EXPECT_EQ(LoadLibraryA((dir / "missing.spi").c_str()), nullptr);
  EXPECT_NE(std::string(compatLastLoadError()), "");
  EXPECT_EQ(LoadLibraryA((dir / "fake.spi").c_str()), nullptr);
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  EXPECT_EQ(LoadLibraryA("a\x81"), nullptr);
}

TEST(LoadLibrary, UnknownHandlesAreRefusedNotDereferenced) {
  int notAModule = 0;
  EXPECT_EQ(GetProcAddress(&notAModule, "probeAnswer"), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "probeAnswer"), nullptr);
  EXPECT_FALSE(FreeLibrary(&notAModule));
  EXPECT_FALSE(FreeLibrary(nullptr));
  HMODULE module = LoadLibraryA(PROBE_MODULE_PATH);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(GetProcAddress(module, nullptr), nullptr);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(module));
}

TEST(LoadLibrary, LoadCountsPairWithFrees) {
  HMODULE first = LoadLibraryA(PROBE_MODULE_PATH);
  HMODULE second = LoadLibraryA(upperCaseName(PROBE_MODULE_PATH).c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_NE(GetProcAddress(second, "probeAnswer"), nullptr);
  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_EQ(GetProcAddress(second, "probeAnswer"), nullptr);
}

TEST(ModuleFileName, ReportsTheSetPathWithWindowsTruncation) {
  compatSetModuleFileName("/save/\x95\x5c/orvane.exe");
  char buffer[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), 19u);
  EXPECT_STREQ(buffer, "/save/\x95\x5c/orvane.exe");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 5), 4u);
  EXPECT_STREQ(buffer, "/sav");
  EXPECT_EQ(buffer[5], 'x');
  // A double-byte character that does not fit whole is left out.
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 8), 6u);
  EXPECT_STREQ(buffer, "/save/");
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 0), 0u);
  compatSetModuleFileName(nullptr);
}

TEST(ModuleFileName, UnsetReportsTheExecutable) {
  compatSetModuleFileName(nullptr);
  char buffer[4096];
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  ASSERT_GT(length, 0u);
  char expected[4096];
  ssize_t size = readlink("/proc/self/exe", expected, sizeof expected - 1);
  ASSERT_GT(size, 0);
  EXPECT_EQ(std::string(buffer, length), std::string(expected, static_cast<size_t>(size)));
}

TEST(DebugOutput, TextGoesToStderrInUtf8AndIsAppendedToTheLogAsIs) {
  TempFolder dir;
  dir.write("debug.log", "earlier\n");
  ASSERT_EQ(compatSetDebugLogFile((dir / "debug.log").c_str()), 1);
  testing::internal::CaptureStderr();
  OutputDebugStringA("[_DSusieInit] \x95\x5c");
  OutputDebugStringA("\n");
  OutputDebugStringA(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "[_DSusieInit] \xE8\xA1\xA8\n");
  // Already on disk while the log is still open: nothing waits for a clean exit.
  EXPECT_EQ(dir.read("debug.log"), "earlier\n[_DSusieInit] \x95\x5c\n");
  EXPECT_EQ(compatSetDebugLogFile(nullptr), 1);
  testing::internal::CaptureStderr();
  OutputDebugStringA("after");
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(dir.read("debug.log"), "earlier\n[_DSusieInit] \x95\x5c\n");
}

TEST(DebugOutput, TextThatIsNotShiftJisReachesStderrUnchanged) {
  testing::internal::CaptureStderr();
  OutputDebugStringA("cut \x95");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "cut \x95");
}

TEST(DebugOutput, UnopenableLogKeepsThePreviousOne) {
  TempFolder dir;
  ASSERT_EQ(compatSetDebugLogFile((dir / "a.log").c_str()), 1);
  EXPECT_EQ(compatSetDebugLogFile((dir / "missing/b.log").c_str()), 0);
  testing::internal::CaptureStderr();
  OutputDebugStringA("still logged");
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(dir.read("a.log"), "still logged");
  compatSetDebugLogFile(nullptr);
}

}  // namespace
