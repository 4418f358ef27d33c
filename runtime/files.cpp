/*
 * Game files: the game folder as the root, with the data archive of lbSetDataFile (a zip
 * file, through PhysicsFS) in front of it. Shift-JIS names are looked up in UTF-8 without
 * regard to ASCII case, component by component, as Windows finds them.
 */
#include "runtime.h"
#include "ledger.h"

#include "wincompat.h"

#include <physfs.h>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

// An open text file: read whole when opened, so a line is a view of memory.
struct LbFileObject {
  std::vector<uint8_t> data;
  size_t pos = 0;
  std::string line;  // the text lbReadFileLine last returned
};

namespace {

// The two trees are mounted at their own mount points so that a name can be looked up in
// each one separately: the archive first, so its entries win over the folder's.
constexpr const char* kArchiveRoot = "archive";
constexpr const char* kFolderRoot = "folder";

// Path buffers of the lb API hold 263 bytes and the terminating zero.
constexpr size_t kPathCapacity = 264;

// The largest game file read at all (pictures and sounds), and the largest text file (a
// scenario, definition, motion, inquiry or list): far beyond what a game of this size holds,
// and what keeps a hostile file, or an archive entry that lies about its size, from taking
// the memory of the machine. A text file's lines cost the game more than its bytes.
constexpr PHYSFS_sint64 kMaxGameFileBytes = PHYSFS_sint64{256} << 20;
constexpr PHYSFS_sint64 kMaxTextFileBytes = PHYSFS_sint64{4} << 20;

std::mutex gMutex;
std::string gFolderDir;   // the mounted game folder, as given
std::string gArchiveDir;  // the real path of the mounted archive, empty when none

bool startPhysfs() {
  if (PHYSFS_isInit()) return true;
  if (!PHYSFS_init(nullptr)) return false;
  // Links inside the game folder are not followed, so no name leads outside it (".." and
  // absolute names are refused before PhysicsFS sees them). The folder itself may be a link.
  PHYSFS_permitSymbolicLinks(0);
  return true;
}

bool equalsNoAsciiCase(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
    if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

// Splits a Shift-JIS game path into UTF-8 components. Backslashes are separators (changed
// only after conversion: in Shift-JIS 0x5C is also a trail byte). Empty and "." components
// are dropped; "..", absolute paths and drive letters are refused so nothing outside the
// game folder is ever read.
bool splitGamePath(const char* sjisPath, std::vector<std::string>& parts) {
  parts.clear();
  if (!sjisPath || !*sjisPath) return false;
  char utf8[kPathCapacity * 3 + 1];
  if (std::strlen(sjisPath) >= kPathCapacity * 2) return false;
  if (compatSjisToUtf8(sjisPath, utf8, sizeof utf8) < 0) return false;
  std::string_view path(utf8);
  std::replace(utf8, utf8 + path.size(), '\\', '/');
  if (path.empty() || path[0] == '/') return false;
  if (path.size() >= 2 && path[1] == ':') return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (part == "..") return false;
    if (!part.empty() && part != ".") parts.emplace_back(part);
    start = end + 1;
  }
  return !parts.empty();
}

// ---- the game folder opened directly ----

// Files of the game folder are opened by the system in one call that follows no link and
// leaves no path beneath the folder, as PhysicsFS (links not permitted) would find them but
// without its check of every folder on the way, made again for the look-up and the read:
// a sprite definition, its picture and every sound looked up cost a few system calls
// instead of a dozen. Where the system has no such call, PhysicsFS does it all.
int gFolderFd = -1;
bool gDirectOpen = true;

// The path under the folder of a virtual path in it, or null when it is not one.
const char* folderRelative(const std::string& virtualPath) {
  const size_t rootLength = std::strlen(kFolderRoot);
  if (gFolderFd < 0 || !gDirectOpen || virtualPath.size() <= rootLength + 1 ||
      virtualPath.compare(0, rootLength, kFolderRoot) != 0 || virtualPath[rootLength] != '/')
    return nullptr;
  return virtualPath.c_str() + rootLength + 1;
}

// The open file, -1 when there is none to open; gDirectOpen turns off for good when the
// system lacks the call.
int openInFolder(const char* relative, int flags) {
  struct open_how how {};
  how.flags = static_cast<uint64_t>(flags | O_CLOEXEC);
  how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
  int fd = static_cast<int>(::syscall(SYS_openat2, gFolderFd, relative, &how, sizeof how));
  if (fd < 0 && (errno == ENOSYS || errno == EPERM)) gDirectOpen = false;
  return fd;
}

// 1 or 0 for whether the virtual path is a regular file of the folder, -1 when the folder
// cannot say so directly.
int isFolderFile(const std::string& virtualPath) {
  const char* relative = folderRelative(virtualPath);
  if (!relative) return -1;
  int fd = openInFolder(relative, O_PATH);
  if (fd < 0) return gDirectOpen ? 0 : -1;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  return regular ? 1 : 0;
}

enum class DirectRead { Done, Failed, Unavailable };

DirectRead readFolderFile(const std::string& virtualPath, std::vector<uint8_t>& out,
                          PHYSFS_sint64 limit, PHYSFS_sint64& length) {
  const char* relative = folderRelative(virtualPath);
  if (!relative) return DirectRead::Unavailable;
  // Not blocking: a pipe named as a game file would otherwise hold the open until something
  // wrote to it. The check below refuses anything but a regular file.
  int fd = openInFolder(relative, O_RDONLY | O_NONBLOCK);
  if (fd < 0) return gDirectOpen ? DirectRead::Failed : DirectRead::Unavailable;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  length = ok ? static_cast<PHYSFS_sint64>(st.st_size) : -1;
  if (ok && length > limit) ok = false;
  if (ok) {
    out.resize(static_cast<size_t>(length));
    size_t done = 0;
    while (ok && done < out.size()) {
      ssize_t n = ::read(fd, out.data() + done, out.size() - done);
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0;
      if (ok) done += static_cast<size_t>(n);
    }
  }
  ::close(fd);
  return ok ? DirectRead::Done : DirectRead::Failed;
}

bool isRegularFile(const std::string& virtualPath) {
  if (int direct = isFolderFile(virtualPath); direct >= 0) return direct == 1;
  PHYSFS_Stat st;
  return PHYSFS_stat(virtualPath.c_str(), &st) && st.filetype == PHYSFS_FILETYPE_REGULAR;
}

bool isUtf8(const char* text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s) {
    int follow = *s < 0x80 ? 0 : (*s & 0xE0) == 0xC0 ? 1 : (*s & 0xF0) == 0xE0 ? 2 : (*s & 0xF8) == 0xF0 ? 3 : -1;
    if (follow < 0) return false;
    ++s;
    for (int i = 0; i < follow; ++i, ++s)
      if ((*s & 0xC0) != 0x80) return false;
  }
  return true;
}

