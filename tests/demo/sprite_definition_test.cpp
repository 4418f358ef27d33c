/*
 * The bundled game's sprite definitions read by the engine's rules: a single "@sprite" line
 * with known options, a picture that exists beside the definition and divides evenly into
 * the cells its animation asks for, known display-style words, and alpha wherever the
 * picture has transparent pixels. Also: every resource the start-up and title code names, and
 * the episodes' item definitions, whose faults would stop an episode as soon as it starts.
 */
#include "demo_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <stdexcept>

using namespace demotest;

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

struct Definition {
  fs::path rel;  // relative to the game folder
  DefinitionLine head;
  size_t lineCount = 0;
  std::string option(const std::string& name) const {
    for (const auto& [n, v] : head.options)
      if (lower(n) == name) return v;
    return {};
  }
};

std::vector<Definition> definitions() {
  std::vector<Definition> out;
  for (const auto& rel : filesUnder(gameDir())) {
    if (lower(rel.extension().string()) != ".spr") continue;
    auto bytes = readBytes(gameDir() / rel);
    auto text = convert(std::string(bytes.begin(), bytes.end()), "CP932", "UTF-8");
    if (!text) throw std::runtime_error(rel.string() + " is not Shift-JIS");
    Definition d;
    d.rel = rel;
    size_t start = 0;
    while (start < text->size()) {
      size_t end = text->find('\n', start);
      if (end == std::string::npos) end = text->size();
      if (d.lineCount == 0) d.head = parseDefinitionLine(text->substr(start, end - start));
      ++d.lineCount;
      start = end + 1;
    }
    out.push_back(d);
  }
  return out;
}

// Resolves a picture name the way the engine does: as written, then with each extension of
// "png:bmp:jpg" in turn.
std::optional<fs::path> resolvePicture(const fs::path& name) {
  if (fs::is_regular_file(name)) return name;
  for (const char* ext : {".png", ".bmp", ".jpg"}) {
    fs::path candidate = name;
    candidate += ext;
    if (fs::is_regular_file(candidate)) return candidate;
  }
  return std::nullopt;
}

bool startsWithDigit(const std::string& w) {
  return !w.empty() && std::isdigit(static_cast<unsigned char>(w[0]));
}

// Cells per row and rows of the simple form's "anim" text: a leading number is the cells per
// row, "sN" words give the rows; missing or below 1 means 1.
std::pair<int, int> cellGrid(const std::string& anim) {
  std::vector<std::string> words;
  std::string w;
  for (char c : anim + " ") {
    if (c == ' ' || c == '\t') {
      if (!w.empty()) words.push_back(w);
      w.clear();
    } else {
      w += c;
    }
  }
  int cols = 0, rows = 0;
  size_t i = 0;
  if (!words.empty() && startsWithDigit(words[0])) {
    cols = std::atoi(words[0].c_str());
    i = 2;  // the mode word follows the cell count
    while (i < words.size() && startsWithDigit(words[i])) ++i;
  }
  for (; i < words.size(); ++i)
    if (words[i][0] == 's' || words[i][0] == 'S') rows = std::atoi(words[i].c_str() + 1);
  return {std::max(cols, 1), std::max(rows, 1)};
}

TEST(BundledSpriteDefinitions, AreSingleSpriteStatementsWithKnownOptions) {
  static const std::set<std::string> kOptions = {"file", "trans", "anim", "style",
                                                 "sw",   "sh",    "subcount"};
  auto defs = definitions();
  ASSERT_FALSE(defs.empty());
  for (const auto& d : defs) {
    EXPECT_EQ(lower(d.head.statement), "@sprite") << d.rel;
    for (const auto& [name, value] : d.head.options)
      EXPECT_TRUE(kOptions.count(lower(name))) << d.rel << ": unknown option " << name;
    // Without "subcount" the engine never reads past the first line.
    if (d.option("subcount").empty()) {
      EXPECT_EQ(d.lineCount, 1u) << d.rel;
    }
    std::string anim = d.option("anim");
    if (startsWithDigit(anim)) {
      std::string mode = anim.substr(anim.find(' ') + 1);
      mode = lower(mode.substr(0, mode.find(' ')));
      EXPECT_TRUE(mode == "stop" || mode == "loop" || mode == "rloop") << d.rel << ": " << anim;
    }
  }
}

