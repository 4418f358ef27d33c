// Motions: reading "%s.mot" files into timed events, the four motion records, and the
// timer-driven steps that interpolate each event from the value it finds on the sprite when
// it starts to the value written in the file.
#include "present/motion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <windows.h>

#include "host/errors.h"
#include "host/host_api.h"
#include "present/frame.h"
#include "present/resources.h"
#include "present/sprite_internal.h"
#include "present/sprites.h"
#include "present/timers.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"
#include "support/support.h"

MotionRecord gMotions[kMotionRecordCount];

namespace {

using EventList = std::vector<MotionEvent>;

// Where each kind keeps its values (see MotionEvent).
enum PosValue { kPosStartX, kPosStartY, kPosEndX, kPosEndY, kPosSpan };
enum RotValue { kRotBits, kRotStartAngle, kRotEndAngle, kRotPivotX, kRotPivotY, kRotSpan };
enum SizeValue { kSizeStartW, kSizeStartH, kSizeEndW, kSizeEndH, kSizeSpan };

// Span is the fifth value of pos and size, the sixth of rot.
int spanIndex(int kind) { return kind == kMotionRot ? int{kRotSpan} : int{kPosSpan}; }

constexpr std::size_t kWordSize = 256;

// One line of a motion file being read token by token. Tokens with an empty name (what a
// line ending in blanks leaves) carry nothing and are passed over.
struct MotionLine {
  explicit MotionLine(const char* line) : text(line), value(text.size() + 1) {
    cursor = text.c_str();
  }
  // The statement word; false when it is the line's only token.
  bool statement() {
    NextOption(cursor, '\0', ended, word, sizeof word, value.data(), value.size());
    return !ended;
  }
  bool next() {
    while (!ended) {
      NextOption(cursor, '\0', ended, name, sizeof name, value.data(), value.size());
      if (name[0] != '\0') return true;
    }
    return false;
  }

