// core bound to the recording host, with its three file functions served from files the
// test writes into memory (every open, read and close still recorded as a call), and the
// run loop's hooks pointing at the test: `@` lines go to the real dispatcher unless a test
// handles them itself.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/errors.h"
#include "host/host_fixture.h"
#include "script/commands.h"
#include "script/scenario.h"
#include "script/syntax.h"

class ScenarioTest : public BoundCore {
 protected:
  void SetUp() override {
    BoundCore::SetUp();
    active_ = this;
    gHost.lbCreateFile = CreateFile;
    gHost.lbReadFileLine = ReadFileLine;
    gHost.lbDestroyFile = DestroyFile;
    ScenarioHooks hooks;
    hooks.dispatchCommand = Dispatch;
    hooks.showMessage = ShowMessage;
    hooks.resetPresentation = ResetPresentation;
    hooks.progressFilePath = ProgressPath;
    InstallScenarioHooks(hooks);
    CopyText("scn/t", gScenarioFolder, sizeof gScenarioFolder);
    SetErrorFile("");
  }
  void TearDown() override {
    InstallScenarioHooks(ScenarioHooks{});
    active_ = nullptr;
    BoundCore::TearDown();
  }

  // A file of the game folder: its path (Shift-JIS) and lines (UTF-8, converted here).
  void AddFile(const std::string& path, const std::vector<std::string>& utf8Lines) {
    std::vector<std::string>& lines = files[Sjis(path)];
    lines.clear();
    for (const std::string& line : utf8Lines) lines.push_back(Sjis(line));
  }

  // The message of the fatal report `body` makes; fails the test when it reports nothing.
  std::string ErrorOf(const std::function<void()>& body) {
    std::size_t before = host->messages.size();
    EXPECT_THROW(body(), DExceptGame);
    if (host->messages.size() != before + 1) {
      ADD_FAILURE() << "expected exactly one message box";
      return {};
    }
    return host->messages.back();
  }

  int Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& call : host->calls) n += call.rfind(prefix, 0) == 0;
    return n;
  }

  std::map<std::string, std::vector<std::string>> files;
  std::function<void(const char* line, int mode)> onCommand;  // empty: the real dispatcher
  std::vector<std::string> shownText;                         // story text lines, as handed on
  int resets = 0;
  std::string progressPath = "progress.sav";

 private:
  struct FakeFile {
    const std::vector<std::string>* lines;
    std::size_t next = 0;
  };

  static LbFile CreateFile(const char* path, int mode) {
    active_->host->calls.push_back("lbCreateFile(\"" + std::string(path) + "\"," +
                                   std::to_string(mode) + ")");
    auto found = active_->files.find(path);
    if (found == active_->files.end()) return nullptr;
    active_->open_.push_back(std::make_unique<FakeFile>(FakeFile{&found->second}));
    return reinterpret_cast<LbFile>(active_->open_.back().get());
  }
  static const char* ReadFileLine(LbFile file) {
    active_->host->calls.push_back("lbReadFileLine");
    auto* fake = reinterpret_cast<FakeFile*>(file);
    if (fake->next >= fake->lines->size()) return nullptr;
    return (*fake->lines)[fake->next++].c_str();
  }
  static int DestroyFile(LbFile file) {
    active_->host->calls.push_back(file ? "lbDestroyFile" : "lbDestroyFile(null)");
    return 1;
  }
  static void Dispatch(const char* line, int mode) {
    if (active_->onCommand) active_->onCommand(line, mode);
    else DispatchCommand(line, mode);
  }
  static void ShowMessage(const char* line) { active_->shownText.push_back(line); }
  static void ResetPresentation() { ++active_->resets; }
  static void ProgressPath(char (&out)[kScenarioTextSize]) {
    CopyText(active_->progressPath.c_str(), out, kScenarioTextSize);
  }

  static inline ScenarioTest* active_ = nullptr;
  std::vector<std::unique_ptr<FakeFile>> open_;
};

// The fixed message heads, as the error operations format them.
inline std::string InContext(const std::string& file, int line, const std::string& utf8Message) {
  return Sjis("ファイル \"" + file + "\"\n行数 " + std::to_string(line) + "\n\n" + utf8Message);
}
