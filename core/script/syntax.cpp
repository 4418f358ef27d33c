// The shared line syntax: character stepping, blanks, tokens with quoting and escapes,
// numbers and case-blind comparison. Depends on nothing but the standard library and the
// lead-byte rule of the support header (the fuzz build compiles it alone).
#include "script/syntax.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cstring>
#include <system_error>

#include "support/support.h"

namespace {

bool isLineEnd(char c) { return c == '\0' || c == '\r' || c == '\n'; }

// Bytes of the character at `p`: 0 at a line end, 2 for a lead byte with its trail, else 1.
// A lead byte right before a line end stands alone, so the line end is never stepped over.
std::size_t charLength(const char* p) {
  if (isLineEnd(*p)) return 0;
  return isLeadByte(static_cast<unsigned char>(*p)) && !isLineEnd(p[1]) ? 2 : 1;
}

bool isBlank(const char* p) {
  auto c = static_cast<unsigned char>(p[0]);
  return c == ' ' || c == '\t' || (c == 0x81 && static_cast<unsigned char>(p[1]) == 0x40);
}

// The single-byte character `c` stands at `p` (never the trail of a two-byte one).
bool isByte(const char* p, std::size_t length, char c) { return length == 1 && *p == c; }

bool isAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

unsigned char lowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// Copies `length` bytes of `from` into `buffer` of `size`, cut at a character boundary.
void copyCut(const char* from, std::size_t length, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return;
  std::size_t kept = 0;
  while (kept < length) {
    std::size_t n = isLeadByte(static_cast<unsigned char>(from[kept])) && kept + 1 < length ? 2 : 1;
    if (kept + n > size - 1) break;
    kept += n;
  }
  if (kept != 0) std::memcpy(buffer, from, kept);  // a flag token has no value text at all
  buffer[kept] = '\0';
}

}  // namespace

void SkipBlanks(const char*& cursor) {
  while (!isLineEnd(*cursor) && isBlank(cursor)) cursor += charLength(cursor);
}

void SkipToBlank(const char*& cursor) {
  while (!isLineEnd(*cursor) && !isBlank(cursor)) cursor += charLength(cursor);
}

Token NextToken(const char*& cursor, char terminator, bool& ended) {
  Token token;
  token.name = cursor;
  if (ended) return token;

  SkipBlanks(cursor);
  token.name = cursor;
  for (;;) {
    std::size_t n = charLength(cursor);
    if (n == 0) {
      ended = true;
      return token;
    }
    if (terminator != '\0' && isByte(cursor, n, terminator)) {
      ++cursor;
      ended = true;
      return token;
    }
    if (isBlank(cursor)) {
      cursor += n;
      break;
    }
    if (isByte(cursor, n, '=')) break;
    token.nameLength += n;
    cursor += n;
  }

  SkipBlanks(cursor);
  if (*cursor != '=') return token;  // a flag option; what follows is the next token
  ++cursor;
  SkipBlanks(cursor);

  token.value = cursor;
  bool quoted = false;
  for (;;) {
    std::size_t n = charLength(cursor);
    if (n == 0) {
      ended = true;  // also ends a quoted stretch left open
      return token;
    }
    if (isByte(cursor, n, '\\')) {
      // The escaped character is part of the value whatever it is, except a line end.
      token.valueLength += 1;
      cursor += 1;
      std::size_t escaped = charLength(cursor);
      if (escaped == 0) {
        ended = true;
        return token;
      }
      token.valueLength += escaped;
      cursor += escaped;
      continue;
    }
    if (isByte(cursor, n, '"')) {
      quoted = !quoted;
    } else if (!quoted) {
      if (isBlank(cursor)) {
        cursor += n;
        return token;
      }
      if (terminator != '\0' && isByte(cursor, n, terminator)) {
        ++cursor;
        ended = true;
        return token;
      }
    }
    token.valueLength += n;
    cursor += n;
  }
}

Token NextOption(const char*& cursor, char terminator, bool& ended, char* name,
                 std::size_t nameSize, char* value, std::size_t valueSize) {
  Token token = NextToken(cursor, terminator, ended);
  copyCut(token.name, token.nameLength, name, nameSize);
  copyCut(token.value, token.valueLength, value, valueSize);
  if (value != nullptr && valueSize != 0) UnquoteValue(value, valueSize);
  return token;
}

