/*
 * Sound effects and music of the bundled game, synthesised from decaying sine partials,
 * pitch sweeps and filtered noise, and written as 16-bit mono PCM WAV files, which every
 * host sound loader reads. Each piece of music is a prelude played once and a body that
 * loops, so the body starts and ends in silence on a bar line.
 */
#include "assetgen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// ---- Effects of the courtroom -----------------------------------------------------------

namespace {

constexpr double kTwoPi = 6.283185307179586;

std::vector<float> silence(float seconds) {
  return std::vector<float>(size_t(std::lround(seconds * float(kSampleRate))), 0.0f);
}

// Deterministic white noise in -1..1: the same seed gives the same sound on every build.
struct Noise {
  uint32_t state;
  float next() {
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 23) - 1.0f;
  }
};

// A tone gliding exponentially from one pitch to another, with an attack and a decay.
void addSweep(std::vector<float>& out, float start, float seconds, float from, float to,
              float amplitude, float decay, float attack = 0.002f) {
  size_t first = size_t(std::lround(start * float(kSampleRate)));
  size_t count = size_t(std::lround(seconds * float(kSampleRate)));
  double phase = 0;
  for (size_t i = 0; i < count && first + i < out.size(); ++i) {
    double t = double(i) / kSampleRate;
    double frequency = from * std::pow(double(to) / from, t / seconds);
    phase += kTwoPi * frequency / kSampleRate;
    double envelope = std::exp(-t / decay);
    if (t < attack) envelope *= t / attack;
    out[first + i] += float(amplitude * envelope * std::sin(phase));
  }
}

// Noise through a one-pole low-pass whose cut-off glides from `from` to `to` Hz, shaped by
// a rise over `rise` seconds and a fall to silence at the end: wind, a swish, a knock.
void addNoise(std::vector<float>& out, float start, float seconds, float from, float to,
              float amplitude, float rise, uint32_t seed, bool highPass = false) {
  size_t first = size_t(std::lround(start * float(kSampleRate)));
  size_t count = size_t(std::lround(seconds * float(kSampleRate)));
  Noise noise{seed};
  float low = 0;
  for (size_t i = 0; i < count && first + i < out.size(); ++i) {
    float t = float(i) / float(kSampleRate);
    float cutoff = from * std::pow(to / from, t / seconds);
    float k = 1.0f - std::exp(-float(kTwoPi) * cutoff / float(kSampleRate));
    float n = noise.next();
    low += k * (n - low);
    float sample = highPass ? n - low : low;
    float envelope = t < rise ? t / rise : 1.0f - (t - rise) / (seconds - rise);
    out[first + i] += amplitude * envelope * envelope * sample;
  }
}

// Scales the sound so its loudest sample is `peak`, and fades its last milliseconds out.
std::vector<float> finish(std::vector<float> out, float peak) {
  float loudest = 0;
  for (float s : out) loudest = std::max(loudest, std::abs(s));
  if (loudest > 0)
    for (float& s : out) s *= peak / loudest;
  size_t tail = std::min(out.size(), size_t(kSampleRate / 200));
  for (size_t i = 0; i < tail; ++i) out[out.size() - 1 - i] *= float(i) / float(tail);
  return out;
}

}  // namespace

// The objection: a hard hit with a bright brass-like stab over it.
std::vector<float> soundObjection() {
  std::vector<float> out = silence(0.9f);
  addSweep(out, 0, 0.25f, 150, 45, 0.9f, 0.08f, 0.001f);
  addNoise(out, 0, 0.12f, 6000, 800, 0.6f, 0.003f, 17);
  for (float f : {587.3f, 740.0f, 880.0f, 1174.7f}) {  // D major, struck hard
    addSweep(out, 0.02f, 0.85f, f, f, 0.22f, 0.28f, 0.004f);
    addSweep(out, 0.02f, 0.85f, 2 * f, 2 * f, 0.08f, 0.15f, 0.004f);
  }
  return finish(out, 0.92f);
}

