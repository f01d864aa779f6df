// The track report's statistics: what the loaded track holds and what drawing it costs. The
// counts come from the parsed track; the GPU side (texture sizes, buffer bytes) and the load's
// step times are handed in by those who know them (render/PickScene.h, TTimedProgress).
#pragma once

#include "core/base/StepTimes.h"
#include "core/view/Pick.h"

#include <cstdint>
#include <string>
#include <vector>

// One texture of the texture pool as uploaded.
struct TTextureSize {
    std::string Name;
    int64_t Bytes = 0;  // all mipmap levels
    int64_t Pixels = 0; // level 0
    bool Missing = false;
};

struct TModelUse {
    std::string Model;
    int Count = 0;
    int Faces = 0; // faces of the model, once
};

struct TTrackStatistics {
    int TerrainCells = 0;
    int GroundBoxCells = 0;
    std::vector<TModelUse> Models; // the track's own objects, by model name in first-seen order
    int Objects = 0;
    int Checkpoints = 0;
    int Textures = 0;
    int64_t TexturePixels = 0;
    int MissingTextures = 0;
    int64_t TrianglesDrawn = 0; // one frame from the current view
    int64_t BufferBytes = 0;
    int64_t TextureBytes = 0;
    std::vector<TStepTime> LoadSteps;
};

// scene says what the current frame draws, as for picking.
TTrackStatistics GatherTrackStatistics(const TPickScene& scene,
                                       const std::vector<TTextureSize>& textures,
                                       int64_t bufferBytes, std::vector<TStepTime> loadSteps);

// The report's lines, for the track report window and the tool.
std::string FormatTrackStatistics(const TTrackStatistics& statistics);
std::string FormatTrackStatisticsJson(const TTrackStatistics& statistics);
