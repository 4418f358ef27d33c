/*
 * The runtime's set-up entry for the launcher (not part of the lb API; core never sees it):
 * how the game is shown (a window, or headless with a replay script and a transcript) and
 * which folder is the game. Called once before core starts, and shut down after it returns.
 */
#ifndef LB_RUNTIME_SETUP_H
#define LB_RUNTIME_SETUP_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OrvaneRuntimeOptions {
  int headless;                      /* no window and no audio device, on the virtual clock */
  const char* gameDir;               /* UTF-8 path of the game folder                       */
  const char* inputScript;           /* UTF-8 path of the player's actions, or null          */
  const char* transcript;            /* UTF-8 path of the transcript to write, or null       */
  const char* shotsDir;              /* where shots are written, or null                     */
  const unsigned* shotAtMs;          /* frames to write at game times ...                    */
  const char* const* shotAtNames;    /* ... under these names                                */
  int shotAtCount;
  long long maxTimeMs;               /* close the window after this game time; < 0: default  */
  const char* saveDir;               /* UTF-8 path of the save folder (settings, screenshots),
                                        or null for none                                     */
} OrvaneRuntimeOptions;

/* Results of orvaneRuntimeSetup. */
#define ORVANE_SETUP_OK 0
#define ORVANE_SETUP_FAILED 1      /* the runtime cannot run here (no display ...)      */
#define ORVANE_SETUP_BAD_OPTION 2  /* an option names a file or folder that is unusable */

/* Sets the runtime up; on failure writes the reason (UTF-8) into error. */
int orvaneRuntimeSetup(const OrvaneRuntimeOptions* options, char* error, int errorSize);
/* Closes the window, the audio device and the transcript. */
void orvaneRuntimeShutdown(void);

typedef int (*OrvaneRuntimeSetupFn)(const OrvaneRuntimeOptions*, char*, int);
typedef void (*OrvaneRuntimeShutdownFn)(void);

#ifdef __cplusplus
}
#endif

#endif /* LB_RUNTIME_SETUP_H */
