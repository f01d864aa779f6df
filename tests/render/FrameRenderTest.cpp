#include "tests/render/FrameFixture.h"

#include "core/base/Errors.h"
#include "core/track/QRXBox.h"
#include "render/FrameRender.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The camera translation that puts the camera cell at `cell` (the inverse of (8 - t) * 255 / 16).
float TranslationForCell(double cell) {
    return static_cast<float>(8 - cell * 16 / 255);
}

double CellCentre(int index) {
    return (index + 0.5 - 128) / 16;
}

class TerrainTest : public BothRenderersFrameTest {};

TEST_P(TerrainTest, FlatTerrainSeenFromTheMapCameraShowsTextureColourTimesLight) {
    const GLuint texture = SolidTexture(200, 100, 50);
    for (int row = 100; row < 156; ++row) {
        for (int column = 100; column < 156; ++column) {
            FillTerrainCell(row, column, 0, 0.5f, texture);
        }
    }
    view_.MapView = true;
    view_.ViewDistance = 64;
    LookDown(1);
    Render();
    ExpectColorNear(PixelAt(32, 32), {100, 50, 25});
    ExpectColorNear(PixelAt(5, 60), {100, 50, 25});

    view_.Display.GlobalTint = {0.3f, 0.3f, 0.3f};
    Render();
    ExpectColorNear(PixelAt(32, 32), {30, 15, 8});
}

TEST_P(TerrainTest, ACellBuriedInAGroundBoxIsLeftOutOnlyWhileGroundBoxesAreShown) {
    const GLuint texture = SolidTexture(0, 255, 0);
    for (int row = 110; row < 146; ++row) {
        for (int column = 110; column < 146; ++column) {
            FillTerrainCell(row, column, 0, 1, texture);
        }
    }
    Track().TerrainInGroundBox[130][126] = true;
    view_.ViewDistance = 30;
    view_.Display.ShowWater = false;
    LookDown(1);

    view_.Display.ShowGroundBoxes = true;
    Render();
    ExpectColorNear(PixelOverWorld(CellCentre(130), CellCentre(126)), {0, 0, 0});
    ExpectColorNear(PixelOverWorld(CellCentre(130), CellCentre(128)), {0, 255, 0});

    view_.Display.ShowGroundBoxes = false;
    Render();
    ExpectColorNear(PixelOverWorld(CellCentre(130), CellCentre(126)), {0, 255, 0});
}

TEST_P(TerrainTest, ColumnsBeyondColumnZeroShowTheLastColumnsShiftedByAWholeGrid) {
    const GLuint texture = SolidTexture(255, 0, 0);
    for (int row = 110; row < 146; ++row) {
        for (int column = 251; column < 256; ++column) {
            FillTerrainCell(row, column, 0, 1, texture);
        }
    }
    view_.ViewDistance = 10;
    view_.Display.AreaShape = TAreaShape::Square;
    view_.Display.ShowWater = false;
    LookDown(1);
    view_.Camera.TransZ = TranslationForCell(5);
    Render();

    // Visited columns -4 .. -1 are the stored columns 252 .. 255 drawn 16 units further on; -5
    // is outside the square of side 2 * 10 - 1 around column 5.
    for (int column = -4; column <= -1; ++column) {
        ExpectColorNear(PixelOverWorld(CellCentre(128), CellCentre(column)), {255, 0, 0});
    }
    ExpectColorNear(PixelOverWorld(CellCentre(128), CellCentre(-5)), {0, 0, 0});
    ExpectColorNear(PixelOverWorld(CellCentre(128), CellCentre(2)), {0, 0, 0});
}

TEST_P(TerrainTest, MapViewVisits128CellsEachWayButDrawsOnlyWithinTheViewDistance) {
    const GLuint texture = SolidTexture(255, 255, 255);
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            FillTerrainCell(row, column, 0, 1, texture);
        }
    }
    view_.Display.ShowWater = false;
    view_.Display.AreaShape = TAreaShape::Circle;
    view_.MapView = true;
    LookDown(2);

    view_.ViewDistance = 20;
    Render();
    ExpectColorNear(PixelOverWorld(CellCentre(128 + 15), CellCentre(128)), {255, 255, 255});
    ExpectColorNear(PixelOverWorld(CellCentre(128 + 25), CellCentre(128)), {0, 0, 0});
    ExpectColorNear(PixelOverWorld(CellCentre(128 + 15), CellCentre(128 + 15)), {0, 0, 0});
}

