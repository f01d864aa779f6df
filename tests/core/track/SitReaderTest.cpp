#include "core/track/SitReader.h"
#include "core/base/Errors.h"
#include "tests/support/TrackTestSupport.h"

#include <gtest/gtest.h>

namespace {

using TLines = std::vector<std::string>;

// A record padded with numbered filler lines to its fixed length.
TLines Record(TLines lines, size_t length) {
    while (lines.size() < length) {
        lines.push_back("filler " + std::to_string(lines.size()));
    }
    return lines;
}

TLines BoxRecord(const std::string& position, const std::string& model) {
    return Record({"IPOS", position, "MODEL", model, "!TYPE,FLAGS", "6,0"}, 21);
}

TLines TopCrushRecord() {
    return Record(
        {"IPOS", "10,1,20", "MODELNAME", "BODY.BIN", "IPOS2", "30,2,40", "CABMODELNAME", "CAB.BIN"},
        17);
}

TLines Join(std::initializer_list<TLines> parts) {
    TLines all;
    for (const TLines& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TLines Vehicles(const std::string& position, const std::string& rotation) {
    return {"*** Vehicles ***", "v1", "v2", "v3", "v4", "v5", position, "v7", "v8", "v9", rotation};
}

class SitReader : public TTrackTest {
protected:
    // Runs the key scan over lines (line 1 being the level file name).
    void Scan(const TLines& lines) {
        TTestPod pod(TPodWriter().Add("TRACK.SIT", CrLfLines(lines)));
        TTrackDescriptionScan scan(Track(), pod.Pod(), "TRACK.SIT", progress);
        for (auto made = scan.NextObjects(); !made.empty(); made = scan.NextObjects()) {
            // The loader must see the object complete.
            for (const TQRXBox* box : made) {
                loaded.push_back(box);
                loadedNames.push_back(box->ModelName);
            }
        }
    }

    TRecordingProgress progress;
    std::vector<const TQRXBox*> loaded;
    std::vector<std::string> loadedNames;
    const TTrackData& td = Track();
};

TEST_F(SitReader, FirstLineNamesTheLevelFileBelowLevels) {
    TLogCapture log;
    TTestPod pod(TPodWriter().Add("TRACK.SIT", CrLfLines({"", "TRACK1.LVL", "!Race Track Name"})));
    ReadLvlFileName(Track(), pod.Pod(), "track.sit", progress);
    EXPECT_EQ(td.LvlFileName, "LEVELS\\TRACK1.LVL");
    EXPECT_EQ(log.Lines(), (TLines{"LVL: LEVELS\\TRACK1.LVL"}));
    EXPECT_EQ(progress.Events, (TLines{"action Parsing SIT file", "sub Extracting LVL file name"}));
}

TEST_F(SitReader, EmptyEntryGivesBareLevelsFolderAndMissingEntryRaises) {
    TTestPod pod(TPodWriter().Add("EMPTY.SIT", "\r\n").Add("PAD", "x"));
    ReadLvlFileName(Track(), pod.Pod(), "EMPTY.SIT", progress);
    EXPECT_EQ(td.LvlFileName, "LEVELS\\");
    EXPECT_THROW(ReadLvlFileName(Track(), pod.Pod(), "NONE.SIT", progress), EInOutError);
    EXPECT_THROW(TTrackDescriptionScan(Track(), pod.Pod(), "NONE.SIT", progress), EInOutError);
}

TEST_F(SitReader, MoreThanThreeBackdropsAreAnnouncedAndThreeNamesRead) {
    TRecordingMessages messages;
    Scan({"T.LVL", "backdropType,backdropCount", "0,5", "backdropModelName", "B1.BIN", "B2.BIN",
          "B3.BIN", "B4.BIN", "B5.BIN"});
    ASSERT_EQ(messages.Texts.size(), 1u);
    EXPECT_EQ(messages.Texts[0],
              "This track has 5 backdrops.\r\nOnly the first 3 will be used in DunmereGL.");
    EXPECT_EQ(messages.Captions[0], "Dunmere GL");
    EXPECT_EQ(td.BackdropType, 0);
    EXPECT_EQ(td.BackdropCount, 5);
    EXPECT_EQ(td.BackdropModelNames[2], "B3.BIN");
    for (int k = 0; k < 3; ++k) {
        ASSERT_NE(td.Backdrops[k], nullptr);
        EXPECT_EQ(td.Backdrops[k]->X, 4100);
        EXPECT_EQ(td.Backdrops[k]->Y, 0);
        EXPECT_EQ(td.Backdrops[k]->Z, 4200);
        EXPECT_EQ(td.Backdrops[k]->Theta + td.Backdrops[k]->Phi + td.Backdrops[k]->Psi, 0);
    }
    EXPECT_EQ(loadedNames, (TLines{"MODELS\\B1.BIN", "MODELS\\B2.BIN", "MODELS\\B3.BIN"}));
    EXPECT_EQ(loaded[1], td.Backdrops[1].get());
}

TEST_F(SitReader, BackdropCountWithoutCommaIsTheCountAndFewerSlotsStayEmpty) {
    TRecordingMessages messages;
    Scan({"T.LVL", "backdropType,backdropCount", "2", "backdropModelName", "B1.BIN", "B2.BIN",
          "B3.BIN"});
    EXPECT_TRUE(messages.Texts.empty());
    EXPECT_EQ(td.BackdropType, 0);
    EXPECT_EQ(td.BackdropCount, 2);
    EXPECT_NE(td.Backdrops[1], nullptr);
    EXPECT_EQ(td.Backdrops[2], nullptr);
    EXPECT_EQ(td.BackdropModelNames[2], "");
}

TEST_F(SitReader, BackdropNamesBeforeTheCountAreNotAKey) {
    Scan({"T.LVL", "backdropModelName", "B1.BIN", "backdropType,backdropCount", "1,x"});
    EXPECT_EQ(td.BackdropType, 1);
    EXPECT_EQ(td.BackdropCount, 0); // not an integer
    EXPECT_EQ(td.BackdropModelNames[0], "");
    EXPECT_EQ(td.Backdrops[0], nullptr);
    EXPECT_TRUE(loaded.empty());
}

TEST_F(SitReader, KeysMatchOnlyAsWrittenButSectionsByPrefix) {
    Scan(Join(
        {{"T.LVL", "!Race Track Name ", "Wrong", "*** boxes", "1", "*** top crush objects", "1"},
         Record({}, 17)}));
    EXPECT_EQ(td.TrackName, "<unnamed track>");
    EXPECT_EQ(td.BoxCount, 0);
    EXPECT_EQ(td.TopCrushCount, 1);
    EXPECT_EQ(td.TrackObjects.size(), 2u);
}

TEST_F(SitReader, BoxesSectionKeyIsAPrefixWithCase) {
    Scan(Join({{"T.LVL", "*** Boxes (static)", "1"}, BoxRecord("1,2,3", "B.BIN")}));
    EXPECT_EQ(td.BoxCount, 1);
    ASSERT_EQ(td.TrackObjects.size(), 1u);
    EXPECT_EQ(td.TrackObjects[0]->ModelName, "MODELS\\B.BIN");
    EXPECT_TRUE(progress.Saw("sub Reading object (box) data"));
    EXPECT_TRUE(progress.Saw("range 0..1"));
    EXPECT_EQ(progress.Steps, 1);
}

TEST_F(SitReader, StadiumLineMakesTheStadiumOnlyWithFlagOne) {
    Scan({"T.LVL", "!stadiumFlag,x,z,sx,sz,stadiumModelName", "1,100,120,20,30,STAD.BIN"});
    EXPECT_EQ(td.StadiumFlag, 1);
    EXPECT_EQ(td.StadiumX, 100);
    EXPECT_EQ(td.StadiumZ, 120);
    EXPECT_EQ(td.StadiumSX, 20);
    EXPECT_EQ(td.StadiumSZ, 30);
    EXPECT_EQ(td.StadiumModelName, "STAD.BIN");
    ASSERT_NE(td.Stadium, nullptr);
    EXPECT_EQ(td.Stadium->X, 3200);
    EXPECT_EQ(td.Stadium->Y, 0);
    EXPECT_EQ(td.Stadium->Z, 3840);
    EXPECT_EQ(td.Stadium->ModelName, "MODELS\\STAD.BIN");
    EXPECT_EQ(loaded, (std::vector<const TQRXBox*>{td.Stadium.get()}));

    ResetTrackDescription(Track());
    Scan({"T.LVL", "!stadiumFlag,x,z,sx,sz,stadiumModelName", "0,100,120,20,30,STAD.BIN"});
    EXPECT_EQ(td.StadiumX, 100);
    EXPECT_EQ(td.Stadium, nullptr);
}

TEST_F(SitReader, StadiumFieldsSplitFromTheLeft) {
    Scan({"T.LVL", "!stadiumFlag,x,z,sx,sz,stadiumModelName", "2,x1,-3,4,5,A,B.BIN"});
    EXPECT_EQ(td.StadiumFlag, 2);
    EXPECT_EQ(td.StadiumX, 0);
    EXPECT_EQ(td.StadiumZ, -3);
    EXPECT_EQ(td.StadiumModelName, "A,B.BIN");

    ResetTrackDescription(Track());
    Scan({"T.LVL", "!stadiumFlag,x,z,sx,sz,stadiumModelName", "1,100,120"});
    EXPECT_EQ(td.StadiumX, 100);
    EXPECT_EQ(td.StadiumZ, 0);
    EXPECT_EQ(td.StadiumSX, 0);
    EXPECT_EQ(td.StadiumModelName, "120");
}

TEST_F(SitReader, TrackNameExtendsTheProgressCaption) {
    TLogCapture log;
    progress.caption = "Loading track";
    Scan({"T.LVL", "!Race Track Name", "Mud Bowl"});
    EXPECT_EQ(td.TrackName, "Mud Bowl");
    EXPECT_EQ(progress.caption, "Loading track \"Mud Bowl\"");
    EXPECT_EQ(log.Lines(), (TLines{"Track: Mud Bowl"}));
}

TEST_F(SitReader, StartGridWrapsIntoTheGridAndLogsRotation) {
    TLogCapture log;
    Scan(Join({{"T.LVL"}, Vehicles("-100,5,9000", "0.5, 1.25 ,-2")}));
    EXPECT_EQ(td.FirstGridPos.x, 8092);
    EXPECT_EQ(td.FirstGridPos.y, 5);
    EXPECT_EQ(td.FirstGridPos.z, 808);
    EXPECT_EQ(td.FirstGridRot.x, 0.5f);
    EXPECT_EQ(td.FirstGridRot.y, 1.25f);
    EXPECT_EQ(td.FirstGridRot.z, -2);
    EXPECT_EQ(log.Lines(), (TLines{"First Grid Pos: -100,5,9000", "First Grid Rot: 0.5, 1.25 ,-2",
                                   "0.50, 1.25, -2.00"}));

    ResetTrackDescription(Track());
    Scan(Join({{"T.LVL"}, Vehicles("8170,0,8192", "0,0,0")}));
    EXPECT_EQ(td.FirstGridPos.x, 8170);
    EXPECT_EQ(td.FirstGridPos.z, 0);
}

TEST_F(SitReader, StartGridThatIsNotANumberRaises) {
    try {
        Scan(Join({{"T.LVL"}, Vehicles("a,5,9", "0,0,0")}));
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'a' ist kein gültiger Gleitkommawert");
    }
    EXPECT_THROW(Scan(Join({{"T.LVL"}, Vehicles("1,2,3", "0,0")})), EConvertError);
}

TEST_F(SitReader, BoxThenTopCrushFillSlotsInOrder) {
    TLogCapture log;
    Scan(Join({{"T.LVL", "*** Boxes", "1"},
               BoxRecord("-10,5,8200", "BOX.BIN"),
               {"*** TOP CRUSH", "1"},
               TopCrushRecord()}));
    ASSERT_EQ(td.TrackObjects.size(), 3u);
    EXPECT_EQ(td.BoxCount, 1);
    EXPECT_EQ(td.TopCrushCount, 1);
    const TQRXBox& box = *td.TrackObjects[0];
    EXPECT_EQ(box.ModelName, "MODELS\\BOX.BIN");
    EXPECT_EQ(box.X, 8182);
    EXPECT_EQ(box.Z, 8);
    EXPECT_TRUE(box.IsCheckpoint());
    EXPECT_EQ(td.TrackObjects[1]->ModelName, "MODELS\\BODY.BIN");
    EXPECT_EQ(td.TrackObjects[1]->X, 10);
    EXPECT_EQ(td.TrackObjects[2]->ModelName, "MODELS\\CAB.BIN");
    EXPECT_EQ(td.TrackObjects[2]->Z, 40);
    // Each object reaches the loader parsed, right after it was made.
    EXPECT_EQ(loadedNames, (TLines{"MODELS\\BOX.BIN", "MODELS\\BODY.BIN", "MODELS\\CAB.BIN"}));
    EXPECT_EQ(loaded[2], td.TrackObjects[2].get());
    EXPECT_EQ(log.Lines(), (TLines{"1 boxes found", "1 top crush objects found"}));
    EXPECT_TRUE(progress.Saw("sub Reading Top Crush data"));
    EXPECT_EQ(progress.Steps, 1);
}

TEST_F(SitReader, RecordsCutShortStillMakeObjects) {
    Scan(Join({{"T.LVL", "*** Boxes", "2"}, BoxRecord("1,2,3", "A.BIN"), {"IPOS", "4,5,6"}}));
    ASSERT_EQ(td.TrackObjects.size(), 2u);
    EXPECT_EQ(td.TrackObjects[1]->X, 4);
    EXPECT_EQ(td.TrackObjects[1]->ModelName, "");
    EXPECT_EQ(td.TrackObjects[1]->TypeFlags, "7,0");
}

TEST_F(SitReader, SectionCountThatIsNotANumberRaises) {
    try {
        Scan({"T.LVL", "*** Boxes", "many"});
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'many' ist kein gültiger Integerwert");
    }
    EXPECT_THROW(Scan({"T.LVL", "*** TOP CRUSH"}), EConvertError);
}

TEST_F(SitReader, CountsTheEntryCannotHoldRaiseBeforeAllocatingNamingTheFile) {
    const auto messageOf = [this](const TLines& lines) -> std::string {
        try {
            Scan(lines);
        } catch (const EDunmereError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(messageOf({"T.LVL", "*** Boxes", "2000000000", "IPOS"}),
              "TRACK.SIT: 2000000000 box records claimed, but only 7 bytes are left");
    EXPECT_TRUE(td.TrackObjects.empty());
    EXPECT_EQ(messageOf({"T.LVL", "*** TOP CRUSH", "-1", "IPOS"}),
              "TRACK.SIT: -1 top crush records claimed, but only 7 bytes are left");
    EXPECT_EQ(messageOf({"T.LVL", "*** Boxes", "0", "*** TOP CRUSH", "5000000"}),
              "TRACK.SIT: 5000000 top crush records claimed, but only 1 bytes are left");
    EXPECT_TRUE(td.TrackObjects.empty());
}

TEST_F(SitReader, FailingRecordLeavesNoEmptySlots) {
    EXPECT_THROW(Scan(Join({{"T.LVL", "*** Boxes", "3"},
                            BoxRecord("1,2,3", "A.BIN"),
                            BoxRecord("1,oops,3", "B.BIN"),
                            BoxRecord("1,2,3", "C.BIN")})),
                 EConvertError);
    ASSERT_EQ(td.TrackObjects.size(), 1u);
    ASSERT_NE(td.TrackObjects[0], nullptr);
    EXPECT_EQ(td.TrackObjects[0]->ModelName, "MODELS\\A.BIN");
}

TEST_F(SitReader, ARecordCountsAsAStepOnlyOnceItsModelsAreLoaded) {
    TTestPod pod(TPodWriter().Add("TRACK.SIT", CrLfLines(Join({{"T.LVL", "*** Boxes", "2"},
                                                               BoxRecord("1,2,3", "A.BIN"),
                                                               BoxRecord("4,5,6", "B.BIN")}))));
    TTrackDescriptionScan scan(Track(), pod.Pod(), "TRACK.SIT", progress);
    std::vector<int> stepsWhenHandedOut;
    for (auto made = scan.NextObjects(); !made.empty(); made = scan.NextObjects()) {
        stepsWhenHandedOut.push_back(progress.Steps);
    }
    EXPECT_EQ(stepsWhenHandedOut, (std::vector<int>{0, 1}));
    EXPECT_EQ(progress.Steps, 2);
}

TEST_F(SitReader, AModelLoadThatRaisesMidSectionLeavesNoEmptySlots) {
    TTestPod pod(TPodWriter().Add("TRACK.SIT", CrLfLines(Join({{"T.LVL", "*** TOP CRUSH", "3"},
                                                               TopCrushRecord(),
                                                               TopCrushRecord(),
                                                               TopCrushRecord()}))));
    const auto failAtTheSecondRecordsModels = [&] {
        TTrackDescriptionScan scan(Track(), pod.Pod(), "TRACK.SIT", progress);
        scan.NextObjects();
        scan.NextObjects();
        throw EInOutError("model unreadable");
    };
    EXPECT_THROW(failAtTheSecondRecordsModels(), EInOutError);
    ASSERT_EQ(td.TrackObjects.size(), 4u);
    for (const auto& object : td.TrackObjects) {
        EXPECT_NE(object, nullptr);
    }
    EXPECT_EQ(td.TrackObjects[3]->ModelName, "MODELS\\CAB.BIN");
}

TEST_F(SitReader, SevenKeysEndTheScan) {
    Scan(Join(
        {{"T.LVL", "backdropType,backdropCount", "0,1", "!stadiumFlag,x,z,sx,sz,stadiumModelName",
          "0,1,2,3,4,S.BIN", "backdropModelName", "SKY.BIN", "!Race Track Name", "Seven"},
         Vehicles("1,2,3", "0,0,0"),
         {"*** Boxes", "0", "*** TOP CRUSH", "0"},
         // Never read: neither a bad count nor a new name.
         {"*** Boxes", "bad", "!Race Track Name", "Eight"}}));
    EXPECT_EQ(td.TrackName, "Seven");
    EXPECT_EQ(td.BackdropModelNames[0], "SKY.BIN");
    EXPECT_TRUE(td.TrackObjects.empty());
}

TEST_F(SitReader, RepeatedKeysSpendTheBudgetToo) {
    TLines lines = {"T.LVL"};
    for (int i = 1; i <= 8; ++i) {
        lines.push_back("!Race Track Name");
        lines.push_back("Name " + std::to_string(i));
    }
    Scan(lines);
    EXPECT_EQ(td.TrackName, "Name 7");
}

TEST_F(SitReader, UnrecognisedBackdropNamesDoNotSpendTheBudget) {
    TLines lines = {"T.LVL", "backdropModelName", "X.BIN"};
    for (int i = 1; i <= 7; ++i) {
        lines.push_back("!Race Track Name");
        lines.push_back("Name " + std::to_string(i));
    }
    Scan(lines);
    EXPECT_EQ(td.TrackName, "Name 7");
}

TEST_F(SitReader, LogLinesFollowTheFile) {
    TLogCapture log;
    Scan(Join(
        {{"T.LVL", "backdropType,backdropCount", "1,1", "backdropModelName", "SKY.BIN",
          "!stadiumFlag,x,z,sx,sz,stadiumModelName", "0,1,2,3,4,S.BIN", "!Race Track Name", "Bowl"},
         Vehicles("1,2,3", "3.14159,0,0"),
         {"*** Boxes", "0"}}));
    EXPECT_EQ(log.Lines(),
              (TLines{"backdropType,backdropCount: 1,1", "backdropModelName: SKY.BIN",
                      "stadiumFlag,x,z,sx,sz,stadiumModelName: 0,1,2,3,4,S.BIN", "Track: Bowl",
                      "First Grid Pos: 1,2,3", "First Grid Rot: 3.14159,0,0", "3.14, 0.00, 0.00",
                      "0 boxes found"}));
    EXPECT_EQ(progress.Events.front(), "sub Extracting misc. data");
}

TEST(TrackDataReset, ReleasesObjectsAndRestoresInitialFields) {
    const auto track = std::make_unique<TTrackData>();
    TTrackData& td = *track;
    td.TrackLoaded = true;
    td.TrackObjects.push_back(std::make_unique<TQRXBox>());
    td.CheckpointMarkerCount = 1;
    td.Backdrops[2] = std::make_unique<TQRXBox>();
    td.Stadium = std::make_unique<TQRXBox>();
    td.TrackName = "Old";
    td.BackdropCount = 2;
    td.BackdropModelNames[1] = "OLD.BIN";
    td.StadiumFlag = 1;
    td.StadiumSZ = 9;
    td.StadiumModelName = "S.BIN";
    td.FirstGridPos = TVertex3f{1, 2, 3};
    td.FirstGridRot = TVertex3f{4, 5, 6};
    td.BoxCount = 1;
    td.TopCrushCount = 1;
    td.WaterHeight = 0.5f;
    td.LvlFileName = "LEVELS\\OLD.LVL";
    td.LightMapFileName = "DATA\\OLD.LIT";

    ResetTrackDescription(td);
    EXPECT_TRUE(td.TrackObjects.empty());
    EXPECT_EQ(td.CheckpointMarkerCount, 0);
    EXPECT_EQ(td.Backdrops[2], nullptr);
    EXPECT_EQ(td.Stadium, nullptr);
    EXPECT_EQ(td.TrackName, "<unnamed track>");
    EXPECT_EQ(td.BackdropCount, 0);
    EXPECT_EQ(td.BackdropModelNames[1], "");
    EXPECT_EQ(td.StadiumFlag, 0);
    EXPECT_EQ(td.StadiumSZ, 0);
    EXPECT_EQ(td.StadiumModelName, "");
    EXPECT_EQ(td.FirstGridPos.x + td.FirstGridPos.y + td.FirstGridPos.z, 0);
    EXPECT_EQ(td.FirstGridRot.z, 0);
    EXPECT_EQ(td.BoxCount + td.TopCrushCount, 0);
    EXPECT_EQ(td.WaterHeight, 0);
    EXPECT_EQ(td.LvlFileName, "");
    EXPECT_EQ(td.LightMapFileName, "");
    EXPECT_TRUE(td.TrackLoaded);
    td.TrackLoaded = false;
}

} // namespace
