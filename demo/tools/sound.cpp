/*
 * Sound effects of the bundled game, synthesised from decaying sine partials and written as
 * 16-bit mono PCM WAV files, which every host sound loader reads.
 */
#include "assetgen.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace assetgen {

std::vector<float> synthesise(const std::vector<Tone>& tones, float seconds, float attack) {
  if (seconds <= 0) throw std::runtime_error("a sound needs a length");
  size_t count = size_t(std::lround(seconds * float(kSampleRate)));
  std::vector<float> out(count, 0.0f);
  const double twoPi = 6.283185307179586;
  for (const Tone& t : tones) {
    size_t first = size_t(std::lround(t.start * float(kSampleRate)));
    for (size_t i = first; i < count; ++i) {
      double s = double(i - first) / kSampleRate;
      double envelope = std::exp(-s / t.decay);
      if (attack > 0 && s < attack) envelope *= s / attack;
      out[i] += float(t.amplitude * envelope * std::sin(twoPi * t.frequency * s));
    }
  }
  // The last few milliseconds fade to silence so the end never clicks.
  size_t tail = std::min(count, size_t(kSampleRate / 200));
  for (size_t i = 0; i < tail; ++i) out[count - 1 - i] *= float(i) / float(tail);
  return out;
}

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v & 0xff));
  out.push_back(uint8_t((v >> 8) & 0xff));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}

void putTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}

}  // namespace

std::vector<uint8_t> encodeWav(const std::vector<float>& samples) {
  const uint32_t dataBytes = uint32_t(samples.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  putTag(out, "RIFF");
  put32(out, 36 + dataBytes);
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  put32(out, 16);                 // size of the format chunk
  put16(out, 1);                  // PCM
  put16(out, 1);                  // mono
  put32(out, kSampleRate);
  put32(out, kSampleRate * 2);    // bytes per second
  put16(out, 2);                  // bytes per frame
  put16(out, 16);                 // bits per sample
  putTag(out, "data");
  put32(out, dataBytes);
  for (float s : samples) {
    long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    put16(out, uint32_t(uint16_t(int16_t(v))));
  }
  return out;
}

// The page-break click: a soft two-note chime, like a small bell struck once, short enough
// not to tire the ear on every page.
std::vector<float> soundPageClick() {
  return synthesise({{1318.5f, 0.32f, 0.060f, 0.000f},   // E6
                     {2637.0f, 0.10f, 0.030f, 0.000f},
                     {1760.0f, 0.26f, 0.080f, 0.045f},   // A6, a beat later
                     {3520.0f, 0.07f, 0.035f, 0.045f}},
                    0.30f, 0.002f);
}

// The per-character typing tick: a very short, quiet wooden blip.
std::vector<float> soundCharacter() {
  return synthesise({{880.0f, 0.28f, 0.012f}, {1760.0f, 0.10f, 0.006f}}, 0.05f, 0.001f);
}

}  // namespace assetgen
