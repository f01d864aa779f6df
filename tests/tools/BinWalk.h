// Reads a BIN model's block structure back for the generator tests: independent of the viewer's
// reader, strict about everything the viewer would have to guess at.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TWalkedFace {
    int32_t BlockId = 0;
    std::vector<int32_t> Indices;
    std::vector<std::array<int32_t, 2>> Coords;
};

struct TWalkedModel {
    bool IsAnimationControl = false;
    std::string FirstModelName;
    std::vector<std::array<int32_t, 3>> Vertices;
    std::vector<TWalkedFace> Faces;
    std::vector<std::string> Textures; // texture and animated-texture frame names, in order
    std::vector<int32_t> BlockIds;     // every block id, the end block included
    bool Ended = false;                // an end block was reached
    size_t EndOffset = 0;              // the byte after the end block
    std::string Error;                 // empty when the structure is sound
};

TWalkedModel WalkBin(const std::string& bytes);

// Right-hand normal of a face in file coordinates, and the mean of its corners.
std::array<double, 3> FaceNormal(const TWalkedModel& model, const TWalkedFace& face);
std::array<double, 3> FaceCentre(const TWalkedModel& model, const TWalkedFace& face);
