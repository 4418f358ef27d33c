/*
 * The windowed presentation backend: an SDL window scaled with the aspect kept (fitted, or
 * by whole multiples) by the graphics card's renderer or, without one, by the runtime into
 * the window's own pixels; frames paced to the frame rate, keyboard, mouse and gamepad
 * events turned into the game's key and mouse queues, message boxes.
 */
#include "frame_scaler.h"
#include "present.h"
#include "runtime.h"

#include "lb/keycodes.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

namespace {

// One gamepad that is plugged in, with what it holds down, so pulling it out lets go.
struct Pad {
  SDL_GameController* controller = nullptr;
  int stickX = 0, stickY = 0;  // where the left stick points (-1, 0, 1)
  std::set<int> held;          // keys this pad holds down
  int shoulders = 0;           // shoulder buttons held: Ctrl stays down while either is
  bool triggers[2] = {};       // left and right trigger pulled past half way
};

class WindowBackend : public PresentBackend {
 public:
  ~WindowBackend() override {
    for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad.controller);
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    if (pads_on_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool open(std::string& error) {
    // Only a real display will do: SDL would otherwise fall back to an invisible off-screen
    // window, and its probe for a Wayland session complains when there is none.
    if (!SDL_getenv("SDL_VIDEODRIVER")) {
      bool x11 = SDL_getenv("DISPLAY"), wayland = SDL_getenv("WAYLAND_DISPLAY");
      SDL_SetHint(SDL_HINT_VIDEODRIVER, x11 && wayland ? "x11,wayland" : wayland ? "wayland" : "x11");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
      return fail(error, "cannot open a window on this display (to play without one, run "
                         "orvane --headless --input FILE)");
    // Gamepads are a comfort, not a need: without them the game plays on keys and mouse.
    // Pads already plugged in arrive as added devices with the first events.
    pads_on_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    // Should SDL fall back to its software renderer on X11, its window surface goes to the
    // server directly rather than through a GL texture drawn by another software
    // rasteriser, which doubles the work of every frame.
    if (!SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION) && SDL_GetCurrentVideoDriver() &&
        SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0)
      SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    Platform& p = platform();
    int w = 0, h = 0;
    windowSize(p.windowWidth, p.windowHeight, w, h);
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (p.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow("Orvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                               flags);
    if (!window_) return fail(error, "cannot open the window");
    SDL_SetWindowMinimumSize(window_, kFrameWidth / 4, kFrameHeight / 4);
    renderer_ = SDL_CreateRenderer(window_, -1,
                                   SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    // SDL's software renderer, and OpenGL drawn by a software rasteriser where there is no
    // graphics card, stretch the whole frame into the whole window every frame (the latter
    // at ten times the processor time); without the card the runtime stretches only what
    // changed, straight into the window's pixels, when they are laid out as the frame's are.
    if (renderer_ && drawnWithoutGraphicsCard(renderer_)) {
      SDL_DestroyRenderer(renderer_);
      renderer_ = nullptr;
    }
    smooth_ = smoothScaling();
    if (!renderer_ && surfaceFits()) {
      surfaceMode_ = true;
      return draw() || fail(error, "cannot draw into the window");
    }
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) return fail(error, "cannot create a renderer");
    if (!createTexture()) return fail(error, "cannot create the frame texture");
    SDL_RenderSetVSync(renderer_, 1);
    // Show a black window at once rather than whatever the desktop left there.
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
    return true;
  }

  bool show(const uint32_t* pixels, const FrameRect& changed) override {
    if (surfaceMode_) {
      if (!(stale_ ? draw() : drawChanged(pixels, changed))) return false;
      pace();
      return true;
    }
    if (!upload(pixels, changed)) return false;
    // A frame like the one on screen is not drawn again; the window keeps showing it.
    if (stale_ && !draw()) return false;
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
    settle();
    stale_ = true;
  }

  void message(const std::string& caption, const std::string& text) override {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(),
                                 window_) != 0)
      std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }

  void warpPointer(int x, int y) override {
    int wx, wy;
    double rx, ry;
    Viewport v = viewport(rx, ry);
    gameToWindow(v, x, y, wx, wy, rx, ry);
    SDL_WarpMouseInWindow(window_, wx, wy);
  }

  void resize(int width, int height) override {
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) return;
    int w = 0, h = 0;
    windowSize(width, height, w, h);
    SDL_SetWindowSize(window_, w, h);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    settle();
    stale_ = true;
  }

