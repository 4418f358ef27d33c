// The error operations and the error context. Messages are the system's own Shift-JIS texts;
// each one is logged (a line feed, then the text) and shown in a box before the game ends.
#include "host/errors.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "host/host_api.h"
#include "support/sjis_literal.h"
#include "support/support.h"

char gErrorFile[kErrorFileSize];
int gErrorLine;

namespace {

constexpr const char* kCaption = "Orvane System";

// Messages are short; the largest carry a 263-byte file name and a 1023-byte option name.
constexpr int kMessageSize = 4096;

// Length of the longest prefix of text, at most limit bytes, that ends on a whole character,
// so a cut never leaves half of a double-byte character behind.
std::size_t WholeCharacters(const char* text, std::size_t limit) {
  std::size_t n = 0;
  while (n < limit && text[n]) {
    std::size_t step = isLeadByte(static_cast<unsigned char>(text[n])) && text[n + 1] ? 2 : 1;
    if (n + step > limit) break;
    n += step;
  }
  return n;
}

void Format(char* out, const char* format, va_list values) {
  int n = std::vsnprintf(out, kMessageSize, format, values);
  if (n >= kMessageSize) out[WholeCharacters(out, kMessageSize - 1)] = '\0';
}

// Log, then the box. Before the host is bound there is no box to show: the log still has it.
void Report(const char* text) {
  OutputDebugStringA("\n");
  OutputDebugStringA(text);
  if (gHost.lbMessage) gHost.lbMessage(text, kCaption, 0);
}

void ReportFormatted(const char* format, va_list values) {
  char text[kMessageSize];
  Format(text, format, values);
  Report(text);
}

// The fixed messages all name the file and line of the error context first.
template <typename... Values>
[[noreturn]] void FatalInContext(const char* format, Values... values) {
  Fatal(format, gErrorFile, gErrorLine, values...);
}

}  // namespace

void Fatal(const char* format, ...) {
  va_list values;
  va_start(values, format);
  ReportFormatted(format, values);
  va_end(values);
  throw DExceptGame{};
}

void Warn(const char* format, ...) {
  va_list values;
  va_start(values, format);
  ReportFormatted(format, values);
  va_end(values);
}

void Abort() { throw DExceptGame{}; }

void ScriptError(const char* format, ...) {
  char message[kMessageSize];
  va_list values;
  va_start(values, format);
  Format(message, format, values);
  va_end(values);
  FatalInContext("ファイル \"%s\"\n行数 %d\n\n%s"_sj, message);
}

void BadCommand(const char* command) {
  FatalInContext("ファイル \"%s\"\n行数 %d\n\nコマンド%sが認識できません。"_sj, command);
}

void BadOption(const char* command, const char* option) {
  FatalInContext("ファイル \"%s\"\n行数 %d\n\nコマンド%sの%sオプションが認識できません。"_sj, command,
                 option);
}

void BadTag(const char* tag) {
  FatalInContext("ファイル \"%s\"\n行数 %d\n\nタグ[%s]が認識できません。"_sj, tag);
}

void BadTagOption(const char* tag, const char* option) {
  FatalInContext("ファイル \"%s\"\n行数 %d\n\nタグ[%s]の%sオプションが認識できません。"_sj, tag, option);
}

void NotRecognised(const char* word) {
  FatalInContext("ファイル \"%s\"\n行数 %d\n\n%sが認識できません。"_sj, word);
}

void SetErrorFile(const char* name) {
  if (!name) name = "";
  std::size_t n = WholeCharacters(name, kErrorFileSize - 1);
  std::memcpy(gErrorFile, name, n);
  gErrorFile[n] = '\0';
  gErrorLine = 0;
}
