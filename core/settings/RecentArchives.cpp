#include "core/settings/RecentArchives.h"

#include "core/settings/IniFile.h"

#include <algorithm>

namespace {

std::string RecentKey(int index) {
    return "File" + std::to_string(index + 1);
}

} // namespace

TStringList LoadRecentArchives(const TIniFile& ini) {
    TStringList archives;
    for (int i = 0; i < kMaxRecentArchives; ++i) {
        const std::string path = ini.ReadString(kRecentArchivesSection, RecentKey(i), "");
        if (!path.empty() && std::find(archives.begin(), archives.end(), path) == archives.end()) {
            archives.push_back(path);
        }
    }
    return archives;
}

void SaveRecentArchives(TIniFile& ini, const TStringList& archives) {
    for (int i = 0; i < kMaxRecentArchives; ++i) {
        const bool used = i < static_cast<int>(archives.size());
        ini.WriteString(kRecentArchivesSection, RecentKey(i), used ? archives[i] : "");
    }
}

TStringList WithRecentArchive(TStringList archives, const std::string& path) {
    archives.erase(std::remove(archives.begin(), archives.end(), path), archives.end());
    archives.insert(archives.begin(), path);
    if (archives.size() > static_cast<size_t>(kMaxRecentArchives)) {
        archives.resize(kMaxRecentArchives);
    }
    return archives;
}
