#include "core/session/TrackSession.h"

#include "core/view/CameraLocations.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

namespace {

// Stands in for the render side: names the track and puts its start grid somewhere known.
class TFakeLoader : public TTrackLoader {
public:
    void Load(TTrackData& track, TPalettePool&, const TPodFile&, const std::string& sitEntry,
              TLoadProgress&, TStringList& warnings, TQRXFileFinder&, TAssetLog&) override {
        Loaded.push_back(sitEntry);
        track.TrackName = "Test " + sitEntry;
        track.FirstGridPos = TVertex3f{4096, 0, 4096}; // the grid's centre
        track.TrackLoaded = true;
        warnings.push_back("warned by " + sitEntry);
    }
    TStringList Loaded;
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

} // namespace