TEST_P(TerrainTest, MapViewLoopStopsAt128CellsEvenWithALargerViewDistance) {
    const GLuint texture = SolidTexture(255, 255, 255);
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            FillTerrainCell(row, column, 0, 1, texture);
        }
    }
    view_.Display.ShowWater = false;
    view_.Display.AreaShape = TAreaShape::Square;
    view_.ViewDistance = 200;
    LookDown(10);

    // Row 128 + 140 is only reached by a loop wider than 128 cells; row 12 is its stored copy.
    view_.MapView = true;
    Render();
    ExpectColorNear(PixelOverWorld(CellCentre(128 + 140), CellCentre(128)), {0, 0, 0});
    ExpectColorNear(PixelOverWorld(CellCentre(12), CellCentre(128)), {255, 255, 255});

    view_.MapView = false;
    Render();
    ExpectColorNear(PixelOverWorld(CellCentre(128 + 140), CellCentre(128)), {255, 255, 255});
}

TEST_P(TerrainTest, TheTerrainPassBindsItsTextureEvenIfAnEarlierPassBoundItLast) {
    const GLuint texture = SolidTexture(255, 0, 0);
    for (int row = 120; row < 136; ++row) {
        for (int column = 120; column < 136; ++column) {
            FillTerrainCell(row, column, 0, 1, texture);
        }
    }
    view_.Display.ShowWater = false;
    view_.Display.ShowGroundBoxes = false; // that pass would reset the cache before this one
    view_.ViewDistance = 20;
    LookDown(1);
    // Left over from another pass: the name matches, but texture 0 is what is bound now.
    gl_.Bind(static_cast<int32_t>(texture));
    glBindTexture(GL_TEXTURE_2D, 0);
    Render();
    ExpectColorNear(PixelAt(32, 32), {255, 0, 0});
}

TEST_P(TerrainTest, EmptyCellsAreSkippedAndDamagedQuadsStopTheFrameWithTheirMessage) {
    const GLuint texture = SolidTexture(255, 0, 0);
    FillTerrainCell(128, 128, 0, 1, texture);
    view_.ViewDistance = 20;
    LookDown(1);
    EXPECT_NO_THROW(Render());

    Track().TerrainQuads[130][126].VertexCount = 3;
    try {
        Render();
        FAIL() << "no error";
    } catch (const EDunmereError& error) {
        EXPECT_STREQ(error.what(), "TForm1.glDraw: Unsupported number of vertices 3 at (126, 130)");
    }
    EXPECT_FALSE(view_.Busy);
}

TEST_P(TerrainTest, OfTwoDamagedQuadsTheFirstVisitedAlongTheColumnsNamesTheError) {
    const GLuint texture = SolidTexture(255, 0, 0);
    FillTerrainCell(128, 128, 0, 1, texture);
    view_.ViewDistance = 20;
    LookDown(1);
    Track().TerrainQuads[120][130].VertexCount = 5; // column 130, visited later
    Track().TerrainQuads[135][126].VertexCount = 3; // column 126, visited first
    // Row 2 of column 250 is visited as column -6 from camera column 4, before both.
    Track().TerrainQuads[2][250].VertexCount = 2;
    try {
        Render();
        FAIL() << "no error";
    } catch (const EDunmereError& error) {
        EXPECT_STREQ(error.what(), "TForm1.glDraw: Unsupported number of vertices 3 at (126, 135)");
    }
    view_.Camera.TransX = TranslationForCell(4);
    view_.Camera.TransZ = TranslationForCell(4);
    try {
        Render();
        FAIL() << "no error";
    } catch (const EDunmereError& error) {
        EXPECT_STREQ(error.what(), "TForm1.glDraw: Unsupported number of vertices 2 at (250, 2)");
    }
}

