// The line syntax every script and definition file shares: Shift-JIS characters, blanks
// (space, tab, full-width space), tokens `name` or `name=value` with quoted stretches and
// backslash escapes, decimal numbers, and words compared without ASCII case.
//
// A line ends at a zero byte, a carriage return or a line feed; no operation ever steps over
// one. A two-byte character is never split, and its trail byte never counts as `\`, `]`,
// `"`, `=` or a blank.
#pragma once

#include <cstddef>

// One token as written in the line: the name, and the raw value with its quotes and
// backslashes. `value` is null when the token has no `=`.
struct Token {
  const char* name = nullptr;
  std::size_t nameLength = 0;
  const char* value = nullptr;
  std::size_t valueLength = 0;
};

// Moves the cursor over blanks, stopping at the first other character or the line end.
void SkipBlanks(const char*& cursor);
// Moves the cursor up to the next blank (stopping on it) or the line end.
void SkipToBlank(const char*& cursor);
// Reads the next token. `terminator` (0 for none; the tag reader uses `]`) ends the token
// list as a line end does, and is stepped over. Sets `ended` once the line end or the
// terminator is reached; the token of that call is still valid. Does nothing once `ended`
// is set. A line ending in blanks yields a last token with an empty name.
Token NextToken(const char*& cursor, char terminator, bool& ended);
// NextToken, then copies the name and the unquoted value into the buffers (each cut at a
// character boundary to its size less one and terminated; a null buffer is skipped). The
// value buffer is empty for a token without `=`.
Token NextOption(const char*& cursor, char terminator, bool& ended, char* name,
                 std::size_t nameSize, char* value, std::size_t valueSize);
// Removes the quotes that open and close quoted stretches and every escaping backslash
// (keeping the character it escapes), in place, reading no further than the line end or
// `size` bytes. The text never grows.
void UnquoteValue(char* value, std::size_t size);
// Decimal integer: blanks, an optional sign, digits up to the first other character; no
// digits give 0, and a value beyond the int range is held at its nearest end.
int ParseInt(const char* text);
// Decimal floating-point number from the first 32 bytes of the text: blanks, sign, digits,
// point, exponent, read the same in every locale. No number gives 0; a value beyond the
// float range is held at the largest float of its sign.
float ParseFloat(const char* text);
// Same length and the same text, ASCII letters matching either case; two-byte characters
// must match exactly.
bool TextEqualsNoCase(const char* a, const char* b);
// Whether the first n bytes of a and b match as TextEqualsNoCase would; texts that both end
// within those bytes match when everything before their end does.
bool TextStartsWithNoCase(const char* a, const char* b, std::size_t n);
// Copies text into buffer, at most size - 1 bytes cut at a character boundary, always
// terminated (when size > 0). Returns the bytes copied.
std::size_t CopyText(const char* text, char* buffer, std::size_t size);
