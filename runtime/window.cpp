/*
 * The windowed presentation backend: an SDL window scaled with the aspect kept, frames paced
 * to the frame rate, SDL events turned into the game's key and mouse queues, message boxes.
 */
#include "present.h"
#include "runtime.h"

#include <SDL.h>

#include <cstdio>

namespace {

class WindowBackend : public PresentBackend {
 public:
  ~WindowBackend() override {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool open(std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail(error, "cannot start video");
    Platform& p = platform();
    window_ = SDL_CreateWindow("Orvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               p.windowWidth, p.windowHeight, SDL_WINDOW_RESIZABLE);
    if (!window_) return fail(error, "cannot open the window");
    renderer_ = SDL_CreateRenderer(window_, -1,
                                   SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) return fail(error, "cannot create a renderer");
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                 SDL_TEXTUREACCESS_STREAMING, kFrameWidth, kFrameHeight);
    if (!texture_) return fail(error, "cannot create the frame texture");
    setLinearScaling(p.linear);
    SDL_SetWindowMinimumSize(window_, kFrameWidth / 4, kFrameHeight / 4);
    SDL_RenderSetVSync(renderer_, 1);
    // Show a black window at once rather than whatever the desktop left there.
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
    return true;
  }

  bool show(const uint32_t* pixels) override {
    if (!draw(pixels)) return false;
    pace();
    return true;
  }

  void waitEvents(int ms) override {
    uint64_t end = SDL_GetTicks64() + uint64_t(ms > 0 ? ms : 0);
    bool woke = false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) woke |= handle(e);
    while (!woke && !platform().exitRequested) {
      uint64_t now = SDL_GetTicks64();
      if (now >= end) break;
      if (!SDL_WaitEventTimeout(&e, int(end - now))) continue;
      woke = handle(e);
      while (SDL_PollEvent(&e)) woke |= handle(e);
    }
  }

  void setTitle(const std::string& utf8) override { SDL_SetWindowTitle(window_, utf8.c_str()); }

  void setFullscreen(bool on) override {
    SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  }

  void message(const std::string& caption, const std::string& text) override {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(),
                                 window_) != 0)
      std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }

  void warpPointer(int x, int y) override {
    int wx, wy;
    gameToWindow(windowViewport(), x, y, wx, wy);
    SDL_WarpMouseInWindow(window_, wx, wy);
  }

  void resize(int width, int height) override {
    if (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP))
      SDL_SetWindowSize(window_, width, height);
  }

  void setLinearScaling(bool on) override {
    if (texture_) SDL_SetTextureScaleMode(texture_, on ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
  }

 private:
  bool fail(std::string& error, const char* what) {
    error = std::string(what) + ": " + SDL_GetError();
    return false;
  }

  // The frame's place in renderer pixels (for drawing) and in window coordinates (for the
  // pointer): they differ on displays that scale the window.
  Viewport viewport() {
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    return letterbox(w, h);
  }
  Viewport windowViewport() {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    return letterbox(w, h);
  }

  // Uploads and shows a frame scaled into the window, with black bars where the aspect differs.
  bool draw(const uint32_t* pixels) {
    if (SDL_UpdateTexture(texture_, nullptr, pixels, kFrameWidth * 4) != 0) return false;
    Viewport v = viewport();
    SDL_Rect dst{v.x, v.y, v.w, v.h};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (SDL_RenderCopy(renderer_, texture_, nullptr, &dst) != 0) return false;
    SDL_RenderPresent(renderer_);
    return true;
  }

  // Vertical sync paces presentation where the display offers it; when it does not (or the
  // display runs faster than the game's rate) sleep until the frame's time has come, so a
  // fade loop never spins the processor.
  void pace() {
    Platform& p = platform();
    uint64_t now = SDL_GetTicks64() * 1000;  // microseconds from milliseconds
    uint64_t period = 1000000 / uint64_t(p.clock.fps);
    if (deadline_ == 0 || now > deadline_ + 4 * period) deadline_ = now;  // fell behind: restart
    deadline_ += period;
    if (deadline_ > now) SDL_Delay(uint32_t((deadline_ - now) / 1000));
  }

  // Updates the game's input from one SDL event; true when the event should end a wait.
  bool handle(const SDL_Event& e) {
    Platform& p = platform();
    InputState& in = p.input;
    switch (e.type) {
      case SDL_QUIT:
        requestExit();
        return true;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          requestExit();
          return true;
        }
        // The game draws only when something changes: a resized or uncovered window shows
        // the last frame again at once rather than waiting for the next one.
        if ((e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
             e.window.event == SDL_WINDOWEVENT_EXPOSED) && !p.lastFrame.empty())
          draw(p.lastFrame.data());
        if (e.window.event == SDL_WINDOWEVENT_MINIMIZED && p.timePause) pauseAudio(true);
        if (e.window.event == SDL_WINDOWEVENT_RESTORED) pauseAudio(false);
        return false;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        if (e.key.repeat) return false;  // a held key is one press, as DirectInput reports it
        int code = keyCodeFromScancode(e.key.keysym.scancode);
        if (code == 0) return false;
        inputKey(in, code, e.type == SDL_KEYDOWN);
        return in.wakeOnKey;
      }
      case SDL_MOUSEMOTION: {
        // A move is an event too: what lies under the pointer lights up while the game waits.
        int x = 0, y = 0;
        windowToGame(windowViewport(), e.motion.x, e.motion.y, x, y);
        inputMouseMove(in, x, y);
        return in.wakeOnMouse;
      }
      case SDL_MOUSEBUTTONDOWN: {
        int code = e.button.button == SDL_BUTTON_LEFT    ? LB_MOUSE_LEFT
                   : e.button.button == SDL_BUTTON_RIGHT ? LB_MOUSE_RIGHT : -1;
        windowToGame(windowViewport(), e.button.x, e.button.y, in.mouseX, in.mouseY);
        if (code < 0) return false;
        inputMouseButton(in, code, in.mouseX, in.mouseY);
        return in.wakeOnMouse;
      }
      default:
        return false;
    }
  }

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  uint64_t deadline_ = 0;
};

}  // namespace

std::unique_ptr<PresentBackend> makeWindowBackend(std::string& error) {
  auto backend = std::make_unique<WindowBackend>();
  if (!backend->open(error)) return nullptr;
  return backend;
}
