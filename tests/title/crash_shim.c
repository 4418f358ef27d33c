/*
 * Preloaded into orvane by the crash-safe progress tests: every call that changes a file in
 * one folder (ORVANE_SHIM_DIR) is a numbered point (opening, each write, fsync, fchmod,
 * close, rename, link, unlink), and writes put down one byte at a time, so every byte of a
 * save is a point of its own. ORVANE_SHIM_KILL_AT=N sends SIGKILL just before the Nth point;
 * ORVANE_SHIM_DISK_BYTES=N lets writes put down N bytes in all, then fails them as a full
 * disk does; ORVANE_SHIM_LOG=FILE lists the points as they happen.
 *
 * ORVANE_SHIM_FORK_DIR=DIR with ORVANE_SHIM_FORK_POINTS="N1 N2 ..." kills at many points in
 * one run: at the first point the game forks, and each child goes on playing for real until
 * it is killed at point N1, N2, ...; after each child the folder's files are copied to DIR/N
 * (with a file "killed" when SIGKILL ended it) and put back as they were at the fork, and the
 * next child starts. After the last one the game itself goes on unharmed.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#define MAX_FDS 1024

static char gDir[4096];
static size_t gDirLength;
static long gPoint, gKillAt = -1, gDiskBytes = -1;
static int gLog = -1;
static char gTracked[MAX_FDS];
static const char* gForkDir;
static int gServing;  /* the fork server's own file work is no point */

static ssize_t (*realWrite)(int, const void*, size_t);

static void setup(void) {
  static int done;
  if (done) return;
  done = 1;
  realWrite = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  const char* dir = getenv("ORVANE_SHIM_DIR");
  if (dir && strlen(dir) < sizeof gDir) {
    strcpy(gDir, dir);
    gDirLength = strlen(gDir);
    while (gDirLength > 1 && gDir[gDirLength - 1] == '/') gDir[--gDirLength] = '\0';
  }
  const char* at = getenv("ORVANE_SHIM_KILL_AT");
  if (at) gKillAt = atol(at);
  const char* bytes = getenv("ORVANE_SHIM_DISK_BYTES");
  if (bytes) gDiskBytes = atol(bytes);
  gForkDir = getenv("ORVANE_SHIM_FORK_DIR");
  const char* log = getenv("ORVANE_SHIM_LOG");
  if (log) {
    int (*realOpen)(const char*, int, ...) = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
    gLog = realOpen(log, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  }
}

static int watched(const char* path) {
  setup();
  if (!path || gDirLength == 0) return 0;
  return strncmp(path, gDir, gDirLength) == 0 && (path[gDirLength] == '/' || path[gDirLength] == '\0');
}

static int trackedFd(int fd) {
  setup();
  return fd >= 0 && fd < MAX_FDS && gTracked[fd];
}

static const char* baseName(const char* path) {
  const char* slash = path ? strrchr(path, '/') : NULL;
  return slash ? slash + 1 : path ? path : "";
}

/* The regular files of a folder, kept in memory: names, modes and bytes. */
#define MAX_FILES 64
struct Saved {
  int count;
  char name[MAX_FILES][256];
  mode_t mode[MAX_FILES];
  char* data[MAX_FILES];
  size_t size[MAX_FILES];
};

static void keepFolder(const char* folder, struct Saved* saved) {
  saved->count = 0;
  DIR* d = opendir(folder);
  if (!d) return;
  for (struct dirent* e; (e = readdir(d)) && saved->count < MAX_FILES;) {
    char path[8192];
    snprintf(path, sizeof path, "%s/%s", folder, e->d_name);
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode) || strlen(e->d_name) >= 256) continue;
    FILE* f = fopen(path, "rb");
    if (!f) continue;
    int i = saved->count++;
    strcpy(saved->name[i], e->d_name);
    saved->mode[i] = st.st_mode & 07777;
    saved->data[i] = malloc(st.st_size + 1);
    saved->size[i] = fread(saved->data[i], 1, st.st_size, f);
    fclose(f);
  }
  closedir(d);
}

static void putFolder(const char* folder, const struct Saved* saved) {
  mkdir(folder, 0755);
  for (int i = 0; i < saved->count; ++i) {
    char path[8192];
    snprintf(path, sizeof path, "%s/%s", folder, saved->name[i]);
    FILE* f = fopen(path, "wb");
    if (!f) continue;
    fwrite(saved->data[i], 1, saved->size[i], f);
    fclose(f);
    chmod(path, saved->mode[i]);
  }
}

static void emptyFolder(const char* folder) {
  DIR* d = opendir(folder);
  if (!d) return;
  for (struct dirent* e; (e = readdir(d));) {
    char path[8192];
    snprintf(path, sizeof path, "%s/%s", folder, e->d_name);
    struct stat st;
    if (lstat(path, &st) == 0 && !S_ISDIR(st.st_mode)) remove(path);
  }
  closedir(d);
}

