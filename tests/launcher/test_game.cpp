/*
 * A small game plug-in for the launcher tests: it exports the seven plug-in functions, binds
 * the runtime by name itself, and runs one screen that waits for a click while it renders.
 * TEST_GAME_EXTRA_FUNCTION names one more host function to bind (to test a missing one);
 * TEST_GAME_MODE=frames renders frames back to back, as a fade does, until the window closes;
 * TEST_GAME_MODE=report reports clicks on standard error rather than in a message box (which
 * would wait for someone to close it) and ends at a right click.
 */
#include "lb/host_api.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void* gRuntime = nullptr;
LbImage gImages[3] = {};
LbSprite gSprites[3] = {};

#define TEST_GAME_POINTER(ret, name, params, args) ret(*name) params = nullptr;
LB_HOST_API(TEST_GAME_POINTER)
#undef TEST_GAME_POINTER

template <typename Fn>
bool bindOne(const char* name, Fn& out) {
  out = reinterpret_cast<Fn>(dlsym(gRuntime, name));
  if (!out) std::fprintf(stderr, "test game: the runtime has no %s\n", name);
  return out != nullptr;
}

// A screen of three coloured bands, so a screenshot shows whether frames arrive.
void buildScreen() {
  struct Band { int y, h; float r, g, b; } bands[] = {
      {0, 200, 0.8f, 0.1f, 0.1f}, {200, 200, 0.1f, 0.7f, 0.2f}, {400, 200, 0.1f, 0.2f, 0.8f}};
  for (int i = 0; i < 3; ++i) {
    const Band& band = bands[i];
    LbImage image = gImages[i] = lbtsCreateImage(800, band.h);
    if (!image) continue;
    lbtsFillImage(image, band.r, band.g, band.b, 1.0f);
    LbSprite sprite = gSprites[i] = lbtsCreateSprite(image, 2 * (i + 1), 0);
    if (!sprite) continue;
    lbtsSetSpriteMap(sprite, 0, 0, 800, band.h);
    lbtsSetSpriteSize(sprite, 800, band.h);
    lbtsSetSpritePos(sprite, 0, band.y);
    lbtsSetSpriteDraw(sprite, 1);
  }
}

void destroyScreen() {
  for (int i = 0; i < 3; ++i) {
    if (gSprites[i]) lbtsDestroySprite(gSprites[i]);
    if (gImages[i]) lbtsDestroyImage(gImages[i]);
    gSprites[i] = nullptr;
    gImages[i] = nullptr;
  }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int lbGetFunction(char* name, int size, int index) {
  if (index != 0) return 0;
  std::strncpy(name, "start", size_t(size));
  return 5;
}

__attribute__((visibility("default"))) int lbLoadInit(void) { return 1; }
__attribute__((visibility("default"))) void lbUnloadExit(void) {}
__attribute__((visibility("default"))) int lbGetVersion(void) { return 0x100; }

__attribute__((visibility("default"))) int lbLoadSystem(const char* path) {
  if (gRuntime) return 0;
  gRuntime = dlopen(path, RTLD_NOW);
  if (!gRuntime) return 0;
#define TEST_GAME_BIND(ret, name, params, args) \
  if (!bindOne(#name, name)) return 0;
  LB_HOST_API(TEST_GAME_BIND)
#undef TEST_GAME_BIND
  if (const char* extra = std::getenv("TEST_GAME_EXTRA_FUNCTION")) {
    void* fn = nullptr;
    if (!bindOne(extra, fn)) return 0;
  }
  return 1;
}

__attribute__((visibility("default"))) int lbUnloadSystem(void) {
  if (!gRuntime) return 0;
  int result = dlclose(gRuntime) == 0;
  gRuntime = nullptr;
  return result;
}

// Waits for clicks on a rendered screen; each click is reported in a message box. The
// window closing (a quit action, a used-up script) ends the game.
__attribute__((visibility("default"))) int start(int) {
  if (!lbCheckSystemName("MOSSLINE_ORVANE_SYSTEM")) return 1;
  lbSetTitle("Test game");
  lbSetFPS(60);
  buildScreen();
  const char* mode = std::getenv("TEST_GAME_MODE");
  if (mode && std::strcmp(mode, "frames") == 0) {
    // Slower than any display, so the runtime's own pacing shows, not only vertical sync.
    lbSetFPS(20);
    int frames = 0;
    while (!lbIsExit()) {
      lbtsRenderScreen();
      ++frames;
      lbClearEvent();
      lbWaitEvent(0);
    }
    std::fprintf(stderr, "frames %d\n", frames);
    destroyScreen();
    return 1;
  }
  // Music and a click sound when the game folder has them.
  LbStream music = lbCreateStream();
  lbAddStreamList(music, "bgm/intro.wav", 0, 0, 0);
  lbAddStreamList(music, "bgm/body.wav", -1, 0, 0);
  lbPlayStream(music);
  LbSound click = lbLoadSound("se/click.wav", 1);
  const bool report = mode && std::strcmp(mode, "report") == 0;
  for (bool ended = false; !ended;) {
    lbClearKey();
    lbClearMouse();
    lbWaitMouseEvent(1);
    for (bool clicked = false; !clicked && !ended;) {
      lbClearEvent();
      lbWaitEvent(0);
      if (lbIsExit()) {
        ended = true;
        break;
      }
      int code = -1, x = 0, y = 0;
      while (lbGetMouse(&code, &x, &y)) {
        if (code != LB_MOUSE_LEFT && code != LB_MOUSE_RIGHT) continue;  // a pointer move
        char text[64];
        std::snprintf(text, sizeof text, "clicked %s at %d %d", code == 0 ? "left" : "right", x, y);
        if (report) std::fprintf(stderr, "%s\n", text);
        else lbMessage(text, "Test game", 0);
        ended = ended || (report && code == LB_MOUSE_RIGHT);
        if (click) lbPlaySound(click, 0);
        clicked = true;
      }
      lbtsRenderScreen();
      lbWaitEvent(100);
    }
  }
  lbDestroySound(click);
  lbDestroyStream(music);
  destroyScreen();
  return 1;
}

}  // extern "C"
