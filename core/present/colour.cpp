// Colours: the five colour words and `#` codes of up to four two-character hexadecimal
// components (red, green, blue, alpha), as scripts and definitions write them.
#include "host/errors.h"
#include "present/resources.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

struct NamedColour {
  const char* word;
  Colour colour;
};

// Tried in this order.
constexpr NamedColour kColourWords[] = {
    {"white", {1, 1, 1, 1}}, {"black", {0, 0, 0, 1}}, {"red", {1, 0, 0, 1}},
    {"green", {0, 1, 0, 1}}, {"blue", {0, 0, 1, 1}},
};

bool endsCode(char c) { return c == '\0' || c == '\r' || c == '\n'; }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads one component from at most two characters (a two-byte character counts as one);
// false when no character at all was left for it.
bool readComponent(const char*& at, float& out) {
  char text[5] = {};
  int length = 0;
  for (int characters = 0; characters < 2 && !endsCode(*at); ++characters) {
    bool twoBytes = isLeadByte(static_cast<unsigned char>(*at)) && !endsCode(at[1]);
    text[length++] = *at++;
    if (twoBytes) text[length++] = *at++;
  }
  if (length == 0) return false;
  unsigned value = 0;
  for (int i = 0; i < length && hexDigit(text[i]) >= 0; ++i) value = value * 16 + hexDigit(text[i]);
  float scaled = static_cast<float>(value) * (1.0f / 255.0f);
  out = scaled < 0.0f ? 0.0f : scaled > 1.0f ? 1.0f : scaled;
  return true;
}

}  // namespace

void parseColour(const char* text, Colour& out) {
  if (text == nullptr) text = "";
  for (const NamedColour& named : kColourWords) {
    if (TextEqualsNoCase(text, named.word)) {
      out = named.colour;
      return;
    }
  }
  if (text[0] != '#') Fatal("認識できない色%sです。"_sj, text);
  const char* at = text + 1;
  Colour colour = {0, 0, 0, 1};
  readComponent(at, colour.red);
  readComponent(at, colour.green);
  readComponent(at, colour.blue);
  readComponent(at, colour.alpha);  // absent: stays opaque
  out = colour;
}
