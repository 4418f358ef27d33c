// Feeds random lines to the shared line syntax (tokens with and without the `]` terminator,
// unquoting, numbers, case-blind comparison) and to the path operations, and stops at the
// first broken promise: reading past a line end, a token outside its line, a reader that
// makes no progress, a text that grows or loses its terminator, a number that is not finite.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "script/syntax.h"
#include "support/support.h"

namespace {

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

bool isLineEnd(char c) { return c == '\0' || c == '\r' || c == '\n'; }

bool terminatedWithin(const char* buffer, std::size_t size) {
  return std::memchr(buffer, '\0', size) != nullptr;
}

// Whether `c` stands in the text outside a two-byte character (whose trail byte may be any
// byte but zero, as the library walks them).
bool containsByte(const char* text, char c) {
  for (const char* p = text; *p != '\0';) {
    if (isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
      p += 2;
      continue;
    }
    if (*p == c) return true;
    ++p;
  }
  return false;
}

// No `\` outside a two-byte character is left in a path the library produced.
bool onlySlashes(const char* path) { return !containsByte(path, '\\'); }

void fuzzTokens(const char* line, char terminator, std::size_t nameSize, std::size_t valueSize) {
  const char* lineEnd = line;
  while (!isLineEnd(*lineEnd)) ++lineEnd;

  const char* cursor = line;
  bool ended = false;
  std::size_t calls = 0;
  auto name = std::make_unique<char[]>(nameSize);
  auto value = std::make_unique<char[]>(valueSize);
  while (!ended) {
    require(++calls <= static_cast<std::size_t>(lineEnd - line) + 2, "token reader loops");
    const char* before = cursor;
    Token token = NextOption(cursor, terminator, ended, name.get(), nameSize, value.get(),
                             valueSize);
    require(cursor >= before && cursor <= lineEnd, "cursor left the line");
    require(ended || cursor > before, "no progress without the end flag");
    require(token.name >= line && token.name + token.nameLength <= lineEnd, "name outside");
    if (token.value != nullptr)
      require(token.value >= line && token.value + token.valueLength <= lineEnd, "value outside");
    require(std::strlen(name.get()) < nameSize, "name overruns its buffer");
    require(std::strlen(value.get()) < valueSize, "value overruns its buffer");
    require(std::strlen(value.get()) <= token.valueLength, "unquoting grew the value");
  }
  // Once ended, nothing moves.
  const char* stop = cursor;
  NextToken(cursor, terminator, ended);
  require(cursor == stop, "reader moved after the end flag");

  cursor = line;
  SkipBlanks(cursor);
  require(cursor <= lineEnd, "SkipBlanks left the line");
  SkipToBlank(cursor);
  require(cursor <= lineEnd, "SkipToBlank left the line");
}

void fuzzUnquote(const char* line, std::size_t length, std::size_t size) {
  // An exact-size buffer that need not hold a terminator within `size`.
  size = size < length + 1 ? size : length + 1;
  if (size == 0) return;
  auto buffer = std::make_unique<char[]>(size);
  std::memcpy(buffer.get(), line, size);
  UnquoteValue(buffer.get(), size);
  require(terminatedWithin(buffer.get(), size), "unquoted value not terminated");
}

void fuzzWords(const char* a, const char* b, std::size_t n) {
  require(TextEqualsNoCase(a, a), "a text differs from itself");
  bool equal = TextEqualsNoCase(a, b);
  require(equal == TextEqualsNoCase(b, a), "comparison is not symmetric");
  if (equal) require(std::strlen(a) == std::strlen(b), "equal texts of different lengths");
  require(TextStartsWithNoCase(a, b, n) == TextStartsWithNoCase(b, a, n),
          "prefix comparison is not symmetric");
  char copy[16];
  std::size_t copied = CopyText(a, copy, sizeof copy);
  require(copied < sizeof copy && copied == std::strlen(copy), "copy overruns");
  require(TextStartsWithNoCase(a, copy, copied), "a copy differs from its source");
}

void fuzzNumbers(const char* text) {
  (void)ParseInt(text);
  float value = ParseFloat(text);
  require(std::isfinite(value), "a number that is not finite");
}

void fuzzPaths(const char* text) {
  for (PathParts parts : {splitPath(text), splitPathWithDrive(text)}) {
    require(terminatedWithin(parts.drive, kPathSize) && terminatedWithin(parts.folder, kPathSize) &&
                terminatedWithin(parts.name, kPathSize) &&
                terminatedWithin(parts.extension, kPathSize),
            "split part not terminated");
    require(!containsByte(parts.name, '/') && !containsByte(parts.name, '\\'),
            "separator in a file name");
    require(!containsByte(parts.extension, '.'), "dot in an extension");
    PathBuffer joined;
    joinPathWithDrive(joined, parts.drive, parts.folder, parts.name, parts.extension);
    require(std::strlen(joined) < kPathSize, "joined path overruns");
    require(onlySlashes(joined), "backslash left in a joined path");
  }
  PathBuffer joined;
  joinPath(joined, text, text, text);
  require(std::strlen(joined) < kPathSize, "joined path overruns");
  require(onlySlashes(joined), "backslash left in a joined path");
  std::size_t length = std::strlen(text);
  auto copy = std::make_unique<char[]>(length + 1);
  std::memcpy(copy.get(), text, length + 1);
  toSlashes(copy.get());
  require(std::strlen(copy.get()) == length && onlySlashes(copy.get()), "toSlashes broke");
}

}  // namespace

// The first byte picks the terminator and buffer sizes; the rest is the line, given an exact
// allocation so that reading past its terminating zero is caught.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t selector = data[0];
  ++data;
  --size;
  auto line = std::make_unique<char[]>(size + 1);
  std::memcpy(line.get(), data, size);
  line[size] = '\0';
  std::size_t length = std::strlen(line.get());

  const char terminator = (selector & 1) != 0 ? ']' : '\0';
  const std::size_t small = 1 + ((selector >> 1) & 7);
  fuzzTokens(line.get(), terminator, 1024, 1024);
  fuzzTokens(line.get(), terminator, small, small + 1);
  fuzzUnquote(line.get(), length, length + 1);
  fuzzUnquote(line.get(), length, small);

  // The line splits into two words at a point the selector picks.
  std::size_t split = length != 0 ? (selector >> 4) % (length + 1) : 0;
  std::string first(line.get(), split);
  fuzzWords(first.c_str(), line.get() + split, selector >> 3);
  fuzzWords(line.get(), line.get(), length);

  fuzzNumbers(line.get());
  fuzzPaths(line.get());
  return 0;
}
