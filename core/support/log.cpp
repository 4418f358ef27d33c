// The debug log: the game's one log, which every fatal message also goes through. It needs
// no opening or closing; each text goes to the debugger output as it is.
#include "support/support.h"

#include <windows.h>

void logMessage(const char* text) {
  if (text == nullptr) return;
  OutputDebugStringA(text);
}
