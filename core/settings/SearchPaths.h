// uSearchPaths: the user's five search folders, kept in the INI file under "Preferences",
// keys "SearchPath1".."SearchPath5" (empty entries allowed, order kept).
#pragma once

#include "core/base/TextUtils.h"

class TIniFile;

constexpr int kSearchPathCount = 5;

TStringList LoadSearchPaths(const TIniFile& ini); // always 5 entries
void SaveSearchPaths(TIniFile& ini, const TStringList& searchPaths);
