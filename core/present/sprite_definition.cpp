// Sprite definition files: "<name>.spr" read line by line into sub-sprites with their images
// and animation sets, then handed to buildSprite. The simple form is one `@sprite` line with
// an "anim" text; the compound form adds one `@subN` line per sub-sprite.
#include "present/sprite_definition.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "host/errors.h"
#include "host/host_api.h"
#include "present/resources.h"
#include "present/sound.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"
#include "support/support.h"

namespace {

constexpr std::size_t kShortTextSize = 256;  // "trans", "anim", "style" and words of "anim"
constexpr std::size_t kOptionNameSize = 256;

// Bounds that keep a typo from making the engine allocate without limit. A real sprite has a
// handful of sub-sprites, sets and cells; these are far beyond any of them.
constexpr int kMaxSubSprites = 256;
constexpr int kMaxAnimSets = 1024;
constexpr long long kMaxSimpleFrames = 65536;

// The load mode every frame sound of the game is loaded with.
constexpr int kFrameSoundLoadMode = 1;

// ---- Reading lines and words ------------------------------------------------------------

bool isBlankAt(const char* p) {
  return *p == ' ' || *p == '\t' ||
         (static_cast<unsigned char>(p[0]) == 0x81 && static_cast<unsigned char>(p[1]) == 0x40);
}
bool isLineEnd(char c) { return c == '\0' || c == '\r' || c == '\n'; }

// Reads the next blank-separated word of a text (as style texts are read: a line end ends the
// text, a two-byte character is taken whole, at most size - 1 bytes are kept). Returns false
// when no word is left.
bool nextWord(const char*& cursor, char* word, std::size_t size) {
  while (!isLineEnd(*cursor) && isBlankAt(cursor))
    cursor += (*cursor == ' ' || *cursor == '\t') ? 1 : 2;
  if (isLineEnd(*cursor)) {
    word[0] = '\0';
    return false;
  }
  std::size_t kept = 0;
  while (!isLineEnd(*cursor) && !isBlankAt(cursor)) {
    std::size_t n =
        isLeadByte(static_cast<unsigned char>(*cursor)) && !isLineEnd(cursor[1]) ? 2 : 1;
    if (kept + n < size) {
      std::memcpy(word + kept, cursor, n);
      kept += n;
    }
    cursor += n;
  }
  word[kept] = '\0';
  return true;
}

bool startsWithDigit(const char* word) { return word[0] >= '0' && word[0] <= '9'; }

// The options of one definition line, read as often as needed. Each value is unquoted into a
// buffer as long as the line, so that a long animation set is never cut short.
struct LineOptions {
  explicit LineOptions(const char* line) : text(line), value(text.size() + 1) {}

  // Starts over: reads the statement word into `name`; next() then reads the options.
  void rewind() {
    cursor = text.c_str();
    ended = false;
    NextOption(cursor, '\0', ended, name, sizeof name, value.data(), value.size());
  }
  // Reads the next option with a name; false once the line is used up. Tokens with an empty
  // name (what a line ending in blanks leaves) carry nothing and are passed over.
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
  char name[kOptionNameSize] = {};
  std::vector<char> value;
};

// ---- The definition being read -----------------------------------------------------------

struct SpriteLine {
  PathBuffer file = {};
  char trans[kShortTextSize] = {};
  char anim[kShortTextSize] = {};
  char style[kShortTextSize] = {};
  int width = -1;
  int height = -1;
  int subCount = -1;
};

struct Definition {
  const char* name;    // as the caller gave it, for the messages
  PathParts location;  // its folder is where the images are
  ResourceHandle file;

