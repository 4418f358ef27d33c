/*
 * Reading, classifying and atomically replacing profile files, byte for byte: texts are
 * Shift-JIS, so bytes are walked a character at a time and trail bytes never taken for `]`.
 */
#include "profile_file.h"

#include "compat_internal.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <mutex>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace compat {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The position of an ASCII delimiter that is a character of its own, not a trail byte.
size_t findCharacter(std::string_view text, char wanted) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == wanted) return i;
    if (isLeadByte(static_cast<unsigned char>(text[i]))) ++i;
  }
  return std::string_view::npos;
}

std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

bool writeAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t written = write(fd, data.data() + done, data.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

void classifyProfileLine(ProfileLine& line) {
  line.kind = ProfileLineKind::Other;
  line.name.clear();
  line.value.clear();
  std::string_view text = trimBlanks(line.text);
  if (text.empty() || text.front() == ';') return;
  if (text.front() == '[') {
    text.remove_prefix(1);
    size_t close = findCharacter(text, ']');
    line.kind = ProfileLineKind::Section;
    line.name = trimBlanks(text.substr(0, close));
    return;
  }
  size_t equals = findCharacter(text, '=');
  if (equals == std::string_view::npos || equals == 0) return;
  line.kind = ProfileLineKind::Key;
  line.name = trimBlanks(text.substr(0, equals));
  line.value = unquote(trimBlanks(text.substr(equals + 1)));
}

void renumberSections(ProfileFile& file) {
  int section = -1;
  for (size_t i = 0; i < file.lines.size(); ++i) {
    if (file.lines[i].kind == ProfileLineKind::Section) section = static_cast<int>(i);
    file.lines[i].section = section;
  }
}

ProfileFile parseProfile(std::string_view data) {
  ProfileFile file;
  bool styleKnown = false;
  while (!data.empty()) {
    ProfileLine line;
    size_t feed = data.find('\n');
    std::string_view text = data.substr(0, feed);
    if (feed != std::string_view::npos) {
      bool crlf = !text.empty() && text.back() == '\r';
      if (crlf) text.remove_suffix(1);
      line.end = crlf ? "\r\n" : "\n";
      if (!styleKnown) {
        file.newline = line.end;
        styleKnown = true;
      }
      data.remove_prefix(feed + 1);
    } else {
      // A carriage return ending the file is the start of a line end that was cut short, not
      // part of the last line, or its key or section would change once a line follows it.
      if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
        line.end = "\r";
      }
      data = {};
    }
    line.text = text;
    classifyProfileLine(line);
    file.lines.push_back(std::move(line));
  }
  renumberSections(file);
  return file;
}

std::string serializeProfile(const ProfileFile& file) {
  std::string data;
  for (const ProfileLine& line : file.lines) {
    data += line.text;
    data += line.end;
  }
  return data;
}

namespace {

// Reads the open file and closes it; `identity` is the file as it was before its bytes were
// read, so a change made during the read shows as a change at the next look.
bool readOpenProfile(int fd, ProfileFile& file, struct stat& identity) {
  // Read with the file's size as the first guess and on to its end: one stat and one read.
  identity = {};
  if (fstat(fd, &identity) != 0 || !S_ISREG(identity.st_mode)) {
    close(fd);  // a folder, a pipe or a device is no profile, however it reads
    return false;
  }
  const size_t size = static_cast<size_t>(identity.st_size);
  std::string data(size + 1, '\0');  // the byte past the end takes the read that finds the end
  size_t done = 0;
  bool failed = false;
  for (;;) {
    if (done == data.size()) data.resize(2 * data.size());
    ssize_t got = read(fd, data.data() + done, data.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      failed = got < 0;
      break;
    }
    done += static_cast<size_t>(got);
  }
  close(fd);
  if (failed) return false;
  data.resize(done);
  file = parseProfile(data);
  return true;
}

int openProfile(const std::string& diskPath, bool& missing) {
  // Not blocking: a pipe in the file's place would otherwise hold the open.
  const int fd = open(diskPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  missing = fd < 0 && errno == ENOENT;
  return fd;
}

// The same file, unchanged: any write changes its change time (which no program can set), a
// replacement its inode.
bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

struct KeptProfile {
  std::string diskPath;
  struct stat identity {};
  std::shared_ptr<const ProfileFile> file;
};
constexpr size_t kKeptProfiles = 4;
std::mutex gKeptLock;
std::vector<KeptProfile> gKept;  // the most recently read last

}  // namespace

bool loadProfile(const std::string& diskPath, ProfileFile& file, bool& missing) {
  const int fd = openProfile(diskPath, missing);
  struct stat identity;
  return fd >= 0 && readOpenProfile(fd, file, identity);
}

std::shared_ptr<const ProfileFile> readProfile(const std::string& diskPath) {
  // A file kept under this path is looked at first; one never kept (a file written again and
  // again) is read straight away, without the look.
  std::shared_ptr<const ProfileFile> kept;
  struct stat keptIdentity {};
  {
    std::lock_guard<std::mutex> guard(gKeptLock);
    for (const KeptProfile& entry : gKept)
      if (entry.diskPath == diskPath) {
        kept = entry.file;
        keptIdentity = entry.identity;
      }
  }
  struct stat now;
  if (kept && stat(diskPath.c_str(), &now) == 0 && sameFile(keptIdentity, now)) return kept;
  bool missing = false;
  const int fd = openProfile(diskPath, missing);
  auto file = std::make_shared<ProfileFile>();
  struct stat identity;
  if (fd < 0 || !readOpenProfile(fd, *file, identity)) return nullptr;
  // Kept only once the file has stood for two seconds: file times are coarser than the
  // writes a program can make, so a file written again within its time's tick could keep its
  // times; one written two seconds later cannot.
  timespec clock{};
  clock_gettime(CLOCK_REALTIME, &clock);
  const bool keep =
      clock.tv_sec - identity.st_mtim.tv_sec >= 2 && clock.tv_sec - identity.st_ctim.tv_sec >= 2;
  if (!keep && !kept) return file;
  std::lock_guard<std::mutex> guard(gKeptLock);
  auto same = std::find_if(gKept.begin(), gKept.end(),
                           [&](const KeptProfile& entry) { return entry.diskPath == diskPath; });
  if (same != gKept.end()) gKept.erase(same);  // what was kept is no longer the file
  if (keep) {
    if (gKept.size() == kKeptProfiles) gKept.erase(gKept.begin());
    gKept.push_back({diskPath, identity, file});
  }
  return file;
}

bool storeProfile(const std::string& diskPath, const std::string& data) {
  static std::atomic<unsigned> serial{0};
  size_t slash = diskPath.rfind('/');
  std::string folder = slash == std::string::npos ? "" : diskPath.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? diskPath : diskPath.substr(slash + 1);

  // Created with the usual permissions (the process umask applies); a file it replaces
  // passes its own permissions on.
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folder + "." + name + "." + std::to_string(getpid()) + "." + std::to_string(serial++) + ".tmp";
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = writeAll(fd, data);
  struct stat old;
  if (ok && stat(diskPath.c_str(), &old) == 0) ok = fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temporary.c_str(), diskPath.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

}  // namespace compat
