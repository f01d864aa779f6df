// A fixture for tests that put heights into the process-wide track: everything it may touch is
// flat and zero before each test and again afterwards.
#pragma once

#include "core/track/TrackData.h"

#include <gtest/gtest.h>

class TGridTest : public ::testing::Test {
protected:
    void SetUp() override { Flatten(); }
    void TearDown() override { Flatten(); }

    static void SetTerrain(int row, int column, float height) {
        TrackData().TerrainVertices[row][column].y = height;
    }
    static void SetBoxTop(int row, int column, float height) {
        TrackData().GroundBoxTop[row][column].y = height;
    }
    // The camera translation whose grid coordinate is u (row from TransX, column from TransZ).
    static double TransForGrid(double u) { return 8.0 - u * 16.0 / 255.0; }

private:
    static void Flatten() {
        TTrackData& track = TrackData();
        for (int r = 0; r < kGridSize; ++r) {
            for (int c = 0; c < kGridSize; ++c) {
                track.TerrainVertices[r][c].y = 0;
                track.GroundBoxTop[r][c].y = 0;
            }
        }
        track.WaterHeight = 0;
        track.FirstGridPos = TVertex3f{};
        track.FirstGridRot = TVertex3f{};
    }
};
