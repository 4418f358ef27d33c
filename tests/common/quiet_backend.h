// A window backend for tests that does nothing it is asked: a test overrides only the part
// it watches (what is shown, how a wait ends).
#pragma once

#include "present.h"

#include <string>

class QuietBackend : public PresentBackend {
 public:
  bool show(const uint32_t*, const FrameRect&) override { return true; }
  void waitEvents(int) override {}
  void setTitle(const std::string&) override {}
  void setFullscreen(bool) override {}
  void message(const std::string&, const std::string&) override {}
  void warpPointer(int, int) override {}
  void setLinearScaling(bool) override {}
  void resize(int, int) override {}
};
