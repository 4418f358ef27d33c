/*
 * The lb host API: every function the host system library offers the game, once, in binding
 * order. core binds them by name in exactly this order (core/host/), the runtime exports
 * them (runtime/), and the test hosts record them (tests/); all three are generated from the
 * list below, so the boundary exists in one place.
 *
 * Each entry is X(return type, name, (parameters), (argument names)). Strings are Shift-JIS;
 * an int result of 0 means failure or "no"; handles are opaque and null on failure.
 * Only the game's 75 calls carry meaning the game relies on; the others keep a plain
 * signature so that binding succeeds.
 */
#ifndef LB_HOST_API_H
#define LB_HOST_API_H

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque host objects. */
typedef struct LbImageObject* LbImage;   /* render image: straight-alpha RGBA pixels          */
typedef struct LbSpriteObject* LbSprite; /* render sprite: shows part of an image in a frame  */
typedef struct LbWipeObject* LbWipe;     /* wipe mask: grey levels compared with a wipe level */
typedef struct LbFontObject* LbFont;     /* character font: one face at one size              */
typedef struct LbFileObject* LbFile;     /* open file in the game folder or the archive       */
typedef struct LbSoundObject* LbSound;   /* sound effect, decoded whole                       */
typedef struct LbStreamObject* LbStream; /* music stream: a play list of files                */
typedef struct LbPlaneObject* LbPlane;   /* older plane image (never used by the game)        */
typedef struct LbTextObject* LbText;     /* older text object (never used by the game)        */
typedef struct LbInputObject* LbInput;   /* input device (never used by the game)             */
typedef struct LbMovieObject* LbMovie;   /* movie (never used by the game)                    */
typedef struct LbNetObject* LbNet;       /* network connection (never used by the game)       */

typedef struct LbPoint { int x, y; } LbPoint;
typedef struct LbSize { int cx, cy; } LbSize;
typedef struct LbRect { int left, top, right, bottom; } LbRect;

/* lbMessage's flags argument: 0 is a plain box with one OK button. */
#define LB_MESSAGE_OK 0

/* Mouse event codes reported by lbGetMouse. */
#define LB_MOUSE_LEFT 0
#define LB_MOUSE_RIGHT 2
#define LB_MOUSE_MOVE 1 /* the pointer moved; x and y are where it is now */

/* Key event kind reported by lbGetKeyEvent for a key going down. */
#define LB_KEY_PRESS 1

/* Number of functions in the list. */
#define LB_HOST_API_COUNT 279

