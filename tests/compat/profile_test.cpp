// Profile files: Windows lookup rules on reads, and writes that change one thing, keep every
// other byte, and replace the file whole.
#include <gtest/gtest.h>

#include "compat/temp_folder.h"
#include "wincompat.h"
#include "windows.h"

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string readString(const char* section, const char* key, const char* fallback, const std::string& path,
                       DWORD size = 256) {
  std::string buffer(size, '\x7f');
  DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, path.c_str());
  EXPECT_EQ(buffer[length], '\0');
  return buffer.substr(0, length);
}

TEST(ProfileRead, SectionAndKeyMatchWithoutAsciiCase) {
  TempFolder dir;
  dir.write("game.sav", "[Save]\r\nClear=3\r\n");
  EXPECT_EQ(readString("save", "CLEAR", "x", dir / "game.sav"), "3");
  EXPECT_EQ(GetPrivateProfileIntA("SAVE", "clear", 7, (dir / "game.sav").c_str()), 3u);
}

TEST(ProfileRead, MissingFileSectionOrKeyGivesDefault) {
  TempFolder dir;
  dir.write("game.sav", "[save]\nclear=3\n");
  EXPECT_EQ(readString("save", "clear", "none", dir / "absent.sav"), "none");
  EXPECT_EQ(readString("other", "clear", "none", dir / "game.sav"), "none");
  EXPECT_EQ(readString("save", "pt_scn", "", dir / "game.sav"), "");
  EXPECT_EQ(readString("save", "pt_scn", nullptr, dir / "game.sav"), "");
  EXPECT_EQ(GetPrivateProfileIntA("save", "pt_life", 5, (dir / "game.sav").c_str()), 5u);
  EXPECT_EQ(GetPrivateProfileIntA("save", "clear", 5, (dir / "absent.sav").c_str()), 5u);
}

TEST(ProfileRead, ValueTrimmedAndOnePairOfQuotesRemoved) {
  TempFolder dir;
  dir.write("a.ini", "[s]\r\n  a =  spaced out \t\r\nb=\"quoted\"\r\nc='single'\r\nd=\"\"twice\"\"\r\ne=\"open\r\n");
  EXPECT_EQ(readString("s", "a", "", dir / "a.ini"), "spaced out");
  EXPECT_EQ(readString("s", "b", "", dir / "a.ini"), "quoted");
  EXPECT_EQ(readString("s", "c", "", dir / "a.ini"), "single");
  EXPECT_EQ(readString("s", "d", "", dir / "a.ini"), "\"twice\"");
  EXPECT_EQ(readString("s", "e", "", dir / "a.ini"), "\"open");
}

TEST(ProfileRead, CommentsAndKeysBeforeAnySectionAreNotKeys) {
  TempFolder dir;
  dir.write("a.ini", "stray=1\n[s]\n;hidden=2\nshown=3\n");
  EXPECT_EQ(readString("s", ";hidden", "no", dir / "a.ini"), "no");
  EXPECT_EQ(readString("s", "stray", "no", dir / "a.ini"), "no");
  EXPECT_EQ(readString("s", "shown", "no", dir / "a.ini"), "3");
}

TEST(ProfileRead, LongValueIsCutToBufferWithoutSplittingDoubleByteCharacter) {
  TempFolder dir;
  dir.write("a.ini", "[s]\r\nv=ab\x95\x5c" "cd\r\n");
  EXPECT_EQ(readString("s", "v", "", dir / "a.ini", 5), "ab\x95\x5c");
  EXPECT_EQ(readString("s", "v", "", dir / "a.ini", 4), "ab");
  char one[1] = {'x'};
  EXPECT_EQ(GetPrivateProfileStringA("s", "v", "", one, 1, (dir / "a.ini").c_str()), 0u);
  EXPECT_EQ(one[0], '\0');
}

TEST(ProfileRead, DoubleByteTrailBytesAreNeitherCaseFoldedNorDelimiters) {
  TempFolder dir;
  // 0x83 0x5D ends in the byte of `]`; 0x83 0x41 and 0x83 0x61 are two katakana whose trail
  // bytes are 'A' and 'a'.
  dir.write("a.ini", "[\x83\x5d" "x]\r\n\x83\x41=upper\r\n");
  EXPECT_EQ(readString("\x83\x5d" "x", "\x83\x41", "", dir / "a.ini"), "upper");
  EXPECT_EQ(readString("\x83\x5d" "X", "\x83\x41", "", dir / "a.ini"), "upper");
  EXPECT_EQ(readString("\x83\x5d" "x", "\x83\x61", "none", dir / "a.ini"), "none");
}

