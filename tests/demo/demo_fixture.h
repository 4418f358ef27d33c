/*
 * Helpers of the bundled-game tests: running the asset generator, reading files and
 * pictures of the assembled game folder, and Shift-JIS conversion through iconv.
 */
#ifndef ORVANE_TESTS_DEMO_FIXTURE_H
#define ORVANE_TESTS_DEMO_FIXTURE_H

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace demotest {

namespace fs = std::filesystem;

// One line of `assetgen --list`.
struct ListedAsset {
  std::string kind;  // "png" or "wav"
  std::string path;  // relative to the game folder, UTF-8
  int width = 0, height = 0;
};

fs::path gameDir();
fs::path sourceDir();
// Runs a shell command; returns its exit status and fills `output` with its standard output.
int runCommand(const std::string& command, std::string* output = nullptr);
std::string quoted(const fs::path& p);
std::vector<ListedAsset> listedAssets();
std::vector<uint8_t> readBytes(const fs::path& file);
void writeBytes(const fs::path& file, const std::string& bytes);
// Every regular file under a folder, as paths relative to it, sorted.
std::vector<fs::path> filesUnder(const fs::path& root);
// A fresh empty folder under the system's temporary folder, removed by the destructor.
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  fs::path path;
};

// Straight RGBA pixels of a decoded picture.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;  // 4 bytes per pixel
  uint8_t channel(int x, int y, int c) const {
    return rgba[(size_t(y) * size_t(width) + size_t(x)) * 4 + size_t(c)];
  }
};
std::optional<Picture> loadPicture(const fs::path& file);

// Converts bytes between encodings with iconv; nullopt when a byte sequence is invalid in
// the source encoding or has no form in the target one.
std::optional<std::string> convert(const std::string& bytes, const char* from, const char* to);

// The options of one definition line: the statement word, then name=value pairs (values
// unquoted, as the engine's tokenizer reads them).
struct DefinitionLine {
  std::string statement;
  std::vector<std::pair<std::string, std::string>> options;
};
DefinitionLine parseDefinitionLine(const std::string& line);

}  // namespace demotest

#endif  // ORVANE_TESTS_DEMO_FIXTURE_H
