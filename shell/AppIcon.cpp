#include "shell/AppIcon.h"

#include <QDir>

QIcon ApplicationIcon() {
    Q_INIT_RESOURCE(DunmereAssets);
    QIcon icon;
    for (const QString& name : QDir(QStringLiteral(":/icons")).entryList(QDir::Files)) {
        icon.addFile(QStringLiteral(":/icons/") + name);
    }
    return icon;
}
