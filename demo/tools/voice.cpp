/*
 * Shouted voices for the exclamations, made by a small formant synthesiser: a glottal pulse
 * train at a sliding pitch through three vowel resonances, with noise bursts and closures
 * for the consonants. Crude, but it is a person shouting, not a chord.
 */
#include "assetgen.h"

#include <cmath>
#include <stdexcept>

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

struct Formants {
  float f1, f2, f3;
};

Formants vowel(char v) {
  switch (v) {
    case 'a': return {800, 1250, 2600};
    case 'i': return {320, 2300, 3000};
    case 'u': return {360, 1300, 2400};
    case 'e': return {520, 1900, 2600};
    case 'o': return {520, 880, 2500};
  }
  throw std::runtime_error(std::string("no vowel ") + v);
}

// One sound of a shout: a vowel, or a consonant ('k', 't' voiceless bursts after a closure;
// 'g' a voiced burst; 'r' a quick tap; 'm' a hummed nasal), held for `seconds`.
struct Segment {
  char sound;
  float seconds;
};

// Two-pole resonator (the classic digital formant filter).
struct Resonator {
  float a = 0, b = 0, c = 0, y1 = 0, y2 = 0;
  void tune(float frequency, float bandwidth) {
    const float t = 1.0f / float(kSampleRate);
    c = -std::exp(-2 * kPi * bandwidth * t);
    b = 2 * std::exp(-kPi * bandwidth * t) * std::cos(2 * kPi * frequency * t);
    a = 1 - b - c;
  }
  float step(float x) {
    float y = a * x + b * y1 + c * y2;
    y2 = y1;
    y1 = y;
    return y;
  }
};

std::vector<float> shout(const std::vector<Segment>& segments, float basePitch, uint32_t seed) {
  float total = 0;
  for (const Segment& s : segments) total += s.seconds;
  const size_t count = size_t(total * kSampleRate) + kSampleRate / 10;
  std::vector<float> out(count, 0.0f);
  Resonator r1, r2, r3;
  Formants now = vowel('a');
  float phase = 0, amplitude = 0, noiseState = 0;
  size_t i = 0;
  for (size_t s = 0; s < segments.size(); ++s) {
    const Segment& seg = segments[s];
    const bool isVowel = std::string("aiueo").find(seg.sound) != std::string::npos;
    // Consonants take the colour of the vowel that follows them.
    char colour = seg.sound;
    for (size_t n = s; !isVowel && n < segments.size(); ++n)
      if (std::string("aiueo").find(segments[n].sound) != std::string::npos) {
        colour = segments[n].sound;
        break;
      }
    const Formants target = std::string("aiueo").find(colour) != std::string::npos
                                ? vowel(colour) : vowel('a');
    const size_t length = size_t(seg.seconds * kSampleRate);
    for (size_t k = 0; k < length && i < count; ++k, ++i) {
      const float t = float(i) / float(kSampleRate);
      const float within = float(k) / float(length);
      // Formants glide towards the target; the pitch rises into the shout and falls at its end.
      const float glide = 0.0025f;
      now.f1 += (target.f1 - now.f1) * glide;
      now.f2 += (target.f2 - now.f2) * glide;
      now.f3 += (target.f3 - now.f3) * glide;
      float contour = 1.0f + 0.35f * std::sin(kPi * std::min(1.0f, t / total)) -
                      0.25f * smoothstep(0.75f * total, total, t);
      float pitch = basePitch * contour * (1 + 0.01f * std::sin(2 * kPi * 5.5f * t));
      phase += pitch / float(kSampleRate);
      if (phase >= 1) phase -= 1;
      // A glottal pulse: a sharp closing edge with a gentle opening.
      float pulse = phase < 0.6f ? std::sin(kPi * phase / 0.6f)
                                 : -0.6f * std::sin(kPi * (phase - 0.6f) / 0.4f);
      noiseState = float(hash3(int32_t(i), 0, seed)) / 4294967295.0f * 2 - 1;

      float voiced = 0, noise = 0, want = 0;
      switch (seg.sound) {
        case 'k':
        case 't':  // closure, then a breathy burst
          want = 0;
          if (within > 0.65f) noise = 0.9f * (1 - (within - 0.65f) / 0.35f);
          break;
        case 'g':  // a short voiced closure, then a softer burst
          want = 0.25f;
          if (within > 0.6f) noise = 0.45f;
          break;
        case 'r':  // a tap: the voice dips for a moment
          want = 0.45f;
          break;
        case 'm':  // hummed with the lips closed: low and quiet
          want = 0.5f;
          break;
        default:
          want = 1.0f;
      }
      amplitude += (want - amplitude) * 0.004f;
      voiced = pulse * amplitude;
      float excitation = voiced + noise * noiseState;
      r1.tune(seg.sound == 'm' ? 280 : now.f1, 90);
      r2.tune(seg.sound == 'm' ? 1100 : now.f2, 120);
      r3.tune(now.f3, 180);
      float y = r1.step(excitation) * 1.0f + r2.step(excitation) * 0.55f +
                r3.step(excitation) * 0.25f;
      if (seg.sound == 'm') y *= 0.6f;
      out[i] = y;
    }
  }
  // The pulse train carries a steady offset the resonators pass; a gentle high-pass takes it
  // out. Then the tail fades so the clip never ends on a click, and the level is made firm.
  float lastIn = 0, lastOut = 0;
  for (float& v : out) {
    float high = v - lastIn + 0.995f * lastOut;
    lastIn = v;
    lastOut = high;
    v = high;
  }
  float peak = 0;
  for (size_t k = 0; k < count; ++k) {
    float t = float(k) / float(kSampleRate);
    out[k] *= 1 - smoothstep(total - 0.06f, total + 0.04f, t);
    peak = std::max(peak, std::fabs(out[k]));
  }
  if (peak > 0)
    for (float& v : out) v *= 0.9f / peak;
  return out;
}

}  // namespace

std::vector<float> voiceShout(const std::string& type, float basePitch, uint32_t seed) {
  if (type == "igi")
    return shout({{'i', 0.07f}, {'g', 0.05f}, {'i', 0.09f}, {'a', 0.24f}, {'r', 0.03f},
                  {'i', 0.28f}}, basePitch, seed);
  if (type == "matta")
    return shout({{'m', 0.06f}, {'a', 0.16f}, {'t', 0.10f}, {'a', 0.42f}}, basePitch, seed);
  if (type == "kurae")
    return shout({{'k', 0.06f}, {'u', 0.08f}, {'r', 0.03f}, {'a', 0.22f}, {'e', 0.34f}},
                 basePitch, seed);
  throw std::runtime_error("no shout " + type);
}

}  // namespace assetgen
