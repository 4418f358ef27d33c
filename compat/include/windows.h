/*
 * The subset of the Windows API that core calls, declared with the Windows names, types and
 * calling conventions it was written against; libwincompat implements them on POSIX with
 * Windows semantics. Paths are Shift-JIS (the ANSI code page of the game) and are converted
 * to UTF-8 and looked up without ASCII case at the filesystem boundary.
 */
#ifndef ORVANE_COMPAT_WINDOWS_H
#define ORVANE_COMPAT_WINDOWS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define WINAPI
#define MAX_PATH 260

typedef int BOOL;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef unsigned int UINT;
typedef int INT;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* HANDLE;
typedef void* HMODULE;
typedef HMODULE HINSTANCE;
typedef intptr_t (*FARPROC)(void);

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define FILE_ATTRIBUTE_READONLY 0x01
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_NORMAL 0x80

typedef struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME;

typedef struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

/* Dynamic libraries (dlopen family). */
HMODULE WINAPI LoadLibraryA(LPCSTR path);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
BOOL WINAPI FreeLibrary(HMODULE module);
/* With a null module: the path the launcher placed in the game's save folder. */
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

/* Profile (.ini) files: sections and keys without ASCII case; writes replace the file whole. */
DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback,
                                      LPSTR buffer, DWORD size, LPCSTR path);
UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT fallback, LPCSTR path);
BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path);

/* Whole files. A move with MOVEFILE_REPLACE_EXISTING puts the file in place of the target in
 * one step (a rename); MOVEFILE_WRITE_THROUGH returns only once the move is on the disk. */
#define MOVEFILE_REPLACE_EXISTING 0x1
#define MOVEFILE_WRITE_THROUGH 0x8
BOOL WINAPI CopyFileA(LPCSTR existing, LPCSTR copy, BOOL failIfExists);
BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags);
BOOL WINAPI DeleteFileA(LPCSTR path);

/* Debugger output: standard error, and the log file when one is set. */
void WINAPI OutputDebugStringA(LPCSTR text);

/* Milliseconds of the process clock, 32 bits, wrapping. */
DWORD WINAPI timeGetTime(void);

/* Directory scans with * and ? wildcards in the last component. */
HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
BOOL WINAPI FindClose(HANDLE find);

#ifdef __cplusplus
}
#endif

#endif /* ORVANE_COMPAT_WINDOWS_H */
