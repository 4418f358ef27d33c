/*
 * Sound effects and music streams through SDL2_mixer. A stream is a play list decoded whole
 * and fed to the mixer from our own music hook, so a looping body follows its prelude (and
 * itself) without a gap. Headless runs decode everything but play through no device.
 */
#include "present.h"
#include "ledger.h"
#include "runtime.h"
#include "audio.h"

#include <wincompat.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

struct LbSoundObject {
  Mix_Chunk* chunk = nullptr;
  std::string path;  // UTF-8, for the transcript
};

struct LbStreamObject {
  struct Entry { std::string sjisPath; int repeat; };
  std::vector<Entry> list;
  // What plays: decoded entries and the cursor, touched by the mixer thread under gMutex.
  std::vector<Mix_Chunk*> decoded;
  std::vector<PlaylistEntry> playing;
  PlaylistCursor cursor;
  bool active = false;
};

namespace {

std::mutex gMutex;                       // guards what the music hook reads
std::vector<LbStreamObject*> gStreams;   // streams being played
bool gOpen = false, gPaused = false;
int gMusicVolume = SDL_MIX_MAXVOLUME;    // the player's music volume, read by the hook
Uint16 gFormat = AUDIO_S16SYS;
std::vector<uint8_t> gScratch;

std::string toUtf8(const char* sjis) {
  std::string out(std::strlen(sjis) * 3 + 1, '\0');
  int n = compatSjisToUtf8(sjis, out.data(), out.size());
  if (n < 0) return sjis;
  out.resize(size_t(n));
  return out;
}

// The mixer calls this from its own thread for every buffer of music.
void musicHook(void*, Uint8* stream, int len) {
  std::lock_guard<std::mutex> lock(gMutex);
  if (gPaused || len <= 0) return;
  if (gScratch.size() < size_t(len)) gScratch.resize(size_t(len));
  for (LbStreamObject* s : gStreams) {
    std::fill(gScratch.begin(), gScratch.begin() + len, 0);
    size_t n = fillFromPlaylist(s->playing, s->cursor, gScratch.data(), size_t(len));
    if (n > 0) SDL_MixAudioFormat(stream, gScratch.data(), gFormat, Uint32(n), gMusicVolume);
  }
}

bool gFailed = false;  // no device and no stand-in either: do not try again for every sound

bool tryOpen(const char* driver) {
  if (driver) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

bool openAudio() {
  if (gOpen) return true;
  if (gFailed) return false;
  Platform& p = platform();
  Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3);
  // Headless runs have no audio device: the dummy driver only lets sounds decode. Nor do
  // they read SDL's events, so SDL must not turn SIGTERM and SIGINT into a quit event there:
  // the signals end the run as they end any program.
  if (p.headless) SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (!tryOpen(p.headless ? "dummy" : nullptr)) {
    // A machine without a sound card still plays the game, silently.
    std::string why = SDL_GetError();
    if (p.headless || !tryOpen("dummy")) {
      std::fprintf(stderr, "orvane: cannot open audio: %s\n", SDL_GetError());
      gFailed = true;
      return false;
    }
    std::fprintf(stderr, "orvane: no audio device (%s); playing without sound\n", why.c_str());
  }
  int freq = 0, channels = 0;
  Mix_QuerySpec(&freq, &gFormat, &channels);
  Mix_AllocateChannels(16);
  if (!p.headless) Mix_HookMusic(musicHook, nullptr);
  gOpen = true;
  applyVolumes();
  return true;
}

// Decodes a game file into the device's sample format; null when it is not a sound.
Mix_Chunk* decode(const char* sjisPath) {
  std::vector<uint8_t> bytes;
  if (!openAudio() || !readGameFile(sjisPath, bytes)) return nullptr;
  if (bytes.empty()) {
    std::fprintf(stderr, "orvane: %s is not a sound: the file is empty\n", toUtf8(sjisPath).c_str());
    return nullptr;
  }
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  if (!rw) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);  // copies the samples out of bytes
  if (!chunk)
    std::fprintf(stderr, "orvane: %s is not a sound: %s\n", toUtf8(sjisPath).c_str(), Mix_GetError());
  return chunk;
}

void stopLocked(LbStreamObject* s) {
  gStreams.erase(std::remove(gStreams.begin(), gStreams.end(), s), gStreams.end());
}

void stop(LbStreamObject* s) {
  bool was;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    was = s->active;
    s->active = false;
    stopLocked(s);
  }
  for (Mix_Chunk* c : s->decoded) Mix_FreeChunk(c);
  s->decoded.clear();
  s->playing.clear();
  if (was) transcriptLine("stream-stop");
}

}  // namespace

size_t fillFromPlaylist(const std::vector<PlaylistEntry>& entries, PlaylistCursor& cursor,
                        uint8_t* out, size_t len) {
  size_t written = 0;
  while (written < len && cursor.entry < entries.size()) {
    const PlaylistEntry& e = entries[cursor.entry];
    if (cursor.pos < e.size) {
      size_t n = std::min(len - written, e.size - cursor.pos);
      std::memcpy(out + written, e.data + cursor.pos, n);
      written += n;
      cursor.pos += n;
      continue;
    }
    // The entry ended: play it again while repeats remain (for ever with -1), else move on.
    cursor.pos = 0;
    if (e.size > 0 && (e.repeat < 0 || cursor.played < e.repeat)) {
      ++cursor.played;
      continue;
    }
    ++cursor.entry;
    cursor.played = 0;
  }
  return written;
}

void pauseAudio(bool paused) {
  if (!gOpen) return;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    gPaused = paused;
  }
  if (paused) Mix_Pause(-1);
  else Mix_Resume(-1);
}