TEST(ProfileRead, NullSectionListsSectionNamesDoubleZeroTerminated) {
  TempFolder dir;
  dir.write("a.ini", "[one]\nk=1\n[Two]\n[ONE]\nj=2\n");
  char buffer[64];
  DWORD length = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, (dir / "a.ini").c_str());
  EXPECT_EQ(std::string(buffer, length + 1), std::string("one\0Two\0\0", 9));
  // Too small: cut, still ending in two zeros, reporting size - 2.
  char small[6];
  length = GetPrivateProfileStringA(nullptr, nullptr, "", small, sizeof small, (dir / "a.ini").c_str());
  EXPECT_EQ(length, 4u);
  EXPECT_EQ(std::string(small, 6), std::string("one\0T\0", 6).substr(0, 4) + std::string("\0\0", 2));
}

TEST(ProfileRead, NullKeyListsKeysOfTheSection) {
  TempFolder dir;
  dir.write("a.ini", "[s]\r\nalpha=1\r\n;note\r\nBeta=2\r\n[t]\r\ngamma=3\r\n");
  char buffer[64];
  DWORD length = GetPrivateProfileStringA("S", nullptr, "", buffer, sizeof buffer, (dir / "a.ini").c_str());
  EXPECT_EQ(std::string(buffer, length + 1), std::string("alpha\0Beta\0\0", 12));
  length = GetPrivateProfileStringA("none", nullptr, "", buffer, sizeof buffer, (dir / "a.ini").c_str());
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(buffer[0], '\0');
}

TEST(ProfileRead, IntParsesBlanksSignAndLeadingDigitsOnly) {
  TempFolder dir;
  dir.write("a.ini", "[s]\na=  -12\nb=+7x\nc=word\nd=\ne=4294967295\n");
  std::string path = dir / "a.ini";
  EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("s", "a", 0, path.c_str())), -12);
  EXPECT_EQ(GetPrivateProfileIntA("s", "b", 0, path.c_str()), 7u);
  EXPECT_EQ(GetPrivateProfileIntA("s", "c", 9, path.c_str()), 0u);
  EXPECT_EQ(GetPrivateProfileIntA("s", "d", 9, path.c_str()), 9u);
  EXPECT_EQ(GetPrivateProfileIntA("s", "e", 0, path.c_str()), 4294967295u);
}

TEST(ProfileRead, PathIsShiftJisAndFoundWithoutCase) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "\xe3\x82\xbd\xe3\x83\x95\xe3\x83\x88");  // ソフト in UTF-8
  dir.write("\xe3\x82\xbd\xe3\x83\x95\xe3\x83\x88/Game.SAV", "[save]\nclear=2\n");
  std::string sjisPath = dir.path() + "/\x83\x5c\x83\x74\x83\x67/game.sav";
  EXPECT_EQ(GetPrivateProfileIntA("save", "clear", 0, sjisPath.c_str()), 2u);
}

// A file that has stood unchanged for two seconds is kept parsed; every change after that is
// read, even a rewrite that leaves its size and modification time as they were.
TEST(ProfileRead, AFileKeptOnceItHasStoodIsReadAgainWhenChanged) {
  TempFolder dir;
  for (const char* name : {"rewritten.ini", "removed.ini", "replaced.ini", "replacement.ini"})
    dir.write(name, std::string("[s]\nk=1\n"));
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  auto value = [&](const char* name) {
    return GetPrivateProfileIntA("s", "k", 7, (dir / name).c_str());
  };
  for (const char* name : {"rewritten.ini", "removed.ini", "replaced.ini"})
    for (int read = 0; read < 2; ++read) EXPECT_EQ(value(name), 1u) << name;

  struct stat before;
  ASSERT_EQ(stat((dir / "rewritten.ini").c_str(), &before), 0);
  dir.write("rewritten.ini", "[s]\nk=2\n");
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, (dir / "rewritten.ini").c_str(), times, 0), 0);
  EXPECT_EQ(value("rewritten.ini"), 2u);

  ASSERT_EQ(unlink((dir / "removed.ini").c_str()), 0);
  EXPECT_EQ(value("removed.ini"), 7u);

  dir.write("replacement.ini", "[s]\nk=3\n");
  ASSERT_EQ(rename((dir / "replacement.ini").c_str(), (dir / "replaced.ini").c_str()), 0);
  EXPECT_EQ(value("replaced.ini"), 3u);
  ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "4", (dir / "replaced.ini").c_str()));
  EXPECT_EQ(value("replaced.ini"), 4u);
}