TEST(BundledSpriteDefinitions, PicturesExistAndDivideIntoTheirCells) {
  for (const auto& d : definitions()) {
    std::string file = d.option("file");
    ASSERT_FALSE(file.empty()) << d.rel << " names no picture";
    auto path = resolvePicture(gameDir() / d.rel.parent_path() / fs::u8path(file));
    ASSERT_TRUE(path) << d.rel << ": " << file << " does not exist beside the definition";
    auto picture = loadPicture(*path);
    ASSERT_TRUE(picture) << *path;
    auto [cols, rows] = cellGrid(d.option("anim"));
    EXPECT_EQ(picture->width % cols, 0) << d.rel << ": width not a multiple of " << cols;
    EXPECT_EQ(picture->height % rows, 0) << d.rel << ": height not a multiple of " << rows;
  }
}

TEST(BundledSpriteDefinitions, StyleWordsAreDisplayStyles) {
  static const std::set<std::string> kWords = {
      "show",     "hide",     "left",      "center",     "right",    "top",       "middle",
      "bottom",   "rotatenone", "rotatex", "rotatey",    "rotatez",  "backnormal", "backhide",
      "wipefade", "wipenofade", "wipehide", "wipenohide", "cache",   "nocache"};
  for (const auto& d : definitions()) {
    std::string style = d.option("style"), word;
    for (char c : style + " ") {
      if (c == ' ' || c == '\t') {
        if (!word.empty()) {
          EXPECT_TRUE(kWords.count(lower(word))) << d.rel << ": " << word;
        }
        word.clear();
      } else {
        word += c;
      }
    }
  }
}

TEST(BundledSpriteDefinitions, TransparentPicturesAreLoadedWithTheirAlpha) {
  for (const auto& d : definitions()) {
    auto path = resolvePicture(gameDir() / d.rel.parent_path() / fs::u8path(d.option("file")));
    ASSERT_TRUE(path) << d.rel;
    auto picture = loadPicture(*path);
    ASSERT_TRUE(picture);
    bool transparent = false;
    for (size_t i = 3; i < picture->rgba.size() && !transparent; i += 4)
      transparent = picture->rgba[i] != 255;
    // Without "alpha" the loader ignores the picture's alpha channel.
    if (transparent) {
      EXPECT_EQ(lower(d.option("trans")), "alpha") << d.rel;
    }
  }
}

TEST(BundledSpriteDefinitions, TitleButtonsHaveARestingAndALitLook) {
  for (const char* name : {"sys/title_begin.spr", "sys/title_load.spr", "sys/title_exit.spr"}) {
    Definition def;
    for (const auto& d : definitions())
      if (d.rel == name) def = d;
    ASSERT_EQ(def.rel, name);
    // The pointer lights a button by switching it to animation set 1: one set per row.
    auto [cols, rows] = cellGrid(def.option("anim"));
    EXPECT_EQ(cols, 1) << name;
    ASSERT_EQ(rows, 2) << name;
    auto picture = loadPicture(gameDir() / "sys" / fs::u8path(def.option("file")));
    ASSERT_TRUE(picture);
    size_t half = picture->rgba.size() / 2;
    EXPECT_FALSE(std::equal(picture->rgba.begin(), picture->rgba.begin() + ptrdiff_t(half),
                            picture->rgba.begin() + ptrdiff_t(half)))
        << name << ": the lit row looks like the resting one";
  }
}

