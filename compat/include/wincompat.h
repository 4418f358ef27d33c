/*
 * What the host side (the launcher, the runtime, tests) sets in libwincompat, beyond the
 * Windows functions of windows.h: where the game's module path points, why a library did not
 * load, the debug log file, the clock's mode, profile values the launcher overrides, and the
 * Shift-JIS path conversion shared with the runtime.
 */
#ifndef ORVANE_COMPAT_WINCOMPAT_H
#define ORVANE_COMPAT_WINCOMPAT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The path GetModuleFileNameA(NULL, ...) reports (UTF-8 or Shift-JIS as core expects it:
 * Shift-JIS). Its folder is where the progress and debug settings files live. */
void compatSetModuleFileName(const char* sjisPath);

/* Why the last LoadLibraryA, GetProcAddress or FreeLibrary of this process failed (the
 * loader's own text, e.g. the missing file or symbol); empty before any failure. */
const char* compatLastLoadError(void);

/* Also append every OutputDebugStringA text to this file (null: stop). Returns 1, or 0 when
 * the file cannot be opened (the previous log file is then kept). */
int compatSetDebugLogFile(const char* utf8Path);

/* Clock modes. Real: milliseconds since the process started, wrapping at 2^32. Virtual: time
 * stands still except when compatAdvanceClock moves it. compatSetClock sets the current value
 * (so tests can start just before the wrap). */
void compatUseVirtualClock(int on);
int compatIsVirtualClock(void);
void compatAdvanceClock(uint32_t ms);
void compatSetClock(uint32_t now);

/* Makes reads of one key behave as if a profile file held this value: while set, reads of
 * section and key (both without ASCII case) from any profile file whose name, without its
 * folder, is fileName (without ASCII case) return value, whether or not the file or key
 * exists; section and key listings include it. Writes are unaffected. A null value removes
 * the override. All four texts are Shift-JIS, as the game reads them. */
void compatOverrideProfileString(const char* fileName, const char* section, const char* key,
                                 const char* value);

/* Shift-JIS (CP932) to UTF-8 and back. Returns the length written (without the terminating
 * zero, always written when size > 0), or -1 when the text cannot be converted. */
int compatSjisToUtf8(const char* sjis, char* out, size_t size);
int compatUtf8ToSjis(const char* utf8, char* out, size_t size);

/* The on-disk path for a UTF-8 path whose components may differ in ASCII case from the
 * names on disk, as Windows would find them: each component is matched exactly first, then
 * without ASCII case. A component that matches nothing is kept as written (so a file can be
 * created there). Returns the length written, or -1 when out is too small. */
int compatResolvePath(const char* utf8Path, char* out, size_t size);

#ifdef __cplusplus
}
#endif

#endif /* ORVANE_COMPAT_WINCOMPAT_H */