  const char* readLine() { return gHost.lbReadFileLine(hostFile(file)); }
};

[[noreturn]] void badStatement(const Definition& d) {
  ScriptError("スプライト定義ファイル\"%s\"に不正な定義文が存在します"_sj, d.name);
}
[[noreturn]] void badSubOption(const Definition& d, int sub) {
  ScriptError("スプライト定義ファイル\"%s\"のサブスプライト%d定義に不正な定義が存在します"_sj,
              d.name, sub);
}

SpriteLine readSpriteLine(Definition& d) {
  const char* first = d.readLine();
  LineOptions options(first != nullptr ? first : "");
  options.rewind();
  if (first == nullptr || !TextEqualsNoCase(options.name, "@sprite"))
    ScriptError("スプライト定義ファイル\"%s\"の一行目に@sprite定義文が必要です"_sj, d.name);

  SpriteLine line;
  while (options.next()) {
    const char* name = options.name;
    const char* value = options.value.data();
    if (TextEqualsNoCase(name, "file")) {
      CopyText(value, line.file, sizeof line.file);
    } else if (TextEqualsNoCase(name, "trans")) {
      CopyText(value, line.trans, sizeof line.trans);
    } else if (TextEqualsNoCase(name, "anim")) {
      CopyText(value, line.anim, sizeof line.anim);
    } else if (TextEqualsNoCase(name, "style")) {
      CopyText(value, line.style, sizeof line.style);
    } else if (TextEqualsNoCase(name, "sw")) {
      line.width = ParseInt(value);
    } else if (TextEqualsNoCase(name, "sh")) {
      line.height = ParseInt(value);
    } else if (TextEqualsNoCase(name, "subcount")) {
      line.subCount = ParseInt(value);
    } else {
      ScriptError("スプライト定義ファイル\"%s\"の@sprite定義文中の%sが不正です"_sj, d.name, name);
    }
  }
  return line;
}

// An image of the definition: its name is relative to the definition's folder; an empty
// transparency option means the default transparency colour.
ResourceHandle loadCellImage(const Definition& d, const char* file, const char* trans,
                             int cellsPerRow, int cellRows, bool useCache) {
  PathBuffer path;
  joinPath(path, d.location.folder, file, "");
  return loadImage(-cellsPerRow, -cellRows, path, useCache,
                   trans[0] != '\0' ? trans : gDefaultTransColour);
}

SharedHandle<std::vector<AnimSet>> emptyAnimSets(int count) {
  auto sets = makeHandle<std::vector<AnimSet>>(static_cast<std::size_t>(count));
  for (AnimSet& set : *sets) set.frames = makeHandle<std::vector<AnimFrame>>();
  return sets;
}

// ---- Simple form ----------------------------------------------------------------------

// The cells, mode, durations and rows an "anim" text gives.
struct SimpleAnimation {
  enum class Mode { Stop, Loop, ReturnLoop } mode = Mode::Stop;
  int cellsPerRow = 0;
  int rows = 0;
  std::vector<int> durations;
};

SimpleAnimation parseSimpleAnimation(const char* text) {
  SimpleAnimation anim;
  const char* cursor = text;
  char word[kShortTextSize];
  bool haveWord = nextWord(cursor, word, sizeof word);
  if (haveWord && startsWithDigit(word)) {
    anim.cellsPerRow = ParseInt(word);
    nextWord(cursor, word, sizeof word);
    if (TextEqualsNoCase(word, "stop")) {
      anim.mode = SimpleAnimation::Mode::Stop;
    } else if (TextEqualsNoCase(word, "loop")) {
      anim.mode = SimpleAnimation::Mode::Loop;
    } else if (TextEqualsNoCase(word, "rloop")) {
      anim.mode = SimpleAnimation::Mode::ReturnLoop;
    } else {
      NotRecognised(word);
    }
    // Durations run up to the first word that is not a number; that word is looked at below.
    while ((haveWord = nextWord(cursor, word, sizeof word)) && startsWithDigit(word))
      anim.durations.push_back(ParseInt(word));
  }
  for (; haveWord; haveWord = nextWord(cursor, word, sizeof word))
    if (word[0] == 's' || word[0] == 'S') anim.rows = ParseInt(word + 1);
  if (anim.cellsPerRow < 1) anim.cellsPerRow = 1;
  if (anim.rows < 1) anim.rows = 1;
  return anim;
}

// One set per image row: forward, forward then stopping, or forward and back again.
SharedHandle<std::vector<AnimSet>> simpleAnimSets(const SimpleAnimation& anim) {
  const int c = anim.cellsPerRow;
  const int n = static_cast<int>(anim.durations.size());
  auto duration = [&](int index) { return n == 0 ? -1 : anim.durations[index < n ? index : 0]; };
  auto sets = makeHandle<std::vector<AnimSet>>(static_cast<std::size_t>(anim.rows));
  for (int r = 0; r < anim.rows; ++r) {
    auto frames = makeHandle<std::vector<AnimFrame>>();
    for (int k = 0; k < c; ++k) frames->push_back(AnimFrame{c * r + k, {}, duration(k)});
    switch (anim.mode) {
      case SimpleAnimation::Mode::Stop:
        frames->back().duration = -1;
        break;
      case SimpleAnimation::Mode::Loop:
        break;
      case SimpleAnimation::Mode::ReturnLoop:
        // The way back skips both ends, which the forward run already shows.
        for (int j = 0; j + 3 <= c; ++j)
          frames->push_back(AnimFrame{c * r + (c - 2 - j), {}, duration(j)});
        break;
    }
    (*sets)[r] = AnimSet{static_cast<int>(frames->size()), frames};
  }
  return sets;
}

SubSpriteHandle readSimpleForm(const Definition& d, const SpriteLine& line, DisplayStyle style) {
  SimpleAnimation anim = parseSimpleAnimation(line.anim);
  long long frameCount = static_cast<long long>(anim.cellsPerRow) * anim.rows;
  if (anim.mode == SimpleAnimation::Mode::ReturnLoop) frameCount *= 2;
  if (frameCount > kMaxSimpleFrames) NotRecognised(line.anim);

  SubSprite sub;
  sub.image = loadCellImage(d, line.file, line.trans, anim.cellsPerRow, anim.rows,
                            (style & kStyleCache) != 0);
  sub.cellsPerRow = anim.cellsPerRow;
  sub.cellRows = anim.rows;
  sub.animSetCount = anim.rows;
  sub.animSets = simpleAnimSets(anim);
  auto subs = makeHandle<SubSpriteArray>();
  subs->push_back(std::move(sub));
  return subs;
}

// ---- Compound form --------------------------------------------------------------------

// Second pass of a `@sub` line: one "animsetS" option, a list of cell and duration pairs.
void readAnimSet(const Definition& d, int subNumber, SubSprite& sub, const char* optionName,
                 const char* value) {
  int set = ParseInt(optionName + 7);
  if (set < 0 || set >= sub.animSetCount)
    ScriptError(
        "スプライト定義ファイル\"%s\"のサブスプライト%d定義に不正なanimset%d定義が存在します"_sj,
        d.name, subNumber, set);
  const long long cellCount = static_cast<long long>(sub.cellsPerRow) * sub.cellRows;
  std::vector<int> numbers;
  const char* cursor = value;
  std::vector<char> word(std::strlen(value) + 1);
  while (nextWord(cursor, word.data(), word.size())) numbers.push_back(ParseInt(word.data()));

  auto frames = makeHandle<std::vector<AnimFrame>>();
  for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) {
    int cell = numbers[i];
    if (cell >= cellCount)
      ScriptError(
          "スプライト定義ファイル\"%s\"のサブスプライト%d定義のアニメセット%d定義に不正なcell(%d)が使用されています"_sj,
          d.name, subNumber, set, cell);
    frames->push_back(AnimFrame{cell, {}, numbers[i + 1]});
  }
  (*sub.animSets)[set] = AnimSet{static_cast<int>(frames->size()), frames};
}

