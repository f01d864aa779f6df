#include "core/settings/SaveFolders.h"

#include "core/settings/IniFile.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

namespace {

TEST(SaveFolders, PathsAreJoinedWithOneSlashAndTheRootStaysTheRoot) {
    EXPECT_EQ(JoinPath("/home/u/Pictures/", "Dunmere Valley.glb"),
              "/home/u/Pictures/Dunmere Valley.glb");
    EXPECT_EQ(JoinPath("/home/u/Pictures", "/a.png"), "/home/u/Pictures/a.png");
    EXPECT_EQ(JoinPath("/", "a.png"), "/a.png");
    EXPECT_EQ(JoinPath("", "a.png"), "a.png");
}

TEST(SaveFolders, EachKindIsProposedInItsLastFolderWhileThatExists) {
    TTempDir dir;
    TIniFile ini(dir.Path() + "DunmereGL.ini");
    const std::string pictures = dir.MakeDir("Pictures");
    // A stored folder ending in "/" once made the proposal "//Dunmere Valley.glb".
    ini.WriteString(kPreferencesSection, "LastScreenshotDir", dir.MakeDir("shots") + "/");
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::Screenshot, pictures, "V.jpg"),
              dir.Path() + "shots/V.jpg");
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::Gltf, pictures, "V.glb"), pictures + "/V.glb");

    const std::string exports = dir.MakeDir("exports");
    RememberSaveFolder(ini, TSavedFileKind::Gltf, exports + "/V.glb");
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::Gltf, pictures, "V.glb"), exports + "/V.glb");
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::MapPicture, pictures, "V.png"),
              pictures + "/V.png");
    EXPECT_EQ(ini.ReadString(kPreferencesSection, "LastScreenshotDir", ""), dir.Path() + "shots/");

    ini.WriteString(kPreferencesSection, "LastMapPictureDir", dir.Path() + "gone");
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::MapPicture, pictures, "V.png"),
              pictures + "/V.png");
}

TEST(SaveFolders, CameraPathsAndRecordingsKeepFoldersOfTheirOwn) {
    TTempDir dir;
    TIniFile ini(dir.Path() + "DunmereGL.ini");
    const std::string pictures = dir.MakeDir("Pictures");
    RememberSaveFolder(ini, TSavedFileKind::MapPicture, dir.MakeDir("maps") + "/V.png");
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::CameraPath, pictures, "V.txt"),
              pictures + "/V.txt");
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::Recording, pictures, "V.mp4"),
              pictures + "/V.mp4");

    const std::string paths = dir.MakeDir("paths");
    const std::string videos = dir.MakeDir("videos");
    RememberSaveFolder(ini, TSavedFileKind::CameraPath, paths + "/V.txt");
    RememberSaveFolder(ini, TSavedFileKind::Recording, videos + "/V.mp4");
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::CameraPath, pictures, "V.txt"),
              paths + "/V.txt");
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::Recording, pictures, "V.mp4"),
              videos + "/V.mp4");
    EXPECT_EQ(ini.ReadString(kPreferencesSection, "LastCameraPathDir", ""), paths);
    EXPECT_EQ(ini.ReadString(kPreferencesSection, "LastRecordingDir", ""), videos);
    EXPECT_EQ(ProposedSavePath(ini, TSavedFileKind::MapPicture, pictures, "V.png"),
              dir.Path() + "maps/V.png");
}

} // namespace
