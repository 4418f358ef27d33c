// The recording host: a host system library for tests that exports all 279 lb functions,
// records every call with its arguments and the texts of message boxes, and answers each
// call with a result the test chose (0 / null unless set).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct RecordingHost {
  std::vector<std::string> calls;     // "lbSetWindowSize(800,600)"; strings in quotes, as passed
  std::vector<std::string> messages;  // lbMessage texts, byte for byte
  std::vector<std::string> captions;  // lbMessage captions
  std::map<std::string, std::intptr_t> results;  // what a function returns; absent: 0 / null

  void reset() {
    calls.clear();
    messages.clear();
    captions.clear();
    results.clear();
  }
};

// The library's one instance; tests look it up with dlsym on the library core bound.
extern "C" RecordingHost* recordingHost();
using RecordingHostAccessor = RecordingHost* (*)();
