// Window set-up at start-up: the system's name and copyright, the screen size, the frame
// rate and the window mode, handed to the host in a fixed order.
#include "host/host_api.h"

int gScreenWidth;
int gScreenHeight;

void SystemInit(int width, int height, bool fullscreen) {
  gHost.lbSetTitle("Orvane System");  // the game's own title replaces it once set up
  gHost.lbUseGDI(1);
  gHost.lbSetCopyright("Orvane System\nCopyright (C) 2026 the Orvane developers");
  gScreenWidth = width;
  gScreenHeight = height;
  gHost.lbSetWindowSize(width, height);
  gHost.lbSetTimePause(0);
  gHost.lbSetFPS(60);
  gHost.lbtsSetLinearMode(1);
  gHost.lbSetFullscreen(fullscreen ? 1 : 0);
}
