// Testimony and cross-examination: the inquiry file of a witness's statements, the testimony
// that shows every visible statement once, the cross-examination that pages through them with
// press and present buttons and plays the reactions of the companion scenario, and the
// steering commands those reactions use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t kInquiryTextSize = 256;  // title, names, statement text
constexpr std::size_t kInquiryPathSize = 264;  // paths, pictures and targets
// The highest statement number a file may use: the statements grow to it, so a larger one
// would allocate without limit for one mistyped digit.
constexpr int kMaxStatementNumber = 10000;

// InquiryStatement::flags
constexpr std::uint32_t kStatementVisible = 0x1;
constexpr std::uint32_t kStatementFadeIn = 0x2;  // the witness's picture comes in with a fade
constexpr std::uint32_t kStatementKurae = 0x4;   // the right evidence is answered with "kurae"

struct InquiryStatement {
  std::uint32_t flags = 0;
  char picture[kInquiryPathSize] = {};  // the witness's sprite for this statement
  std::int32_t x = 0, y = 0;            // offsets in the centre character place
  char text[kInquiryTextSize] = {};
  char pressTarget[kInquiryPathSize] = {};
  std::int32_t item = -1;  // the evidence that must be presented; -1 when none is
  char successTarget[kInquiryPathSize] = {};
  char missTarget[kInquiryPathSize] = {};
  char endTarget[kInquiryPathSize] = {};  // run when paging past the last visible statement
};

struct Inquiry {
  std::uint8_t exitFlag = 0;   // `@inquiryExit`: the cross-examination ends
  std::uint8_t leaveFlag = 0;  // the current pass through the statements ends
  char path[kInquiryPathSize] = {};  // named by error reports while the inquiry runs
  char title[kInquiryTextSize] = {};
  char subScenario[kInquiryPathSize] = {};  // the file holding the reactions' labels
  char witness[kInquiryTextSize] = {};      // name plate
  char lawyer[kInquiryTextSize] = {};       // voice of the exclamations
  std::vector<InquiryStatement> statements;  // by number; one more than the highest defined
};

// Reads "<name>.inq" of the scenario folder; every problem ends the game with the file's
// message, naming the inquiry file and its line.
Inquiry parseInquiry(const char* name);

// The running inquiry, or null outside every run.
Inquiry* currentInquiry();

// Plays a reaction: `label` of the sub-scenario (the default file) as an inquiry scenario.
// True when it ended with `@exit`; its result is then the running scenario's.
bool runInquiryTarget(const char* label, const char* subScenario);

// `@inquiryRun` and `@testimonyRun`: plays the inquiry file with the background music `bgm`.
// True when the running scenario must end.
bool runInquiry(const char* file, const char* bgm, bool testimony);

// The steering commands, for the running inquiry.
void setStatementVisible(int number, bool visible);  // `@inquiryEnableSpeech` / `...Disable...`
void rewindInquiry();  // `@inquiryRewind`: the pass ends and starts again from the first
void exitInquiry();    // `@inquiryExit`: the cross-examination ends