#define LB_HOST_API(X) \
  /* Window and system: the game window, message boxes, system identity and the data archive. */    \
  X(void*, lbGetWindow, (void), ())                                                                 \
  X(int, lbAddWndProc, (void* proc), (proc))                                                        \
  X(int, lbDelWndProc, (void* proc), (proc))                                                        \
  X(int, lbSetTitle, (const char* title), (title))                                                  \
  X(int, lbRandom, (int range), (range))                                                            \
  X(int, lbMessage, (const char* text, const char* caption, int flags), (text, caption, flags))     \
  X(int, lbExit, (void), ())                                                                        \
  X(int, lbIsExit, (void), ())                                                                      \
  X(int, lbCommand, (const char* command), (command))                                               \
  X(int, lbUrl, (const char* url), (url))                                                           \
  X(int, lbSetWindowSize, (int width, int height), (width, height))                                 \
  X(int, lbGetWindowSize, (int* width, int* height), (width, height))                               \
  X(int, lbCheckFullscreenSize, (int width, int height), (width, height))                           \
  X(int, lbSetFullscreen, (int on), (on))                                                           \
  X(int, lbIsFullscreen, (void), ())                                                                \
  X(int, lbSetFlipscreen, (int on), (on))                                                           \
  X(int, lbUseGDI, (int on), (on))                                                                  \
  X(int, lbSetCopyright, (const char* text), (text))                                                \
  X(int, lbCheckSystemName, (const char* name), (name))                                             \
  X(int, lbExecute, (const char* command), (command))                                               \
  X(int, lbExecuteName, (const char* path, const char* arguments), (path, arguments))               \
  X(int, lbSetDataFile, (const char* path), (path))                                                 \
                                                                                                    \
  /* Images: the older plane-based image family (planes, blits, alpha planes). The game never calls it. */ \
  X(LbPlane, lbCreateImage, (int width, int height), (width, height))                               \
  X(LbPlane, lbLoadImage, (const char* path), (path))                                               \
  X(int, lbCopyImage, (LbPlane dst, LbPlane src), (dst, src))                                       \
  X(LbPlane, lbDuplicateImage, (LbPlane src), (src))                                                \
  X(LbPlane, lbGetScreen, (void), ())                                                               \
  X(int, lbDestroyImage, (LbPlane plane), (plane))                                                  \
  X(int, lbGetImageSize, (LbPlane plane, int* width, int* height), (plane, width, height))          \
  X(int, lbGetImageLevel, (LbPlane plane), (plane))                                                 \
  X(int, lbSetImageLevel, (LbPlane plane, int level), (plane, level))                               \
  X(int, lbConnectImage, (LbPlane child, LbPlane parent), (child, parent))                          \
  X(int, lbGetImagePos, (LbPlane plane, int* x, int* y), (plane, x, y))                             \
  X(int, lbGetImageAbsPos, (LbPlane plane, int* x, int* y), (plane, x, y))                          \
  X(int, lbSetImagePos, (LbPlane plane, int x, int y), (plane, x, y))                               \
  X(int, lbGetImageRect, (LbPlane plane, LbRect* rect), (plane, rect))                              \
  X(int, lbSetImageRect, (LbPlane plane, const LbRect* rect), (plane, rect))                        \
  X(int, lbIsImageDraw, (LbPlane plane), (plane))                                                   \
  X(int, lbSetImageDraw, (LbPlane plane, int on), (plane, on))                                      \
  X(int, lbIsImageUpdate, (LbPlane plane), (plane))                                                 \
  X(int, lbSetImageUpdate, (LbPlane plane, int on), (plane, on))                                    \
  X(int, lbIsImageTrans, (LbPlane plane), (plane))                                                  \
  X(int, lbGetImageTrans, (LbPlane plane), (plane))                                                 \
  X(int, lbSetImageTrans, (LbPlane plane, int colour), (plane, colour))                             \
  X(int, lbSetImageFastTrans, (LbPlane plane, int on), (plane, on))                                 \
  X(int, lbGetImageBlend, (LbPlane plane), (plane))                                                 \
  X(int, lbSetImageBlend, (LbPlane plane, int blend), (plane, blend))                               \
  X(int, lbSetImageAlphaKey, (LbPlane plane, int colour), (plane, colour))                          \
  X(int, lbShareAlphaImage, (LbPlane plane, LbPlane alpha), (plane, alpha))                         \
  X(int, lbSeparateAlphaImage, (LbPlane plane), (plane))                                            \
  X(int, lbFillAlphaImage, (LbPlane plane, int alpha), (plane, alpha))                              \
  X(int, lbFillAlphaImageRect, (LbPlane plane, const LbRect* rect, int alpha), (plane, rect, alpha)) \
  X(int, lbFillAlphaImageWipe, (LbPlane plane, LbPlane mask, int level), (plane, mask, level))      \
  X(int, lbConvTransAlphaImage, (LbPlane plane), (plane))                                           \
  X(int, lbConvAlphaImage, (LbPlane plane), (plane))                                                \
  X(int, lbPushImageStatus, (LbPlane plane), (plane))                                               \
  X(int, lbPopImageStatus, (LbPlane plane), (plane))                                                \
  X(int, lbFillImage, (LbPlane plane, int colour), (plane, colour))                                 \
  X(int, lbFillImageRect, (LbPlane plane, const LbRect* rect, int colour), (plane, rect, colour))   \
  X(int, lbGetImageColor, (LbPlane plane, int x, int y), (plane, x, y))                             \
  X(int, lbPutImageColor, (LbPlane plane, int x, int y, int colour), (plane, x, y, colour))         \
  X(int, lbDrawImageLine, (LbPlane plane, int x0, int y0, int x1, int y1, int colour), (plane, x0, y0, x1, y1, colour)) \
  X(int, lbBltImage, (LbPlane dst, int x, int y, LbPlane src, const LbRect* rect), (dst, x, y, src, rect)) \
  X(int, lbBltImageRotate, (LbPlane dst, int x, int y, LbPlane src, const LbRect* rect, float angle), (dst, x, y, src, rect, angle)) \
  X(int, lbBltImageStretch, (LbPlane dst, const LbRect* dstRect, LbPlane src, const LbRect* srcRect), (dst, dstRect, src, srcRect)) \
  X(int, lbBltImageMirror, (LbPlane dst, int x, int y, LbPlane src, const LbRect* rect, int mode), (dst, x, y, src, rect, mode)) \
  X(int, lbBltImageWipe, (LbPlane dst, int x, int y, LbPlane src, LbPlane mask, int level), (dst, x, y, src, mask, level)) \
  X(int, lbBltAlphaImageWipe, (LbPlane dst, int x, int y, LbPlane src, LbPlane mask, int level), (dst, x, y, src, mask, level)) \
  X(int, lbWriteImage, (LbPlane plane, const char* path), (plane, path))                            \
  X(LbPlane, lbLoadWipe, (const char* path), (path))                                                \
  X(int, lbDestroyWipe, (LbPlane wipe), (wipe))                                                     \
                                                                                                    \
  /* Sprites: the older sprite list over planes. The game never calls it. */                        \
  X(int, lbSetSpriteLevel, (int count), (count))                                                    \
  X(int, lbRegSpriteImage, (LbPlane plane), (plane))                                                \
  X(int, lbUnregSpriteImage, (LbPlane plane), (plane))                                              \
  X(int, lbPushSpriteImageStatus, (void), ())                                                       \
  X(int, lbPopSpriteImageStatus, (void), ())                                                        \
  X(int, lbSetSpriteImageDraw, (LbPlane plane, int on), (plane, on))                                \
  X(int, lbSetFlipMapping, (int on), (on))                                                          \
  X(int, lbUpdateSprite, (void), ())                                                                \
  X(int, lbRenderSprite, (void), ())                                                                \
  X(int, lbClearSprite, (void), ())                                                                 \
  X(int, lbFlipSprite, (void), ())                                                                  \
  X(int, lbRenderSpriteScreen, (void), ())                                                          \
  X(int, lbRenderSpriteWait, (void), ())                                                            \
  X(int, lbSetSpriteUpdate, (LbPlane plane, int on), (plane, on))                                   \
  X(int, lbSetSpriteUpdateAll, (int on), (on))                                                      \
                                                                                                    \
  /* Render objects: images, wipe masks and sprites that the host composes into each frame. */      \
  /* Images hold straight-alpha RGBA; colours are four floats from 0 to 1. A sprite shows the */    \
  /* map rectangle of its image (moved by the image's own offset) at its size and position, by */   \
  /* level then creation order; pivots are fractions of the sprite's size; angles are degrees. */   \
  X(int, lbtsRender, (void), ())                                                                    \
  X(int, lbtsPresent, (void), ())                                                                   \
  X(int, lbtsRenderScreen, (void), ())                                                              \
  X(int, lbtsRenderWait, (void), ())                                                                \
  X(int, lbtsGetRenderImage, (LbImage image), (image))                                              \
  X(int, lbtsSetLinearMode, (int on), (on))                                                         \
  X(LbImage, lbtsCreateImage, (int width, int height), (width, height))                             \
  X(LbImage, lbtsCreateDynamicImage, (int width, int height), (width, height))                      \
  X(LbImage, lbtsLoadImage, (int cellsX, int cellsY, const char* path, int mode), (cellsX, cellsY, path, mode)) \
  X(int, lbtsDestroyImage, (LbImage image), (image))                                                \
  X(int, lbtsIsImageLost, (LbImage image), (image))                                                 \
  X(int, lbtsGetImageSize, (LbImage image, int* width, int* height), (image, width, height))        \
  X(int, lbtsGetImageSize2, (LbImage image, int* width, int* height), (image, width, height))       \
  X(int, lbtsSetImagePos, (LbImage image, int x, int y), (image, x, y))                             \
  X(int, lbtsFillImage, (LbImage image, float r, float g, float b, float a), (image, r, g, b, a))   \
  X(int, lbtsFillImageRect, (LbImage image, int x, int y, int width, int height, float r, float g, float b, float a), (image, x, y, width, height, r, g, b, a)) \
  X(LbWipe, lbtsLoadWipe, (const char* path), (path))                                               \
  X(int, lbtsDestroyWipe, (LbWipe wipe), (wipe))                                                    \
  X(int, lbtsSetWipeLevel, (LbWipe wipe, float level), (wipe, level))                               \
  X(LbSprite, lbtsCreateSprite, (LbImage image, int level, int flags), (image, level, flags))       \
  X(int, lbtsDestroySprite, (LbSprite sprite), (sprite))                                            \
  X(int, lbtsSetSpriteWipe, (LbSprite sprite, LbWipe wipe, int mode), (sprite, wipe, mode))         \
  X(int, lbtsConnectSprite, (LbSprite sprite, LbSprite parent), (sprite, parent))                   \
  X(int, lbtsGetSpriteLevel, (LbSprite sprite), (sprite))                                           \
  X(int, lbtsSetSpriteLevel, (LbSprite sprite, int level), (sprite, level))                         \
  X(int, lbtsIsSpriteDraw, (LbSprite sprite), (sprite))                                             \
  X(int, lbtsSetSpriteDraw, (LbSprite sprite, int on), (sprite, on))                                \
  X(int, lbtsGetSpritePos, (LbSprite sprite, int* x, int* y), (sprite, x, y))                       \
  X(int, lbtsGetSpriteAbsPos, (LbSprite sprite, int* x, int* y), (sprite, x, y))                    \
  X(int, lbtsSetSpritePos, (LbSprite sprite, int x, int y), (sprite, x, y))                         \
  X(int, lbtsGetSpriteSize, (LbSprite sprite, int* width, int* height), (sprite, width, height))    \
  X(int, lbtsSetSpriteSize, (LbSprite sprite, int width, int height), (sprite, width, height))      \
  X(int, lbtsGetSpriteMap, (LbSprite sprite, int* x, int* y, int* width, int* height), (sprite, x, y, width, height)) \
  X(int, lbtsSetSpriteMap, (LbSprite sprite, int x, int y, int width, int height), (sprite, x, y, width, height)) \
  X(int, lbtsSetSpritePivot, (LbSprite sprite, float px, float py), (sprite, px, py))               \
  X(int, lbtsRotateSpriteNone, (LbSprite sprite), (sprite))                                         \
  X(int, lbtsRotateSpriteX, (LbSprite sprite, float degrees), (sprite, degrees))                    \
  X(int, lbtsRotateSpriteY, (LbSprite sprite, float degrees), (sprite, degrees))                    \
  X(int, lbtsRotateSpriteZ, (LbSprite sprite, float degrees), (sprite, degrees))                    \
  X(int, lbtsSetSpriteColorRGBA, (LbSprite sprite, int corner, float r, float g, float b, float a), (sprite, corner, r, g, b, a)) \
  X(int, lbtsSetSpriteColorRGB, (LbSprite sprite, int corner, float r, float g, float b), (sprite, corner, r, g, b)) \
  X(int, lbtsSetSpriteColorA, (LbSprite sprite, int corner, float a), (sprite, corner, a))          \
  X(int, lbtsSetSpriteNcMode, (LbSprite sprite, int mode), (sprite, mode))                          \
  X(int, lbtsSetSpriteNcPos, (LbSprite sprite, int corner, float x, float y), (sprite, corner, x, y)) \
  X(int, lbtsSetSpriteNcImageMap, (LbSprite sprite, int corner, float u, float v), (sprite, corner, u, v)) \
  X(int, lbtsGetSpriteBlend, (LbSprite sprite), (sprite))                                           \
  X(int, lbtsSetSpriteBlend, (LbSprite sprite, int blend), (sprite, blend))                         \
  X(int, lbtsGetSpriteAlphaTest, (LbSprite sprite), (sprite))                                       \
  X(int, lbtsSetSpriteAlphaTest, (LbSprite sprite, int threshold), (sprite, threshold))             \
                                                                                                    \
  /* Text and characters: fonts by face name, one glyph at a time, drawn into images. */            \
  /* Character codes are Shift-JIS (lead * 256 + trail for double-byte characters). */              \
  X(int, lbOutputText, (LbPlane plane, const char* text), (plane, text))                            \
  X(int, lbOutputTextPos, (LbPlane plane, int x, int y, const char* text), (plane, x, y, text))     \
  X(int, lbGetTextOutSize, (const char* text, int* width, int* height), (text, width, height))      \
  X(int, lbGetTextExtent, (const char* text, int length, int* width, int* height), (text, length, width, height)) \
  X(int, lbGetTextColor, (void), ())                                                                \
  X(int, lbSetTextColor, (int colour), (colour))                                                    \
  X(int, lbGetTextPos, (int* x, int* y), (x, y))                                                    \
  X(int, lbSetTextPos, (int x, int y), (x, y))                                                      \
  X(int, lbGetTextRect, (LbRect* rect), (rect))                                                     \
  X(int, lbSetTextRect, (const LbRect* rect), (rect))                                               \
  X(int, lbSetTextMode, (int mode), (mode))                                                         \
  X(int, lbSetTextLayout, (int layout), (layout))                                                   \
  X(LbText, lbCreateText, (const char* face, int size), (face, size))                               \
  X(int, lbDestroyText, (LbText text), (text))                                                      \
  X(LbFont, lbCreateChar, (const char* face, int size, int kind, int value2, int value3, int flags), (face, size, kind, value2, value3, flags)) \
  X(int, lbDestroyChar, (LbFont font), (font))                                                      \
  X(int, lbRenderChar, (LbFont font, int code), (font, code))                                       \
  X(int, lbDrawChar, (LbPlane plane, int x, int y, LbFont font), (plane, x, y, font))               \
  X(int, lbtsDrawChar, (LbImage image, int x, int y, LbFont font), (image, x, y, font))             \
  X(int, lbGetCharBoxSize, (LbSize* size, LbFont font), (size, font))                               \
  X(int, lbGetCharDrawPos, (LbPoint* offset, LbFont font), (offset, font))                          \
  X(int, lbGetCharFeedSize, (LbSize* size, LbFont font), (size, font))                              \
  X(int, lbGetCharHeight, (LbFont font), (font))                                                    \
                                                                                                    \
  /* Input and events: the host's event loop, DirectInput key codes, mouse events and position */   \
  /* in game pixels. lbGetMouse pops one mouse event (code 0 left, 2 right); lbGetKeyEvent pops */  \
  /* one key event (kind 1 is a press). */                                                          \
  X(int, lbGetInputCount, (void), ())                                                               \
  X(int, lbGetInputName, (int index, char* name, int size), (index, name, size))                    \
  X(LbInput, lbGetInputDevice, (int index), (index))                                                \
  X(LbInput, lbGetInputKeyboard, (void), ())                                                        \
  X(int, lbDestroyInput, (LbInput input), (input))                                                  \
  X(int, lbClearInput, (LbInput input), (input))                                                    \
  X(int, lbGetInputState, (LbInput input, int key), (input, key))                                   \
  X(int, lbGetInputEvent, (LbInput input, int* key, int* kind), (input, key, kind))                 \
  X(int, lbMapInputKey, (LbInput input, int key, int code), (input, key, code))                     \
  X(int, lbWaitEvent, (int ms), (ms))                                                               \
  X(int, lbClearEvent, (void), ())                                                                  \
  X(int, lbWaitKeyEvent, (int on), (on))                                                            \
  X(int, lbWaitMouseEvent, (int on), (on))                                                          \
  X(int, lbWaitInputEvent, (int on), (on))                                                          \
  X(int, lbWaitNetEvent, (int on), (on))                                                            \
  X(int, lbGetKeyState, (int key), (key))                                                           \
  X(int, lbGetKeyEvent, (int* key, int* kind), (key, kind))                                         \
  X(int, lbClearKey, (void), ())                                                                    \
  X(int, lbGetMouse, (int* code, int* x, int* y), (code, x, y))                                     \
  X(int, lbClearMouse, (void), ())                                                                  \
  X(int, lbShowMouse, (int on), (on))                                                               \
  X(int, lbGetMousePos, (int* x, int* y), (x, y))                                                   \
  X(int, lbSetMousePos, (int x, int y), (x, y))                                                     \
                                                                                                    \
  /* Time: frame pacing. The game keeps its own clock (timeGetTime) and asks only for the */        \
  /* frame rate and whether time pauses while the window is inactive. */                            \
  X(int, lbSetDelayTime, (int ms), (ms))                                                            \
  X(int, lbSetFPS, (int fps), (fps))                                                                \
  X(int, lbGetDelayTime, (void), ())                                                                \
  X(int, lbSetForceFrame, (int on), (on))                                                           \
  X(int, lbClearTime, (void), ())                                                                   \
  X(int, lbWaitTime, (void), ())                                                                    \
  X(int, lbIsDelayTime, (void), ())                                                                 \
  X(int, lbGetTimeCount, (void), ())                                                                \
  X(int, lbGetCurrentFPS, (void), ())                                                               \
  X(float, lbGetCurrentFPS2, (void), ())                                                            \
  X(int, lbSetShowTime, (int on), (on))                                                             \
  X(int, lbSetTimePause, (int on), (on))                                                            \
                                                                                                    \
  /* MIDI: never called by the game. */                                                             \
  X(int, lbAddMidiList, (const char* path), (path))                                                 \
  X(int, lbClearMidiList, (void), ())                                                               \
  X(int, lbPlayMidi, (int index), (index))                                                          \
  X(int, lbStopMidi, (void), ())                                                                    \
  X(int, lbPauseMidi, (void), ())                                                                   \
  X(int, lbResumeMidi, (void), ())                                                                  \
  X(int, lbFadeinMidi, (int ms), (ms))                                                              \
  X(int, lbFadeoutMidi, (int ms), (ms))                                                             \
  X(int, lbSetMidiSpeed, (float speed), (speed))                                                    \
                                                                                                    \
  /* Sound: effects loaded whole and played on free channels; the 3D calls are never used. */       \
  X(LbSound, lbLoadSound, (const char* path, int mode), (path, mode))                               \
  X(LbSound, lbLoadSound3D, (const char* path, int mode), (path, mode))                             \
  X(int, lbDestroySound, (LbSound sound), (sound))                                                  \
  X(int, lbPlaySound, (LbSound sound, int flags), (sound, flags))                                   \
  X(int, lbStopSound, (LbSound sound), (sound))                                                     \
  X(int, lbIsSoundPlay, (LbSound sound), (sound))                                                   \
  X(int, lbSetSoundPos, (LbSound sound, float x, float y, float z), (sound, x, y, z))               \
  X(int, lbSetSoundVel, (LbSound sound, float x, float y, float z), (sound, x, y, z))               \
  X(int, lbSetSoundCone, (LbSound sound, float inner, float outer, float volume), (sound, inner, outer, volume)) \
  X(int, lbSetSoundDistance, (LbSound sound, float minimum, float maximum), (sound, minimum, maximum)) \
  X(int, lbSetSound3DMode, (LbSound sound, int mode), (sound, mode))                                \
  X(int, lbSetSoundListenerPos, (float x, float y, float z), (x, y, z))                             \
  X(int, lbSetSoundListenerVel, (float x, float y, float z), (x, y, z))                             \
  X(int, lbSetSoundListenerDir, (float fx, float fy, float fz, float ux, float uy, float uz), (fx, fy, fz, ux, uy, uz)) \
  X(int, lbSetSoundDistanceFactor, (float factor), (factor))                                        \
  X(int, lbSetSoundDopplerFactor, (float factor), (factor))                                         \
  X(int, lbSetSoundRolloffFactor, (float factor), (factor))                                         \
  X(int, lbCommitSound3D, (void), ())                                                               \
                                                                                                    \
  /* Streams: background music as a play list; entries play in the order added, an entry with */    \
  /* repeat -1 loops for ever (a prelude, then the looping body), one with 0 plays once. */         \
  X(LbStream, lbCreateStream, (void), ())                                                           \
  X(int, lbDestroyStream, (LbStream stream), (stream))                                              \
  X(int, lbAddStreamList, (LbStream stream, const char* path, int repeat, int value4, int value5), (stream, path, repeat, value4, value5)) \
  X(int, lbClearStreamList, (LbStream stream), (stream))                                            \
  X(int, lbPlayStream, (LbStream stream), (stream))                                                 \
  X(int, lbStopStream, (LbStream stream), (stream))                                                 \
                                                                                                    \
  /* Movies: never called by the game. */                                                           \
  X(LbMovie, lbLoadMovie, (const char* path), (path))                                               \
  X(int, lbDestroyMovie, (LbMovie movie), (movie))                                                  \
  X(int, lbPlayMovie, (LbMovie movie), (movie))                                                     \
  X(int, lbPauseMovie, (LbMovie movie), (movie))                                                    \
  X(int, lbStopMovie, (LbMovie movie), (movie))                                                     \
  X(int, lbIsMoviePlay, (LbMovie movie), (movie))                                                   \
  X(LbPlane, lbGetMovieImage, (LbMovie movie), (movie))                                             \
                                                                                                    \
  /* Paths and files: names relative to the game folder (or the mounted archive), in Shift-JIS. */  \
  /* Path outputs are 264-byte buffers. lbReadFileLine returns the next line without its line */    \
  /* end, valid until the next call on that file, or null at the end. */                            \
  X(int, lbSplitPath, (const char* path, char* folder, char* name, char* extension), (path, folder, name, extension)) \
  X(int, lbMargePath, (char* out, const char* folder, const char* name, const char* extension), (out, folder, name, extension)) \
  X(int, lbGetRelativePath, (char* out, const char* path, const char* base), (out, path, base))     \
  X(int, lbGetAbsolutePath, (char* out, const char* path, const char* base), (out, path, base))     \
  X(int, lbIsWildPathCompare, (const char* pattern, const char* path), (pattern, path))             \
  X(int, lbCreateDir, (const char* path), (path))                                                   \
  X(int, lbCopyFile, (const char* from, const char* to), (from, to))                                \
  X(int, lbConvYenPath, (char* path), (path))                                                       \
  X(int, lbConvSlashPath, (char* path), (path))                                                     \
  X(int, lbIsFileExist, (const char* path), (path))                                                 \
  X(int, lbIsDirExist, (const char* path), (path))                                                  \
  X(int, lbGetWindowsPath, (char* out), (out))                                                      \
  X(int, lbGetCurrentPath, (char* out), (out))                                                      \
  X(LbFile, lbCreateFile, (const char* path, int mode), (path, mode))                               \
  X(int, lbDestroyFile, (LbFile file), (file))                                                      \
  X(int, lbReadFileData, (LbFile file, void* data, int size), (file, data, size))                   \
  X(int, lbReadFileNumber, (LbFile file, int* value), (file, value))                                \
  X(int, lbReadFileFloat, (LbFile file, float* value), (file, value))                               \
  X(int, lbReadFileString, (LbFile file, char* text, int size), (file, text, size))                 \
  X(const char*, lbReadFileLine, (LbFile file), (file))                                             \
  X(int, lbWriteFileData, (LbFile file, const void* data, int size), (file, data, size))            \
  X(int, lbWriteFileNumber, (LbFile file, int value), (file, value))                                \
  X(int, lbWriteFileFloat, (LbFile file, float value), (file, value))                               \
  X(int, lbWriteFileString, (LbFile file, const char* text), (file, text))                          \
  X(int, lbWriteFileLine, (LbFile file, const char* text), (file, text))                            \
  X(int, lbRewindFile, (LbFile file), (file))                                                       \
  X(int, lbGetFileSize, (LbFile file), (file))                                                      \
  X(int, lbChopFile, (LbFile file), (file))                                                         \
  X(int, lbSeekFile, (LbFile file, int offset, int origin), (file, offset, origin))                 \
  X(int, lbTellFile, (LbFile file), (file))                                                         \
                                                                                                    \
  /* Network: never called by the game. */                                                          \
  X(LbNet, lbConnectNet, (const char* host, int port), (host, port))                                \
  X(LbNet, lbBindNet, (int port), (port))                                                           \
  X(LbNet, lbAcceptNet, (LbNet listener), (listener))                                               \
  X(int, lbDestroyNet, (LbNet net), (net))                                                          \
  X(int, lbIsNetConnect, (LbNet net), (net))                                                        \
  X(int, lbIsNetAccept, (LbNet net), (net))                                                         \
  X(int, lbIsNetError, (LbNet net), (net))                                                          \
  X(int, lbSetNetModeWait, (LbNet net, int on), (net, on))                                          \
  X(int, lbRecvNetData, (LbNet net, void* data, int size), (net, data, size))                       \
  X(int, lbRecvNetNumber, (LbNet net, int* value), (net, value))                                    \
  X(int, lbRecvNetFloat, (LbNet net, float* value), (net, value))                                   \
  X(int, lbRecvNetString, (LbNet net, char* text, int size), (net, text, size))                     \
  X(int, lbSendNetData, (LbNet net, const void* data, int size), (net, data, size))                 \
  X(int, lbSendNetNumber, (LbNet net, int value), (net, value))                                     \
  X(int, lbSendNetFloat, (LbNet net, float value), (net, value))                                    \
  X(int, lbSendNetString, (LbNet net, const char* text), (net, text))

/* Declarations of every function, for the runtime and the test hosts that define them.
 * core never declares them: it reaches the host only through its bound table. */
#ifdef LB_HOST_DECLARE_FUNCTIONS
#define LB_DECLARE(ret, name, params, args) ret name params;
LB_HOST_API(LB_DECLARE)
#undef LB_DECLARE
#endif

#ifdef __cplusplus
}
#endif

#endif /* LB_HOST_API_H */
