#include "core/track/CheckpointMarkers.h"

#include "core/track/QRXBox.h"
#include "render/BINStore.h"
#include "render/BoxModel.h"
#include "tests/render/ModelFolderFixture.h"

#include <memory>
#include <string>

namespace {

class CheckpointMarkerTest : public ModelFolderTest {
protected:
    TQRXBox* AddBox(double x, double z, const std::string& typeFlags) {
        auto box = std::make_unique<TQRXBox>();
        box->X = x;
        box->Y = x / 10;
        box->Z = z;
        box->Theta = x / 1000;
        box->Phi = z / 1000;
        box->Psi = (x + z) / 1000;
        box->TypeFlags = typeFlags;
        box->ModelName = "MODELS\\CHECK.BIN";
        Track().TrackObjects.push_back(std::move(box));
        return Track().TrackObjects.back().get();
    }
};

TEST_F(CheckpointMarkerTest, EveryCheckpointAmongTheBoxesGetsAMarkerButTopCrushObjectsDoNot) {
    folder_.WriteFile("data/DMGLCHK.BIN", QuadModelBytes(1000, 0));
    TTrackData& track = Track();
    AddBox(100, 200, "6,0");
    AddBox(300, 400, "7,0");
    AddBox(500, 600, "6,0");
    AddBox(700, 800, "6,1");
    AddBox(900, 1000, "6,0");
    AddBox(1100, 1200, "6,0"); // top-crush body
    AddBox(1300, 1400, "7,0"); // top-crush cab
    track.BoxCount = 5;
    track.TopCrushCount = 1;

    LoadModels(render_, MakeCheckpointMarkers(Track()), loads_.For(nullptr));

    EXPECT_EQ(track.CheckpointMarkerCount, 3);
    ASSERT_EQ(track.TrackObjects.size(), 10u);
    const int checkpoints[3] = {0, 2, 4};
    for (int i = 0; i < 3; ++i) {
        const TQRXBox& source = *track.TrackObjects[checkpoints[i]];
        const TQRXBox& marker = *track.TrackObjects[7 + i];
        EXPECT_TRUE(marker.IsCheckpointMarker);
        EXPECT_FALSE(source.IsCheckpointMarker);
        EXPECT_EQ(marker.TypeFlags, "0;0");
        EXPECT_EQ(marker.ModelName, "DMGLCHK.BIN");
        EXPECT_EQ(marker.X, source.X);
        EXPECT_EQ(marker.Y, source.Y);
        EXPECT_EQ(marker.Z, source.Z);
        EXPECT_EQ(marker.Theta, source.Theta);
        EXPECT_EQ(marker.Phi, source.Phi);
        EXPECT_EQ(marker.Psi, source.Psi);
    }
    EXPECT_NE(render_.Models().FindBINModel("DMGLCHK.BIN"), nullptr);
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(CheckpointMarkerTest, AMissingMarkerModelIsWarnedOnceAndABoxCountBeyondTheObjectsIsSafe) {
    AddBox(100, 200, "6,0");
    AddBox(300, 400, "6,0");
    Track().BoxCount = 40;
    Track().CheckpointMarkerCount = 7;

    LoadModels(render_, MakeCheckpointMarkers(Track()), loads_.For(nullptr));

    EXPECT_EQ(Track().CheckpointMarkerCount, 2);
    EXPECT_EQ(Track().TrackObjects.size(), 4u);
    EXPECT_EQ(warnings_, TStringList{"Error: BIN Model \"DMGLCHK.BIN\" not found"});
}

} // namespace
