// core bound to the recording host with the sound part's host functions answered by the
// test: which files exist (without ASCII case, as the host looks names up), and host sounds
// that are told apart by the path they were loaded from, so loads, plays and destroys can be
// followed one by one. The music list is served from memory like any scenario file.
#pragma once

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "present/sound.h"
#include "scenario/scenario_fixture.h"

class SoundTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    active_ = this;
    gHost.lbIsFileExist = FileExists;
    gHost.lbLoadSound = LoadSound;
    gHost.lbDestroySound = DestroySound;
    gHost.lbPlaySound = PlaySound;
    host->results["lbtsRenderScreen"] = 1;
    host->results["lbCreateStream"] = 0x5000;
    initSoundCache(8);
  }
  void TearDown() override {
    // The sound part's tables outlive a test; they are emptied while a host is still bound.
    releaseSoundEffects();
    releaseBgm();
    active_ = nullptr;
    ScenarioTest::TearDown();
  }

  // A file of the game folder that exists, its name in UTF-8.
  void Exists(const std::string& path) { existing.insert(Lower(Sjis(path))); }
  void List(const std::vector<std::string>& lines) {
    AddFile("bgm/list.txt", lines);
    Exists("bgm/list.txt");
  }

  // The calls made since the last Clear whose text starts with one of the prefixes.
  std::vector<std::string> CallsTo(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> out;
    for (const std::string& call : host->calls)
      for (const char* prefix : prefixes)
        if (call.rfind(prefix, 0) == 0) out.push_back(call);
    return out;
  }
  void Clear() { host->calls.clear(); }

  std::set<std::string> existing;
  std::set<std::string> unloadable;  // paths for which the host returns no sound
  std::vector<std::string> alive;    // the paths of the host sounds not destroyed yet

 private:
  static std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c < 0x80 ? char(std::tolower(c)) : char(c); });
    return text;
  }
  static int FileExists(const char* path) {
    active_->host->calls.push_back("lbIsFileExist(\"" + std::string(path) + "\")");
    return active_->existing.count(Lower(path)) != 0;
  }
  // Each host sound is a heap copy of the path it came from.
  static LbSound LoadSound(const char* path, int mode) {
    active_->host->calls.push_back("lbLoadSound(\"" + std::string(path) + "\"," +
                                   std::to_string(mode) + ")");
    if (active_->unloadable.count(path)) return nullptr;
    active_->alive.push_back(path);
    return reinterpret_cast<LbSound>(new std::string(path));
  }
  static int DestroySound(LbSound sound) {
    if (sound == nullptr) {
      active_->host->calls.push_back("lbDestroySound(null)");
      return 0;
    }
    auto* path = reinterpret_cast<std::string*>(sound);
    active_->host->calls.push_back("lbDestroySound(\"" + *path + "\")");
    auto& alive = active_->alive;
    alive.erase(std::find(alive.begin(), alive.end(), *path));
    delete path;
    return 1;
  }
  static int PlaySound(LbSound sound, int flags) {
    active_->host->calls.push_back("lbPlaySound(\"" + *reinterpret_cast<std::string*>(sound) +
                                   "\"," + std::to_string(flags) + ")");
    return 1;
  }

  static inline SoundTest* active_ = nullptr;
};