// A pipe in the file's place is no profile: reading it gives the default at once instead of
// waiting for a writer, and writing leaves it where it is.
TEST(ProfileRead, APipeInTheFilesPlaceReadsAsNoFile) {
  TempFolder dir;
  ASSERT_EQ(mkfifo((dir / "p.ini").c_str(), 0644), 0);
  EXPECT_EQ(GetPrivateProfileIntA("s", "k", 7, (dir / "p.ini").c_str()), 7u);
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "1", (dir / "p.ini").c_str()));
  struct stat info;
  ASSERT_EQ(stat((dir / "p.ini").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST(ProfileWrite, CreatesFileAndSectionWithCrlf) {
  TempFolder dir;
  EXPECT_TRUE(WritePrivateProfileStringA("save", "clear", "1", (dir / "new.sav").c_str()));
  EXPECT_EQ(dir.read("new.sav"), "[save]\r\nclear=1\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("save", "pt_life", "5", (dir / "new.sav").c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Other", "k", "v", (dir / "new.sav").c_str()));
  EXPECT_EQ(dir.read("new.sav"), "[save]\r\nclear=1\r\npt_life=5\r\n[Other]\r\nk=v\r\n");
}

TEST(ProfileWrite, KeepsUnrelatedLinesAndCommentsByteForByte) {
  TempFolder dir;
  const std::string before =
      "; progress of the player\n"
      "junk line without equals\n"
      "[Save]   \n"
      "  Clear = 1  ; old\n"
      "\n"
      "; comment before the next section\n"
      "[other]\n"
      "x=\"kept\"\n"
      "last=no newline";
  dir.write("p.sav", before);
  ASSERT_TRUE(WritePrivateProfileStringA("save", "clear", "2", (dir / "p.sav").c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("save", "pt_scn", "scn/a", (dir / "p.sav").c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("third", "k", "v", (dir / "p.sav").c_str()));
  EXPECT_EQ(dir.read("p.sav"),
            "; progress of the player\n"
            "junk line without equals\n"
            "[Save]   \n"
            "Clear=2\n"
            "pt_scn=scn/a\n"
            "\n"
            "; comment before the next section\n"
            "[other]\n"
            "x=\"kept\"\n"
            "last=no newline\n"
            "[third]\n"
            "k=v\n");
}

TEST(ProfileWrite, DeletesKeyAndSection) {
  TempFolder dir;
  dir.write("p.ini", "[a]\r\nk=1\r\nK=dup\r\nj=2\r\n[b]\r\nm=3\r\n; b's note\r\n[c]\r\nn=4\r\n");
  std::string path = dir / "p.ini";
  ASSERT_TRUE(WritePrivateProfileStringA("A", "k", nullptr, path.c_str()));
  EXPECT_EQ(dir.read("p.ini"), "[a]\r\nj=2\r\n[b]\r\nm=3\r\n; b's note\r\n[c]\r\nn=4\r\n");
  ASSERT_TRUE(WritePrivateProfileStringA("B", nullptr, nullptr, path.c_str()));
  EXPECT_EQ(dir.read("p.ini"), "[a]\r\nj=2\r\n[c]\r\nn=4\r\n");
  // Deleting what is not there succeeds and creates nothing.
  EXPECT_TRUE(WritePrivateProfileStringA("zz", "q", nullptr, path.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("zz", "q", nullptr, (dir / "absent.ini").c_str()));
  EXPECT_FALSE(dir.exists("absent.ini"));
}

TEST(ProfileWrite, DoubleByteValueWithBackslashTrailByteRoundTrips) {
  TempFolder dir;
  const std::string value = "\x95\x5c\x8e\xa6\x83\x5c";  // 表示ソ: two trail bytes are 0x5C
  ASSERT_TRUE(WritePrivateProfileStringA("save", "pt_scn", value.c_str(), (dir / "p.sav").c_str()));
  EXPECT_EQ(readString("save", "pt_scn", "", dir / "p.sav"), value);
  EXPECT_EQ(dir.read("p.sav"), "[save]\r\npt_scn=" + value + "\r\n");
}

TEST(ProfileWrite, LeavesNoTemporaryFileAndKeepsPermissions) {
  TempFolder dir;
  dir.write("p.sav", "[save]\nclear=1\n");
  chmod((dir / "p.sav").c_str(), 0640);
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(WritePrivateProfileStringA("save", "clear", std::to_string(i).c_str(), (dir / "p.sav").c_str()));
  }
  EXPECT_EQ(dir.entryCount(), 1u);
  struct stat info;
  ASSERT_EQ(stat((dir / "p.sav").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(ProfileWrite, FailedWriteKeepsOldFileAndLeavesNoTemporary) {
  TempFolder dir;
  const std::string before = "[save]\nclear=1\n";
  dir.write("p.sav", before);
  // A file size limit makes writing the new file fail part way, as a full disk would.
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct sigaction ignore = {}, previous = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  struct rlimit limit = saved;
  limit.rlim_cur = 32;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  BOOL written = WritePrivateProfileStringA("save", "pt_scn", std::string(100, 'a').c_str(), (dir / "p.sav").c_str());
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &previous, nullptr);
  EXPECT_FALSE(written);
  EXPECT_EQ(dir.read("p.sav"), before);
  EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(ProfileWrite, FailsInAMissingFolderOrOverAFolder) {
  TempFolder dir;
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", (dir / "nowhere/p.ini").c_str()));
  std::filesystem::create_directory(dir / "sub");
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", (dir / "sub").c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "sub"));
  EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(ProfileWrite, RefusesLineBreaksThatWouldForgeOtherKeys) {
  TempFolder dir;
  dir.write("p.sav", "[save]\r\nclear=1\r\n");
  std::string path = dir / "p.sav";
  EXPECT_FALSE(WritePrivateProfileStringA("save", "pt_scn", "x\r\nclear=9", path.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("save", "a=b", "1", path.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("sa]ve", "k", "1", path.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "1", path.c_str()));
  EXPECT_EQ(dir.read("p.sav"), "[save]\r\nclear=1\r\n");
}

TEST(ProfileWrite, KeepsLfStyleOfExistingFile) {
  TempFolder dir;
  dir.write("p.ini", "[s]\nk=1");
  ASSERT_TRUE(WritePrivateProfileStringA("s", "j", "2", (dir / "p.ini").c_str()));
  EXPECT_EQ(dir.read("p.ini"), "[s]\nk=1\nj=2\n");
}

TEST(ProfileOverride, ReadsOverriddenKeyFromAnyFolderButNotWrites) {
  TempFolder dir;
  dir.write("derizi1.ini", "[Debug]\r\nScnName=scn/old\r\nOther=1\r\n");
  compatOverrideProfileString("DERIZI1.INI", "debug", "scnname", "scn/test");
  EXPECT_EQ(readString("Debug", "ScnName", "", dir / "derizi1.ini"), "scn/test");
  EXPECT_EQ(readString("Debug", "Other", "", dir / "derizi1.ini"), "1");
  EXPECT_EQ(readString("Debug", "ScnName", "", dir / "absent/Derizi1.ini"), "scn/test");
  EXPECT_EQ(readString("Debug", "ScnName", "none", dir / "derizi1.sav"), "none");

  char keys[64];
  DWORD length = GetPrivateProfileStringA("Debug", nullptr, "", keys, sizeof keys, (dir / "none.ini").c_str());
  EXPECT_EQ(length, 0u);
  length = GetPrivateProfileStringA("debug", nullptr, "", keys, sizeof keys, (dir / "absent/derizi1.ini").c_str());
  EXPECT_EQ(std::string(keys, length), std::string("scnname\0", 8));

  ASSERT_TRUE(WritePrivateProfileStringA("Debug", "ScnName", "scn/new", (dir / "derizi1.ini").c_str()));
  EXPECT_EQ(dir.read("derizi1.ini"), "[Debug]\r\nScnName=scn/new\r\nOther=1\r\n");

  compatOverrideProfileString("derizi1.ini", "DEBUG", "SCNNAME", nullptr);
  EXPECT_EQ(readString("Debug", "ScnName", "", dir / "derizi1.ini"), "scn/new");
}

}  // namespace
