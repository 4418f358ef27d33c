/*
 * What the parts of libwincompat share with each other (never exported): Shift-JIS
 * character walking, ASCII case folding, and the conversion of game paths to on-disk paths.
 */
#ifndef ORVANE_COMPAT_INTERNAL_H
#define ORVANE_COMPAT_INTERNAL_H

#include <string>
#include <string_view>

namespace compat {

// A Shift-JIS lead byte: the byte after it belongs to the same character.
inline bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

inline unsigned char asciiLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Shift-JIS texts equal without ASCII case; both bytes of a double-byte character compare
// exactly, because trail bytes share their values with ASCII letters.
bool sjisEqualsNoCase(std::string_view a, std::string_view b);

// The byte count of the longest prefix of text no longer than limit that does not end
// inside a double-byte character.
size_t sjisCutLength(std::string_view text, size_t limit);

// Shift-JIS (CP932) to UTF-8 and back; false when the text cannot be converted.
bool sjisToUtf8(std::string_view sjis, std::string& utf8);
bool utf8ToSjis(std::string_view utf8, std::string& sjis);

// A UTF-8 path as it is on disk: `\` taken as a folder separator, then each component
// matched exactly, else without ASCII case; components that match nothing kept as written.
std::string resolveUtf8Path(std::string_view utf8Path);

// A Shift-JIS game path converted and resolved as above; false when it cannot be converted.
bool resolveSjisPath(const char* sjisPath, std::string& diskPath);

}  // namespace compat

#endif  // ORVANE_COMPAT_INTERNAL_H