  std::string text;
  const char* cursor = nullptr;
  bool ended = false;
  char word[kWordSize] = {};
  char name[kWordSize] = {};
  std::vector<char> value;
};

int kindOfStatement(const char* word) {
  if (TextEqualsNoCase(word, "@pos")) return kMotionPos;
  if (TextEqualsNoCase(word, "@rot")) return kMotionRot;
  if (TextEqualsNoCase(word, "@size")) return kMotionSize;
  return -1;
}

[[noreturn]] void badOption(const char* file, int kind, const char* option) {
  if (kind == kMotionPos)
    ScriptError("モーションファイル\"%s\"の定義文@posに不正なオプション\"%s\"が存在します"_sj,
                file, option);
  if (kind == kMotionRot)
    ScriptError("モーションファイル\"%s\"の定義文@rotに不正なオプション\"%s\"が存在します"_sj,
                file, option);
  ScriptError("モーションファイル\"%s\"の定義文@sizeに不正なオプション\"%s\"が存在します"_sj,
              file, option);
}

// The options of one statement, into the event whose kind and slot are already set.
void readOptions(const char* file, MotionLine& line, MotionEvent& e) {
  const char* value = line.value.data();
  while (line.next()) {
    const char* n = line.name;
    if (TextEqualsNoCase(n, "span")) {
      e.values[spanIndex(e.kind)] = ParseInt(value);
    } else if (e.kind == kMotionPos && TextEqualsNoCase(n, "x")) {
      e.values[kPosEndX] = ParseInt(value);
    } else if (e.kind == kMotionPos && TextEqualsNoCase(n, "y")) {
      e.values[kPosEndY] = ParseInt(value);
    } else if (e.kind == kMotionSize && TextEqualsNoCase(n, "w")) {
      e.values[kSizeEndW] = ParseInt(value);
    } else if (e.kind == kMotionSize && TextEqualsNoCase(n, "h")) {
      e.values[kSizeEndH] = ParseInt(value);
    } else if (e.kind == kMotionRot && TextEqualsNoCase(n, "pivx")) {
      e.floats[kRotPivotX] = ParseFloat(value);
    } else if (e.kind == kMotionRot && TextEqualsNoCase(n, "pivy")) {
      e.floats[kRotPivotY] = ParseFloat(value);
    } else if (e.kind == kMotionRot && TextEqualsNoCase(n, "deg")) {
      e.floats[kRotEndAngle] = ParseFloat(value);
    } else if (e.kind == kMotionRot && TextEqualsNoCase(n, "style")) {
      e.values[kRotBits] =
          static_cast<int>(parseDisplayStyle(kStyleRotateNone, value) & kStyleRotateBits);
    } else {
      badOption(file, e.kind, n);
    }
  }
}

// Reads one statement line into an event; false for a line that holds no statement.
bool readStatement(const char* file, int baseSlot, const char* text, MotionEvent& e) {
  MotionLine line(text);
  if (!line.statement()) return false;
  e.kind = kindOfStatement(line.word);
  if (e.kind < 0)
    ScriptError("モーションファイル\"%s\"に不正な定義文\"%s\"が存在します"_sj, file, line.word);

  // The two positional tokens are numbers whatever they look like.
  const bool hasStart = line.next();
  if (hasStart) e.start = ParseInt(line.name);
  const bool hasSprite = hasStart && line.next();
  const int spriteNumber = hasSprite ? ParseInt(line.name) : 0;
  const std::int64_t slot = static_cast<std::int64_t>(spriteNumber) + baseSlot;
  const bool valid = slot >= 0 && slot < kSpriteSlotCount && isValidSlot(static_cast<int>(slot));
  e.slot = valid ? static_cast<int>(slot) : kNoSlot;

  if (e.kind == kMotionRot) e.values[kRotBits] = static_cast<int>(kStyleRotateNone);
  if (e.kind == kMotionSize && valid) {
    // Without "w" or "h" the size stays what the sprite has now.
    e.values[kSizeEndW] = gSprites[e.slot].width;
    e.values[kSizeEndH] = gSprites[e.slot].height;
  }
  readOptions(file, line, e);

  if (!hasStart)
    ScriptError("モーションファイル\"%s\"の定義文に実行開始時間が指定されていない"_sj, file);
  if (!hasSprite)
    ScriptError("モーションファイル\"%s\"の定義文にスプライト番号が指定されていない"_sj, file);
  if (!valid)
    ScriptError("モーションファイル\"%s\"で指定されたスプライト%dは有効ではない"_sj, file,
                spriteNumber);
  return true;
}

EventList readMotionFile(int baseSlot, const char* file) {
  PathBuffer path;
  joinPath(path, "", file, "mot");
  ResourceHandle handle = openFile(path);
  EventList events;
  while (const char* text = gHost.lbReadFileLine(hostFile(handle))) {
    MotionEvent e;
    if (readStatement(file, baseSlot, text, e)) events.push_back(e);
  }
  return events;
}

std::int64_t elapsedOf(const MotionRecord& r) {
  return static_cast<std::uint32_t>(timeGetTime() - r.startTime);
}

// start + round((end - start) * f), ties to even, held within the int range.
int interpolate(int start, int end, float f) {
  const float delta = static_cast<float>(static_cast<std::int64_t>(end) - start) * f;
  const std::int64_t value = start + static_cast<std::int64_t>(std::nearbyint(delta));
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

void capture(MotionEvent& e) {
  const SpriteSlot& s = gSprites[e.slot];
  switch (e.kind) {
    case kMotionPos:
      e.values[kPosStartX] = s.reqX;
      e.values[kPosStartY] = s.reqY;
      break;
    case kMotionRot:
      e.floats[kRotStartAngle] = s.angle;
      break;
    case kMotionSize:
      e.values[kSizeStartW] = s.width;
      e.values[kSizeStartH] = s.height;
      break;
    default:
      Fatal("[sprLoadMotion] そのコマンド種類は実装されていない"_sj);
  }
}

// Sets the event's property at fraction f of its span (f 1: the end value exactly).
void apply(const MotionEvent& e, float f, bool atEnd) {
  const int* v = e.values;
  switch (e.kind) {
    case kMotionPos: {
      const int x = atEnd ? v[kPosEndX] : interpolate(v[kPosStartX], v[kPosEndX], f);
      const int y = atEnd ? v[kPosEndY] : interpolate(v[kPosStartY], v[kPosEndY], f);
      setSpritePos(e.slot, x, y, gSprites[e.slot].style);
      break;
    }
    case kMotionRot: {
      const float from = e.floats[kRotStartAngle];
      const float to = e.floats[kRotEndAngle];
      SpriteSlot& s = gSprites[e.slot];
      // The angle is left unwrapped: a turn from 350 to 370 passes 360 and stops at 370.
      s.angle = atEnd ? to : from + (to - from) * f;
      s.pivotX = e.floats[kRotPivotX];
      s.pivotY = e.floats[kRotPivotY];
      const auto bits = static_cast<DisplayStyle>(v[kRotBits]) & kStyleRotateBits;
      s.style = (s.style & ~kStyleRotateBits) | bits;
      applySpritePivot(e.slot);
      break;
    }
    case kMotionSize: {
      const int w = atEnd ? v[kSizeEndW] : interpolate(v[kSizeStartW], v[kSizeEndW], f);
      const int h = atEnd ? v[kSizeEndH] : interpolate(v[kSizeStartH], v[kSizeEndH], f);
      setSpriteSize(e.slot, w, h);
      break;
    }
    default:
      Fatal("[_MotEvent] 未実装のコマンド"_sj);
  }
}

int spanOf(const MotionEvent& e) { return e.values[spanIndex(e.kind)]; }

}  // namespace

void loadMotion(int baseSlot, const char* file, bool wait) {
  EventList events = readMotionFile(baseSlot, file);
  if (events.empty()) return;

  int index = 0;
  while (index < kMotionRecordCount && gMotions[index].eventCount != 0) ++index;
  if (index == kMotionRecordCount) ScriptError("モーション実行領域に空きがありません"_sj);

  // Equal start times keep their file order.
  std::stable_sort(events.begin(), events.end(),
                   [](const MotionEvent& a, const MotionEvent& b) { return a.start < b.start; });
  for (MotionEvent& e : events) e.capture = true;
  MotionRecord& r = gMotions[index];
  r.eventCount = static_cast<int>(events.size());
  r.events = SharedHandle<EventList>(new EventList(std::move(events)));
  r.timerId = -1;
  r.startTime = timeGetTime();
  scheduleMotion(static_cast<std::uint32_t>(index));

  if (!wait) return;
  while (r.eventCount != 0) {
    renderScreen();
    waitFor(nullptr, 0, 100);
  }
}

void motionStep(std::uint32_t index) {
  if (index >= static_cast<std::uint32_t>(kMotionRecordCount)) return;
  MotionRecord& r = gMotions[index];
  r.timerId = -1;  // this event has fired; its id may already serve another
  if (r.eventCount == 0 || !r.events) return;
  // Held while stepping, so the events outlive anything the sprite calls do.
  SharedHandle<EventList> events = r.events;
  const std::int64_t elapsed = elapsedOf(r);
  for (MotionEvent& e : *events) {
    if (e.slot == kNoSlot || e.start > elapsed) continue;
    // A sprite gone without the table telling us is left alone, as a destroyed one is.
    if (!isValidSlot(e.slot)) {
      e.slot = kNoSlot;
      continue;
    }
    if (e.capture) {
      e.capture = false;
      capture(e);
    }
    const std::int64_t t = elapsed - e.start;
    const int span = spanOf(e);
    if (t < span) {
      apply(e, static_cast<float>(t) / static_cast<float>(span), false);
    } else {
      apply(e, 1.0f, true);
      e.slot = kNoSlot;
    }
  }
  scheduleMotion(index);
}

void scheduleMotion(std::uint32_t index) {
  if (index >= static_cast<std::uint32_t>(kMotionRecordCount)) return;
  MotionRecord& r = gMotions[index];
  if (r.timerId >= 0) {
    // Never two steps pending for one record.
    const int id = r.timerId;
    r.timerId = -1;
    removeTimerEvent(id);
  }
  const std::int64_t elapsed = elapsedOf(r);
  bool left = false;
  std::int64_t delay = std::numeric_limits<std::int64_t>::max();
  if (r.events) {
    for (const MotionEvent& e : *r.events) {
      if (e.slot == kNoSlot) continue;
      left = true;
      delay = std::min(delay, std::max<std::int64_t>(0, e.start - elapsed));
    }
  }
  if (!left) {
    r = MotionRecord{};
    return;
  }
  r.timerId = addTimerEvent(motionStep, index, static_cast<std::uint32_t>(delay));
}

void releaseMotionSlot(int slot) {
  for (MotionRecord& r : gMotions) {
    if (r.eventCount == 0 || !r.events) continue;
    for (MotionEvent& e : *r.events)
      if (e.slot == slot) e.slot = kNoSlot;
  }
}

void resetMotions() {
  for (MotionRecord& r : gMotions) {
    const int id = r.timerId;
    r = MotionRecord{};
    removeTimerEvent(id);
  }
}

void installMotionHooks() { setMotionReleaseHooks(releaseMotionSlot, resetMotions); }
