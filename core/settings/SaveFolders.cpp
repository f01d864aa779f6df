#include "core/settings/SaveFolders.h"

#include "core/settings/IniFile.h"
#include "core/vfs/FileTools.h"

namespace {

const char* FolderKey(TSavedFileKind kind) {
    switch (kind) {
    case TSavedFileKind::Gltf:
        return "LastExportDir";
    case TSavedFileKind::MapPicture:
        return "LastMapPictureDir";
    case TSavedFileKind::CameraPath:
        return "LastCameraPathDir";
    case TSavedFileKind::Recording:
        return "LastRecordingDir";
    case TSavedFileKind::Screenshot:
        break;
    }
    return "LastScreenshotDir";
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    const size_t folderEnd = folder.find_last_not_of('/');
    const size_t nameStart = name.find_first_not_of('/');
    // The root folder is all slashes; it keeps one.
    const std::string base = folderEnd == std::string::npos ? "" : folder.substr(0, folderEnd + 1);
    return base + "/" + (nameStart == std::string::npos ? "" : name.substr(nameStart));
}

std::string ProposedSavePath(const TIniFile& ini, TSavedFileKind kind,
                             const std::string& fallbackFolder, const std::string& fileName) {
    const std::string last = ini.ReadString(kPreferencesSection, FolderKey(kind), "");
    return JoinPath(DirectoryExists(last) ? last : fallbackFolder, fileName);
}

void RememberSaveFolder(TIniFile& ini, TSavedFileKind kind, const std::string& savedPath) {
    const size_t cut = savedPath.rfind('/');
    if (cut == std::string::npos) {
        return; // a bare name says nothing about a folder
    }
    ini.WriteString(kPreferencesSection, FolderKey(kind),
                    cut == 0 ? "/" : savedPath.substr(0, cut));
}
