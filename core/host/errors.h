// Error reporting: every data error ends the game the same way. The message (most carry the
// scenario file and line of the error context) goes to the debug log and to a message box
// captioned "Orvane System", then DExceptGame unwinds to the one handler around start.
#pragma once

// Ends the game: thrown by every fatal report, a closed window and the title's quit choice,
// caught only around the body of start. It carries nothing.
struct DExceptGame {};

// The error context: which scenario file and line is being worked on. The file name is cut
// to 263 bytes (at a character boundary) and always terminated.
constexpr int kErrorFileSize = 264;
extern char gErrorFile[kErrorFileSize];
extern int gErrorLine;

#define CORE_PRINTF(fmt, first) __attribute__((format(printf, fmt, first)))

// Formats (printf rules), logs, shows the box, then throws DExceptGame.
[[noreturn]] void Fatal(const char* format, ...) CORE_PRINTF(1, 2);
// The same, returning once the box is closed.
void Warn(const char* format, ...) CORE_PRINTF(1, 2);
// Ends the game without a message (window closed, quit chosen).
[[noreturn]] void Abort();
// The caller's message under the file and line of the error context.
[[noreturn]] void ScriptError(const char* format, ...) CORE_PRINTF(1, 2);
[[noreturn]] void BadCommand(const char* command);                    // unknown @command
[[noreturn]] void BadOption(const char* command, const char* option); // unknown option
[[noreturn]] void BadTag(const char* tag);                            // unknown [tag]
[[noreturn]] void BadTagOption(const char* tag, const char* option);  // unknown tag option
[[noreturn]] void NotRecognised(const char* word);                    // unknown word
// Names the file being read, with the line count back at 0.
void SetErrorFile(const char* name);