// The verdict: the gavel, two dry wooden knocks.
std::vector<float> soundGavel() {
  std::vector<float> out = silence(0.55f);
  for (float at : {0.0f, 0.22f}) {
    addSweep(out, at, 0.12f, 420, 300, 0.8f, 0.025f, 0.0005f);
    addSweep(out, at, 0.08f, 1130, 1000, 0.35f, 0.012f, 0.0005f);
    addNoise(out, at, 0.05f, 3000, 900, 0.5f, 0.001f, 29 + uint32_t(at * 100));
  }
  return finish(out, 0.9f);
}

// A life lost: a heavy blow that drops in pitch.
std::vector<float> soundDoor() {
  // A slow hinge creak rising in pitch, then the heavy door meeting its stop.
  std::vector<float> out = silence(1.1f);
  addSweep(out, 0, 0.7f, 190, 260, 0.35f, 0.5f, 0.08f);
  addSweep(out, 0.05f, 0.6f, 410, 520, 0.15f, 0.4f, 0.08f);
  addNoise(out, 0, 0.7f, 900, 1400, 0.25f, 0.3f, 57, true);
  addSweep(out, 0.75f, 0.35f, 90, 50, 0.9f, 0.09f);
  addNoise(out, 0.75f, 0.2f, 700, 120, 0.6f, 0.003f, 58);
  return finish(out, 0.85f);
}

std::vector<float> soundLifeLost() {
  std::vector<float> out = silence(0.6f);
  addSweep(out, 0, 0.55f, 320, 55, 0.8f, 0.18f, 0.002f);
  addSweep(out, 0, 0.55f, 480, 82, 0.3f, 0.12f, 0.002f);
  addNoise(out, 0, 0.18f, 2500, 300, 0.5f, 0.002f, 41);
  return finish(out, 0.9f);
}

// A testimony begins: a rising whoosh of wind that settles on a low bell.
std::vector<float> soundTestimonyStart() {
  std::vector<float> out = silence(1.2f);
  addNoise(out, 0, 0.8f, 300, 4000, 0.9f, 0.55f, 53);
  addSweep(out, 0.55f, 0.65f, 220, 220, 0.35f, 0.35f, 0.01f);
  addSweep(out, 0.55f, 0.65f, 330, 330, 0.18f, 0.25f, 0.01f);
  return finish(out, 0.85f);
}

// The jingle: a bright arpeggio climbing an octave, bells held at the top.
std::vector<float> soundJingle() {
  std::vector<float> out = silence(1.3f);
  const float notes[] = {523.3f, 659.3f, 784.0f, 1046.5f, 1318.5f};
  for (int i = 0; i < 5; ++i) {
    float at = 0.11f * float(i);
    addSweep(out, at, 1.3f - at, notes[i], notes[i], 0.3f, i == 4 ? 0.4f : 0.2f, 0.003f);
    addSweep(out, at, 1.3f - at, 3 * notes[i], 3 * notes[i], 0.06f, 0.1f, 0.003f);
  }
  return finish(out, 0.85f);
}

// An item received: two quick rising chimes and a sparkle above them.
std::vector<float> soundItemGained() {
  std::vector<float> out = silence(0.8f);
  addSweep(out, 0, 0.8f, 880, 880, 0.4f, 0.15f, 0.002f);
  addSweep(out, 0.09f, 0.7f, 1318.5f, 1318.5f, 0.4f, 0.25f, 0.002f);
  addNoise(out, 0.09f, 0.4f, 5000, 9000, 0.12f, 0.02f, 67, true);
  return finish(out, 0.8f);
}

// Turning to another page of the court record: a short paper swish.
std::vector<float> soundItemSwitch() {
  std::vector<float> out = silence(0.14f);
  addNoise(out, 0, 0.14f, 1500, 7000, 0.9f, 0.05f, 71, true);
  return finish(out, 0.7f);
}

// An item chosen: a firm two-tone confirmation, the second note a fifth higher.
std::vector<float> soundItemChosen() {
  std::vector<float> out = silence(0.45f);
  addSweep(out, 0, 0.45f, 784.0f, 784.0f, 0.45f, 0.05f, 0.002f);
  addSweep(out, 0.07f, 0.38f, 1174.7f, 1174.7f, 0.45f, 0.12f, 0.002f);
  addSweep(out, 0.07f, 0.38f, 2349.3f, 2349.3f, 0.1f, 0.06f, 0.002f);
  return finish(out, 0.8f);
}

