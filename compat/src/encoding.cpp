/*
 * Shift-JIS (code page 932) conversions at the filesystem boundary, through iconv, and the
 * byte-level walking of Shift-JIS texts that profile files and paths need.
 */
#include "compat_internal.h"
#include "wincompat.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace compat {
namespace {

// One converter per direction and thread: iconv descriptors keep state and are not shared.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool convert(std::string_view in, std::string& out) {
    out.clear();
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset shift state from a failed call
    std::string buffer(in.size() * 3 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buffer.data();
    size_t dstLeft = buffer.size();
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    out.assign(buffer.data(), buffer.size() - dstLeft);
    return true;
  }

 private:
  iconv_t cd_;
};

bool hasZeroByte(std::string_view text) { return text.find('\0') != std::string_view::npos; }

// Text all in ASCII is the same bytes in both encodings (the CP932 table maps 0x01 to 0x7F,
// the backslash and the tilde included, onto themselves). Most names and keys are, and they
// skip the converter.
bool isAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

int copyOut(const std::string& text, char* out, size_t size) {
  if (out == nullptr || size == 0) return -1;
  if (text.size() + 1 > size) {
    out[0] = '\0';
    return -1;
  }
  std::memcpy(out, text.data(), text.size());
  out[text.size()] = '\0';
  return static_cast<int>(text.size());
}

}  // namespace

bool sjisToUtf8(std::string_view sjis, std::string& utf8) {
  thread_local Converter converter("UTF-8", "CP932");
  if (hasZeroByte(sjis)) return false;
  if (isAscii(sjis)) {
    utf8.assign(sjis);
    return true;
  }
  return converter.convert(sjis, utf8);
}

bool utf8ToSjis(std::string_view utf8, std::string& sjis) {
  thread_local Converter converter("CP932", "UTF-8");
  if (hasZeroByte(utf8)) return false;
  if (isAscii(utf8)) {
    sjis.assign(utf8);
    return true;
  }
  return converter.convert(utf8, sjis);
}

bool sjisEqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char ca = a[i], cb = b[i];
    if (isLeadByte(ca)) {
      if (ca != cb) return false;
      if (i + 1 < a.size()) {
        ++i;
        if (a[i] != b[i]) return false;
      }
      continue;
    }
    if (asciiLower(ca) != asciiLower(cb)) return false;
  }
  return true;
}

size_t sjisCutLength(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text.size();
  size_t i = 0;
  while (i < limit) {
    size_t step = isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    if (i + step > limit) break;
    i += step;
  }
  return i;
}

}  // namespace compat

extern "C" int compatSjisToUtf8(const char* sjis, char* out, size_t size) {
  std::string utf8;
  if (sjis == nullptr || !compat::sjisToUtf8(sjis, utf8)) {
    if (out != nullptr && size > 0) out[0] = '\0';
    return -1;
  }
  return compat::copyOut(utf8, out, size);
}

extern "C" int compatUtf8ToSjis(const char* utf8, char* out, size_t size) {
  std::string sjis;
  if (utf8 == nullptr || !compat::utf8ToSjis(utf8, sjis)) {
    if (out != nullptr && size > 0) out[0] = '\0';
    return -1;
  }
  return compat::copyOut(sjis, out, size);
}
