/*
 * Whole-file operations: CopyFileA, MoveFileExA and DeleteFileA, with which the game
 * prepares a changed copy of a file and puts it in place of the original in one step.
 */
#include "compat_internal.h"
#include "windows.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// Makes a rename in `path`'s folder last: the folder's entry is what a rename changes.
bool syncFolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  close(fd);
  return ok;
}

}  // namespace

extern "C" BOOL WINAPI CopyFileA(LPCSTR existing, LPCSTR copy, BOOL failIfExists) {
  std::string from, to;
  if (!compat::resolveSjisPath(existing, from) || !compat::resolveSjisPath(copy, to) ||
      from.empty() || to.empty())
    return FALSE;
  // Not blocking: a pipe in the file's place would otherwise hold the open. It is refused below.
  int in = open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return FALSE;
  struct stat st;
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    return FALSE;
  }
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (failIfExists ? O_EXCL : O_TRUNC);
  int out = open(to.c_str(), flags, st.st_mode & 07777);
  if (out < 0) {
    close(in);
    return FALSE;
  }
  bool ok = true;
  char block[65536];
  for (;;) {
    ssize_t got = read(in, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    if (!writeAll(out, block, static_cast<size_t>(got))) {
      ok = false;
      break;
    }
  }
  close(in);
  ok = close(out) == 0 && ok;
  return ok ? TRUE : FALSE;
}

extern "C" BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags) {
  // Moving between volumes (MOVEFILE_COPY_ALLOWED) and the other flags are not provided.
  if ((flags & ~DWORD(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) != 0) return FALSE;
  std::string from, to;
  if (!compat::resolveSjisPath(existing, from) || !compat::resolveSjisPath(target, to) ||
      from.empty() || to.empty())
    return FALSE;
  if (flags & MOVEFILE_REPLACE_EXISTING) {
    if (rename(from.c_str(), to.c_str()) != 0) return FALSE;
  } else {
    // A link fails when the target exists, so nothing is ever replaced by accident.
    if (link(from.c_str(), to.c_str()) != 0) return FALSE;
    unlink(from.c_str());
  }
  if ((flags & MOVEFILE_WRITE_THROUGH) && !syncFolderOf(to)) return FALSE;
  return TRUE;
}

extern "C" BOOL WINAPI DeleteFileA(LPCSTR path) {
  std::string disk;
  if (!compat::resolveSjisPath(path, disk) || disk.empty()) return FALSE;
  return unlink(disk.c_str()) == 0 ? TRUE : FALSE;
}