TEST_P(TerrainTest, AChunkCutByTheAreaEdgeDrawsOnlyItsCellsInsideAndChunksBehindTheEyeAreLeftOut) {
    const GLuint texture = SolidTexture(255, 255, 255);
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            FillTerrainCell(row, column, 0, 1, texture);
        }
    }
    view_.ViewDistance = 7; // the circle's edge crosses the chunks around cell (128, 128)
    LookDown(0.6f);
    Render();
    ExpectColorNear(PixelOverWorld(CellCentre(128 + 6), CellCentre(128)), {255, 255, 255});
    ExpectColorNear(PixelOverWorld(CellCentre(128 + 5), CellCentre(128 + 4)), {255, 255, 255});
    ExpectColorNear(PixelOverWorld(CellCentre(128 + 5), CellCentre(128 + 5)), {0, 0, 0});
    ExpectColorNear(PixelOverWorld(CellCentre(128 - 7), CellCentre(128)), {0, 0, 0});

    // Looking up, every chunk lies behind the eye or beside the view: nothing is drawn.
    view_.Camera.Tilt = -90;
    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 0});
}

TEST_P(TerrainTest, FollowingPutsTheEyeAboveTheGroundAndOnlyTheMapViewSeesBeyond30Units) {
    const GLuint texture = SolidTexture(0, 0, 255);
    TTrackData& track = Track();
    for (int row = 100; row < 156; ++row) {
        for (int column = 100; column < 156; ++column) {
            FillTerrainCell(row, column, 0.5f, 1, texture);
            track.TerrainVertices[row][column].y = 0.5f;
        }
    }
    view_.ViewDistance = 20;
    LookDown(40); // 40 units up: past the far plane of 30 outside the map view

    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 0});

    view_.FollowTerrain = true;
    view_.HeightAboveGround = 0.5; // the eye 1 unit up, whatever TransY says
    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 255});
    ExpectColorNear(PixelAt(2, 2), {0, 0, 255});

    view_.FollowTerrain = false;
    view_.MapView = true;
    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 255});
}

TEST(ViewAreaTest, RoundAreaUsesTheStraightLineDistanceAndSquareTheLargerAxisDistance) {
    TViewState view;
    view.ViewDistance = 10;
    view.Display.AreaShape = TAreaShape::Circle;
    EXPECT_TRUE(InViewArea(view, 100, 100, 109, 100));
    EXPECT_FALSE(InViewArea(view, 100, 100, 110, 100));
    EXPECT_TRUE(InViewArea(view, 100, 100, 106, 107));  // sqrt(85) < 10
    EXPECT_FALSE(InViewArea(view, 100, 100, 106, 108)); // 10 exactly
    EXPECT_FALSE(InViewArea(view, 100, 100, 109, 91));

    view.Display.AreaShape = TAreaShape::Square;
    EXPECT_TRUE(InViewArea(view, 100, 100, 109, 91));
    EXPECT_TRUE(InViewArea(view, 100, 100, 91, 109));
    EXPECT_FALSE(InViewArea(view, 100, 100, 110, 100));
    EXPECT_FALSE(InViewArea(view, 100, 100, 100, 90));
}

TEST(ViewAreaTest, CameraCellsRoundHalvesToEven) {
    EXPECT_EQ(RoundCell(127.5), 128);
    EXPECT_EQ(RoundCell(126.5), 126);
    EXPECT_EQ(RoundCell(126.51), 127);
    EXPECT_EQ(RoundCell(-0.5), 0);
    EXPECT_EQ(RoundCell(-1.5), -2);
    EXPECT_EQ(RoundCell(1e30), 1 << 20);
    EXPECT_EQ(RoundCell(-1e30), -(1 << 20));
    EXPECT_EQ(RoundCell(std::nan("")), 0);
}

class GroundBoxTest : public BothRenderersFrameTest {};