// The court record's buttons light up like the title buttons: one cell per row, two rows,
// the lit row different from the resting one.
TEST(BundledSpriteDefinitions, RecordButtonsHaveARestingAndALitLook) {
  for (const char* name : {"sys/btn_item_right.spr", "sys/btn_item_left.spr",
                           "sys/btn_item_tojiru.spr", "sys/btn_item_tsuki.spr",
                           "sys/btn_item_chara.spr", "sys/btn_item_item.spr",
                           "sys/btn_item_mag.spr", "sys/btn_other_kiroku.spr"}) {
    Definition def;
    for (const auto& d : definitions())
      if (d.rel == name) def = d;
    ASSERT_EQ(def.rel, name);
    auto [cols, rows] = cellGrid(def.option("anim"));
    EXPECT_EQ(cols, 1) << name;
    ASSERT_EQ(rows, 2) << name;
    auto picture = loadPicture(gameDir() / "sys" / fs::u8path(def.option("file")));
    ASSERT_TRUE(picture);
    size_t half = picture->rgba.size() / 2;
    EXPECT_FALSE(std::equal(picture->rgba.begin(), picture->rgba.begin() + ptrdiff_t(half),
                            picture->rgba.begin() + ptrdiff_t(half)))
        << name << ": the lit row looks like the resting one";
  }
}

// The record's buttons on the right are anchored by their right edges at 735, 700, 601 and
// 438 (537 without the close button), packed leftwards; none may cover its neighbour, and
// the paging arrow at its leftmost place must clear the tab button at x 65.
TEST(BundledSpriteDefinitions, RecordButtonsFitBetweenTheirPlaces) {
  auto width = [](const char* file) {
    auto picture = loadPicture(gameDir() / "sys" / file);
    if (!picture) throw std::runtime_error(std::string(file) + " is missing");
    return picture->width;
  };
  EXPECT_LE(width("btn_item_right.png"), 735 - 700);
  EXPECT_LE(width("btn_item_tojiru.png"), 700 - 601);
  EXPECT_LE(width("btn_item_tsuki.png"), 601 - 438);
  int tab = std::max(width("btn_item_chara.png"), width("btn_item_item.png"));
  EXPECT_LE(65 + tab, 438 - width("btn_item_left.png"));
  // The magnifier stands on the panel's top edge (its bottom at 79), so it must fit above.
  auto mag = loadPicture(gameDir() / "sys/btn_item_mag.png");
  ASSERT_TRUE(mag);
  EXPECT_LE(mag->height / 2, 79);
}

// The item panel's window spans the screen and holds the four lines of the entry's text
// below its top (margin 30, four lines of 32 pixels with 8 between).
TEST(BundledSpriteDefinitions, ItemWindowHoldsTheEntrysText) {
  auto window = loadPicture(gameDir() / "sys/text_item.png");
  ASSERT_TRUE(window);
  EXPECT_EQ(window->width, 800);
  EXPECT_GE(window->height, 30 + 4 * 32 + 3 * 8);
  // The window starts at y 80 and must end above the record's buttons at y 286.
  EXPECT_LE(80 + window->height, 286);
}

