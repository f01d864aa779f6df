// A fixture for tests that put heights into a track: each test has a fresh, flat one, and the view
// states it makes look at it.
#pragma once

#include "core/track/TrackData.h"
#include "core/view/ViewState.h"

#include <gtest/gtest.h>

#include <memory>

class TGridTest : public ::testing::Test {
protected:
    TTrackData& Track() { return *track_; }
    // state, looking at this test's track.
    TViewState OnGrid(TViewState state) {
        state.Track = track_.get();
        return state;
    }

    void SetTerrain(int row, int column, float height) {
        track_->TerrainVertices[row][column].y = height;
    }
    void SetBoxTop(int row, int column, float height) {
        track_->GroundBoxTop[row][column].y = height;
    }
    // The camera translation whose grid coordinate is u (row from TransX, column from TransZ).
    static double TransForGrid(double u) { return 8.0 - u * 16.0 / 255.0; }

private:
    std::unique_ptr<TTrackData> track_ = std::make_unique<TTrackData>();
};
