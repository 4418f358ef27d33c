// Auto-advance and the player's comfort inputs at a page wait: the A key (or the pad's right
// trigger) turns auto-advance on and off with a mark on screen; while it is on, a story page
// without links or buttons turns by itself once its delay has passed, and any other input
// turns it off. At a story page the wheel or Page Up asks for the message log.
#pragma once

// What the page wait must do after its wait ended on a comfort input.
enum class PageWaitRequest { None, OpenLog, WaitAgain };

// Installs the comforts' filter in the click wait; start-up.
void installPlayerComforts();

bool isAutoAdvanceOn();
// Turns auto-advance on or off, showing or hiding its mark; a session setting, not kept.
void setAutoAdvance(bool on);

// A page wait begins: the log may open at it (a story page without links) and auto-advance
// may turn it (a story page with nothing to pick at all).
void beginPageWait(bool logAllowed, bool autoAllowed);
// How long the wait may last before auto-advance turns the page, from the base delay of the
// settings and the length of the page; 0 when auto-advance is off or may not turn this page.
int autoAdvanceTimeout();
// The page wait ended; what a comfort input asked of it.
PageWaitRequest endPageWait();
// While a text is drawn nothing waits for the player, and what the player does meanwhile is
// thrown away when the next wait starts; with auto-advance on, a click or key pressed then
// still stops it. The message text calls this for every character it draws.
void watchInputWhileTyping();