void UnquoteValue(char* value, std::size_t size) {
  if (value == nullptr || size == 0) return;
  // The last byte of the buffer is kept for the terminator, so reading stops before it.
  const std::size_t limit = size - 1;
  std::size_t read = 0;
  std::size_t written = 0;
  // Copies the character at `read` unless it would run past the limit.
  auto copyChar = [&]() -> bool {
    std::size_t n = charLength(value + read);
    if (n == 0 || read + n > limit) return false;
    for (std::size_t i = 0; i < n; ++i) value[written++] = value[read++];
    return true;
  };
  while (read < limit) {
    std::size_t n = charLength(value + read);
    if (n == 0) break;
    if (isByte(value + read, n, '\\')) {
      ++read;  // the backslash goes, the character it escapes stays
      if (read >= limit || !copyChar()) break;
    } else if (isByte(value + read, n, '"')) {
      ++read;
    } else if (!copyChar()) {
      break;
    }
  }
  value[written] = '\0';
}

int ParseInt(const char* text) {
  if (text == nullptr) return 0;
  SkipBlanks(text);
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  long long magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    if (magnitude > static_cast<long long>(INT_MAX) + 1) magnitude = static_cast<long long>(INT_MAX) + 1;
  }
  long long result = negative ? -magnitude : magnitude;
  if (result > INT_MAX) return INT_MAX;
  return static_cast<int>(result);
}

float ParseFloat(const char* text) {
  if (text == nullptr) return 0.0f;
  char copy[33];
  CopyText(text, copy, sizeof copy);

  const char* at = copy;
  SkipBlanks(at);
  bool negative = false;
  if (*at == '+' || *at == '-') negative = *at++ == '-';
  const char* number = at;  // from_chars takes no sign of its own
  bool digits = false;
  while (*at >= '0' && *at <= '9') ++at, digits = true;
  if (*at == '.') {
    ++at;
    while (*at >= '0' && *at <= '9') ++at, digits = true;
  }
  if (!digits) return 0.0f;
  bool hugeExponent = true;
  if (*at == 'e' || *at == 'E') {
    const char* exponent = at + 1;
    if (*exponent == '+' || *exponent == '-') {
      hugeExponent = *exponent == '+';
      ++exponent;
    }
    if (*exponent >= '0' && *exponent <= '9') {  // an exponent needs digits to count
      at = exponent;
      while (*at >= '0' && *at <= '9') ++at;
    }
  }

  double parsed = 0.0;
  auto [end, error] = std::from_chars(number, at, parsed, std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range) parsed = hugeExponent ? DBL_MAX : 0.0;
  else if (error != std::errc()) parsed = 0.0;
  if (parsed > FLT_MAX) parsed = FLT_MAX;
  return static_cast<float>(negative ? -parsed : parsed);
}

bool TextStartsWithNoCase(const char* a, const char* b, std::size_t n) {
  if (a == nullptr) a = "";
  if (b == nullptr) b = "";
  std::size_t i = 0;
  while (i < n) {
    auto ca = static_cast<unsigned char>(a[i]);
    auto cb = static_cast<unsigned char>(b[i]);
    if (ca == 0) return cb == 0;
    if (cb == 0) return false;
    if (isLeadByte(ca)) {
      if (cb != ca || a[i + 1] != b[i + 1]) return false;
      if (a[i + 1] == '\0') return true;  // both end after a lone lead byte
      i += 2;
      continue;
    }
    if (isLeadByte(cb)) return false;
    if (ca != cb && !(isAsciiLetter(ca) && lowerAscii(ca) == lowerAscii(cb))) return false;
    ++i;
  }
  return true;
}

bool TextEqualsNoCase(const char* a, const char* b) {
  if (a == nullptr) a = "";
  if (b == nullptr) b = "";
  std::size_t length = std::strlen(a);
  return length == std::strlen(b) && TextStartsWithNoCase(a, b, length);
}

std::size_t CopyText(const char* text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  if (text == nullptr) text = "";
  copyCut(text, std::strlen(text), buffer, size);
  return std::strlen(buffer);
}
