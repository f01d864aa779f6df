// Icons and type names for the viewer's file dialogs that come from the file name alone.
//
// Qt's own icon provider asks the MIME database, which reads the first bytes of every file
// without a known extension. In a folder such as /proc one of those reads never returns
// (/proc/kmsg), and the dialog, with the whole program, hangs before it is drawn.
#pragma once

#include <QAbstractFileIconProvider>

class TFileNameIconProvider : public QAbstractFileIconProvider {
public:
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
    using QAbstractFileIconProvider::icon;
};
