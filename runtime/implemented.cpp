/*
 * The one list of host functions the runtime really implements. Every other function of
 * the host API is exported by exports.cpp as "not supported"; a test checks the library's
 * strong and weak symbols against this list.
 */
#include "implemented.h"

#include <cstring>

const char* const kImplementedHostFunctions[] = {
    // Window and system
    "lbSetTitle", "lbMessage", "lbIsExit", "lbSetWindowSize", "lbSetFullscreen",
    "lbIsFullscreen", "lbUseGDI", "lbSetCopyright", "lbCheckSystemName", "lbSetDataFile",
    // Render objects: images, wipe masks, sprites and frames
    "lbtsRender", "lbtsPresent", "lbtsRenderScreen", "lbtsGetRenderImage", "lbtsSetLinearMode",
    "lbtsCreateImage", "lbtsCreateDynamicImage", "lbtsLoadImage", "lbtsDestroyImage",
    "lbtsIsImageLost", "lbtsGetImageSize", "lbtsGetImageSize2", "lbtsSetImagePos",
    "lbtsFillImage", "lbtsFillImageRect", "lbtsLoadWipe", "lbtsDestroyWipe", "lbtsSetWipeLevel",
    "lbtsCreateSprite", "lbtsDestroySprite", "lbtsSetSpriteWipe", "lbtsConnectSprite",
    "lbtsGetSpriteLevel", "lbtsSetSpriteLevel", "lbtsIsSpriteDraw", "lbtsSetSpriteDraw",
    "lbtsGetSpritePos", "lbtsGetSpriteAbsPos", "lbtsSetSpritePos", "lbtsGetSpriteSize",
    "lbtsSetSpriteSize", "lbtsGetSpriteMap", "lbtsSetSpriteMap", "lbtsSetSpritePivot",
    "lbtsRotateSpriteNone", "lbtsRotateSpriteX", "lbtsRotateSpriteY", "lbtsRotateSpriteZ",
    "lbtsSetSpriteColorRGBA", "lbtsSetSpriteColorRGB", "lbtsSetSpriteColorA",
    "lbtsGetSpriteBlend", "lbtsSetSpriteBlend",
    // Text and characters
    "lbCreateChar", "lbDestroyChar", "lbRenderChar", "lbtsDrawChar", "lbGetCharBoxSize",
    "lbGetCharDrawPos", "lbGetCharFeedSize",
    // Input and events
    "lbWaitEvent", "lbClearEvent", "lbWaitKeyEvent", "lbWaitMouseEvent", "lbGetKeyState",
    "lbGetKeyEvent", "lbClearKey", "lbGetMouse", "lbClearMouse", "lbGetMousePos",
    "lbSetMousePos",
    // Time
    "lbSetFPS", "lbSetTimePause",
    // Sound
    "lbLoadSound", "lbDestroySound", "lbPlaySound",
    // Streams
    "lbCreateStream", "lbDestroyStream", "lbAddStreamList", "lbClearStreamList", "lbPlayStream",
    "lbStopStream",
    // Paths and files
    "lbMargePath", "lbIsFileExist", "lbCreateFile", "lbDestroyFile", "lbReadFileLine",
};

const size_t kImplementedHostFunctionCount =
    sizeof(kImplementedHostFunctions) / sizeof(kImplementedHostFunctions[0]);

bool isImplementedHostFunction(const char* name) {
  for (size_t i = 0; i < kImplementedHostFunctionCount; ++i)
    if (std::strcmp(kImplementedHostFunctions[i], name) == 0) return true;
  return false;
}