  int largestScale() override {
    SDL_Rect usable{0, 0, 0, 0};
    int display = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0) return 1;
    Platform& p = platform();
    int w = std::max(p.windowWidth, 1), h = std::max(p.windowHeight, 1);
    return std::max(1, std::min(usable.w / w, usable.h / h));
  }

  void setLinearScaling(bool on) override {
    smooth_ = on;
    if (texture_) SDL_SetTextureScaleMode(texture_, on ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    stale_ = true;
  }

 private:
  bool createTexture() {
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                 SDL_TEXTUREACCESS_STREAMING, kFrameWidth, kFrameHeight);
    if (!texture_) return false;
    setLinearScaling(smoothScaling());
    uploaded_ = false;
    return true;
  }

  void resetTexture() {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = nullptr;
    const Platform& p = platform();
    if (createTexture() && p.presented && upload(p.presented, FrameRect::whole())) draw();
  }

  bool fail(std::string& error, const char* what) {
    error = std::string(what) + ": " + SDL_GetError();
    return false;
  }

  // The window changed its size or place under a pointer that stayed still: the pointer moves
  // across the picture without the player moving it. On the settings screen, where a moving
  // pointer chooses the entry under it, such moves would take the choice away from the keys
  // that just changed the window, so for a moment they only move the pointer.
  void settle() { settleUntil_ = SDL_GetTicks64() + 500; }
  bool settling() const { return platform().screen.open && SDL_GetTicks64() < settleUntil_; }