TEST_P(GroundBoxTest, BoxesBeyondTheGridEdgesAreTheStoredOnesShiftedAndAlwaysInTheRoundArea) {
    const GLuint texture = SolidTexture(0, 0, 255);
    FillGroundBox(5, 253, 0, 0.02f, texture);   // visited as column -3
    FillGroundBox(253, 5, 0, 0.02f, texture);   // visited as row -3
    FillGroundBox(253, 253, 0, 0.02f, texture); // (-3, -3): sqrt(128) from (5, 5)
    view_.ViewDistance = 10;
    view_.Display.AreaShape = TAreaShape::Square;
    view_.Display.ShowWater = false;
    LookDown(1);
    view_.Camera.TransX = TranslationForCell(5);
    view_.Camera.TransZ = TranslationForCell(5);
    Render();

    ExpectColorNear(PixelOverWorld(CellCentre(5), CellCentre(-3)), {0, 0, 255});
    ExpectColorNear(PixelOverWorld(CellCentre(-3), CellCentre(5)), {0, 0, 255});
    ExpectColorNear(PixelOverWorld(CellCentre(-3), CellCentre(-3)), {0, 0, 0});
}

TEST_P(GroundBoxTest, BoxesAreDrawnInTheTintWithoutTheirLightAndOnlyWhenShown) {
    const GLuint texture = SolidTexture(200, 200, 200);
    FillGroundBox(128, 128, 0, 0.02f, texture);
    for (TDrawQuad& face : Track().GroundBoxCells[128][128].Faces) {
        for (auto& color : face.Colors) {
            color[0] = color[1] = color[2] = 0.1f;
        }
    }
    view_.ViewDistance = 10;
    view_.Display.ShowWater = false;
    view_.Display.GlobalTint = {0.5f, 1, 1};
    LookDown(1);
    Render();
    ExpectColorNear(PixelOverWorld(CellCentre(128), CellCentre(128)), {100, 200, 200});

    view_.Display.ShowGroundBoxes = false;
    Render();
    ExpectColorNear(PixelOverWorld(CellCentre(128), CellCentre(128)), {0, 0, 0});
}

TEST_P(GroundBoxTest, ADamagedFaceStopsTheFrameWithItsMessageAndTheFrameStillEnds) {
    const GLuint texture = SolidTexture(200, 200, 200);
    FillGroundBox(131, 125, 0, 0.02f, texture);
    Track().GroundBoxCells[131][125].Faces[2].VertexCount = 2;
    view_.ViewDistance = 10;
    LookDown(1);
    TRecordingHost host{view_};
    UseRenderer();
    Panel1Resize(gl_, kViewSize, kViewSize, view_.Camera.FOV);
    try {
        RenderFrame({render_, gl_, view_, true, host});
        FAIL() << "no error";
    } catch (const EDunmereError& error) {
        EXPECT_STREQ(error.what(),
                     "TForm1.glDraw: Unsupported number of vertices (2) at index (125, 131)");
    }
    EXPECT_FALSE(view_.Busy);
    ASSERT_GE(host.Calls.size(), 2u);
    EXPECT_EQ(host.Calls[host.Calls.size() - 2], "cursor off");
    EXPECT_EQ(host.Calls.back(), "status READY");
}

class RenderFrameTest : public FrameTest {};

TEST_F(RenderFrameTest, DrawsNothingWhileBusyWithoutAnArchiveOrWithoutATrack) {
    TRecordingHost host{view_};
    const GLuint texture = SolidTexture(255, 255, 255);
    FillTerrainCell(128, 128, 0, 1, texture);
    LookDown(1);
    Panel1Resize(gl_, kViewSize, kViewSize, view_.Camera.FOV);
    const auto frameLeavesRed = [&](bool archiveOpen) {
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
        RenderFrame({render_, gl_, view_, archiveOpen, host});
        ExpectColorNear(PixelAt(32, 32), {255, 0, 0});
    };

    view_.Busy = true;
    frameLeavesRed(true);
    EXPECT_TRUE(view_.Busy);
    view_.Busy = false;
    frameLeavesRed(false);
    Track().TrackLoaded = false;
    frameLeavesRed(true);
    EXPECT_TRUE(host.Calls.empty());
}

