// Shift-JIS text literals written in UTF-8 source: "ファイル"_sj is the Shift-JIS bytes of that
// text, converted while compiling (a character the code page cannot hold stops the build).
// Every message, resource name and word of the game's own is written this way, so the
// source stays readable and the bytes the game uses are exactly the code page's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "sjis_table.h"  // generated at build time by tools/sjistable.cpp

namespace sjis_detail {

template <std::size_t N>
struct Utf8Text {
  char text[N]{};
  consteval Utf8Text(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
  }
};

// constexpr rather than consteval: it is only reached from `convert`, which already runs while
// compiling, and some compilers refuse an immediate call on convert's own variables.
constexpr std::uint16_t lookup(std::uint32_t cp) {
  std::size_t lo = 0, hi = sizeof kSjisTable / sizeof kSjisTable[0];
  while (lo < hi) {
    std::size_t mid = (lo + hi) / 2;
    if (kSjisTable[mid].unicode < cp) lo = mid + 1;
    else hi = mid;
  }
  if (lo == sizeof kSjisTable / sizeof kSjisTable[0] || kSjisTable[lo].unicode != cp)
    throw "character has no Shift-JIS form";
  return kSjisTable[lo].sjis;
}

// Shift-JIS never needs more bytes than UTF-8 for the same text, so N bounds the result.
template <std::size_t N>
consteval std::array<char, N> convert(const Utf8Text<N>& in) {
  std::array<char, N> out{};
  std::size_t o = 0;
  for (std::size_t i = 0; i + 1 < N;) {
    auto b = static_cast<unsigned char>(in.text[i]);
    std::uint32_t cp;
    int len;
    if (b < 0x80) { cp = b; len = 1; }
    else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; len = 2; }
    else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; len = 3; }
    else throw "character outside the Basic Multilingual Plane";
    for (int k = 1; k < len; ++k) cp = cp << 6 | (static_cast<unsigned char>(in.text[i + k]) & 0x3F);
    i += len;
    if (cp < 0x80) {
      out[o++] = static_cast<char>(cp);
      continue;
    }
    std::uint16_t code = lookup(cp);
    if (code > 0xFF) out[o++] = static_cast<char>(code >> 8);
    out[o++] = static_cast<char>(code & 0xFF);
  }
  return out;
}

template <Utf8Text S>
inline constexpr std::array kConverted = convert(S);

}  // namespace sjis_detail

template <sjis_detail::Utf8Text S>
constexpr const char* operator""_sj() {
  return sjis_detail::kConverted<S>.data();
}
