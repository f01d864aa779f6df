#include "core/session/TrackSession.h"

#include "core/base/Errors.h"
#include "core/view/CameraLocations.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Stands in for the render side: names the track and puts its start grid somewhere known.
class TFakeLoader : public TTrackLoader {
public:
    void Load(TTrackData& track, TPalettePool&, const TPodFile&, const std::string& sitEntry,
              TLoadProgress&, TStringList& warnings, TQRXFileFinder&, TAssetLog& assets) override {
        Loaded.push_back(sitEntry);
        if (!LooseFile.empty()) {
            assets.Record({"ART\\LOOSE.RAW", TAssetPlace::SearchFolder, LooseFile});
        }
        track.TrackName = "Test " + sitEntry;
        track.FirstGridPos = TVertex3f{4096, 0, 4096}; // the grid's centre
        track.TrackLoaded = true;
        warnings.push_back("warned by " + sitEntry);
    }
    TStringList Loaded;
    std::string LooseFile; // a file of a search folder the load reads
};

class TrackSessionTest : public ::testing::Test {
protected:
    std::string Archive(const TStringList& sits) {
        TPodWriter writer;
        for (const std::string& sit : sits) {
            writer.Add(sit, "LEVEL\r\n!Race Track Name\r\nName of " + sit + "\r\n");
        }
        const std::string path = dir_.Path() + "T.POD";
        writer.Write(path);
        return path;
    }

    TTempDir dir_;
    TTrackSession session_{dir_.Path() + "DunmereGL.ini"};
    TFakeLoader loader_;
    TQuietProgress progress_;
};

TEST_F(TrackSessionTest, TheViewLooksAtTheSessionsTrackFromTheStart) {
    EXPECT_EQ(session_.View().Track, &session_.Track());
    EXPECT_FALSE(session_.TrackLoaded());
    EXPECT_EQ(session_.Archive(), nullptr);
    EXPECT_FALSE(session_.ChooseTrack([](const TStringList&) { return 0; }));
}

TEST_F(TrackSessionTest, ADescriptionIsChosenOnlyAmongSeveralAndAnAnswerOutsideChoosesNone) {
    session_.UseArchive(TPodFile(Archive({"ONE.SIT"})));
    int asked = 0;
    const auto select = [&asked](const TStringList&) { return ++asked, 5; };
    EXPECT_EQ(session_.ChooseTrack(select), "ONE.SIT");
    EXPECT_EQ(asked, 0) << "a single track needs no question";

    session_.UseArchive(TPodFile(Archive({"A.SIT", "B.SIT"})));
    EXPECT_FALSE(session_.ChooseTrack(select));
    TStringList offered;
    EXPECT_EQ(session_.ChooseTrack([&](const TStringList& names) {
        offered = names;
        return 1;
    }),
              "B.SIT");
    EXPECT_EQ(offered.size(), 2u);
}

TEST_F(TrackSessionTest, AnOpenedTrackStartsAtTheGridUnlessLocationZeroIsSaved) {
    session_.UseArchive(TPodFile(Archive({"ONE.SIT"})));
    TViewResult result = session_.OpenTrack("ONE.SIT", progress_, loader_);
    EXPECT_EQ(loader_.Loaded, TStringList{"ONE.SIT"});
    EXPECT_EQ(session_.Warnings(), TStringList{"warned by ONE.SIT"});
    EXPECT_TRUE(result.UpdateProjection);
    EXPECT_EQ(result.Redraw, TRedraw::Full);
    EXPECT_NEAR(session_.View().Camera.TransX, 0, 1e-6);
    EXPECT_NEAR(session_.View().Camera.TransY, -0.01, 1e-6);

    session_.View().Camera.TransX = 2.5f;
    SaveCameraLocation(session_.Ini(), session_.View(), "Test ONE.SIT", 0);
    session_.View().Camera.TransX = 0;
    result = session_.OpenTrack("ONE.SIT", progress_, loader_);
    EXPECT_FLOAT_EQ(session_.View().Camera.TransX, 2.5f);
    EXPECT_EQ(result.Redraw, TRedraw::None) << "the caller draws once the open has finished";
    EXPECT_EQ(session_.Warnings().size(), 1u) << "each load starts a new list";
}

TEST_F(TrackSessionTest, NothingIsWrittenOverTheSettingsTheOpenedArchiveOrAFileTheLoadRead) {
    session_.Ini().WriteString("Test", "Key", "value");
    EXPECT_THROW(session_.RefuseToOverwrite(session_.Ini().FileName()), EDunmereError)
        << "the settings are read before any archive";
    const std::string archive = Archive({"ONE.SIT"});
    loader_.LooseFile = dir_.Path() + "LOOSE.RAW";
    WriteFileBytes(loader_.LooseFile, "pixels");
    EXPECT_NO_THROW(session_.RefuseToOverwrite(archive)) << "not opened yet";
    EXPECT_NO_THROW(session_.RefuseToOverwrite(loader_.LooseFile)) << "not read yet";

    session_.UseArchive(TPodFile(archive));
    session_.OpenTrack("ONE.SIT", progress_, loader_);
    const std::string link = dir_.Path() + "link.pod";
    ASSERT_EQ(symlink(archive.c_str(), link.c_str()), 0);
    for (const std::string& read : {archive, link, loader_.LooseFile}) {
        EXPECT_THROW(session_.RefuseToOverwrite(read), EDunmereError) << read;
    }
    const std::string picture = dir_.Path() + "picture.png";
    WriteFileBytes(picture, "an older picture");
    EXPECT_NO_THROW(session_.RefuseToOverwrite(picture));
    EXPECT_NO_THROW(session_.RefuseToOverwrite(dir_.Path() + "not there yet.png"));
}

} // namespace