// An entry name as UTF-8. Archives made on Windows store names in Shift-JIS without
// saying so; PhysicsFS hands those bytes over unchanged, and they are converted here.
const char* entryNameUtf8(const char* entry, char* buffer, size_t size) {
  if (isUtf8(entry)) return entry;
  return compatSjisToUtf8(entry, buffer, size) >= 0 ? buffer : entry;
}

// A folder's entries as PhysicsFS lists them (links left out), each with its name in UTF-8.
struct FolderListing {
  struct Entry {
    std::string name;  // as stored, which may be Shift-JIS (see entryNameUtf8)
    std::string utf8;
  };
  std::vector<Entry> entries;
  // The folder as it was when listed: any entry added, removed or renamed changes its
  // modification and change times.
  struct stat identity {};
};

// Listings of the game folder's folders, kept: a name not found as written (a sound named
// without its extension, a name in another case) is looked up in its folder's listing, and a
// sound folder is listed again for every character of a message that plays a sound.
constexpr size_t kKeptListings = 32;
std::list<std::pair<std::string, std::shared_ptr<const FolderListing>>> gListings;  // newest first

bool sameFolder(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
         a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
         a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

std::shared_ptr<FolderListing> enumerate(const std::string& dir) {
  char** list = PHYSFS_enumerateFiles(dir.c_str());
  if (!list) return nullptr;
  auto listing = std::make_shared<FolderListing>();
  char converted[kPathCapacity * 3 + 1];
  for (char** entry = list; *entry; ++entry)
    listing->entries.push_back({*entry, entryNameUtf8(*entry, converted, sizeof converted)});
  PHYSFS_freeList(list);
  return listing;
}

// The listing of a virtual folder. One of the game folder is kept while the folder's times
// say it is unchanged; a listing is kept only when the folder's entries last changed two
// seconds or more before it was listed, since a file system's times are coarser than the
// changes a program can make within one tick (the next change could leave the times as
// they were).
std::shared_ptr<const FolderListing> listFolder(const std::string& dir) {
  const size_t rootLength = std::strlen(kFolderRoot);
  if (dir.compare(0, rootLength, kFolderRoot) != 0 ||
      (dir.size() > rootLength && dir[rootLength] != '/'))
    return enumerate(dir);  // the archive is listed from memory
  const std::string real = gFolderDir + dir.substr(rootLength);
  struct stat now {};
  if (::stat(real.c_str(), &now) != 0) return enumerate(dir);
  for (auto at = gListings.begin(); at != gListings.end(); ++at) {
    if (at->first != real) continue;
    if (sameFolder(at->second->identity, now)) {
      gListings.splice(gListings.begin(), gListings, at);
      return at->second;
    }
    gListings.erase(at);
    break;
  }
  std::shared_ptr<FolderListing> listing = enumerate(dir);
  if (!listing) return nullptr;
  timespec clock {};
  ::clock_gettime(CLOCK_REALTIME, &clock);
  if (clock.tv_sec - now.st_mtim.tv_sec >= 2) {
    listing->identity = now;
    gListings.emplace_front(real, listing);
    if (gListings.size() > kKeptListings) gListings.pop_back();
  }
  return listing;
}

// The entry of `dir` named `name`: the exact name when present, else the first (in sorted
// order, so the choice is stable) that differs only in ASCII case. `found` is the entry's
// own name, which may be in Shift-JIS (see entryNameUtf8).
bool findEntry(const std::string& dir, const std::string& name, std::string& found) {
  std::shared_ptr<const FolderListing> listing = listFolder(dir);
  if (!listing) return false;
  std::vector<std::string> matches;
  bool exact = false;
  for (const FolderListing::Entry& entry : listing->entries) {
    if (name == entry.utf8) {
      exact = true;
      found = entry.name;
      break;
    }
    if (equalsNoAsciiCase(name, entry.utf8.c_str())) matches.push_back(entry.name);
  }
  if (exact) return true;
  if (matches.empty()) return false;
  found = *std::min_element(matches.begin(), matches.end());
  return true;
}

// The virtual path of the parts under a mount point.
std::string underRoot(const char* root, const std::vector<std::string>& parts) {
  std::string path = root;
  for (const std::string& p : parts) {
    path += '/';
    path += p;
  }
  return path;
}

// Looks the file up under one mount point; `virtualPath` receives the name PhysicsFS knows.
bool resolveUnder(const char* root, const std::vector<std::string>& parts,
                  std::string& virtualPath) {
  std::string exact = underRoot(root, parts);
  if (isRegularFile(exact)) {
    virtualPath = std::move(exact);
    return true;
  }
  std::string current = root;
  for (const std::string& p : parts) {
    std::string name;
    if (!findEntry(current, p, name)) return false;
    current += "/" + name;
  }
  if (!isRegularFile(current)) return false;
  virtualPath = current;
  return true;
}

// The virtual path of a game file: in the archive when it holds one, else in the folder.
bool resolveGameParts(const std::vector<std::string>& parts, std::string& virtualPath) {
  if (!gArchiveDir.empty() && resolveUnder(kArchiveRoot, parts, virtualPath)) return true;
  return !gFolderDir.empty() && resolveUnder(kFolderRoot, parts, virtualPath);
}

bool resolveGamePath(const char* sjisPath, std::string& virtualPath) {
  std::vector<std::string> parts;
  return PHYSFS_isInit() && splitGamePath(sjisPath, parts) && resolveGameParts(parts, virtualPath);
}

bool readVirtualFile(const std::string& virtualPath, std::vector<uint8_t>& out,
                     PHYSFS_sint64 limit) {
  out.clear();
  PHYSFS_sint64 length = -1;
  bool ok = true;
  PHYSFS_File* file = nullptr;
  switch (readFolderFile(virtualPath, out, limit, length)) {
    case DirectRead::Done: return true;
    case DirectRead::Failed: ok = false; break;
    case DirectRead::Unavailable:
      file = PHYSFS_openRead(virtualPath.c_str());
      if (!file) return false;
      length = PHYSFS_fileLength(file);
      break;
  }
  if (!file) {
    // The folder's file, which could not be read whole.
  } else if (length > limit) {
    ok = false;
  } else if (length >= 0) {
    out.resize(static_cast<size_t>(length));
    ok = PHYSFS_readBytes(file, out.data(), out.size()) == length;
  } else {
    // Length unknown: read in blocks until the end.
    uint8_t block[65536];
    PHYSFS_sint64 n = 0;
    while (ok && (n = PHYSFS_readBytes(file, block, sizeof block)) > 0) {
      out.insert(out.end(), block, block + n);
      ok = PHYSFS_sint64(out.size()) <= limit;
    }
    ok = ok && n == 0;
  }
  if (file) PHYSFS_close(file);
  if (!ok) {
    if (length > limit || PHYSFS_sint64(out.size()) > limit)
      std::fprintf(stderr, "orvane: %s is larger than the %lld MiB a game file of its kind may be\n",
                   virtualPath.substr(virtualPath.find('/') + 1).c_str(),
                   static_cast<long long>(limit >> 20));
    out = {};
  }
  return ok;
}

void unmountArchive() {
  if (gArchiveDir.empty()) return;
  PHYSFS_unmount(gArchiveDir.c_str());
  gArchiveDir.clear();
}

// Whether the last character written to `text` is a path separator; walks Shift-JIS a
// character at a time, since a trail byte may equal '\'.
bool endsWithSeparator(const std::string& text) {
  bool separator = false;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = text[i];
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (lead && i + 1 < text.size()) {
      separator = false;
      i += 2;
    } else {
      separator = c == '/' || c == '\\';
      i += 1;
    }
  }
  return separator;
}

