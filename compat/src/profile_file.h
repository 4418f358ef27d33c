/*
 * A profile (.ini) file as lines: every line keeps its bytes and its own line end, so a
 * write changes only the lines it means to and leaves comments and unknown lines alone.
 */
#ifndef ORVANE_COMPAT_PROFILE_FILE_H
#define ORVANE_COMPAT_PROFILE_FILE_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace compat {

enum class ProfileLineKind { Other, Section, Key };

struct ProfileLine {
  std::string text;  // the line's bytes without its line end
  std::string end;   // "\r\n", "\n", or "" for a last line without one
  ProfileLineKind kind = ProfileLineKind::Other;
  std::string name;   // section name or key, without surrounding blanks
  std::string value;  // a key's value: blanks and one pair of enclosing quotes removed
  int section = -1;   // index of the section line this line belongs to, -1 before any
};

struct ProfileFile {
  std::vector<ProfileLine> lines;
  std::string newline = "\r\n";  // what new lines end with: the file's own style
};

// Splits and classifies the bytes of a profile file.
ProfileFile parseProfile(std::string_view data);

// Classifies one line as a section header, a key or anything else.
void classifyProfileLine(ProfileLine& line);

// The file's bytes again: every line's text and end, in order.
std::string serializeProfile(const ProfileFile& file);

// Reads the file at an on-disk path. Returns false when it does not exist or cannot be read;
// missing is set when it simply does not exist.
bool loadProfile(const std::string& diskPath, ProfileFile& file, bool& missing);

// The file at an on-disk path as it stands now, for reading; null when it does not exist or
// cannot be read. A file that has stood unchanged for two seconds is parsed once and handed
// out again while its identity and times say it is the same file: the game reads its
// settings before every story line.
std::shared_ptr<const ProfileFile> readProfile(const std::string& diskPath);

// Replaces the file whole: writes a temporary file beside it and renames it into place, so
// the old file stays intact on any failure.
bool storeProfile(const std::string& diskPath, const std::string& data);

// Recomputes which section each line belongs to after lines were added or removed.
void renumberSections(ProfileFile& file);

}  // namespace compat

#endif  // ORVANE_COMPAT_PROFILE_FILE_H
