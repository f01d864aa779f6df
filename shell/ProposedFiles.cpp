#include "shell/ProposedFiles.h"

#include "core/session/TrackSession.h"
#include "core/vfs/FileTools.h"
#include "core/view/ViewCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>

std::string FolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(AbsolutePath(path)).parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string ScreenshotStartFolder(const std::string& lastFolder) {
    if (!lastFolder.empty() && QFileInfo(QString::fromStdString(lastFolder)).isDir()) {
        return lastFolder;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) {
        return pictures.toStdString();
    }
    return QDir::homePath().toStdString();
}

std::string ProposedTrackFileName(const TTrackSession& session, TSavedFileKind kind,
                                  const std::string& format) {
    return ProposedSavePath(session.Ini(), kind, ScreenshotStartFolder(""),
                            ProposedScreenshotName(session.Track().TrackName, format));
}
