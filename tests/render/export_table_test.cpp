// The export table: libruntime.so exports all 279 host functions; exactly the ones listed
// as implemented are real (strong) definitions, every other one is the weak "not
// supported" entry, which answers 0 or null and changes nothing.
#include "implemented.h"
#include "lb/host_api.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

const char* const kApiNames[] = {
#define LB_NAME(ret, name, params, args) #name,
    LB_HOST_API(LB_NAME)
#undef LB_NAME
};

// The library's dynamic symbols that begin with "lb", mapped to nm's type letter.
std::map<std::string, char> exportedSymbols() {
  std::map<std::string, char> symbols;
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&lbtsRender), &info) || !info.dli_fname) return symbols;
  std::string command = std::string("nm -D --defined-only '") + info.dli_fname + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return symbols;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    char address[64], type = 0, name[256];
    if (std::sscanf(line, "%63s %c %255s", address, &type, name) == 3 &&
        std::string(name).rfind("lb", 0) == 0)
      symbols[name] = type;
  }
  pclose(pipe);
  return symbols;
}

TEST(ExportTable, EveryHostFunctionIsExportedAndOnlyTheListedOnesAreReal) {
  std::map<std::string, char> symbols = exportedSymbols();
  ASSERT_FALSE(symbols.empty()) << "could not read the runtime's symbols with nm";
  ASSERT_EQ(sizeof kApiNames / sizeof kApiNames[0], static_cast<size_t>(LB_HOST_API_COUNT));
  for (const char* name : kApiNames) {
    auto it = symbols.find(name);
    ASSERT_NE(it, symbols.end()) << name << " is not exported";
    if (isImplementedHostFunction(name))
      EXPECT_EQ(it->second, 'T') << name << " is listed as implemented but has no real definition";
    else
      EXPECT_EQ(it->second, 'W') << name << " has a real definition but is not listed as implemented";
  }
}

TEST(ExportTable, ListedNamesAreHostFunctionsAndListedOnce) {
  std::set<std::string> api(std::begin(kApiNames), std::end(kApiNames)), seen;
  for (size_t i = 0; i < kImplementedHostFunctionCount; ++i) {
    EXPECT_EQ(api.count(kImplementedHostFunctions[i]), 1u) << kImplementedHostFunctions[i];
    EXPECT_TRUE(seen.insert(kImplementedHostFunctions[i]).second) << kImplementedHostFunctions[i];
  }
}

TEST(ExportTable, NotSupportedEntriesAnswerZeroOrNull) {
  ASSERT_FALSE(isImplementedHostFunction("lbLoadMovie"));
  EXPECT_EQ(lbLoadMovie("movie.mpg"), nullptr);
  EXPECT_EQ(lbGetTextColor(), 0);
  EXPECT_EQ(lbGetCurrentFPS2(), 0.0f);
  EXPECT_EQ(lbReadFileNumber(nullptr, nullptr), 0);
  EXPECT_EQ(lbGetScreen(), nullptr);
  EXPECT_EQ(lbtsSetSpriteNcMode(nullptr, 1), 0);
}

}  // namespace
