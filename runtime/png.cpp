/*
 * Frames written as PNG files (shots of a replay, screenshots): opaque RGB rows, each
 * stored as its difference from the pixel to its left and compressed as runs. A frame of
 * flat colours and gradients packs about as small as with the usual adaptive filters, ten
 * times sooner.
 */
#include "runtime.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// A chunk: length, type, data and the CRC of type and data.
void chunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size) {
  put32(out, static_cast<uint32_t>(size));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (size) out.insert(out.end(), data, data + size);
  put32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(size + 4))));
}

}  // namespace

bool writeFramePng(const std::string& path, const uint32_t* pixels, int width, int height,
                   std::string* error) {
  // Each row: filter 1 ("sub"), then every byte less the same byte of the pixel before.
  const size_t rowBytes = static_cast<size_t>(width) * 3 + 1;
  std::vector<uint8_t> rows(rowBytes * height);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = rows.data() + rowBytes * y;
    const uint32_t* from = pixels + static_cast<size_t>(y) * width;
    row[0] = 1;
    uint32_t before = 0;
    for (int x = 0; x < width; ++x) {
      uint32_t p = from[x];
      row[1 + 3 * x] = static_cast<uint8_t>((p >> 16) - (before >> 16));
      row[2 + 3 * x] = static_cast<uint8_t>((p >> 8) - (before >> 8));
      row[3 + 3 * x] = static_cast<uint8_t>(p - before);
      before = p;
    }
  }
  z_stream z{};
  if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) {
    if (error) *error = "cannot start compressing";
    return false;
  }
  std::vector<uint8_t> packed(deflateBound(&z, static_cast<uLong>(rows.size())));
  z.next_in = rows.data();
  z.avail_in = static_cast<uInt>(rows.size());
  z.next_out = packed.data();
  z.avail_out = static_cast<uInt>(packed.size());
  const bool done = deflate(&z, Z_FINISH) == Z_STREAM_END;
  packed.resize(z.total_out);
  deflateEnd(&z);
  if (!done) {
    if (error) *error = "cannot compress the picture";
    return false;
  }

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  file.reserve(packed.size() + 64);
  std::vector<uint8_t> header;
  put32(header, static_cast<uint32_t>(width));
  put32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, filters, no interlace
  chunk(file, "IHDR", header.data(), header.size());
  chunk(file, "IDAT", packed.data(), packed.size());
  chunk(file, "IEND", nullptr, 0);

  std::FILE* out = std::fopen(path.c_str(), "wb");
  bool ok = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (out && std::fclose(out) != 0) ok = false;
  if (!ok && error) *error = std::strerror(errno);
  if (!ok && out) std::remove(path.c_str());
  return ok;
}
