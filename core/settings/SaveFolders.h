// Where the viewer proposes to save a file it writes for the user: in the folder the last file of
// the same kind went to, while that folder exists, otherwise in the given fallback (the user's
// pictures folder). Each kind keeps its folder under "Preferences" in the INI file: screenshots
// under "LastScreenshotDir", glTF exports under "LastExportDir", map pictures under
// "LastMapPictureDir", fly-through camera paths under "LastCameraPathDir" and fly-through
// recordings under "LastRecordingDir".
#pragma once

#include <string>

class TIniFile;

enum class TSavedFileKind { Screenshot, Gltf, MapPicture, CameraPath, Recording };

// folder and name with exactly one "/" between them; name alone when folder is empty.
std::string JoinPath(const std::string& folder, const std::string& name);

std::string ProposedSavePath(const TIniFile& ini, TSavedFileKind kind,
                             const std::string& fallbackFolder, const std::string& fileName);
// Remembers the folder of a file just saved.
void RememberSaveFolder(TIniFile& ini, TSavedFileKind kind, const std::string& savedPath);
