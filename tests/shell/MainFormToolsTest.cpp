// The File menu's track tools: glTF export, map picture and track report of the loaded track.
#include "MainFormFixture.h"

#include "core/track/TrackData.h"

#include <QAction>
#include <png.h>

namespace {

TTrackFixture TrackWithAMissingTexture() {
    TTrackFixture track;
    track.MissingTextures = {"MUD.RAW"};
    return track;
}

TEST_F(MainFormTest, TheTrackToolsWaitForATrackAndThenReportWhatItsLoadUsed) {
    TFormMain& main = Start();
    for (const TMainAction action :
         {TMainAction::ExportGltf, TMainAction::SaveMapPicture, TMainAction::ShowTrackReport}) {
        EXPECT_FALSE(main.Action(action)->isEnabled());
    }
    OpenAndWait(WriteTracks("tools.pod", {TrackWithAMissingTexture()}));
    ASSERT_TRUE(main.Action(TMainAction::ShowTrackReport)->isEnabled());

    Choose(main, TMainAction::ShowTrackReport);
    ASSERT_EQ(dialogs->ReportsShown.size(), 1u);
    const std::vector<TAssetRecord>& records = dialogs->ReportsShown.front();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().Name, "TEST.SIT");
    const auto mud = std::find_if(records.begin(), records.end(),
                                  [](const TAssetRecord& r) { return r.Name == "ART\\MUD.RAW"; });
    ASSERT_NE(mud, records.end());
    EXPECT_EQ(mud->Place, TAssetPlace::Missing);
}

TEST_F(MainFormTest, ExportGltfWritesTheChosenFileWithItsEnding) {
    TFormMain& main = Start();
    OpenAndWait(WriteTracks("tools.pod", {TTrackFixture{}}));
    dialogs->SaveFileAnswer = dir.Path() + "exported";
    Choose(main, TMainAction::ExportGltf);

    ASSERT_EQ(dialogs->SaveFileRequests.size(), 1u);
    EXPECT_NE(dialogs->SaveFileRequests.front().find("/Test Track.glb|glTF binary (*.glb)"),
              std::string::npos)
        << dialogs->SaveFileRequests.front();
    EXPECT_TRUE(dialogs->Errors.empty()) << dialogs->Errors.front();
    EXPECT_EQ(ReadFileBytes(dir.Path() + "exported.glb").substr(0, 4), "glTF");
}

TEST_F(MainFormTest, SaveMapPictureDrawsTheWholeGridOffScreenAndTheViewGoesOn) {
    TFormMain& main = Start();
    TTrackFixture dry;
    dry.WaterLine.clear();
    OpenAndWait(WriteTracks("tools.pod", {dry}));
    const QSize viewBefore = main.TrackView().size();
    dialogs->SaveFileAnswer = dir.Path() + "map.png";
    Choose(main, TMainAction::SaveMapPicture);
    EXPECT_TRUE(dialogs->Errors.empty()) << dialogs->Errors.front();

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir.Path() + "map.png").c_str()));
    EXPECT_EQ(image.width, 1024u);
    EXPECT_EQ(image.height, 1024u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    // The terrain is green grass above the water everywhere; away from the marks it shows.
    const uint8_t* corner = &pixels[(100 * 1024 + 900) * 3];
    EXPECT_GT(corner[1], corner[0]);
    EXPECT_GT(corner[1], corner[2]);
    EXPECT_EQ(main.TrackView().size(), viewBefore);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_FALSE(main.Session().View().Busy);
}

TEST_F(MainFormTest, CancellingTheSaveDialogWritesNothing) {
    TFormMain& main = Start();
    OpenAndWait(WriteTracks("tools.pod", {TTrackFixture{}}));
    dialogs->SaveFileAnswer.reset();
    Choose(main, TMainAction::ExportGltf);
    Choose(main, TMainAction::SaveMapPicture);
    EXPECT_EQ(dialogs->SaveFileRequests.size(), 2u);
    EXPECT_EQ(dialogs->Beeps, 0);
    EXPECT_TRUE(dialogs->Errors.empty());
}

} // namespace