// Third pass: "se" names a set, a frame of it and the sound that frame plays.
void readFrameSound(const Definition& d, int subNumber, SubSprite& sub, const char* value) {
  const char* cursor = value;
  char word[kShortTextSize];
  nextWord(cursor, word, sizeof word);
  int set = ParseInt(word);
  nextWord(cursor, word, sizeof word);
  int frame = ParseInt(word);
  SkipBlanks(cursor);
  if (set < 0 || set >= sub.animSetCount)
    ScriptError(
        "スプライト定義ファイル\"%s\"のサブスプライト%d定義に不正な効果音定義が存在します(animset error)"_sj,
        d.name, subNumber);
  AnimSet& target = (*sub.animSets)[set];
  if (frame < 0 || frame >= target.frameCount)
    ScriptError(
        "スプライト定義ファイル\"%s\"のサブスプライト%d定義に不正な効果音定義が存在します(cell no error)"_sj,
        d.name, subNumber);
  PathBuffer sound;
  CopyText(cursor, sound, sizeof sound);
  (*target.frames)[frame].sound = loadSound(sound, kFrameSoundLoadMode);
}

void readSubLine(Definition& d, const char* text, SubSpriteArray& subs, bool useCache) {
  LineOptions options(text);
  options.rewind();
  if (!TextStartsWithNoCase(options.name, "@sub", 4)) badStatement(d);
  const int number = ParseInt(options.name + 4);
  if (number < 0 || number >= static_cast<int>(subs.size()))
    ScriptError("スプライト定義ファイル\"%s\"に不正な@sub%d定義が存在します"_sj, d.name, number);

  // A later line for the same sub-sprite replaces it whole.
  SubSprite sub;
  PathBuffer file = {};
  char trans[kShortTextSize] = {};
  while (options.next()) {
    const char* name = options.name;
    const char* value = options.value.data();
    if (TextEqualsNoCase(name, "file")) {
      CopyText(value, file, sizeof file);
    } else if (TextEqualsNoCase(name, "trans")) {
      CopyText(value, trans, sizeof trans);
    } else if (TextEqualsNoCase(name, "x")) {
      sub.defX = ParseInt(value);
    } else if (TextEqualsNoCase(name, "y")) {
      sub.defY = ParseInt(value);
    } else if (TextEqualsNoCase(name, "cellx")) {
      sub.cellsPerRow = ParseInt(value);
    } else if (TextEqualsNoCase(name, "celly")) {
      sub.cellRows = ParseInt(value);
    } else if (TextEqualsNoCase(name, "animsetcount")) {
      sub.animSetCount = ParseInt(value);
    } else if (!TextStartsWithNoCase(name, "animset", 7) && !TextEqualsNoCase(name, "se")) {
      badSubOption(d, number);
    }
  }
  if (sub.cellsPerRow < 1) sub.cellsPerRow = 1;
  if (sub.cellRows < 1) sub.cellRows = 1;
  if (sub.animSetCount < 0) sub.animSetCount = 0;
  if (sub.animSetCount > kMaxAnimSets) badSubOption(d, number);

  sub.image = loadCellImage(d, file, trans, sub.cellsPerRow, sub.cellRows, useCache);
  sub.animSets = emptyAnimSets(sub.animSetCount);

  for (options.rewind(); options.next();)
    if (TextStartsWithNoCase(options.name, "animset", 7) &&
        !TextEqualsNoCase(options.name, "animsetcount"))
      readAnimSet(d, number, sub, options.name, options.value.data());
  for (options.rewind(); options.next();)
    if (TextEqualsNoCase(options.name, "se")) readFrameSound(d, number, sub, options.value.data());

  subs[number] = std::move(sub);
}

