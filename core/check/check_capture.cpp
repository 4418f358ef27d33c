// The checker's view of the host: the message box keeps the last report instead of showing
// it, and text files are read through a wrapper that counts their lines, remembers them,
// and can hand a refused line back as empty so the reader goes on past it.
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>

#include "check/check_internal.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

struct OpenText {
  std::string path;
  int line = 0;
};

struct CaptureState {
  int (*message)(const char*, const char*, int) = nullptr;
  LbFile (*createFile)(const char*, int) = nullptr;
  const char* (*readLine)(LbFile) = nullptr;
  int (*destroyFile)(LbFile) = nullptr;
  int (*fileExists)(const char*) = nullptr;

  std::string lastMessage;
  bool reported = false;
  std::map<LbFile, OpenText> open;
  std::map<std::string, std::vector<std::string>> lines;
  std::map<std::string, std::set<int>> blank;
  std::unordered_map<std::string, int> exists;  // nothing changes the game during a check
  ReadPosition last;
  int linesTotal = 0;
  int filesTotal = 0;
};

CaptureState gCapture;

int KeepMessage(const char* text, const char*, int) {
  gCapture.lastMessage = text ? text : "";
  gCapture.reported = true;
  return 1;
}

LbFile CreateFile(const char* path, int mode) {
  LbFile file = gCapture.createFile(path, mode);
  if (file) {
    gCapture.open[file] = OpenText{path, 0};
    gCapture.lines[path].assign(1, std::string());
    ++gCapture.filesTotal;
  }
  return file;
}

const char* ReadLine(LbFile file) {
  const char* line = gCapture.readLine(file);
  auto open = gCapture.open.find(file);
  if (!line || open == gCapture.open.end()) return line;
  OpenText& text = open->second;
  ++text.line;
  ++gCapture.linesTotal;
  gCapture.last = ReadPosition{text.path, text.line};
  gCapture.lines[text.path].emplace_back(line);
  auto blank = gCapture.blank.find(text.path);
  if (blank != gCapture.blank.end() && blank->second.count(text.line)) return "";
  return line;
}

// Every line names pictures and sounds that many other lines name too; the answer is asked of
// the host once.
int FileExists(const char* path) {
  auto known = gCapture.exists.find(path);
  if (known != gCapture.exists.end()) return known->second;
  return gCapture.exists[path] = gCapture.fileExists(path);
}

int DestroyFile(LbFile file) {
  gCapture.open.erase(file);
  return gCapture.destroyFile(file);
}

// The engine puts the file and line of its error context in front of most messages; the
// report names them itself, so only what follows the blank line is kept. Line feeds left in
// a message become blanks, so every finding is one line.
std::string MessageText(const std::string& raw) {
  static const std::string kContext = "ファイル \""_sj;
  std::string text = raw;
  if (text.compare(0, kContext.size(), kContext) == 0) {
    std::size_t body = text.find("\n\n");
    if (body != std::string::npos) text = text.substr(body + 2);
  }
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

CaptureScope::CaptureScope() {
  gCapture = CaptureState{};
  gCapture.message = gHost.lbMessage;
  gCapture.createFile = gHost.lbCreateFile;
  gCapture.readLine = gHost.lbReadFileLine;
  gCapture.destroyFile = gHost.lbDestroyFile;
  gCapture.fileExists = gHost.lbIsFileExist;
  gHost.lbMessage = KeepMessage;
  gHost.lbCreateFile = CreateFile;
  gHost.lbReadFileLine = ReadLine;
  gHost.lbDestroyFile = DestroyFile;
  gHost.lbIsFileExist = FileExists;
}

CaptureScope::~CaptureScope() {
  gHost.lbMessage = gCapture.message;
  gHost.lbCreateFile = gCapture.createFile;
  gHost.lbReadFileLine = gCapture.readLine;
  gHost.lbDestroyFile = gCapture.destroyFile;
  gHost.lbIsFileExist = gCapture.fileExists;
}

bool RunUnit(const std::function<void()>& unit, std::string& message) {
  gCapture.reported = false;
  gCapture.last = ReadPosition{};
  try {
    unit();
    return true;
  } catch (const DExceptGame&) {
    message = gCapture.reported ? MessageText(gCapture.lastMessage) : std::string();
    return false;
  }
}

ReadPosition LastRead() { return gCapture.last; }

const std::vector<std::string>& LinesRead(const std::string& file) {
  return gCapture.lines[file];
}

void BlankLine(const std::string& file, int line) { gCapture.blank[file].insert(line); }

void ClearBlankLines() { gCapture.blank.clear(); }

int LinesReadTotal() { return gCapture.linesTotal; }

int FilesOpenedTotal() { return gCapture.filesTotal; }

void AddFinding(CheckReport& report, const std::string& file, int line, bool warning,
                const std::string& text) {
  report.findings.push_back(CheckFinding{file, line, warning, text});
  (warning ? report.warnings : report.errors) += 1;
}

void CheckDefinitionFile(CheckReport& report, const std::string& file, bool retry,
                         const std::function<void()>& reader) {
  std::set<int> refused;
  for (;;) {
    std::string message;
    if (RunUnit(reader, message)) break;
    ReadPosition at = LastRead();
    // A report before any line was read (the file cannot be opened) belongs to the file.
    if (at.file.empty()) at.file = file;
    AddFinding(report, at.file, at.line, false, message);
    if (!retry || at.file != file || at.line == 0 || !refused.insert(at.line).second) break;
    BlankLine(file, at.line);
  }
  ClearBlankLines();
}

int LineWithOption(const std::vector<std::string>& lines, const char* name, const char* value) {
  int found = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const char* cursor = lines[i].c_str();
    bool ended = false;
    char option[1024];
    char text[1024];
    while (!ended) {
      NextOption(cursor, '\0', ended, option, sizeof option, text, sizeof text);
      if (TextEqualsNoCase(option, name) && TextEqualsNoCase(text, value))
        found = static_cast<int>(i);
    }
  }
  return found;
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Extension(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

std::string WithoutExtension(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}
