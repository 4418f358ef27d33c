// Zip archives written byte for byte by the tests: stored (uncompressed) entries whose names
// go in exactly as given, without the flag that marks them UTF-8 (what archivers on Windows
// write for Shift-JIS names), and entries that are symbolic links, as Unix archivers write them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ZipEntry {
  std::string name;
  std::string data;  // a link's target, for a link
  bool link = false;
};

inline std::uint32_t zipCrc32(const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

inline std::string storedZip(const std::vector<ZipEntry>& entries) {
  auto put16 = [](std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8 & 0xFF);
  };
  auto put32 = [&](std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
  };
  std::string local, central;
  for (const ZipEntry& entry : entries) {
    const std::uint32_t offset = local.size();
    for (std::string* out : {&local, &central}) {
      const bool isCentral = out == &central;
      put32(*out, isCentral ? 0x02014b50 : 0x04034b50);
      if (isCentral) put16(*out, entry.link ? (3 << 8) | 20 : 20);  // made by (3: Unix)
      put16(*out, 20);  // needed to extract
      put16(*out, 0);   // flags: no UTF-8 names
      put16(*out, 0);   // stored
      put16(*out, 0);   // time
      put16(*out, 0);   // date
      put32(*out, zipCrc32(entry.data));
      put32(*out, entry.data.size());
      put32(*out, entry.data.size());
      put16(*out, entry.name.size());
      put16(*out, 0);  // extra
      if (isCentral) {
        put16(*out, 0);  // comment
        put16(*out, 0);  // disk
        put16(*out, 0);  // internal attributes
        put32(*out, entry.link ? 0120777u << 16 : 0);  // external: the Unix mode of a link
        put32(*out, offset);
      }
      *out += entry.name;
      if (!isCentral) *out += entry.data;
    }
  }
  std::string end;
  put32(end, 0x06054b50);
  put16(end, 0);
  put16(end, 0);
  put16(end, entries.size());
  put16(end, entries.size());
  put32(end, central.size());
  put32(end, local.size());
  put16(end, 0);
  return local + central + end;
}
