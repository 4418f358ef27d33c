/*
 * orvane pack GAME_DIR OUT.dat: writes the game folder into the data archive the game
 * mounts in front of its folder (a zip file; the game looks for it as "derizi.dat" beside
 * its executable). Entries are deflated when that makes them smaller, named in UTF-8 with
 * `/` between folders, sorted, and dated 1980-01-01, so packing the same folder twice gives
 * the same bytes. The player's own files (progress, debug settings) and older archives at the
 * top of the folder are left out.
 */
#include "commands.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uint16_t kUtf8Names = 0x0800;
constexpr uint16_t kStored = 0, kDeflated = 8;
constexpr uint16_t kVersion = 20;
constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01, 00:00
constexpr uint64_t kZipLimit = 0xFFFFFFFFull;

struct Entry {
  std::string name;
  uint32_t crc = 0, compressedSize = 0, size = 0, offset = 0;
  uint16_t method = kStored;
};

void put16(std::string& out, uint16_t v) {
  out += char(v & 0xFF);
  out += char(v >> 8);
}
void put32(std::string& out, uint32_t v) {
  put16(out, uint16_t(v & 0xFFFF));
  put16(out, uint16_t(v >> 16));
}

// Raw deflate (no zlib header), as zip stores it; empty when it does not help.
std::string deflateRaw(const std::string& data) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return {};
  std::string out(deflateBound(&z, data.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = uInt(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  int status = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return status == Z_STREAM_END && out.size() < data.size() ? out : std::string();
}

void header(std::string& out, uint32_t signature, const Entry& e, bool central) {
  put32(out, signature);
  if (central) put16(out, (3 << 8) | kVersion);  // made on Unix
  put16(out, kVersion);
  put16(out, kUtf8Names);
  put16(out, e.method);
  put16(out, 0);  // time
  put16(out, kDosDate);
  put32(out, e.crc);
  put32(out, e.compressedSize);
  put32(out, e.size);
  put16(out, uint16_t(e.name.size()));
  put16(out, 0);  // extra field
  if (central) {
    put16(out, 0);  // comment
    put16(out, 0);  // disk
    put16(out, 0);  // internal attributes
    put32(out, 0100644u << 16);
    put32(out, e.offset);
  }
  out += e.name;
}

// The player's files and archives at the top of the game folder are not game data.
bool leftOut(const fs::path& relative) {
  if (std::distance(relative.begin(), relative.end()) != 1) return false;
  std::string ext = relative.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
  return ext == ".sav" || ext == ".ini" || ext == ".dat";
}

int fail(const std::string& why) {
  std::fprintf(stderr, "orvane pack: %s\n", why.c_str());
  return kCannotLoad;
}

}  // namespace

int packCommand(int argc, char** argv) {
  if (argc != 3 || argv[1][0] == '-' || argv[2][0] == '-') {
    std::fprintf(stderr,
                 "usage: orvane pack GAME_DIR OUT.dat\n"
                 "Writes the game folder into a data archive; the game reads it when it\n"
                 "lies in the game's folder as derizi.dat.\n");
    return kBadArguments;
  }
  const fs::path dir = argv[1], target = argv[2];
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    std::fprintf(stderr, "orvane pack: no game folder at %s\n", dir.c_str());
    return kBadArguments;
  }
  const fs::path targetReal = fs::weakly_canonical(target, ec);
  std::vector<fs::path> files;
  for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    fs::path relative = fs::relative(it->path(), dir, ec);
    if (leftOut(relative) || fs::weakly_canonical(it->path(), ec) == targetReal) continue;
    files.push_back(relative);
  }
  if (ec) return fail("cannot read the folder " + dir.string() + ": " + ec.message());
  std::sort(files.begin(), files.end());

  std::string archive;
  std::vector<Entry> entries;
  for (const fs::path& relative : files) {
    std::ifstream in(dir / relative, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) return fail("cannot read " + (dir / relative).string());
    Entry e;
    e.name = relative.generic_string();
    e.size = uint32_t(data.size());
    e.crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
    std::string packed = deflateRaw(data);
    e.method = packed.empty() ? kStored : kDeflated;
    const std::string& body = packed.empty() ? data : packed;
    e.compressedSize = uint32_t(body.size());
    e.offset = uint32_t(archive.size());
    if (data.size() > kZipLimit || archive.size() + body.size() + 1024 > kZipLimit)
      return fail("the game is too large for one archive (4 GB)");
    header(archive, 0x04034b50, e, false);
    archive += body;
    entries.push_back(e);
  }
  const uint32_t directoryStart = uint32_t(archive.size());
  for (const Entry& e : entries) header(archive, 0x02014b50, e, true);
  const uint32_t directorySize = uint32_t(archive.size()) - directoryStart;
  put32(archive, 0x06054b50);
  put16(archive, 0);
  put16(archive, 0);
  put16(archive, uint16_t(entries.size()));
  put16(archive, uint16_t(entries.size()));
  put32(archive, directorySize);
  put32(archive, directoryStart);
  put16(archive, 0);
  if (entries.size() > 0xFFFF) return fail("the game has too many files for one archive");

  // Written beside the target and renamed into place, so a failed pack leaves no half file.
  const fs::path temporary = target.string() + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(archive.data(), std::streamsize(archive.size()));
    if (!out) return fail("cannot write " + temporary.string());
  }
  fs::rename(temporary, target, ec);
  if (ec) return fail("cannot write " + target.string() + ": " + ec.message());
  std::printf("%zu files packed into %s (%zu bytes)\n", entries.size(), target.c_str(),
              archive.size());
  return kRanToEnd;
}
