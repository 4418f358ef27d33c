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
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

constexpr std::size_t kTagTextSize = 264;

// The tokens of one tag after its name.
struct TagReader {
  const char*& cursor;
  bool ended;
  char name[kTagTextSize];
  char value[kTagTextSize];

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

using TagAction = void (*)(TagReader& tag, int mode);

void LineBreak(TagReader&, int) { newLine(); }

void PageBreak(TagReader&, int mode) { RunPageBreak(mode); }

void Wait(TagReader& tag, int) {
  if (!tag.Next() || tag.name[0] == '\0') BadTagOption("w", "待ち時間"_sj);
  int milliseconds = ParseInt(tag.name);
  renderScreen();
  // No predicate: the skip key does not shorten a written pause. A negative time is no
  // pause rather than one of nearly fifty days.
  if (milliseconds > 0) waitFor(nullptr, 0, static_cast<std::uint32_t>(milliseconds));
}

void Bold(TagReader&, int) { useEmphasisFont(); }
void EndBold(TagReader&, int) { useBodyFont(); }
void Indent(TagReader&, int) { setIndent(true); }
void EndIndent(TagReader&, int) { setIndent(false); }
void DefaultColour(TagReader&, int) { resetTextColour(); }
void Red(TagReader&, int) { setTextColour(0.925f, 0.0f, 0.549f); }
void Green(TagReader&, int) { setTextColour(0.235f, 0.85f, 0.471f); }
void Blue(TagReader&, int) { setTextColour(0.0f, 0.749f, 0.953f); }
void Yellow(TagReader&, int) { setTextColour(0.937f, 0.918f, 0.008f); }

void Link(TagReader& tag, int) {
  char target[kTagTextSize] = {};
  while (tag.Next()) {
    if (!TextEqualsNoCase(tag.name, "target")) BadTagOption("link", tag.name);
    CopyText(tag.value, target, sizeof target);
  }
  beginChoice(target);
}

void EndLink(TagReader&, int) { endChoice(); }

struct TagRow {
  const char* name;
  TagAction run;
};

const std::array kTags = {
    TagRow{"br", LineBreak},     TagRow{"np", PageBreak},    TagRow{"w", Wait},
    TagRow{"b", Bold},           TagRow{"/b", EndBold},      TagRow{"i", Indent},
    TagRow{"/i", EndIndent},     TagRow{"c", DefaultColour}, TagRow{"cr", Red},
    TagRow{"cg", Green},         TagRow{"cb", Blue},         TagRow{"cy", Yellow},
    TagRow{"link", Link},        TagRow{"/link", EndLink},
};

}  // namespace

void RunTag(const char*& cursor, int mode) {
  TagReader tag{cursor, false, {}, {}};
  NextOption(cursor, ']', tag.ended, tag.name, sizeof tag.name, tag.value, sizeof tag.value);
  for (const TagRow& row : kTags) {
    if (!TextEqualsNoCase(tag.name, row.name)) continue;
    row.run(tag, mode);
    // A page break that ends the scenario leaves the rest of the text unread.
    Scenario* scenario = CurrentScenario();
    if (scenario && (scenario->exitRequested || scenario->returnRequested)) return;
    tag.Finish();
    return;
  }
  BadTag(tag.name);
}
