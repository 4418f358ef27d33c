// Binding the host system library: loads it and looks up all 279 host functions by name, in
// the order of the list, into the host API table; and the plug-in's small fixed exports.
#include "host/host_api.h"

#include <windows.h>

#include <cstring>

HostApiTable gHost;

namespace {

HMODULE gHostLibrary = nullptr;
bool gBound = false;

// Looks up every name in list order. At the first name the library lacks, binding stops:
// the entries bound so far keep their addresses and the rest stay null.
bool BindAll(HMODULE library) {
// (The detour through void (*)() is the one cast between function types that is always
// allowed without a warning.)
#define HOST_API_BIND(ret, name, params, args)                                               \
  gHost.name = reinterpret_cast<ret(*) params>(                                              \
      reinterpret_cast<void (*)()>(GetProcAddress(library, #name)));                         \
  if (!gHost.name) return false;
  LB_HOST_API(HOST_API_BIND)
#undef HOST_API_BIND
  return true;
}

}  // namespace

bool IsHostBound() { return gBound; }

CORE_EXPORT int lbGetFunction(char* name, int size, int index) {
  if (index != 0) return 0;
  static const char kStart[] = "start";
  if (name && size > 0) std::strncpy(name, kStart, static_cast<std::size_t>(size));
  return 5;
}

CORE_EXPORT int lbLoadInit() { return 1; }

CORE_EXPORT void lbUnloadExit() {}

CORE_EXPORT int lbGetVersion() { return 0x0100; }

CORE_EXPORT int lbLoadSystem(const char* path) {
  if (gHostLibrary) return 0;
  gHostLibrary = LoadLibraryA(path);
  if (!gHostLibrary) return 0;
  gBound = BindAll(gHostLibrary);
  return gBound ? 1 : 0;
}

// Freeing the library also empties the table, so nothing can call into unmapped code and a
// later lbLoadSystem starts from a clean table.
CORE_EXPORT int lbUnloadSystem() {
  if (!gHostLibrary) return 0;
  BOOL freed = FreeLibrary(gHostLibrary);
  gHostLibrary = nullptr;
  gBound = false;
  gHost = HostApiTable{};
  return freed;
}
