#include "core/view/TrackStatistics.h"

#include "core/base/TextUtils.h"
#include "core/track/DMConvert.h"
#include "core/view/Camera.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

int StoredIndex(int index) {
    const int m = index % kGridSize;
    return m < 0 ? m + kGridSize : m;
}

int DrawnTriangles(const TModelGeometry& model) {
    int triangles = 0;
    for (const TBINFace& face : *model.Faces) {
        if (IsDrawableFace(face, *model.Vertices)) {
            triangles += face.VertexCount == 4 ? 2 : 1;
        }
    }
    return triangles;
}

// What the grid passes of one frame send: two triangles per quad.
int64_t GridTriangles(const TTrackData& track, const TViewState& view) {
    const int camCol = static_cast<int>(RoundTiesToEven(WorldToMapUnits(view.Camera.TransZ)));
    const int camRow = static_cast<int>(RoundTiesToEven(WorldToMapUnits(view.Camera.TransX)));
    const int d = view.ViewDistance;
    const int loop = view.MapView ? 128 : d;
    const bool boxes = view.Display.ShowGroundBoxes;
    int64_t triangles = 0;
    for (int a = camCol - loop; a <= camCol + loop; ++a) {
        for (int b = camRow - loop; b <= camRow + loop; ++b) {
            const int am = StoredIndex(a);
            const int bm = StoredIndex(b);
            const int dc = camCol - a;
            const int dr = camRow - b;
            if (boxes && a >= camCol - d && a <= camCol + d && b >= camRow - d && b <= camRow + d &&
                std::sqrt(static_cast<double>(dc * dc + dr * dr)) < d &&
                track.GroundBoxCells[bm][am].HasBox) {
                triangles += 12;
            }
            if (CellInViewArea(view, dr, dc) && !(boxes && track.TerrainInGroundBox[bm][am]) &&
                track.TerrainQuads[bm][am].VertexCount == 4) {
                triangles += 2;
            }
        }
    }
    return triangles;
}

} // namespace

TTrackStatistics GatherTrackStatistics(const TPickScene& scene,
                                       const std::vector<TTextureSize>& textures,
                                       int64_t bufferBytes, std::vector<TStepTime> loadSteps) {
    const TTrackData& track = scene.Track;
    TTrackStatistics stats;
    for (int r = 0; r < kGridSize; ++r) {
        for (int c = 0; c < kGridSize; ++c) {
            stats.TerrainCells += track.TerrainQuads[r][c].VertexCount == 4 ? 1 : 0;
            stats.GroundBoxCells += track.GroundBoxCells[r][c].HasBox ? 1 : 0;
        }
    }
    for (const auto& object : track.TrackObjects) {
        if (object->IsCheckpointMarker) {
            continue;
        }
        ++stats.Objects;
        stats.Checkpoints += object->IsCheckpoint() ? 1 : 0;
        auto use = std::find_if(stats.Models.begin(), stats.Models.end(),
                                [&](const TModelUse& u) { return u.Model == object->ModelName; });
        if (use == stats.Models.end()) {
            const TModelGeometry model = scene.ModelOf(object->ModelName);
            const int faces = model.Faces != nullptr ? static_cast<int>(model.Faces->size()) : 0;
            stats.Models.push_back({object->ModelName, 0, faces});
            use = stats.Models.end() - 1;
        }
        ++use->Count;
    }
    for (const TTextureSize& texture : textures) {
        ++stats.Textures;
        stats.TexturePixels += texture.Pixels;
        stats.TextureBytes += texture.Bytes;
        stats.MissingTextures += texture.Missing ? 1 : 0;
    }
    stats.TrianglesDrawn = GridTriangles(track, scene.View);
    for (const TPickObjectCopy& copy : scene.ObjectCopies) {
        for (const TQRXBox* object : copy.Objects) {
            const TModelGeometry model = scene.ModelOf(object->ModelName);
            if (model.Faces != nullptr && model.Vertices != nullptr) {
                stats.TrianglesDrawn += DrawnTriangles(model);
            }
        }
    }
    stats.BufferBytes = bufferBytes;
    stats.LoadSteps = std::move(loadSteps);
    return stats;
}

std::string FormatTrackStatistics(const TTrackStatistics& s) {
    std::string text;
    text += Format("Cells with terrain: %d\n", s.TerrainCells);
    text += Format("Cells with ground boxes: %d\n", s.GroundBoxCells);
    text += Format("Objects: %d\n", s.Objects);
    for (const TModelUse& use : s.Models) {
        text += Format("  %s: %d, %d faces\n", use.Model.c_str(), use.Count, use.Faces);
    }
    text += Format("Checkpoints: %d\n", s.Checkpoints);
    text += Format("Textures: %d, %lld pixels, %d missing\n", s.Textures,
                   static_cast<long long>(s.TexturePixels), s.MissingTextures);
    text +=
        Format("Triangles drawn at this view: %lld\n", static_cast<long long>(s.TrianglesDrawn));
    text += Format("GPU memory: %lld bytes of buffers, %lld bytes of textures\n",
                   static_cast<long long>(s.BufferBytes), static_cast<long long>(s.TextureBytes));
    text += "Load time by step:\n";
    for (const TStepTime& step : s.LoadSteps) {
        text += Format("  %s: %.1f ms\n", step.Step.c_str(), step.Milliseconds);
    }
    return text;
}

std::string FormatTrackStatisticsJson(const TTrackStatistics& s) {
    using TJson = nlohmann::ordered_json;
    TJson models = TJson::array();
    for (const TModelUse& use : s.Models) {
        models.push_back(
            {{"model", Cp1252ToUtf8(use.Model)}, {"count", use.Count}, {"faces", use.Faces}});
    }
    TJson steps = TJson::array();
    for (const TStepTime& step : s.LoadSteps) {
        steps.push_back({{"step", step.Step}, {"ms", step.Milliseconds}});
    }
    const TJson json = {
        {"terrain_cells", s.TerrainCells},
        {"ground_box_cells", s.GroundBoxCells},
        {"objects", s.Objects},
        {"models", models},
        {"checkpoints", s.Checkpoints},
        {"textures", s.Textures},
        {"texture_pixels", s.TexturePixels},
        {"missing_textures", s.MissingTextures},
        {"triangles_drawn", s.TrianglesDrawn},
        {"buffer_bytes", s.BufferBytes},
        {"texture_bytes", s.TextureBytes},
        {"load_steps", steps},
    };
    return json.dump(2, ' ', false, TJson::error_handler_t::replace) + "\n";
}
