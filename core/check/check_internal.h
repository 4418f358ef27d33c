// What the checker's parts share: the host wrappers that turn the engine's reports into
// findings and tell which line of which file a reader was on, and the findings list.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "check/check.h"

// The checker's own words for what the engine would not report itself.
void AddFinding(CheckReport& report, const std::string& file, int line, bool warning,
                const std::string& text);

// Wraps the host's message box and text-file functions for the length of a check, and puts
// them back when it ends.
struct CaptureScope {
  CaptureScope();
  ~CaptureScope();
  CaptureScope(const CaptureScope&) = delete;
  CaptureScope& operator=(const CaptureScope&) = delete;
};

// Runs one unit of reading. True when it ran through; false when the engine reported a
// problem, whose text (without the file and line the engine puts in front) is in `message`.
bool RunUnit(const std::function<void()>& unit, std::string& message);

// The file a reader read its last line from and that line's number, since the start of the
// current unit; empty before any line was read.
struct ReadPosition {
  std::string file;
  int line = 0;
};
ReadPosition LastRead();
// Every line read from the file so far, by number from 1 (index 0 unused).
const std::vector<std::string>& LinesRead(const std::string& file);
// From now on the readers see that line of the file as an empty line, so a reader that
// stopped there can be run again to find what lies after it.
void BlankLine(const std::string& file, int line);
void ClearBlankLines();
// Lines and files read since the check started.
int LinesReadTotal();
int FilesOpenedTotal();

// Runs a definition reader over its file and records what it reports at the line it was
// on. With `retry`, a refused line is blanked and the reader runs again until the file
// reads through, so every bad line is reported; readers that skip empty lines allow it.
void CheckDefinitionFile(CheckReport& report, const std::string& file, bool retry,
                         const std::function<void()>& reader);

// The 1-based line of the file's lines that has an option `name` whose value equals
// `value` (ASCII case ignored); 0 when none has. The last such line wins, as a later
// definition overrides an earlier one.
int LineWithOption(const std::vector<std::string>& lines, const char* name, const char* value);

// The definition files: sprites, motions, the music list (check_definitions.cpp).
void CheckSpriteDefinitions(CheckReport& report, const std::vector<std::string>& files);
void CheckMotions(CheckReport& report, const std::vector<std::string>& files);
void CheckMusicList(CheckReport& report);
// The scenario folder: items, inquiries, scenario lines and targets (check_scenarios.cpp).
void CheckScenarioFolder(CheckReport& report, const std::string& folder,
                         const std::vector<std::string>& files);

// The name without its folder and extension, and the extension (lower case, no point).
std::string BaseName(const std::string& path);
std::string Extension(const std::string& path);
// `path` without its extension.
std::string WithoutExtension(const std::string& path);