// The names the engine itself asks for, whatever the scenarios say: start-up and the title,
// the message window, the life gauge, the court record, the testimony and cross-examination,
// the shouts and the verdict. A scenario never names them, so nothing else checks them.
TEST(BundledGameFolder, HoldsEveryResourceTheEngineNamesItself) {
  for (const char* spr :
       {"cursor0", "cursor1", "sys/cursor_blank", "sys/cursor_np", "sys/logo", "sys/title_bg",
        "sys/bg_select", "sys/title_begin", "sys/title_load", "sys/title_exit", "sys/text_msg",
        "sys/text_item", "sys/court_life", "sys/court_lifedown", "sys/btn_other_kiroku",
        "sys/btn_item_left", "sys/btn_item_right", "sys/btn_item_tojiru", "sys/btn_item_tsuki",
        "sys/btn_item_chara", "sys/btn_item_item", "sys/btn_item_mag", "sys/inquiry_logo0",
        "sys/inquiry_logo1", "sys/btn_inquiry_shake", "sys/btn_inquiry_confront",
        "sys/bg_court_main", "sys/fg_court_main", "sys/bg_court_judge", "sys/fg_court_judge",
        "sys/bg_court_guide", "sys/court_igi", "sys/court_matta", "sys/court_kurae",
        "sys/court_guilty0", "sys/court_guilty1", "sys/court_innocence0",
        "sys/court_innocence1", "sys/mark_auto"}) {
    fs::path p = gameDir() / spr;
    p += ".spr";
    EXPECT_TRUE(fs::is_regular_file(p)) << p;
  }
  for (const char* mot : {"sys/court_kakegoe_left", "sys/court_kakegoe_right", "sys/item_kurae"})
    EXPECT_TRUE(fs::is_regular_file(gameDir() / (std::string(mot) + ".mot"))) << mot;
  EXPECT_TRUE(resolvePicture(gameDir() / "sys/wipe_bg")) << "the wipe mask is missing";
  for (const char* se : {"文字クリック", "文字表示", "異議あり", "判決", "HP減少", "証言開始",
                         "ジングル", "アイテム取得", "アイテム切り替え", "アイテム決定", "大声"})
    EXPECT_TRUE(fs::is_regular_file(gameDir() / fs::u8path(std::string("sys/se/") + se + ".wav")))
        << se;
}

// Each line of an episode's item.txt is an "@item" with only the known options, every
// required one present, a number not used twice, and a picture the engine can resolve: a
// definition in the episode's folder or else in sys/.
TEST(BundledItemDefinitions, AreCompleteAndNameExistingPictures) {
  int files = 0;
  for (const auto& rel : filesUnder(gameDir())) {
    if (lower(rel.filename().string()) != "item.txt") continue;
    ++files;
    auto bytes = readBytes(gameDir() / rel);
    auto text = convert(std::string(bytes.begin(), bytes.end()), "CP932", "UTF-8");
    ASSERT_TRUE(text) << rel << " is not Shift-JIS";
    std::set<long> numbers;
    size_t start = 0;
    while (start < text->size()) {
      size_t end = text->find('\n', start);
      if (end == std::string::npos) end = text->size();
      std::string line = text->substr(start, end - start);
      start = end + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      DefinitionLine item = parseDefinitionLine(line);
      EXPECT_EQ(lower(item.statement), "@item") << rel << ": " << line;
      std::map<std::string, std::string> options;
      for (const auto& [name, value] : item.options) {
        std::string key = lower(name);
        EXPECT_TRUE(key == "no" || key == "name" || key == "comment" || key == "image" ||
                    key == "mag" || key == "type")
            << rel << ": unknown option " << name;
        options[key] = value;
      }
      for (const char* required : {"no", "name", "comment", "image"})
        EXPECT_FALSE(options[required].empty()) << rel << ": " << required << " missing";
      if (options.count("type")) {
        EXPECT_EQ(lower(options["type"]), "chara") << rel;
      }
      long number = std::strtol(options["no"].c_str(), nullptr, 10);
      EXPECT_GE(number, 0) << rel;
      EXPECT_TRUE(numbers.insert(number).second) << rel << ": number " << number << " twice";
      for (const char* picture : {"image", "mag"}) {
        if (options[picture].empty()) continue;
        fs::path local = gameDir() / rel.parent_path() / fs::u8path(options[picture] + ".spr");
        fs::path shared = gameDir() / "sys" / fs::u8path(options[picture] + ".spr");
        EXPECT_TRUE(fs::is_regular_file(local) || fs::is_regular_file(shared))
            << rel << ": no definition for " << options[picture];
      }
    }
  }
  EXPECT_GT(files, 0) << "no episode defines its court record";
}

}  // namespace