static void forkServer(void) {
  gServing = 1;
  static struct Saved atFork, left;
  keepFolder(gDir, &atFork);
  const char* list = getenv("ORVANE_SHIM_FORK_POINTS");
  for (char* next = (char*)(list ? list : "");;) {
    long k = strtol(next, &next, 10);
    if (k <= 0) break;
    emptyFolder(gDir);
    putFolder(gDir, &atFork);
    pid_t child = fork();
    if (child == 0) {
      gServing = 0;
      gForkDir = NULL;
      gKillAt = k;
      return;
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) _exit(125);
    keepFolder(gDir, &left);
    char path[8192];
    snprintf(path, sizeof path, "%s/%ld", gForkDir, k);
    putFolder(path, &left);
    for (int i = 0; i < left.count; ++i) free(left.data[i]);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
      snprintf(path, sizeof path, "%s/%ld/killed", gForkDir, k);
      FILE* mark = fopen(path, "w");
      if (mark) fclose(mark);
    }
  }
  emptyFolder(gDir);
  putFolder(gDir, &atFork);
  gServing = 0;
}

/* One point: logged, and the process killed when it is the chosen one. */
static void point(const char* what, const char* name, int fd) {
  if (gServing) return;
  if (gForkDir && gPoint == 0) forkServer();
  ++gPoint;
  if (gLog >= 0) {
    char line[512];
    int n = snprintf(line, sizeof line, "%ld %s %s %d\n", gPoint, what, name, fd);
    if (n > 0) realWrite(gLog, line, (size_t)n < sizeof line ? (size_t)n : sizeof line - 1);
  }
  if (gPoint == gKillAt) kill(getpid(), SIGKILL);
}

#define REAL(name, ret, params)  \
  static ret(*real_##name) params; \
  if (!real_##name) real_##name = (ret(*) params)dlsym(RTLD_NEXT, #name)

static int afterOpen(int fd, const char* path) {
  if (fd >= 0 && fd < MAX_FDS && watched(path)) gTracked[fd] = 1;
  return fd;
}

static int openCommon(const char* symbol, int dirfd, const char* path, int flags, mode_t mode) {
  if (watched(path)) point("open", baseName(path), -1);
  int fd;
  if (dirfd == -1000) {
    int (*real)(const char*, int, ...) = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, symbol);
    fd = real(path, flags, mode);
  } else {
    int (*real)(int, const char*, int, ...) = (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, symbol);
    fd = real(dirfd, path, flags, mode);
  }
  return afterOpen(fd, path);
}

static mode_t modeOf(int flags, va_list values) {
  return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(values, int) : 0;
}

int open(const char* path, int flags, ...) {
  va_list v; va_start(v, flags); mode_t m = modeOf(flags, v); va_end(v);
  return openCommon("open", -1000, path, flags, m);
}
int open64(const char* path, int flags, ...) {
  va_list v; va_start(v, flags); mode_t m = modeOf(flags, v); va_end(v);
  return openCommon("open64", -1000, path, flags, m);
}
int openat(int dirfd, const char* path, int flags, ...) {
  va_list v; va_start(v, flags); mode_t m = modeOf(flags, v); va_end(v);
  return openCommon("openat", dirfd, path, flags, m);
}
int openat64(int dirfd, const char* path, int flags, ...) {
  va_list v; va_start(v, flags); mode_t m = modeOf(flags, v); va_end(v);
  return openCommon("openat64", dirfd, path, flags, m);
}

ssize_t write(int fd, const void* data, size_t size) {
  setup();
  if (!trackedFd(fd) || size == 0) return realWrite(fd, data, size);
  point("write", "", fd);
  if (gDiskBytes == 0) {
    errno = ENOSPC;
    return -1;
  }
  if (gDiskBytes > 0) --gDiskBytes;
  return realWrite(fd, data, 1);
}

int fsync(int fd) {
  REAL(fsync, int, (int));
  if (trackedFd(fd)) point("fsync", "", fd);
  return real_fsync(fd);
}

int fdatasync(int fd) {
  REAL(fdatasync, int, (int));
  if (trackedFd(fd)) point("fdatasync", "", fd);
  return real_fdatasync(fd);
}

int fchmod(int fd, mode_t mode) {
  REAL(fchmod, int, (int, mode_t));
  if (trackedFd(fd)) point("fchmod", "", fd);
  return real_fchmod(fd, mode);
}

int close(int fd) {
  REAL(close, int, (int));
  if (trackedFd(fd)) {
    point("close", "", fd);
    gTracked[fd] = 0;
  }
  return real_close(fd);
}

int rename(const char* from, const char* to) {
  REAL(rename, int, (const char*, const char*));
  if (watched(from) || watched(to)) point("rename", baseName(to), -1);
  return real_rename(from, to);
}

int link(const char* from, const char* to) {
  REAL(link, int, (const char*, const char*));
  if (watched(from) || watched(to)) point("link", baseName(to), -1);
  return real_link(from, to);
}

int unlink(const char* path) {
  REAL(unlink, int, (const char*));
  if (watched(path)) point("unlink", baseName(path), -1);
  return real_unlink(path);
}

/* The number of points the run went through, for the test that picks where to kill. */
__attribute__((destructor)) static void report(void) {
  const char* out = getenv("ORVANE_SHIM_COUNT");
  if (!out) return;
  FILE* f = fopen(out, "w");
  if (!f) return;
  fprintf(f, "%ld\n", gPoint);
  fclose(f);
}
