// The support library under the game: Shift-JIS path operations, the pool behind every
// shared handle, shared handles and ordered lists, the debug log, and the library's start-up
// (locale, out-of-memory handler, scan of image plug-ins) and shutdown.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <new>

// ---- Shift-JIS -------------------------------------------------------------------------

// True for the first byte of a two-byte Shift-JIS character.
constexpr bool isLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// ---- Integers --------------------------------------------------------------------------

// Scripts may give a position any number an int holds: sums of positions saturate at the ends
// of int instead of wrapping round to the other side of the screen.
constexpr int clampToInt(long long value) {
  return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}
constexpr int addClamped(int a, int b) { return clampToInt(static_cast<long long>(a) + b); }

// ---- Paths (paths.cpp) -----------------------------------------------------------------
// Paths are Shift-JIS texts of at most 263 bytes in 264-byte buffers; a trail byte is never
// taken for `/`, `\`, `.` or `:`. Paths the library produces use `/` as separator.

constexpr std::size_t kPathSize = 264;
using PathBuffer = char[kPathSize];

// The pieces of a split path; each is cut to 263 bytes and always terminated.
struct PathParts {
  PathBuffer drive{};      // "C:" when the path starts with one (splitPathWithDrive only)
  PathBuffer folder{};     // every component before the file name, each followed by `/`
  PathBuffer name{};       // the file name up to its last `.`
  PathBuffer extension{};  // what follows that `.`, without it; empty when there is none
};

// folder + `/` (unless it already ends in a separator) + name + `.` + extension, as far as
// each fits; backslashes become slashes. Null or empty pieces are left out.
void joinPath(PathBuffer& out, const char* folder, const char* name, const char* extension);
// joinPath with a drive put back in front of the folder.
void joinPathWithDrive(PathBuffer& out, const char* drive, const char* folder, const char* name,
                       const char* extension);
// Folder, name and extension of a path; the drive stays part of the folder.
PathParts splitPath(const char* path);
// Drive ("C:"), folder, name and extension of a path.
PathParts splitPathWithDrive(const char* path);
// Every `\` that is not the trail byte of a two-byte character becomes `/`, in place.
void toSlashes(char* path);

// ---- Handle pool (pool.cpp) ------------------------------------------------------------
// The control blocks of shared handles come from one slab of kPoolBlockCount blocks with a
// constant-time free stack, guarded by a lock on every take and return. Each block has a
// 4-byte header word in front of it: 1 for a pool block, 0 for a heap block.

// The control block of a shared handle: its owner count and the owned object.
struct HandleControl {
  long count;
  void* object;
};

// A count and a pointer: 16 bytes on a 64-bit build.
constexpr std::size_t kPoolBlockSize = sizeof(HandleControl);
static_assert(kPoolBlockSize == sizeof(long) + sizeof(void*), "control blocks are packed");
constexpr std::size_t kPoolBlockCount = 4096;

// A block of `size` bytes: from the pool when size is the block size and a block is free,
// else from the heap. An exhausted heap throws DBadAlloc.
void* poolAlloc(std::size_t size);
// Returns a block from poolAlloc to where it came from; null is ignored.
void poolFree(void* block);
// Free blocks left in the pool.
std::size_t poolAvailable();
// True when the block's header marks it as a pool block.
bool poolIsPoolBlock(const void* block);

// ---- Shared handles and ordered lists (shared_handle.h, ordered_list.h) -----------------
// SharedHandle<T, Deleter>: reference-counted owner whose control block comes from the pool.
// OrderedList<E>: a doubly linked ring of elements (shared handles) with a sentinel.

// ---- Debug log (log.cpp) ---------------------------------------------------------------

// Passes a zero-terminated text to the debugger output as it is.
void logMessage(const char* text);

// ---- Library start-up and shutdown (library.cpp, plugins.cpp) ---------------------------

// What a failed memory request throws once the library is initialised.
class DBadAlloc : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "bad allocation"; }
};

// Sets the C locale from the user's environment, makes an exhausted heap throw DBadAlloc,
// and loads the image plug-ins found beside the host executable.
void initSupportLibrary();
// Frees the loaded image plug-ins and empties their list.
void shutdownSupportLibrary();
// Scans the executable's folder for "*.spi" image plug-ins and keeps the ones that pass.
void scanImagePlugins();
// Frees every loaded image plug-in.
void releaseImagePlugins();
// How many image plug-ins are loaded.
std::size_t imagePluginCount();

#include "support/ordered_list.h"
#include "support/shared_handle.h"