TEST_F(RenderFrameTest, TellsTheWindowItDrawsAndLetsEventsRunBeforeItTurnsBusy) {
    TRecordingHost host{view_};
    LookDown(1);
    RenderFrame({render_, gl_, view_, true, host});
    const std::vector<std::string> expected{"cursor on", "status DRAWING", "events", "cursor off",
                                            "status READY"};
    EXPECT_EQ(host.Calls, expected);
    EXPECT_FALSE(view_.Busy);
}

TEST_F(RenderFrameTest, AFrameRequestedWhileEventsRunIsDrawnCompletelyFirst) {
    TRecordingHost host{view_};
    LookDown(1);
    host.OnEvents = [&] { RenderFrame({render_, gl_, view_, true, host}); };
    RenderFrame({render_, gl_, view_, true, host});
    const std::vector<std::string> expected{
        "cursor on", "status DRAWING", "events",       "cursor on",  "status DRAWING",
        "events",    "cursor off",     "status READY", "cursor off", "status READY"};
    EXPECT_EQ(host.Calls, expected);
}

TEST_F(RenderFrameTest, AMovementFrameTurnsFullOnceThePauseIsLongerThanThePreference) {
    LookDown(1);
    // The frame reads the clock itself, a moment after the pause was set up: every pause below
    // lies 400 ms or more away from where the answer turns, so a busy machine cannot turn it.
    const auto fullAfter = [&](std::chrono::milliseconds elapsed, int hideFor) {
        view_.FullFrame = false;
        view_.HideObjectsWhileMovingFor = hideFor;
        view_.LastRedrawTime = std::chrono::steady_clock::now() - elapsed;
        Render();
        return view_.FullFrame;
    };
    EXPECT_FALSE(fullAfter(1100ms, 500)); // h + m + s = 1, ms = 100
    EXPECT_TRUE(fullAfter(900ms, 500));
    EXPECT_FALSE(fullAfter(100ms, 500));
    EXPECT_FALSE(fullAfter(1600ms, 1500));
    EXPECT_TRUE(fullAfter(2100ms, 1500));
    EXPECT_TRUE(fullAfter(0ms, -1));

    view_.FullFrame = true;
    view_.LastRedrawTime = std::chrono::steady_clock::now();
    view_.HideObjectsWhileMovingFor = 500;
    Render();
    EXPECT_TRUE(view_.FullFrame);
}

class ObjectPassTest : public BothRenderersFrameTest {
protected:
    TQRXBox* AddObject(double column, double row, const std::string& typeFlags,
                       bool marker = false) {
        auto object = std::make_unique<TQRXBox>();
        object->X = column * 32;
        object->Z = row * 32;
        object->TypeFlags = typeFlags;
        object->IsCheckpointMarker = marker;
        object->ModelName = "MODELS\\BOX.BIN";
        TQRXBox* raw = object.get();
        Track().TrackObjects.push_back(std::move(object));
        render_.DrawListForLoad().Add(raw);
        return raw;
    }

    // Two boxes (one a checkpoint), one top-crush body and cab, one marker, all near (100, 100).
    void AddTypicalTrack() {
        TTrackData& track = Track();
        box_ = AddObject(101, 100, "7,0");
        checkpoint_ = AddObject(100, 102, "6,0");
        body_ = AddObject(103, 100, "7,0");
        cab_ = AddObject(100, 104, "7,0");
        marker_ = AddObject(100, 102, "0;0", true);
        track.BoxCount = 2;
        track.TopCrushCount = 1;
        track.CheckpointMarkerCount = 1;
        view_.ViewDistance = 20;
    }

