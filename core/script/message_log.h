// The message log: the story's recent pages as they were shown in the message window, kept
// with the speaker's name plate of each, and the screen that shows them again over the game
// at a story page wait (wheel up, Page Up, the pad's left trigger) until the player closes it.
#pragma once

#include <cstdint>

constexpr int kMessageLogPages = 128;   // the oldest page goes when one more is kept
constexpr int kMessageLogPageSize = 2048;  // bytes of one page's text; the rest is not kept

// ---- Recording: the message text reports what it draws on the message window ("def") ------
// A character drawn, a character collected as ruby, the start and end of a ruby, and a tag
// the log shows again (breaks, emphasis, indent, colours), as its name without brackets.
void logDrawnChar(std::uint16_t code);
void logRubyChar(std::uint16_t code);
void logRubyStart();
void logRubyEnd();
void logTag(const char* name);
// A page break: a story page (`keep`) joins the log; either way the next page starts empty.
void logPageBreak(bool keep);
// The message window was set up anew: what was collected belongs to no page.
void logDropPage();
// The court's name plate: its slot and definition name while one is shown (slot -1: none).
// A page kept while that slot is on screen shows the plate beside it in the log.
void logNamePlate(int slot, const char* definition);

// ---- Reading it back ---------------------------------------------------------------------
int messageLogSize();
// The text of page `index` (0 the oldest), with the tags it keeps; "" out of range.
const char* messageLogPage(int index);
// The name plate definition of page `index`, "" when none was shown.
const char* messageLogPlate(int index);
// Characters drawn on the page last kept (what auto-advance reads the page's length by).
int lastLoggedPageLength();
// Forgets every page (a new game starts with an empty log).
void clearMessageLog();

// Shows the log over the game, the newest pages at the bottom, until the player closes it
// (a click, Escape or the pad's B, a decide key, or the wheel turned down past the end);
// the wheel, the arrows and Page Up / Page Down scroll it. Everything it showed is taken
// away again, so the game continues exactly where it was. Nothing happens without pages.
void runMessageLog();
