/* A stand-in image plug-in for the scan tests. What it exports and the version text it
 * reports are chosen when it is built; it decodes nothing. */
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

#ifndef NO_PLUGIN_INFO
EXPORT int GetPluginInfo(int index, char* buffer, int size) {
  if (index != 0 || buffer == 0 || size <= 0) return 0;
#ifdef INFO_FAILS
  strncpy(buffer, PLUGIN_VERSION, (size_t)size);
  return 0;
#else
  strncpy(buffer, PLUGIN_VERSION, (size_t)size - 1);
  buffer[size - 1] = '\0';
  return (int)strlen(buffer);
#endif
}
#endif

EXPORT int IsSupported(const char* name, void* data) {
  (void)name;
  (void)data;
  return 0;
}

EXPORT int GetPictureInfo(const char* name, long offset, unsigned flags, void* info) {
  (void)name;
  (void)offset;
  (void)flags;
  (void)info;
  return -1;
}

#ifndef NO_GET_PICTURE
EXPORT int GetPicture(const char* name, long size, unsigned flags, void** info, void** bits,
                      void* progress, long data) {
  (void)name;
  (void)size;
  (void)flags;
  (void)info;
  (void)bits;
  (void)progress;
  (void)data;
  return -1;
}
#endif