SubSpriteHandle readCompoundForm(Definition& d, const SpriteLine& line, DisplayStyle style) {
  if (line.subCount > kMaxSubSprites) badStatement(d);
  auto subs = makeHandle<SubSpriteArray>(static_cast<std::size_t>(line.subCount));
  for (SubSprite& sub : *subs) sub.animSets = emptyAnimSets(0);
  const bool useCache = (style & kStyleCache) != 0;
  while (const char* text = d.readLine()) readSubLine(d, text, *subs, useCache);
  return subs;
}

}  // namespace

void loadSpriteDefinition(int slot, int spriteClass, const char* name, int x, int y, int level,
                          DisplayStyle style, const char* transition) {
  PathBuffer path;
  joinPath(path, "", name, "spr");
  Definition d{name, splitPath(path), openFile(path)};

  SpriteLine line = readSpriteLine(d);
  DisplayStyle parsed = parseDisplayStyle(style, line.style);
  SubSpriteHandle subs =
      line.subCount < 0 ? readSimpleForm(d, line, parsed) : readCompoundForm(d, line, parsed);
  // The file is done with before the sprite appears: a transition may take a while.
  d.file.reset();
  buildSprite(slot, spriteClass, level, std::move(subs), x, y, line.width, line.height, parsed,
              transition);
}

// ---- System cursors ---------------------------------------------------------------------

namespace {
// Cursors draw above everything the game shows (sprite levels run to 126; text layers and
// the court record sit lower).
constexpr int kCursorLevel = 96;
constexpr int kCursorClass = 1;  // system overlay
}  // namespace

void loadSystemCursors() {
  const struct {
    int slot;
    const char* name;
  } cursors[] = {{kCursorSlot, "cursor0"}, {kPageCursorSlot, "cursor1"}};
  for (const auto& cursor : cursors) {
    PathBuffer path;
    joinPath(path, "", cursor.name, "spr");
    if (!gHost.lbIsFileExist(path)) continue;
    loadSpriteDefinition(cursor.slot, kCursorClass, cursor.name, 0, 0, kCursorLevel, kStyleHide,
                         "none");
  }
}

void loadBlankPageCursor() {
  loadSpriteDefinition(kPageCursorSlot, kCursorClass, "sys/cursor_blank", 0, 0, kCursorLevel,
                       kStyleHide, "none");
  if (isSpriteValid(kCursorSlot)) connectSprite(kPageCursorSlot, kCursorSlot);
}
