/*
 * Helpers of the bundled-game tests (see demo_fixture.h).
 */
#include "demo_fixture.h"

#include <SDL.h>
#include <SDL_image.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace demotest {

fs::path gameDir() { return fs::path(DEMO_GAME_DIR); }
fs::path sourceDir() { return fs::path(DEMO_SOURCE_DIR); }

int runCommand(const std::string& command, std::string* output) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const fs::path& p) {
  std::string out = "'";
  for (char c : p.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::vector<ListedAsset> listedAssets() {
  std::string text;
  if (runCommand(quoted(DEMO_ASSETGEN) + " --list", &text) != 0)
    throw std::runtime_error("assetgen --list failed");
  std::vector<ListedAsset> out;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    ListedAsset a;
    if (!(fields >> a.kind >> a.path >> a.width >> a.height))
      throw std::runtime_error("unreadable assetgen --list line: " + line);
    out.push_back(a);
  }
  return out;
}

std::vector<uint8_t> readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::vector<fs::path> filesUnder(const fs::path& root) {
  std::vector<fs::path> out;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) out.push_back(fs::relative(entry.path(), root));
  std::sort(out.begin(), out.end());
  return out;
}

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "orvane-demo-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

std::optional<Picture> loadPicture(const fs::path& file) {
  SDL_Surface* loaded = IMG_Load(file.string().c_str());
  if (!loaded) return std::nullopt;
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (!rgba) return std::nullopt;
  Picture p;
  p.width = rgba->w;
  p.height = rgba->h;
  p.rgba.resize(size_t(p.width) * size_t(p.height) * 4);
  for (int y = 0; y < p.height; ++y) {
    const auto* row = static_cast<const uint8_t*>(rgba->pixels) + size_t(y) * size_t(rgba->pitch);
    std::copy(row, row + size_t(p.width) * 4, p.rgba.begin() + ptrdiff_t(y) * p.width * 4);
  }
  SDL_FreeSurface(rgba);
  return p;
}

std::optional<std::string> convert(const std::string& bytes, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string in = bytes, out(bytes.size() * 4 + 16, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == size_t(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

DefinitionLine parseDefinitionLine(const std::string& line) {
  DefinitionLine d;
  size_t i = 0;
  auto blank = [&](size_t k) { return k < line.size() && (line[k] == ' ' || line[k] == '\t'); };
  auto end = [&](size_t k) { return k >= line.size() || line[k] == '\r' || line[k] == '\n'; };
  bool first = true;
  while (true) {
    while (blank(i)) ++i;
    if (end(i)) break;
    std::string name, value;
    while (!end(i) && !blank(i) && line[i] != '=') name += line[i++];
    while (blank(i)) ++i;
    if (!end(i) && line[i] == '=') {
      ++i;
      while (blank(i)) ++i;
      bool inQuotes = false;
      while (!end(i) && (inQuotes || !blank(i))) {
        if (line[i] == '\\' && !end(i + 1)) {
          value += line[i + 1];
          i += 2;
          continue;
        }
        if (line[i] == '"') inQuotes = !inQuotes;
        else value += line[i];
        ++i;
      }
    }
    if (first) d.statement = name;
    else d.options.emplace_back(name, value);
    first = false;
  }
  return d;
}

}  // namespace demotest
