// TRecentArchivesMenu: File > Recent archives: the archives opened last, newest first, as kept in
// the INI file, above the menu's "Remove missing archives" entry. An archive that is gone shows
// greyed until that entry takes it off the list.
#pragma once

#include "core/base/TextUtils.h"

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class TIniFile;

class TRecentArchivesMenu {
public:
    // Hands a chosen archive's open to run, so that it is refused and guarded as every menu
    // command is. menu holds removeMissing, the entry the archives are placed above.
    TRecentArchivesMenu(TIniFile& ini, QMenu* menu, QAction* removeMissing,
                        std::function<void(const std::function<void()>&)> run,
                        std::function<void(const std::string& path)> open);

    const TStringList& Archives() const { return archives_; }
    // Shows the list as it is, each archive as it now is on disk.
    void Rebuild();
    // Puts the archive first on the list.
    void Remember(const std::string& path);
    // Opens the entry at index, unless its file has gone meanwhile.
    void Open(int index);
    void RemoveMissing();

private:
    TIniFile& ini_;
    QMenu* menu_;
    QAction* removeMissing_;
    std::function<void(const std::function<void()>&)> run_;
    std::function<void(const std::string&)> open_;
    TStringList archives_;
    std::vector<QAction*> actions_;
};
