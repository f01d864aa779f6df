#include "core/settings/SearchPaths.h"

#include "core/settings/IniFile.h"

#include <string>

namespace {

std::string SearchPathKey(int index) {
    return "SearchPath" + std::to_string(index + 1);
}

} // namespace

TStringList LoadSearchPaths(const TIniFile& ini) {
    TStringList paths;
    for (int i = 0; i < kSearchPathCount; ++i) {
        paths.push_back(ini.ReadString(kPreferencesSection, SearchPathKey(i), ""));
    }
    return paths;
}

void SaveSearchPaths(TIniFile& ini, const TStringList& searchPaths) {
    for (int i = 0; i < kSearchPathCount; ++i) {
        const size_t index = static_cast<size_t>(i);
        ini.WriteString(kPreferencesSection, SearchPathKey(i),
                        index < searchPaths.size() ? searchPaths[index] : std::string());
    }
}
