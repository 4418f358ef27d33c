// Evidence and profiles: the table of entries the player can collect, filled from the
// scenario folder's "item.txt" at every top-level run, the owned flags the script sets, the
// saved list of owned numbers, and the commands that show an entry's picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t kItemNameSize = 256;
constexpr std::size_t kItemCommentSize = 256;
constexpr std::size_t kItemImageSize = 264;
// The highest number a definition file may use: the table grows to it, so a larger one
// would allocate without limit for one mistyped digit.
constexpr int kMaxItemNumber = 10000;
// Slot of the evidence picture and the level it is built at.
constexpr int kItemPictureSlot = 21;
constexpr int kItemPictureLevel = 82;

struct ItemEntry {
  char name[kItemNameSize] = {};  // empty: the number is not defined
  char comment[kItemCommentSize] = {};
  char image[kItemImageSize] = {};
  char mag[kItemImageSize] = {};  // empty: no magnified picture
  std::uint32_t isProfile = 0;    // 1 for a character profile, 0 for evidence
  std::uint8_t owned = 0;
};

struct ItemTable {
  std::vector<ItemEntry> entries;  // indexed by number; count is entries.size()
};

extern ItemTable gItems;

// Empties the table and fills it from "item.txt" of the current scenario folder; with
// `restore`, then marks owned the numbers saved as "pt_item" in `progressFile`.
void loadItems(bool restore, const char* progressFile);
// The owned numbers in ascending order, each followed by one blank ("" when none).
void saveOwnedItems(char* out, std::size_t size);
// The entry of `number`; an undefined or out-of-range number ends the game.
ItemEntry& checkItem(int number);
// Sets or clears the owned flag (`@itemGetNoshow`, `@itemLost`).
void gainItem(int number);
void loseItem(int number);
// The evidence picture, at the top left or, with `right`, the top right (`@itemShow`).
void showItemPicture(int number, bool right);
// Fades the evidence picture out and deletes it, when there is one (`@itemHide`).
void hideItemPicture();
// The picture around a page naming the entry (`@itemMessage`).
void showItemMessage(int number, const char* before, const char* after, bool right);
// Resolves a picture name as court sprites do: the scenario folder's definition when it
// has one, else the system's.
void resolveItemSpriteName(const char* name, char* out, std::size_t size);

// ---- The item panel and the court record (court_record.cpp) ----------------------------

// Where the panel's picture and text layer stand `elapsedMs` into a 100 ms slide in from
// the right (`in`) or out to the left.
struct PanelPlace {
  int pictureX;
  int layerOffset;
};
PanelPlace panelPlaceAt(std::uint32_t elapsedMs, bool in);
// Files the item and shows it on the panel with its sound, "sys/se/ジングル" when `se` is 1
// (`@itemGetShow`).
void announceItem(int number, int se);
// The court-record button at (x, y); closing the record it opens continues at `label`.
void showRecordButton(const char* label, int x, int y);
void hideRecordButton();
bool isRecordButtonShown();
// The button again where it last stood (after the system menu).
void placeRecordButtonAgain();
// The record screen; returns the presented number or -1, also written as the running
// scenario's result. `leaving` tells that a page wait ended because the scenario ends.
int openCourtRecord(bool present, bool close, bool evidence, bool profiles, bool& leaving);
// The record opened by its button during a page wait; closing it sets the button's label
// as the scenario's pending target.
void openCourtRecordFromButton();
// The exclamation "kurae" with the presented entry's picture; start-up installs it, since
// the set pieces sit beside this part rather than below it.
extern void (*gItemKuraeHook)(int item, const char* voice, bool right);
// `@itemSelect`: the record with presenting; the right number jumps to `success` (after the
// "kurae" exclamation when asked), any other choice to `miss`.
void selectItem(int number, const char* success, const char* miss, bool profilesOnly,
                bool kurae, bool right, const char* voice);