    std::vector<const TQRXBox*> Drawn() { return CopyAt(0, 0, 100, 100); }
    std::vector<const TQRXBox*> CopyAt(double offZ, double offX, double camCol, double camRow) {
        return render_.DrawListForFrame().ObjectsOfCopy(Track(), view_, offZ, offX, camCol, camRow);
    }
    // The distance the last copy measured for object.
    double DistanceOf(const TQRXBox* object) const {
        for (const auto& entry : render_.DrawList().Entries()) {
            if (entry.Object == object) {
                return entry.Distance;
            }
        }
        ADD_FAILURE() << "not in the draw list";
        return -1;
    }

    TQRXBox* box_ = nullptr;
    TQRXBox* checkpoint_ = nullptr;
    TQRXBox* body_ = nullptr;
    TQRXBox* cab_ = nullptr;
    TQRXBox* marker_ = nullptr;
};

TEST_P(ObjectPassTest, ModeOneLeavesOutCheckpointObjectsAndModeTwoDrawsThem) {
    AddTypicalTrack();
    view_.Display.ObjectsMode = 1;
    const std::vector<const TQRXBox*> modeOne{cab_, body_, box_};
    EXPECT_EQ(Drawn(), modeOne);
    view_.Display.ObjectsMode = 2;
    const std::vector<const TQRXBox*> modeTwo{cab_, body_, checkpoint_, box_};
    EXPECT_EQ(Drawn(), modeTwo);
}

TEST_P(ObjectPassTest, AMovementFrameLeavesObjectsOutUnlessMarkersAreShown) {
    AddTypicalTrack();
    view_.Display.ObjectsMode = 2;
    view_.FullFrame = false;
    EXPECT_TRUE(Drawn().empty());

    // With markers shown the copy runs, and then it draws the objects too.
    view_.Display.ShowCheckpoints = true;
    EXPECT_EQ(Drawn().size(), 5u);

    view_.FullFrame = true;
    view_.Display.ShowCheckpoints = false;
    EXPECT_EQ(Drawn().size(), 4u);
}

TEST_P(ObjectPassTest, WithObjectsOffOnlyTheMarkersAreDrawnAndOnlyIfThereAreAny) {
    AddTypicalTrack();
    view_.Display.ObjectsMode = 0;
    view_.Display.ShowCheckpoints = true;
    EXPECT_EQ(Drawn(), std::vector<const TQRXBox*>{marker_});

    TTrackData& track = Track();
    render_.DrawListForLoad().Remove(marker_);
    track.TrackObjects.pop_back();
    track.CheckpointMarkerCount = 0;
    EXPECT_TRUE(Drawn().empty());
}

TEST_P(ObjectPassTest, AnObjectExactlyAtTheViewDistanceIsCulled) {
    view_.Display.ObjectsMode = 2;
    view_.ViewDistance = 10;
    TQRXBox* atLimit = AddObject(110, 100, "7,0");
    TQRXBox* inside = AddObject(100, 109.99, "7,0");
    EXPECT_EQ(Drawn(), std::vector<const TQRXBox*>{inside});
    EXPECT_DOUBLE_EQ(DistanceOf(atLimit), 99999.9);
    EXPECT_NEAR(DistanceOf(inside), 9.99, 1e-9);
}

TEST_P(ObjectPassTest, ObjectsAreDrawnFarthestFirstKeepingTheOrderOfEqualDistances) {
    view_.Display.ObjectsMode = 2;
    view_.ViewDistance = 10;
    TQRXBox* nearA = AddObject(103, 100, "7,0");
    TQRXBox* far = AddObject(100, 95, "7,0");
    TQRXBox* nearB = AddObject(100, 97, "7,0");
    TQRXBox* nearest = AddObject(101, 100, "7,0");
    const std::vector<const TQRXBox*> expected{far, nearA, nearB, nearest};
    EXPECT_EQ(Drawn(), expected);
    std::vector<const TQRXBox*> order;
    for (const auto& entry : render_.DrawList().Entries()) {
        order.push_back(entry.Object);
    }
    EXPECT_EQ(order, expected);
}

