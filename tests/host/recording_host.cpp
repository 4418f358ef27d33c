// The recording host's definitions, generated from the host API list: each function records
// "name(arguments)" and returns the result the test set for it.
#define LB_HOST_DECLARE_FUNCTIONS
#include "lb/host_api.h"

#include <cstdio>
#include <string>
#include <type_traits>

#include "recording_host.h"

namespace {

RecordingHost gHost;

void Append(std::string& out, const char* text) {
  out += text ? "\"" + std::string(text) + "\"" : std::string("null");
}
void Append(std::string& out, char* buffer) { out += buffer ? "buffer" : "null"; }
void Append(std::string& out, int value) { out += std::to_string(value); }
void Append(std::string& out, float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  out += text;
}
template <typename T>
void Append(std::string& out, T* pointer) {
  out += pointer ? "ptr" : "null";
}

template <typename... Args>
void Record(const char* name, Args... args) {
  std::string call = name;
  call += '(';
  bool first = true;
  ((call += first ? "" : ",", first = false, Append(call, args)), ...);
  call += ')';
  gHost.calls.push_back(call);
}

template <typename T>
T Result(const char* name) {
  if constexpr (std::is_void_v<T>) {
    return;
  } else {
    auto found = gHost.results.find(name);
    std::intptr_t value = found == gHost.results.end() ? 0 : found->second;
    if constexpr (std::is_pointer_v<T>) return reinterpret_cast<T>(value);
    else return static_cast<T>(value);
  }
}

}  // namespace

extern "C" RecordingHost* recordingHost() { return &gHost; }

extern "C" int lbMessage(const char* text, const char* caption, int flags) {
  Record("lbMessage", text, caption, flags);
  gHost.messages.push_back(text ? text : "");
  gHost.captions.push_back(caption ? caption : "");
  return Result<int>("lbMessage");
}

// Every other function: lbMessage is defined by hand above, so the generated one is renamed
// out of the way.
#define RECORD(ret, name, params, args)                 \
  extern "C" ret name params {                          \
    Record(#name LB_UNPACK args);                       \
    return Result<ret>(#name);                          \
  }
#define LB_UNPACK(...) __VA_OPT__(, ) __VA_ARGS__
#define lbMessage lbMessage_generated
LB_HOST_API(RECORD)
#undef lbMessage
