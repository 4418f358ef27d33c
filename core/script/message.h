// Message text: story lines shown character by character on the current text layer, paced by
// its character delay, with the inline tags in square brackets (breaks, waits, emphasis,
// indent, colours, links), ruby in braces, the page break's wait, and the two window modes.
#pragma once

#include <cstdint>

// The message mode bits given with every text.
constexpr int kMessageMenuOnRightClick = 1;  // a right click at a page break asks for the menu
constexpr int kMessageClickSound = 2;        // passing a page break plays the click sound
constexpr int kStoryMessageMode = kMessageMenuOnRightClick | kMessageClickSound;

// Shows a text with its tags; `sound` (null or empty: none) plays for every drawn character
// that is not a blank or a line end. True when it stopped early because the current
// scenario must end or return.
bool ShowMessage(const char* text, const char* sound, int mode);
// ShowMessage without a character sound.
bool ShowMessagePlain(const char* text, int mode);
// Carries out one tag: the cursor stands just behind `[` and is left behind its `]`.
void RunTag(const char*& cursor, int mode);
// Reads every tag of a text as ShowMessage would, without showing anything: an unknown tag
// or option ends the game with its message; each link's target goes to `onLink`.
void ReadMessageTags(const char* text, void (*onLink)(const char* target, void* context),
                     void* context);
// A story line from the run loop: ShowMessage with mode 3 and no character sound.
void ShowStoryLine(const char* line);

// `@textShowMessage`: message text goes to the window at the bottom of the screen.
void ShowMessageWindow();
// `@textShowFull`: message text goes to a translucent layer over the whole screen.
void ShowFullScreenText();

// Shapes a layer as the box of the save question and the system menu: a translucent panel
// over all but a 32-pixel margin of the screen, large gothic text drawn at once, shown.
void ShapeMenuBox(const char* layer);

// What a page break reaches in the layers above: the system menu and the court record.
// Start-up installs them as those parts arrive; reaching an empty one ends the game with a
// message, since skipping it would drop what the player asked for.
struct MessageHooks {
  void (*runSystemMenu)() = nullptr;         // a right click at a page break (mode bit 0)
  void (*openCourtRecord)() = nullptr;       // the court-record button was picked
  void (*hideCourtRecordButton)() = nullptr; // after every page break; empty: no button
  void (*clearNamePlate)() = nullptr;        // before the full-screen mode; empty: no plate
};
void InstallMessageHooks(const MessageHooks& hooks);
const MessageHooks& InstalledMessageHooks();
