// The dispatcher: reads an `@` line against its row of the command table (name, mode,
// positional argument, options, required values) and calls the row's operation. Options are
// read afresh on every run of a line; the buffers live on the stack.
#include "script/commands.h"

#include "host/errors.h"
#include "script/scenario.h"
#include "script/syntax.h"

namespace {

constexpr std::size_t kTokenSize = 1024;  // the command name and each option's name and value

const CommandRow* FindRow(std::span<const CommandRow> table, const char* name) {
  for (const CommandRow& row : table)
    if (TextEqualsNoCase(row.name, name)) return &row;
  return nullptr;
}

const char* ReportName(const CommandRow& row) { return row.reportName ? row.reportName : row.name; }

void Store(const OptionRule& rule, const char* value, CommandArgs::Value& out) {
  switch (rule.kind) {
    case OptionKind::Text:
      CopyText(value, out.text, rule.textSize ? rule.textSize : kOptionTextSize);
      break;
    case OptionKind::Integer:
      out.integer = ParseInt(value);
      break;
    case OptionKind::Float:
      out.real = ParseFloat(value);
      break;
    case OptionKind::Flag:
      out.flag = true;
      break;
  }
}

void SetDefaults(const CommandRow& row, CommandArgs& args) {
  if (row.options.size() > kMaxCommandOptions) Fatal("The command %s has too many options.", row.name);
  for (std::size_t i = 0; i < row.options.size(); ++i) {
    const OptionRule& rule = row.options[i];
    args.values[i] = CommandArgs::Value{};
    if (rule.kind != OptionKind::Flag) Store(rule, rule.defaultValue, args.values[i]);
  }
}

// The option of the row (the positional argument aside) that the name stands for.
int FindOption(const CommandRow& row, const char* name) {
  for (std::size_t i = 0; i < row.options.size(); ++i)
    if (!row.options[i].positional && TextEqualsNoCase(row.options[i].name, name))
      return static_cast<int>(i);
  return -1;
}

bool Missing(const OptionRule& rule, const CommandArgs::Value& value) {
  if (rule.required && !value.given) return true;
  return rule.notNegative && rule.kind == OptionKind::Integer && value.integer < 0;
}

}  // namespace

const CommandRow& ReadCommandLine(std::span<const CommandRow> table, const char* line, int mode,
                                  CommandArgs& args) {
  const char* cursor = line;
  bool ended = false;
  char name[kTokenSize];
  char value[kTokenSize];
  NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);

  const CommandRow* row = FindRow(table, name);
  if (!row) BadCommand(name);
  if ((row->mode == ModeRule::NormalOnly && mode != kNormalScenario) ||
      (row->mode == ModeRule::InquiryOnly && mode != kInquiryScenario))
    ScriptError("%s", row->modeMessage ? row->modeMessage : row->name);

  args.row = row;
  SetDefaults(*row, args);

  if (!row->options.empty() && row->options[0].positional) {
    // The argument is the first token's name; a line that stops before it, or ends in
    // blanks right after the command, has none.
    if (!ended) {
      NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);
      if (name[0] != '\0') {
        Store(row->options[0], name, args.values[0]);
        args.values[0].given = true;
      }
    }
  }

  while (row->readsOptions && !ended) {
    NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);
    int index = FindOption(*row, name);
    if (index >= 0) {
      Store(row->options[index], value, args.values[index]);
      args.values[index].given = true;
      continue;
    }
    if (row->unknown == UnknownOptions::Ignore) continue;
    if (row->unknown == UnknownOptions::SkipEmpty && name[0] == '\0') continue;
    BadOption(ReportName(*row), name);
  }

  for (std::size_t i = 0; i < row->options.size(); ++i)
    if (Missing(row->options[i], args.values[i])) BadCommand(ReportName(*row));
  return *row;
}

void DispatchCommandWith(std::span<const CommandRow> table, const char* line, int mode) {
  CommandArgs args;
  ReadCommandLine(table, line, mode, args).run(args);
}

void DispatchCommand(const char* line, int mode) { DispatchCommandWith(CommandTable(), line, mode); }