// A loud voice: a low boom with a rumble that shakes the room.
std::vector<float> soundLoud() {
  std::vector<float> out = silence(0.7f);
  addSweep(out, 0, 0.7f, 90, 40, 0.9f, 0.2f, 0.004f);
  addNoise(out, 0, 0.5f, 600, 120, 0.7f, 0.01f, 83);
  return finish(out, 0.92f);
}

// ---- Music ------------------------------------------------------------------------------

namespace {

// One note of a score: when it starts and how long it lasts, in beats; its pitch as a MIDI
// note number; and the instrument.
enum class Voice { Bell, Pad, Bass };
struct Note {
  float beat;
  float beats;
  int pitch;
  Voice voice;
  float amplitude;
};

float pitchHz(int midi) { return 440.0f * std::pow(2.0f, float(midi - 69) / 12.0f); }

// Renders a score of `bars` bars of four beats. Every note is shaped to be silent at its own
// end and no note outlasts the score, so a body loops with no click at the seam.
std::vector<float> perform(const std::vector<Note>& score, float bpm, int bars, float peak) {
  const float beatSeconds = 60.0f / bpm;
  std::vector<float> out = silence(float(bars * 4) * beatSeconds);
  for (const Note& n : score) {
    size_t first = size_t(std::lround(n.beat * beatSeconds * float(kSampleRate)));
    size_t count = size_t(std::lround(n.beats * beatSeconds * float(kSampleRate)));
    double frequency = pitchHz(n.pitch);
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
      double t = double(i) / kSampleRate;
      double left = double(count - i) / kSampleRate;  // time to the note's end
      double wave = 0, envelope = 0;
      switch (n.voice) {
        case Voice::Bell:
          wave = std::sin(kTwoPi * frequency * t) + 0.3 * std::sin(kTwoPi * 2 * frequency * t) +
                 0.12 * std::sin(kTwoPi * 3.01 * frequency * t);
          envelope = std::exp(-t / 0.6) * std::min(1.0, t / 0.004);
          break;
        case Voice::Pad:
          wave = std::sin(kTwoPi * frequency * t) + 0.5 * std::sin(kTwoPi * 1.003 * frequency * t) +
                 0.2 * std::sin(kTwoPi * 2 * frequency * t);
          envelope = std::min(1.0, t / 0.35);
          break;
        case Voice::Bass:
          wave = std::sin(kTwoPi * frequency * t) + 0.35 * std::sin(kTwoPi * 2 * frequency * t);
          envelope = std::exp(-t / 1.2) * std::min(1.0, t / 0.01);
          break;
      }
      envelope *= std::min(1.0, left / 0.05);  // every note closes to silence
      out[first + i] += float(n.amplitude * envelope * wave);
    }
  }
  float loudest = 0;
  for (float s : out) loudest = std::max(loudest, std::abs(s));
  if (loudest > 0)
    for (float& s : out) s *= peak / loudest;
  return out;
}

// Chords of a progression as pads and a bass, one chord a bar.
void addChords(std::vector<Note>& score, const std::vector<std::vector<int>>& chords,
               float padAmplitude) {
  for (size_t bar = 0; bar < chords.size(); ++bar) {
    float at = float(bar * 4);
    for (int pitch : chords[bar]) score.push_back({at, 4, pitch, Voice::Pad, padAmplitude});
    score.push_back({at, 2, chords[bar][0] - 12, Voice::Bass, 0.5f});
    score.push_back({at + 2, 2, chords[bar][0] - 12, Voice::Bass, 0.4f});
  }
}

// A melody of (pitch, beats) pairs from beat 0; pitch 0 is a rest.
void addMelody(std::vector<Note>& score, const std::vector<std::pair<int, float>>& line,
               float amplitude) {
  float at = 0;
  for (auto [pitch, beats] : line) {
    if (pitch > 0) score.push_back({at, beats, pitch, Voice::Bell, amplitude});
    at += beats;
  }
}