TEST_P(ObjectPassTest, CopiesBeyondTheEdgesMeasureFromTheShiftedPosition) {
    view_.Display.ObjectsMode = 2;
    view_.ViewDistance = 10;
    TQRXBox* object = AddObject(2, 100, "7,0");
    EXPECT_TRUE(CopyAt(0, 0, 250, 100).empty());
    EXPECT_EQ(CopyAt(16, 0, 250, 100), std::vector<const TQRXBox*>{object});
    EXPECT_DOUBLE_EQ(DistanceOf(object), 8);
}

TEST_P(ObjectPassTest, ObjectsShowInAFullFrameAndVanishFromAMovementFrame) {
    // A square of 0.1 world units, 0.1 above the ground right under the eye at the origin.
    StoreQuadModel("MODELS\\BOX.BIN", 6554, 0);
    TQRXBox* object = AddObject(128, 128, "7,0");
    object->Y = 51;
    Track().BoxCount = 1;
    view_.Display.ObjectsMode = 1;
    view_.Display.GlobalTint = {1, 0.5f, 1};
    view_.ViewDistance = 10;
    LookDown(1);

    Render();
    ExpectColorNear(PixelAt(32, 32), {255, 128, 255});
    ExpectColorNear(PixelAt(2, 2), {0, 0, 0});

    view_.FullFrame = false;
    view_.LastRedrawTime = std::chrono::steady_clock::now();
    Render();
    ExpectColorNear(PixelAt(32, 32), {0, 0, 0});
}

TEST_P(ObjectPassTest, AnObjectBeyondTheGridEdgeIsDrawnThroughItsShiftedCopy) {
    StoreQuadModel("MODELS\\BOX.BIN", 6554, 0);
    // Stored at column 2, seen from camera column 250: 8 cells on, one grid further along z.
    TQRXBox* object = AddObject(2, 128, "7,0");
    object->Y = 51;
    Track().BoxCount = 1;
    view_.Display.ObjectsMode = 2;
    view_.ViewDistance = 10;
    LookDown(1);
    view_.Camera.TransZ = TranslationForCell(250);
    Render();
    // The copy is drawn at world z = 2 * 32 / 512 - 8 + 16.
    ExpectColorNear(PixelOverWorld(0, 2.0 * 32 / 512 - 8 + 16), {255, 255, 255});
}

INSTANTIATE_TEST_SUITE_P(BothRenderers, TerrainTest,
                         ::testing::Values(TRendererKind::Reference, TRendererKind::Prepared),
                         RendererName);
INSTANTIATE_TEST_SUITE_P(BothRenderers, GroundBoxTest,
                         ::testing::Values(TRendererKind::Reference, TRendererKind::Prepared),
                         RendererName);
INSTANTIATE_TEST_SUITE_P(BothRenderers, ObjectPassTest,
                         ::testing::Values(TRendererKind::Reference, TRendererKind::Prepared),
                         RendererName);

TEST(ObjectCopyTest, CopiesAreMadeForEveryEdgeTheViewDistanceReachesInTheirOrder) {
    TViewState view;
    view.ViewDistance = 10;
    using TOffsets = std::vector<std::pair<double, double>>;
    EXPECT_EQ(ObjectCopyOffsets(view, 128, 128), (TOffsets{{0, 0}}));
    EXPECT_EQ(ObjectCopyOffsets(view, 250, 5), (TOffsets{{0, 0}, {16, 0}, {16, -16}, {0, -16}}));
    EXPECT_EQ(ObjectCopyOffsets(view, 5, 250), (TOffsets{{0, 0}, {0, 16}, {-16, 0}, {-16, 16}}));
    EXPECT_EQ(ObjectCopyOffsets(view, 245, 245), (TOffsets{{0, 0}}));
    EXPECT_EQ(ObjectCopyOffsets(view, 245.5, 10), (TOffsets{{0, 0}, {16, 0}}));
    view.ViewDistance = 200;
    EXPECT_EQ(ObjectCopyOffsets(view, 128, 128), (TOffsets{{0, 0},
                                                           {0, 16},
                                                           {16, 16},
                                                           {16, 0},
                                                           {16, -16},
                                                           {0, -16},
                                                           {-16, -16},
                                                           {-16, 0},
                                                           {-16, 16}}));
}

} // namespace