// Copies `text` into a path buffer, cut to 263 bytes without splitting a double-byte
// character.
void copyPathCut(char* out, const std::string& text) {
  size_t n = 0;
  while (n < text.size()) {
    unsigned char c = text[n];
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    size_t width = lead && n + 1 < text.size() ? 2 : 1;
    if (n + width > kPathCapacity - 1) break;
    n += width;
  }
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

bool mountGameFolder(const char* utf8Dir) {
  std::lock_guard<std::mutex> lock(gMutex);
  if (!utf8Dir || !*utf8Dir || !startPhysfs()) return false;
  unmountArchive();
  if (!gFolderDir.empty()) {
    PHYSFS_unmount(gFolderDir.c_str());
    gFolderDir.clear();
  }
  gListings.clear();
  if (gFolderFd >= 0) ::close(gFolderFd);
  gFolderFd = -1;
  if (!PHYSFS_mount(utf8Dir, kFolderRoot, 1)) return false;
  PHYSFS_Stat st;
  if (!PHYSFS_stat(kFolderRoot, &st) || st.filetype != PHYSFS_FILETYPE_DIRECTORY) {
    // A file given as the folder would mount as an archive; the game folder must be a folder.
    PHYSFS_unmount(utf8Dir);
    return false;
  }
  gFolderDir = utf8Dir;
  gFolderFd = ::open(utf8Dir, O_PATH | O_DIRECTORY | O_CLOEXEC);
  return true;
}

// The bytes of a game file, at most `limit`. With no archive mounted, a file of the folder
// named exactly as asked is read straight away: looking it up first would open it once more
// only to see that it is there. Other names are looked up (ASCII case, the archive) first.
// Under gMutex.
bool readGameBytes(const char* sjisPath, std::vector<uint8_t>& out, PHYSFS_sint64 limit) {
  std::vector<std::string> parts;
  if (!PHYSFS_isInit() || !splitGamePath(sjisPath, parts)) return false;
  if (gArchiveDir.empty()) {
    PHYSFS_sint64 length = -1;
    const std::string exact = underRoot(kFolderRoot, parts);
    if (readFolderFile(exact, out, limit, length) == DirectRead::Done) return true;
  }
  std::string virtualPath;
  return resolveGameParts(parts, virtualPath) && readVirtualFile(virtualPath, out, limit);
}

bool readGameFile(const char* sjisPath, std::vector<uint8_t>& out) {
  std::lock_guard<std::mutex> lock(gMutex);
  return readGameBytes(sjisPath, out, kMaxGameFileBytes);
}

extern "C" {

int lbSetDataFile(const char* path) {
  std::lock_guard<std::mutex> lock(gMutex);
  std::vector<std::string> parts;
  std::string virtualPath;
  if (gFolderDir.empty() || !splitGamePath(path, parts) ||
      !resolveUnder(kFolderRoot, parts, virtualPath))
    return 0;
  std::string real = gFolderDir + virtualPath.substr(std::strlen(kFolderRoot));
  unmountArchive();
  // Mounted in front (not appended), though the separate mount point already decides
  // precedence: resolveGamePath asks the archive first.
  if (!PHYSFS_mount(real.c_str(), kArchiveRoot, 0)) return 0;
  gArchiveDir = real;
  return 1;
}

int lbIsFileExist(const char* path) {
  std::lock_guard<std::mutex> lock(gMutex);
  std::string virtualPath;
  return resolveGamePath(path, virtualPath) ? 1 : 0;
}

LbFile lbCreateFile(const char* path, int mode) {
  // Only reading (mode 1) exists: the game writes nothing through these functions.
  if (mode != 1) return nullptr;
  auto file = std::make_unique<LbFileObject>();
  std::lock_guard<std::mutex> lock(gMutex);
  if (!readGameBytes(path, file->data, kMaxTextFileBytes)) return nullptr;
  return counted(HostObject::File, file.release());
}

int lbDestroyFile(LbFile file) {
  if (!file) return 0;
  ledgerDestroyed(HostObject::File);
  delete file;
  return 1;
}

const char* lbReadFileLine(LbFile file) {
  if (!file || file->pos >= file->data.size()) return nullptr;
  const uint8_t* begin = file->data.data() + file->pos;
  const uint8_t* end = file->data.data() + file->data.size();
  const uint8_t* feed = std::find(begin, end, static_cast<uint8_t>('\n'));
  const uint8_t* stop = feed;
  if (stop > begin && stop[-1] == '\r') --stop;
  file->line.assign(reinterpret_cast<const char*>(begin), stop - begin);
  file->pos = feed == end ? file->data.size() : static_cast<size_t>(feed + 1 - file->data.data());
  return file->line.c_str();
}

int lbMargePath(char* out, const char* folder, const char* name, const char* extension) {
  if (!out) return 0;
  std::string path;
  if (folder && *folder) {
    path = folder;
    if (!endsWithSeparator(path)) path += '/';
  }
  if (name) path += name;
  if (extension && *extension) {
    if (extension[0] != '.') path += '.';
    path += extension;
  }
  copyPathCut(out, path);
  return 1;
}

}  // extern "C"
