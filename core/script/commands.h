// The command dispatcher: turns one `@` line into a call. Every command is one row of a
// table (names, options with kinds and defaults, what is required, the mode it runs in, the
// name its option errors use); the dispatcher reads the line against the row and calls the
// row's operation with the values. It is the top layer of the script services: the run loop
// reaches it through the hook start-up installs.
#pragma once

#include <cstddef>
#include <span>

#include "support/sjis_literal.h"

enum class OptionKind {
  Text,     // copied and cut to the option's size (256 or 264 bytes with the end byte)
  Integer,  // ParseInt
  Float,    // ParseFloat
  Flag,     // the name alone; a value, if written, is ignored
};

struct OptionRule {
  const char* name;           // compared without ASCII case; "" for the positional argument
  OptionKind kind;
  std::size_t textSize = 0;   // Text only
  const char* defaultValue = "";  // read by the kind's rule, so "-1" or "500.0" work alike
  bool required = false;      // missing: the command is reported as unrecognised
  bool notNegative = false;   // Integer only: a negative value counts as missing
  bool positional = false;    // the first token's name is the value
};

// Where a command may run: some only in a normal scenario, some only inside an inquiry.
enum class ModeRule { Any, NormalOnly, InquiryOnly };

// What an option name that matches none of the command's options does.
enum class UnknownOptions {
  Report,     // BadOption, the empty name of a line ending in blanks included
  SkipEmpty,  // BadOption, but a token with an empty name is passed over
  Ignore,     // every unknown name is passed over
};

constexpr std::size_t kMaxCommandOptions = 10;
constexpr std::size_t kOptionTextSize = 264;

struct CommandRow;

// The values one line gave (or the defaults), by the index of the option in its row.
struct CommandArgs {
  struct Value {
    char text[kOptionTextSize] = {};
    int integer = 0;
    float real = 0.0f;
    bool flag = false;
    bool given = false;  // written on the line, not just defaulted
  };
  const CommandRow* row = nullptr;
  Value values[kMaxCommandOptions];

  const char* Text(std::size_t i) const { return values[i].text; }
  int Integer(std::size_t i) const { return values[i].integer; }
  float Real(std::size_t i) const { return values[i].real; }
  bool Flag(std::size_t i) const { return values[i].flag; }
  bool Given(std::size_t i) const { return values[i].given; }
};

struct CommandRow {
  const char* name;                    // `@` included
  std::span<const OptionRule> options;  // the positional argument, if any, comes first
  void (*run)(const CommandArgs& args);
  const char* reportName = nullptr;    // the name BadOption uses; null: the row's name
  ModeRule mode = ModeRule::Any;
  const char* modeMessage = nullptr;   // the script error for the wrong mode
  UnknownOptions unknown = UnknownOptions::Report;
  bool readsOptions = true;  // false: tokens after the name (and positional) are not read
};

// The texts of the mode errors, for the rows of the inquiry commands.
inline constexpr const char* kInquiryRunModeMessage =
    "@inquiryRun/@testimonyRunコマンドは通常シナリオ中でのみ使用可能です"_sj;
inline constexpr const char* kDisableSpeechModeMessage =
    "@inquiryDisableSpeechコマンドは尋問シナリオ中でのみ使用可能です"_sj;
inline constexpr const char* kEnableSpeechModeMessage =
    "@inquiryEnableSpeechコマンドは尋問シナリオ中でのみ使用可能です"_sj;
inline constexpr const char* kInquiryExitModeMessage =
    "@inquiryExitコマンドは尋問シナリオ中でのみ使用可能です"_sj;
inline constexpr const char* kInquiryRewindModeMessage =
    "@inquiryRewindコマンドは尋問シナリオ中でのみ使用可能です"_sj;

// The game's commands, in the order names are compared.
std::span<const CommandRow> CommandTable();

// Carries out one `@` line in the given mode (0 normal scenario, 1 inquiry). Every problem
// with the line ends the game with its message.
void DispatchCommand(const char* line, int mode);
// The same against another table.
void DispatchCommandWith(std::span<const CommandRow> table, const char* line, int mode);
// Reads an `@` line against its row (name, mode, options, required values) and fills `args`
// without carrying the command out; every problem ends the game as DispatchCommand would.
// The checker uses it to read a game's lines exactly as the game reads them.
const CommandRow& ReadCommandLine(std::span<const CommandRow> table, const char* line, int mode,
                                  CommandArgs& args);
