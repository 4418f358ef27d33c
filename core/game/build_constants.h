// The constants that make one build of the game differ from the other: each episode
// collection is the same engine with its own title, save name, menu and episodes.
#pragma once

#include "support/sjis_literal.h"

struct BuildConstants {
  const char* windowTitle;
  const char* menuFolder;           // the selection menu scenario
  const char* saveName;             // name of the debug settings and progress files
  const char* titleBackground;
  const char* selectionBackground;
  const char* episodeFolders[3];    // for the selection results "0", "1" and "2"
};

#ifndef ORVANE_SECOND_BUILD
inline constexpr BuildConstants kBuild = {
    "朧月法廷１"_sj, "scn/menu1", "derizi1", "sys/title_bg", "sys/bg_select",
    {"scn/maid", "scn/kigae", "scn/tabako"},
};
#else
inline constexpr BuildConstants kBuild = {
    "朧月法廷２"_sj, "scn/menu2", "derizi2", "sys/title2_bg", "sys/bg_select2",
    {"scn/kagami", "scn/tosho", "scn/hushigi"},
};
#endif

// Fixed for every build.
inline constexpr const char* kSystemName = "MOSSLINE_ORVANE_SYSTEM";
inline constexpr const char* kDataArchive = "derizi.dat";
inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 600;
