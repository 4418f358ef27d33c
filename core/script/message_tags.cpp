// The inline tags of message text: one row per tag name, compared without ASCII case, each
// carrying out its effect on the current text layer. A tag runs from just behind `[` to its
// `]`; an unknown name, a link option other than target and a wait without its time end
// the game with their messages.
#include <array>
#include <cstdint>

#include "host/errors.h"
#include "present/frame.h"
#include "present/text_layers.h"
#include "script/message.h"
#include "script/message_internal.h"
#include "script/message_log.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"
#include "support/support.h"

namespace {

constexpr std::size_t kTagTextSize = 264;

// The tokens of one tag after its name, and what the tag's own options said.
struct TagReader {
  const char*& cursor;
  bool ended;
  char name[kTagTextSize];
  char value[kTagTextSize];
  int time = 0;                      // [w N]
  char target[kTagTextSize] = {};    // [link target=T]

  // The next option; false once the tag has no more. A blank before `]` is not an option.
  bool Next() {
    if (ended) return false;
    NextOption(cursor, ']', ended, name, sizeof name, value, sizeof value);
    return !(name[0] == '\0' && ended);
  }
  // Steps over whatever the tag still holds, so the text goes on behind its `]`.
  void Finish() {
    while (Next()) {
    }
  }
};

// Reading a tag's options is apart from carrying it out, so a line can be read without
// being played.
using TagOptions = void (*)(TagReader& tag);
using TagAction = void (*)(const TagReader& tag, int mode);

void ReadWaitTime(TagReader& tag) {
  if (!tag.Next() || tag.name[0] == '\0') BadTagOption("w", "待ち時間"_sj);
  tag.time = ParseInt(tag.name);
}

void ReadLinkTarget(TagReader& tag) {
  while (tag.Next()) {
    if (!TextEqualsNoCase(tag.name, "target")) BadTagOption("link", tag.name);
    CopyText(tag.value, tag.target, sizeof tag.target);
  }
}

void LineBreak(const TagReader&, int) { newLine(); }

void PageBreak(const TagReader&, int mode) { RunPageBreak(mode); }

void Wait(const TagReader& tag, int) {
  renderScreen();
  // No predicate: the skip key does not shorten a written pause. A negative time is no
  // pause rather than one of nearly fifty days.
  if (tag.time > 0) waitFor(nullptr, 0, static_cast<std::uint32_t>(tag.time));
}

void Bold(const TagReader&, int) { useEmphasisFont(); }
void EndBold(const TagReader&, int) { useBodyFont(); }
void Indent(const TagReader&, int) { setIndent(true); }
void EndIndent(const TagReader&, int) { setIndent(false); }
void DefaultColour(const TagReader&, int) { resetTextColour(); }
void Red(const TagReader&, int) { setTextColour(0.925f, 0.0f, 0.549f); }
void Green(const TagReader&, int) { setTextColour(0.235f, 0.85f, 0.471f); }
void Blue(const TagReader&, int) { setTextColour(0.0f, 0.749f, 0.953f); }
void Yellow(const TagReader&, int) { setTextColour(0.937f, 0.918f, 0.008f); }
void Link(const TagReader& tag, int) { beginChoice(tag.target); }
void EndLink(const TagReader&, int) { endChoice(); }

struct TagRow {
  const char* name;
  TagAction run;
  TagOptions read = nullptr;  // null: the tag takes no options (any written are passed over)
  bool shapesPage = true;     // the message log draws it again: it changes how the page looks
};

const std::array kTags = {
    TagRow{"br", LineBreak},
    TagRow{"np", PageBreak, nullptr, false},
    TagRow{"w", Wait, ReadWaitTime, false},
    TagRow{"b", Bold},
    TagRow{"/b", EndBold},
    TagRow{"i", Indent},
    TagRow{"/i", EndIndent},
    TagRow{"c", DefaultColour},
    TagRow{"cr", Red},
    TagRow{"cg", Green},
    TagRow{"cb", Blue},
    TagRow{"cy", Yellow},
    TagRow{"link", Link, ReadLinkTarget, false},
    TagRow{"/link", EndLink, nullptr, false},
};

// Reads the tag's name and options; an unknown name or option ends the game.
const TagRow& ReadTag(TagReader& tag) {
  NextOption(tag.cursor, ']', tag.ended, tag.name, sizeof tag.name, tag.value,
             sizeof tag.value);
  for (const TagRow& row : kTags) {
    if (!TextEqualsNoCase(tag.name, row.name)) continue;
    if (row.read) row.read(tag);
    return row;
  }
  BadTag(tag.name);
}

}  // namespace

void RunTag(const char*& cursor, int mode) {
  TagReader tag{cursor, false, {}, {}};
  const TagRow& row = ReadTag(tag);
  row.run(tag, mode);
  if (row.shapesPage && currentTextLayer() == findTextLayer("def")) logTag(row.name);
  // A page break that ends the scenario leaves the rest of the text unread.
  Scenario* scenario = CurrentScenario();
  if (scenario && (scenario->exitRequested || scenario->returnRequested)) return;
  tag.Finish();
}

void ReadMessageTags(const char* text, void (*onLink)(const char* target, void* context),
                     void* context) {
  // The walk of ShowMessage: a backslash is dropped with nothing after it taken as escaped,
  // ruby runs to its `}` with brackets inside it drawn as ruby, and `[` opens a tag.
  bool ruby = false;
  const char* cursor = text;
  while (*cursor != '\0') {
    unsigned char byte = static_cast<unsigned char>(*cursor);
    if (isLeadByte(byte)) {
      if (cursor[1] == '\0') break;
      cursor += 2;
      continue;
    }
    ++cursor;
    if (ruby) {
      ruby = byte != '}';
    } else if (byte == '{') {
      ruby = true;
    } else if (byte == '[') {
      TagReader tag{cursor, false, {}, {}};
      const TagRow& row = ReadTag(tag);
      tag.Finish();
      if (row.run == Link && onLink) onLink(tag.target, context);
    }
  }
}