  // The window's size for a game of width x height: the player's scale, or what fits the
  // usable part of the screen the window opens on.
  void windowSize(int width, int height, int& w, int& h) {
    SDL_Rect usable{0, 0, 0, 0};
    int display = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0) usable = {};
    defaultWindowSize(platform().settings.scale, width, height, usable.w, usable.h, w, h);
  }

  // The frame's place in renderer pixels, and the renderer pixels per window coordinate:
  // they differ on displays that scale the window, where the pointer comes in window
  // coordinates.
  Viewport viewport(double& ratioX, double& ratioY) {
    int w = 0, h = 0, ww = 0, wh = 0;
    if (renderer_) SDL_GetRendererOutputSize(renderer_, &w, &h);
    else SDL_GetWindowSizeInPixels(window_, &w, &h);
    SDL_GetWindowSize(window_, &ww, &wh);
    ratioX = ww > 0 ? double(w) / ww : 1.0;
    ratioY = wh > 0 ? double(h) / wh : 1.0;
    return letterbox(w, h, platform().settings.integer);
  }
  void pointerToGame(int wx, int wy, int& gx, int& gy) {
    double rx, ry;
    Viewport v = viewport(rx, ry);
    windowToGame(v, wx, wy, gx, gy, rx, ry);
  }

  // Puts what changed of the frame into the texture (all of it while the texture holds no
  // frame yet); the window is stale from then on until it is drawn.
  bool upload(const uint32_t* pixels, FrameRect changed) {
    if (!uploaded_) changed = FrameRect::whole();
    if (changed.empty()) return true;
    SDL_Rect r{changed.x0, changed.y0, changed.x1 - changed.x0, changed.y1 - changed.y0};
    const uint32_t* from = pixels + static_cast<size_t>(changed.y0) * kFrameWidth + changed.x0;
    if (SDL_UpdateTexture(texture_, &r, from, kFrameWidth * 4) != 0) return false;
    uploaded_ = true;
    stale_ = true;
    return true;
  }

  // Shows the frame presented last scaled into the window, with black bars where the aspect
  // differs.
  bool draw() {
    stale_ = false;
    double rx, ry;
    Viewport v = viewport(rx, ry);
    if (surfaceMode_) return drawSurface(v);
    SDL_Rect dst{v.x, v.y, v.w, v.h};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (SDL_RenderCopy(renderer_, texture_, nullptr, &dst) != 0) return false;
    SDL_RenderPresent(renderer_);
    return true;
  }

  // ---- Presenting into the window's own pixels ----

  static bool drawnWithoutGraphicsCard(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
    if (info.flags & SDL_RENDERER_SOFTWARE) return true;
    if (!SDL_GL_GetCurrentContext()) return false;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(0x1F01 /* GL_RENDERER */) : nullptr;
    if (!name) return false;
    const std::string model = reinterpret_cast<const char*>(name);
    for (const char* rasteriser : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"})
      if (model.find(rasteriser) != std::string::npos) return true;
    return false;
  }

  // The window's pixels hold 32 bits each with red, green and blue where the frame has them
  // (the usual layout of a desktop); otherwise SDL's renderer converts.
  bool surfaceFits() {
    SDL_Surface* s = SDL_GetWindowSurface(window_);
    return s && s->format->BytesPerPixel == 4 && s->format->Rmask == 0x00FF0000 &&
           s->format->Gmask == 0x0000FF00 && s->format->Bmask == 0x000000FF;
  }

  // The whole window again: black, and the frame stretched into its place.
  bool drawSurface(const Viewport& v) {
    SDL_Surface* s = SDL_GetWindowSurface(window_);
    if (!s || SDL_FillRect(s, nullptr, 0) != 0) return false;
    surface_ = s;
    surfaceSize_ = {s->w, s->h};
    scaler_.configure(v, smooth_);
    const uint32_t* frame = platform().presented;
    if (frame && !stretch(s, frame, scaler_.reach(FrameRect::whole()))) return false;
    return SDL_UpdateWindowSurface(window_) == 0;
  }

  // Only the window pixels that read what changed of the frame.
  bool drawChanged(const uint32_t* pixels, const FrameRect& changed) {
    if (changed.empty()) return true;
    SDL_Surface* s = SDL_GetWindowSurface(window_);
    if (!s) return false;
    // Resized before the window said so: the new pixels are not drawn yet.
    if (s != surface_ || s->w != surfaceSize_.first || s->h != surfaceSize_.second) return draw();
    const Viewport& v = scaler_.place();
    const FrameRect area = scaler_.reach(changed);
    if (!stretch(s, pixels, area)) return false;
    SDL_Rect r{v.x + area.x0, v.y + area.y0, area.x1 - area.x0, area.y1 - area.y0};
    return SDL_UpdateWindowSurfaceRects(window_, &r, 1) == 0;
  }

  bool stretch(SDL_Surface* s, const uint32_t* frame, const FrameRect& area) {
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return false;
    const Viewport& v = scaler_.place();
    const int pitch = s->pitch / 4;
    uint32_t* corner = static_cast<uint32_t*>(s->pixels) + size_t(v.y) * size_t(pitch) + v.x;
    scaler_.scale(frame, area, corner, pitch);
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
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
      case SDL_RENDER_DEVICE_RESET:
        // The renderer lost its textures: the frame goes up again, whole.
        resetTexture();
        return false;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          requestExit();
          return true;
        }
        // The game draws only when something changes: a resized or uncovered window shows
        // the last frame again at once rather than waiting for the next one.
        if ((e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
             e.window.event == SDL_WINDOWEVENT_EXPOSED) && (uploaded_ || surfaceMode_))
          draw();
        if (e.window.event == SDL_WINDOWEVENT_MINIMIZED) windowMinimised(true);
        if (e.window.event == SDL_WINDOWEVENT_RESTORED) windowMinimised(false);
        return false;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        int code = keyCodeFromScancode(e.key.keysym.scancode);
        if (code == 0) return false;
        if (e.key.repeat) {
          // A held key is one press, as DirectInput reports it; but a held arrow steps on
          // through the settings screen's entries and values, as in any menu.
          bool arrow = code == LB_KEY_UP || code == LB_KEY_DOWN || code == LB_KEY_LEFT ||
                       code == LB_KEY_RIGHT;
          if (!arrow || !p.screen.open) return false;
          inputKey(in, code, true);
          return true;
        }
        playerKey(code, e.type == SDL_KEYDOWN);
        return in.wakeOnKey;
      }
      case SDL_CONTROLLERDEVICEADDED:
        addPad(e.cdevice.which);
        return false;
      case SDL_CONTROLLERDEVICEREMOVED:
        removePad(e.cdevice.which);
        return in.wakeOnKey;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP:
        return padButton(e.cbutton.which, e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
      case SDL_CONTROLLERAXISMOTION:
        return padAxis(e.caxis.which, e.caxis.axis, e.caxis.value);
      case SDL_MOUSEMOTION: {
        // A move is an event too: what lies under the pointer lights up while the game waits.
        int x = 0, y = 0;
        pointerToGame(e.motion.x, e.motion.y, x, y);
        if (settling()) {
          in.mouseX = x;
          in.mouseY = y;
          return false;
        }
        inputMouseMove(in, x, y);
        return in.wakeOnMouse;
      }
      case SDL_MOUSEWHEEL: {
        // One event per notch; a touchpad's fine scrolling comes as whole notches too.
        int notches = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        if (notches == 0) return false;
        for (int n = notches > 0 ? notches : -notches; n > 0; --n)
          inputMouseButton(in, notches > 0 ? LB_MOUSE_WHEEL_UP : LB_MOUSE_WHEEL_DOWN, in.mouseX,
                           in.mouseY);
        return in.wakeOnMouse;
      }
      case SDL_MOUSEBUTTONDOWN: {
        int code = e.button.button == SDL_BUTTON_LEFT    ? LB_MOUSE_LEFT
                   : e.button.button == SDL_BUTTON_RIGHT ? LB_MOUSE_RIGHT : -1;
        pointerToGame(e.button.x, e.button.y, in.mouseX, in.mouseY);
        if (code < 0) return false;
        if (code == LB_MOUSE_LEFT) in.leftHeld = true;
        inputMouseButton(in, code, in.mouseX, in.mouseY);
        return in.wakeOnMouse;
      }
      case SDL_MOUSEBUTTONUP:
        // Letting go ends a drag on the settings screen's sliders.
        if (e.button.button != SDL_BUTTON_LEFT) return false;
        in.leftHeld = false;
        return p.screen.open;
      default:
        return false;
    }
  }

  // ---- Gamepads ----

  void addPad(int deviceIndex) {
    SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
    if (!c) return;
    SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
    if (pads_.count(id)) {  // announced twice (plugged in before start): keep the first
      SDL_GameControllerClose(c);
      return;
    }
    pads_[id].controller = c;
  }

  // A pad pulled out lets go of everything it held, so Ctrl does not stay down for ever.
  void removePad(SDL_JoystickID id) {
    auto it = pads_.find(id);
    if (it == pads_.end()) return;
    for (int key : it->second.held) inputKey(platform().input, key, false);
    SDL_GameControllerClose(it->second.controller);
    pads_.erase(it);
  }

  void padKey(Pad& pad, int key, bool press) {
    if (press == (pad.held.count(key) != 0)) return;
    if (press) pad.held.insert(key);
    else pad.held.erase(key);
    inputKey(platform().input, key, press);
  }

  bool padButton(SDL_JoystickID id, int button, bool press) {
    auto it = pads_.find(id);
    if (it == pads_.end()) return false;
    Pad& pad = it->second;
    InputState& in = platform().input;
    PadButton b;
    switch (button) {
      case SDL_CONTROLLER_BUTTON_A: b = PadButton::A; break;
      case SDL_CONTROLLER_BUTTON_B: b = PadButton::B; break;
      case SDL_CONTROLLER_BUTTON_X: b = PadButton::X; break;
      case SDL_CONTROLLER_BUTTON_Y: b = PadButton::Y; break;
      case SDL_CONTROLLER_BUTTON_DPAD_UP: b = PadButton::Up; break;
      case SDL_CONTROLLER_BUTTON_DPAD_DOWN: b = PadButton::Down; break;
      case SDL_CONTROLLER_BUTTON_DPAD_LEFT: b = PadButton::Left; break;
      case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: b = PadButton::Right; break;
      case SDL_CONTROLLER_BUTTON_START:
        if (press) inputPadButton(in, PadButton::Start, true);
        return press && in.wakeOnMouse;
      case SDL_CONTROLLER_BUTTON_BACK:
        // The settings screen's button: a wait ends so the screen opens (or closes) on time.
        inputPadButton(in, PadButton::Back, press);
        return true;
      case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
      case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
        pad.shoulders = std::max(0, pad.shoulders + (press ? 1 : -1));
        padKey(pad, padKeyCode(PadButton::Shoulder), pad.shoulders > 0);
        return in.wakeOnKey;
      default:
        return false;
    }
    padKey(pad, padKeyCode(b), press);
    return in.wakeOnKey;
  }

  // The left stick steps between choices as the arrow keys do.
  bool padAxis(SDL_JoystickID id, int axis, int value) {
    auto it = pads_.find(id);
    if (it == pads_.end()) return false;
    Pad& pad = it->second;
    if (axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) {
      // A trigger is a button once pulled past half way, let go once back under a quarter.
      bool left = axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT;
      bool& pulled = pad.triggers[left ? 0 : 1];
      bool now = value >= 16384 ? true : value < 8192 ? false : pulled;
      if (now == pulled) return false;
      pulled = now;
      padKey(pad, padKeyCode(left ? PadButton::LeftTrigger : PadButton::RightTrigger), now);
      return platform().input.wakeOnKey;
    }
    bool across = axis == SDL_CONTROLLER_AXIS_LEFTX;
    if (!across && axis != SDL_CONTROLLER_AXIS_LEFTY) return false;
    int& dir = across ? pad.stickX : pad.stickY;
    int now = stickDirection(dir, value);
    if (now == dir) return false;
    int less = across ? LB_KEY_LEFT : LB_KEY_UP, more = across ? LB_KEY_RIGHT : LB_KEY_DOWN;
    if (dir != 0) padKey(pad, dir < 0 ? less : more, false);
    if (now != 0) padKey(pad, now < 0 ? less : more, true);
    dir = now;
    return platform().input.wakeOnKey;
  }

  std::map<SDL_JoystickID, Pad> pads_;
  bool pads_on_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  bool surfaceMode_ = false;  // no renderer: the frame is stretched into the window's pixels
  FrameScaler scaler_;
  SDL_Surface* surface_ = nullptr;       // the window's pixels when last drawn whole
  std::pair<int, int> surfaceSize_{0, 0};  // and their size then
  bool smooth_ = true;
  bool uploaded_ = false;  // the texture holds the frame presented last
  bool stale_ = true;      // the window does not show the texture's frame as it should
  uint64_t deadline_ = 0;
  uint64_t settleUntil_ = 0;
};

}  // namespace

std::unique_ptr<PresentBackend> makeWindowBackend(std::string& error) {
  auto backend = std::make_unique<WindowBackend>();
  if (!backend->open(error)) return nullptr;
  return backend;
}
