#include "core/session/TrackSession.h"

#include "core/base/Errors.h"
#include "core/view/CameraLocations.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Stands in for the render side: names the track and puts its start grid somewhere known.
class TFakeLoader : public TTrackLoader {
public:
    void Load(TTrackData& track, TPalettePool&, const TPodFile& pod, const std::string& sitEntry,
              TLoadProgress& progress, TStringList& warnings, TQRXFileFinder& finder,
              TAssetLog& assets) override {
        Loaded.push_back(sitEntry);
        if (!LookUp.empty()) {
            Found = finder.Locate(LookUp);
        }
        if (!LooseFile.empty()) {
            assets.Record({"ART\\LOOSE.RAW", TAssetPlace::SearchFolder, LooseFile});
        }
        progress.SetAction("Loading level");
        // Half-way through, as a damaged entry would stop a real load.
        track.TrackName = "half-loaded";
        if (!FailWith.empty()) {
            throw EDunmereError(FailWith);
        }
        // The name as the archive read now lists it, so that a test sees which file was read.
        track.TrackName = "Test " + sitEntry + " of " + ValuePart(pod.SitEntries().front());
        track.FirstGridPos = TVertex3f{4096, 0, 4096}; // the grid's centre
        track.TrackLoaded = true;
        warnings.push_back("warned by " + sitEntry);
    }
    TStringList Loaded;
    std::string LooseFile; // a file of a search folder the load reads
    std::string FailWith;  // the error the next load raises half-way, when not empty
    std::string LookUp;    // a name the load asks the finder for, when not empty
    std::string Found;     // and where the finder found it
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
    SaveCameraLocation(session_.Ini(), session_.View(), session_.Track().TrackName, 0);
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

TEST_F(TrackSessionTest, AReloadReadsTheArchiveFileAgainAndKeepsTheViewAsItWas) {
    EXPECT_THROW(session_.ReloadTrack(progress_, loader_), EDunmereError) << "nothing loaded yet";
    const std::string archive = Archive({"ONE.SIT"});
    session_.UseArchive(TPodFile(archive));
    session_.OpenTrack("ONE.SIT", progress_, loader_);
    session_.View().Camera.TransX = 3.25f;
    session_.View().ViewDistance = 77;
    session_.View().Display.ShowWater = false;
    session_.View().MapView = true;
    const TPodFile* before = session_.Archive();

    // The archive is repacked with a renamed track and a file of a search folder joins the load.
    TPodWriter writer;
    writer.Add("ONE.SIT", "LEVEL\r\n!Race Track Name\r\nRenamed\r\n");
    writer.Write(archive);
    loader_.LooseFile = dir_.Path() + "LOOSE.RAW";
    session_.ReloadTrack(progress_, loader_);

    EXPECT_EQ(loader_.Loaded, (TStringList{"ONE.SIT", "ONE.SIT"})) << "the same description";
    EXPECT_NE(session_.Archive(), before) << "read afresh";
    EXPECT_EQ(session_.Track().TrackName, "Test ONE.SIT of Renamed");
    EXPECT_EQ(session_.View().Track, &session_.Track());
    EXPECT_FLOAT_EQ(session_.View().Camera.TransX, 3.25f);
    EXPECT_EQ(session_.View().ViewDistance, 77);
    EXPECT_FALSE(session_.View().Display.ShowWater);
    EXPECT_TRUE(session_.View().MapView);
    EXPECT_EQ(session_.Warnings(), TStringList{"warned by ONE.SIT"}) << "the reload's own";
    ASSERT_EQ(session_.Assets().Records().size(), 1u);
    EXPECT_EQ(session_.Assets().Records()[0].File, loader_.LooseFile);
    ASSERT_EQ(session_.LoadSteps().size(), 1u);
    EXPECT_EQ(session_.LoadSteps()[0].Step, "Loading level");
}

TEST_F(TrackSessionTest, AReloadThatFailsLeavesTrackArchiveWarningsAndAssetsAsTheyWere) {
    const std::string archive = Archive({"ONE.SIT"});
    loader_.LooseFile = dir_.Path() + "LOOSE.RAW";
    session_.UseArchive(TPodFile(archive));
    session_.OpenTrack("ONE.SIT", progress_, loader_);
    const std::string name = session_.Track().TrackName;
    const TPodFile* opened = session_.Archive();
    const auto expectUnchanged = [&](const char* why) {
        EXPECT_EQ(session_.Track().TrackName, name) << why;
        EXPECT_TRUE(session_.TrackLoaded()) << why;
        EXPECT_EQ(session_.Archive(), opened) << why;
        EXPECT_EQ(session_.View().Track, &session_.Track()) << why;
        EXPECT_EQ(session_.Warnings(), TStringList{"warned by ONE.SIT"}) << why;
        EXPECT_EQ(session_.Assets().Records().size(), 1u) << why;
    };

    loader_.FailWith = "damaged entry";
    loader_.LooseFile.clear();
    EXPECT_THROW(session_.ReloadTrack(progress_, loader_), EDunmereError);
    expectUnchanged("a load that raises half-way");

    // Caught while the packer writes it: the directory promises more than the file holds.
    loader_.FailWith.clear();
    const std::string whole = ReadFileBytes(archive);
    WriteFileBytes(archive, whole.substr(0, whole.size() / 2));
    EXPECT_ANY_THROW(session_.ReloadTrack(progress_, loader_));
    expectUnchanged("a half-written archive");

    WriteFileBytes(archive, whole);
    session_.ReloadTrack(progress_, loader_);
    EXPECT_NE(session_.Archive(), opened) << "the next try succeeds";
}

TEST_F(TrackSessionTest, AReloadFindsAFileAddedToASearchFolderSinceTheOpen) {
    const std::string folder = dir_.Path() + "textures/";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    session_.SearchPaths() = {folder};
    session_.SearchAgain();
    session_.UseArchive(TPodFile(Archive({"ONE.SIT"})));
    loader_.LookUp = "ART\\ADDED.RAW";
    session_.OpenTrack("ONE.SIT", progress_, loader_);
    EXPECT_EQ(loader_.Found, "") << "not there yet";

    WriteFileBytes(folder + "ADDED.RAW", "texels");
    session_.ReloadTrack(progress_, loader_);
    EXPECT_EQ(loader_.Found, "F" + folder + "ADDED.RAW");
}

} // namespace