void applyVolumes() {
  const Platform::Settings& s = platform().settings;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    gMusicVolume = s.music * SDL_MIX_MAXVOLUME / 100;
  }
  if (gOpen) Mix_Volume(-1, s.effects * MIX_MAX_VOLUME / 100);
}

namespace {

Mix_Chunk* gSample = nullptr;  // the settings screen's sound, made the first time it plays

// A short soft chime as a WAV file in memory (16-bit stereo at 44100 Hz), which the mixer
// decodes into the device's own format.
Mix_Chunk* makeSample() {
  constexpr int kRate = 44100, kFrames = kRate * 9 / 100;
  std::vector<uint8_t> wav;
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) wav.push_back(uint8_t(v >> (8 * i)));
  };
  auto tag = [&](const char* t) { wav.insert(wav.end(), t, t + 4); };
  tag("RIFF");
  put(36 + kFrames * 4, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);
  put(2, 2);
  put(kRate, 4);
  put(kRate * 4, 4);
  put(4, 2);
  put(16, 2);
  tag("data");
  put(kFrames * 4, 4);
  for (int i = 0; i < kFrames; ++i) {
    double t = double(i) / kRate;
    double envelope = std::min(1.0, t * 400) * std::exp(-t * 38);
    double v = envelope * (0.7 * std::sin(2 * M_PI * 1318.5 * t) + 0.3 * std::sin(2 * M_PI * 2637 * t));
    auto sample = uint16_t(int16_t(v * 9000));
    put(sample, 2);
    put(sample, 2);
  }
  SDL_RWops* rw = SDL_RWFromConstMem(wav.data(), int(wav.size()));
  return rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
}

}  // namespace

void playEffectSample() {
  if (platform().headless || !openAudio()) return;
  if (!gSample) gSample = makeSample();
  if (!gSample) return;
  // A new step cuts the last one's sound short rather than piling chimes up.
  static int channel = -1;
  if (channel >= 0 && Mix_Playing(channel) && Mix_GetChunk(channel) == gSample)
    Mix_HaltChannel(channel);
  channel = Mix_PlayChannel(-1, gSample, 0);
}

void closeAudio() {
  gFailed = false;
  if (!gOpen) return;
  Mix_HookMusic(nullptr, nullptr);
  Mix_HaltChannel(-1);
  if (gSample) Mix_FreeChunk(gSample);
  gSample = nullptr;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    gStreams.clear();
  }
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  gOpen = false;
}

extern "C" {

LbSound lbLoadSound(const char* path, int) {
  if (!path) return nullptr;
  Mix_Chunk* chunk = decode(path);
  if (!chunk) return nullptr;
  return counted(HostObject::Sound, new LbSoundObject{chunk, toUtf8(path)});
}

int lbDestroySound(LbSound sound) {
  if (!sound) return 0;
  ledgerDestroyed(HostObject::Sound);
  Mix_FreeChunk(sound->chunk);  // halts the channels still playing it
  delete sound;
  return 1;
}

int lbPlaySound(LbSound sound, int) {
  if (!sound) return 0;
  transcriptLine("se " + sound->path);
  if (platform().headless) return 1;
  if (Mix_PlayChannel(-1, sound->chunk, 0) < 0) {
    // Every channel is busy: add channels rather than drop the sound.
    Mix_AllocateChannels(Mix_AllocateChannels(-1) + 8);
    applyVolumes();  // the new channels play at the player's volume too
    if (Mix_PlayChannel(-1, sound->chunk, 0) < 0) return 0;
  }
  return 1;
}

LbStream lbCreateStream(void) { return counted(HostObject::Stream, new LbStreamObject); }

int lbDestroyStream(LbStream stream) {
  if (!stream) return 0;
  ledgerDestroyed(HostObject::Stream);
  stop(stream);
  delete stream;
  return 1;
}

int lbAddStreamList(LbStream stream, const char* path, int repeat, int, int) {
  if (!stream || !path) return 0;
  stream->list.push_back({path, repeat < 0 ? -1 : repeat});
  return 1;
}

int lbClearStreamList(LbStream stream) {
  if (!stream) return 0;
  stream->list.clear();
  return 1;
}

int lbPlayStream(LbStream stream) {
  if (!stream || stream->list.empty()) return 0;
  stop(stream);
  std::vector<Mix_Chunk*> decoded;
  for (const auto& e : stream->list) {
    Mix_Chunk* c = decode(e.sjisPath.c_str());
    if (!c) {
      for (Mix_Chunk* d : decoded) Mix_FreeChunk(d);
      return 0;
    }
    decoded.push_back(c);
  }
  std::string line = "stream";
  std::vector<PlaylistEntry> entries;
  for (size_t i = 0; i < decoded.size(); ++i) {
    int repeat = stream->list[i].repeat;
    entries.push_back({decoded[i]->abuf, decoded[i]->alen, repeat});
    line += " " + toUtf8(stream->list[i].sjisPath.c_str());
    if (repeat < 0) line += " (loop)";
    else if (repeat > 0) line += " (repeat " + std::to_string(repeat) + ")";
  }
  {
    std::lock_guard<std::mutex> lock(gMutex);
    stream->decoded = std::move(decoded);
    stream->playing = std::move(entries);
    stream->cursor = {};
    stream->active = true;
    gStreams.push_back(stream);
  }
  transcriptLine(line);
  return 1;
}

int lbStopStream(LbStream stream) {
  if (!stream) return 0;
  stop(stream);
  return 1;
}

}  // extern "C"