constexpr float kCourtTempo = 104;
constexpr float kNightTempo = 76;
constexpr float kCrossTempo = 132;

}  // namespace

// The court in session, D minor: a prelude of rising bells over one held chord.
std::vector<float> musicCourtPrelude() {
  std::vector<Note> score;
  addChords(score, {{62, 65, 69}}, 0.12f);
  addMelody(score, {{62, 0.5f}, {65, 0.5f}, {69, 0.5f}, {74, 0.5f}, {77, 1.0f}, {0, 1.0f}}, 0.35f);
  return perform(score, kCourtTempo, 1, 0.8f);
}

// The court in session, its body: four bars of a firm theme, Dm - Bb - C - A.
std::vector<float> musicCourtBody() {
  std::vector<Note> score;
  addChords(score, {{62, 65, 69}, {58, 62, 65}, {60, 64, 67}, {57, 61, 64}}, 0.1f);
  addMelody(score,
            {{74, 1}, {72, 0.5f}, {74, 0.5f}, {77, 1}, {74, 1},
             {70, 1}, {72, 0.5f}, {74, 0.5f}, {72, 2},
             {72, 1}, {74, 0.5f}, {76, 0.5f}, {79, 1}, {76, 1},
             {73, 1.5f}, {76, 0.5f}, {73, 1}, {0, 1}},
            0.3f);
  return perform(score, kCourtTempo, 4, 0.8f);
}

// A moonlit night, A minor: a prelude of slow pads with one high bell.
std::vector<float> musicNightPrelude() {
  std::vector<Note> score;
  addChords(score, {{57, 60, 64}}, 0.14f);
  addMelody(score, {{0, 1}, {88, 2}, {0, 1}}, 0.25f);
  return perform(score, kNightTempo, 1, 0.7f);
}

// A moonlit night, its body: a quiet pentatonic line over Am - F - G - Em.
std::vector<float> musicNightBody() {
  std::vector<Note> score;
  addChords(score, {{57, 60, 64}, {53, 57, 60}, {55, 59, 62}, {52, 55, 59}}, 0.12f);
  addMelody(score,
            {{76, 1.5f}, {74, 0.5f}, {72, 1}, {69, 1},
             {72, 2}, {74, 1}, {0, 1},
             {79, 1.5f}, {76, 0.5f}, {74, 1}, {72, 1},
             {71, 2}, {0, 2}},
            0.25f);
  return perform(score, kNightTempo, 4, 0.7f);
}

// A cross-examination, E minor: a prelude of one bar climbing the chord in quick bells.
std::vector<float> musicCrossPrelude() {
  std::vector<Note> score;
  addChords(score, {{52, 55, 59}}, 0.1f);
  addMelody(score, {{64, 0.5f}, {67, 0.5f}, {71, 0.5f}, {76, 0.5f}, {79, 0.5f}, {83, 0.5f},
                    {0, 1.0f}},
            0.3f);
  return perform(score, kCrossTempo, 1, 0.8f);
}

// A cross-examination, its body: a pressing line of eighths over Em - C - D - B.
std::vector<float> musicCrossBody() {
  std::vector<Note> score;
  addChords(score, {{52, 55, 59}, {48, 52, 55}, {50, 54, 57}, {47, 51, 54}}, 0.09f);
  addMelody(score,
            {{76, 0.5f}, {71, 0.5f}, {76, 0.5f}, {79, 0.5f}, {78, 1}, {76, 1},
             {76, 0.5f}, {72, 0.5f}, {76, 0.5f}, {79, 0.5f}, {81, 1.5f}, {0, 0.5f},
             {78, 0.5f}, {74, 0.5f}, {78, 0.5f}, {81, 0.5f}, {79, 1}, {78, 1},
             {75, 1}, {78, 0.5f}, {75, 0.5f}, {71, 1.5f}, {0, 0.5f}},
            0.28f);
  return perform(score, kCrossTempo, 4, 0.8f);
}

}  // namespace assetgen
