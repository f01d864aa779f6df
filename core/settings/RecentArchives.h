// The archives opened last, newest first, kept in the INI file in section "RecentArchives" under
// the keys "File1" to "File8". Unused keys hold an empty value.
#pragma once

#include "core/base/TextUtils.h"

#include <string>

class TIniFile;

inline constexpr const char* kRecentArchivesSection = "RecentArchives";
inline constexpr int kMaxRecentArchives = 8;

TStringList LoadRecentArchives(const TIniFile& ini);
// Writes every key, so that a shorter list leaves no old names behind. Raises EInOutError when
// the INI file cannot be written.
void SaveRecentArchives(TIniFile& ini, const TStringList& archives);

// The path moved (or added) to the front; the same file named again is not listed twice, and
// the list keeps at most kMaxRecentArchives entries.
TStringList WithRecentArchive(TStringList archives, const std::string& path);
// The list without the archives for which exists answers false.
template <typename Exists>
TStringList WithoutMissingArchives(const TStringList& archives, Exists&& exists) {
    TStringList kept;
    for (const std::string& path : archives) {
        if (exists(path)) {
            kept.push_back(path);
        }
    }
    return kept;
}
