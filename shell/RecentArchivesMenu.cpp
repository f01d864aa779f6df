#include "shell/RecentArchivesMenu.h"

#include "core/settings/RecentArchives.h"
#include "core/vfs/FileTools.h"

#include <QAction>
#include <QMenu>

#include <utility>

TRecentArchivesMenu::TRecentArchivesMenu(TIniFile& ini, QMenu* menu, QAction* removeMissing,
                                         std::function<void(const std::function<void()>&)> run,
                                         std::function<void(const std::string& path)> open)
    : ini_(ini), menu_(menu), removeMissing_(removeMissing), run_(std::move(run)),
      open_(std::move(open)), archives_(LoadRecentArchives(ini)) {
    Rebuild();
}

void TRecentArchivesMenu::Rebuild() {
    for (QAction* action : actions_) {
        menu_->removeAction(action);
        action->deleteLater();
    }
    actions_.clear();
    // The archives go above the separator of "Remove missing archives".
    QAction* below = menu_->actions().isEmpty() ? nullptr : menu_->actions().first();
    bool anyMissing = false;
    for (size_t i = 0; i < archives_.size(); ++i) {
        const std::string& path = archives_[i];
        const QString caption =
            QStringLiteral("&%1 %2").arg(i + 1).arg(QString::fromStdString(path));
        auto* action = new QAction(caption, menu_);
        action->setObjectName(QStringLiteral("RecentArchive%1").arg(i + 1));
        action->setToolTip(QString::fromStdString(path));
        const bool exists = FileExists(path);
        anyMissing = anyMissing || !exists;
        action->setEnabled(exists);
        const int index = static_cast<int>(i);
        QObject::connect(action, &QAction::triggered, action,
                         [this, index] { run_([this, index] { Open(index); }); });
        menu_->insertAction(below, action);
        actions_.push_back(action);
    }
    removeMissing_->setEnabled(anyMissing);
    menu_->menuAction()->setEnabled(!archives_.empty());
}

void TRecentArchivesMenu::Remember(const std::string& path) {
    archives_ = WithRecentArchive(archives_, AbsolutePath(path));
    SaveRecentArchives(ini_, archives_);
    Rebuild();
}

void TRecentArchivesMenu::Open(int index) {
    if (index < 0 || index >= static_cast<int>(archives_.size())) {
        return;
    }
    // A copy: the open rebuilds the list it came from.
    const std::string path = archives_[index];
    if (!FileExists(path)) {
        Rebuild();
        return;
    }
    open_(path);
}

void TRecentArchivesMenu::RemoveMissing() {
    archives_ =
        WithoutMissingArchives(archives_, [](const std::string& path) { return FileExists(path); });
    SaveRecentArchives(ini_, archives_);
    Rebuild();
}
