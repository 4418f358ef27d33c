/*
 * Pixel memory kept across images: the buffers of destroyed images, handed to the next image
 * of the same size, and the pictures already decoded, found again by their file's bytes.
 */
#include "compositor.h"
#include "pixels.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <mutex>
#include <string_view>

namespace {

std::mutex gBufferMutex;
std::mutex gPictureMutex;

// The kept memory lives as long as the process: images may still be destroyed by the
// destructors of other modules' objects at exit. The list of buffers has its room from the
// start, so keeping and taking a buffer moves it without allocating.
std::vector<std::vector<uint32_t>>& gBuffers = *[] {
  auto* buffers = new std::vector<std::vector<uint32_t>>;
  buffers->reserve(kKeptBufferCount);
  return buffers;
}();  // oldest first
size_t gBufferBytes = 0;

struct KeptPicture {
  std::vector<uint8_t> file;  // the bytes it was decoded from: the key, compared in full
  size_t hash = 0;
  int mode = 0;
  DecodedPicture picture;
  size_t bytes() const { return file.size() + picture.pixels.size() * sizeof(uint32_t); }
};
std::list<KeptPicture>& gPictures = *new std::list<KeptPicture>;  // the most recently used first
size_t gPictureBytes = 0;

size_t bytesOf(const std::vector<uint32_t>& pixels) { return pixels.size() * sizeof(uint32_t); }

size_t hashOf(const std::vector<uint8_t>& file) {
  return std::hash<std::string_view>{}(
      std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
}

}  // namespace

std::vector<uint32_t> takePixels(size_t count, bool cleared) {
  std::vector<uint32_t> pixels;
  {
    std::lock_guard<std::mutex> lock(gBufferMutex);
    auto kept = std::find_if(gBuffers.rbegin(), gBuffers.rend(),
                             [&](const std::vector<uint32_t>& b) { return b.size() == count; });
    if (kept != gBuffers.rend()) {
      pixels = std::move(*kept);
      gBufferBytes -= bytesOf(pixels);
      gBuffers.erase(std::next(kept).base());
    }
  }
  if (pixels.size() != count) {
    pixels = std::vector<uint32_t>(count);
  } else if (cleared) {
    fillPixels(pixels.data(), count, 0u);
  }
  return pixels;
}

void keepPixels(std::vector<uint32_t>&& pixels) {
  const size_t bytes = bytesOf(pixels);
  if (bytes == 0 || bytes > kKeptBufferBytes || pixels.capacity() != pixels.size()) return;
  std::lock_guard<std::mutex> lock(gBufferMutex);
  while (!gBuffers.empty() &&
         (gBufferBytes + bytes > kKeptBufferBytes || gBuffers.size() >= kKeptBufferCount)) {
    gBufferBytes -= bytesOf(gBuffers.front());
    gBuffers.erase(gBuffers.begin());
  }
  gBufferBytes += bytes;
  gBuffers.push_back(std::move(pixels));
}

bool findDecodedPicture(const std::vector<uint8_t>& file, int mode, int& width, int& height,
                        std::vector<uint32_t>& pixels) {
  const size_t hash = hashOf(file);
  std::lock_guard<std::mutex> lock(gPictureMutex);
  for (auto at = gPictures.begin(); at != gPictures.end(); ++at) {
    if (at->hash != hash || at->mode != mode || at->file != file) continue;
    gPictures.splice(gPictures.begin(), gPictures, at);  // now the most recently used
    width = at->picture.width;
    height = at->picture.height;
    pixels = takePixels(at->picture.pixels.size(), false);
    std::copy(at->picture.pixels.begin(), at->picture.pixels.end(), pixels.begin());
    return true;
  }
  return false;
}

void keepDecodedPicture(const std::vector<uint8_t>& file, int mode, int width, int height,
                        const std::vector<uint32_t>& pixels) {
  KeptPicture kept;
  kept.mode = mode;
  const size_t bytes = file.size() + bytesOf(pixels);
  if (bytes > kKeptPictureBytes / 4) return;  // one picture never takes most of the room
  kept.hash = hashOf(file);
  kept.file = file;
  kept.picture = DecodedPicture{width, height, pixels};
  std::lock_guard<std::mutex> lock(gPictureMutex);
  while (!gPictures.empty() &&
         (gPictureBytes + bytes > kKeptPictureBytes || gPictures.size() >= kKeptPictureCount)) {
    gPictureBytes -= gPictures.back().bytes();
    gPictures.pop_back();
  }
  gPictureBytes += bytes;
  gPictures.push_front(std::move(kept));
}

KeptPixelMemory keptPixelMemory() {
  std::scoped_lock lock(gBufferMutex, gPictureMutex);
  return {gBufferBytes, gBuffers.size(), gPictureBytes, gPictures.size()};
}
