// The host API table: one pointer per host function, bound by name by lbLoadSystem and null
// until then. core reaches the host only through it (gHost.lbtsCreateSprite(...)); the list
// of functions lives once, in lb/host_api.h.
#pragma once

#include "lb/host_api.h"

struct HostApiTable {
#define HOST_API_POINTER(ret, name, params, args) ret(*name) params = nullptr;
  LB_HOST_API(HOST_API_POINTER)
#undef HOST_API_POINTER
};

extern HostApiTable gHost;

// Marks the plug-in's exports: C linkage, visible from the shared library.
#define CORE_EXPORT extern "C" __attribute__((visibility("default")))

// The plug-in's exports.
CORE_EXPORT int lbGetFunction(char* name, int size, int index);  // "start" at index 0
CORE_EXPORT int lbLoadInit();                                    // 1
CORE_EXPORT void lbUnloadExit();                                 // nothing to do
CORE_EXPORT int lbGetVersion();                                  // 0x0100
CORE_EXPORT int lbLoadSystem(const char* path);    // loads and binds the host library
CORE_EXPORT int lbUnloadSystem();                  // frees it; 0 when none is loaded
CORE_EXPORT int start(int unused);                 // runs the whole game; returns 1

// True once lbLoadSystem has bound every host function.
bool IsHostBound();

// Screen size kept by SystemInit, read by the drawing code.
extern int gScreenWidth;
extern int gScreenHeight;

// Window set-up, once at start-up: title, copyright, size, frame rate, full screen.
void SystemInit(int width, int height, bool fullscreen);
