// Start-up and shutdown of the support library: the C locale, the handler that turns an
// exhausted heap into DBadAlloc, and the image plug-ins that live between the two.
#include "support/support.h"

#include <clocale>
#include <new>

namespace {

// Called by operator new when the heap cannot satisfy a request; throwing ends the retry
// loop, and the game's handler reports the shortage and shuts down.
void outOfMemory() { throw DBadAlloc(); }

}  // namespace

void initSupportLibrary() {
  std::setlocale(LC_ALL, "");
  std::set_new_handler(outOfMemory);
  scanImagePlugins();
}

void shutdownSupportLibrary() { releaseImagePlugins(); }
