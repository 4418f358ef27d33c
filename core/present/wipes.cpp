// The wipe table: named wipes in registration order, searched from the front, and the five
// standard wipes every game starts with.
#include <cstring>
#include <vector>

#include "host/errors.h"
#include "present/transitions.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

std::vector<WipeHandle> gWipes;

WipeHandle lookUp(const char* name) {
  for (const WipeHandle& wipe : gWipes)
    if (TextEqualsNoCase(wipe->name, name)) return wipe;
  return WipeHandle();
}

std::uint32_t notNegative(std::int32_t ms) { return ms < 0 ? 0u : static_cast<std::uint32_t>(ms); }

}  // namespace

void registerWipe(const char* name, const char* mask, std::int32_t duration,
                  std::int32_t postWait) {
  if (lookUp(name)) ScriptError("すでに%sというワイプは存在します。"_sj, name);
  WipeHandle wipe = makeHandle<WipeRecord>();
  CopyText(name, wipe->name, sizeof wipe->name);
  if (mask != nullptr && mask[0] != '\0') wipe->mask = loadWipe(mask);
  wipe->duration = notNegative(duration);
  wipe->postWait = notNegative(postWait);
  gWipes.push_back(std::move(wipe));
}

WipeHandle findWipe(const char* name) {
  WipeHandle wipe = lookUp(name);
  if (!wipe) ScriptError("\"%s\"というワイプは存在しません。"_sj, name);
  return wipe;
}

void clearWipes() {
  gWipes.clear();
  gWipes.shrink_to_fit();
}

void registerStandardWipes() {
  registerWipe("logofade", "", 1000, 0);
  registerWipe("fade", "", 500, 0);
  registerWipe("bg", "sys/wipe_bg", 500, 0);
  registerWipe("wipe", "sys/wipe_bg", 500, 0);
  registerWipe("slowwipe", "sys/wipe_bg", 1000, 0);
}
