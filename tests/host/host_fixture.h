// Binds core (linked in statically) to the recording host through the real LoadLibraryA
// path, and unbinds it afterwards, so each test starts from an unbound core.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <wincompat.h>

#include <string>

#include "host/host_api.h"
#include "recording_host.h"

// The Shift-JIS bytes of a UTF-8 text, converted at run time by the code page converter,
// independently of the literals compiled into core.
inline std::string Sjis(const std::string& utf8) {
  std::string out(utf8.size() + 1, '\0');
  int n = compatUtf8ToSjis(utf8.c_str(), out.data(), out.size());
  EXPECT_GE(n, 0) << utf8;
  out.resize(n < 0 ? 0 : n);
  return out;
}

class BoundCore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(lbLoadSystem(RECORDING_HOST_PATH), 1);
    void* library = dlopen(RECORDING_HOST_PATH, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    auto accessor = reinterpret_cast<RecordingHostAccessor>(dlsym(library, "recordingHost"));
    dlclose(library);  // RTLD_NOLOAD took a reference of its own
    ASSERT_NE(accessor, nullptr);
    host = accessor();
    host->reset();
  }
  void TearDown() override { lbUnloadSystem(); }

  RecordingHost* host = nullptr;
};
