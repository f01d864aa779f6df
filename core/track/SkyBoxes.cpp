#include "core/track/SkyBoxes.h"

#include "core/track/QRXBox.h"
#include "core/track/TrackData.h"

#include <memory>

namespace {

// Sky box models in the order they are made, with the sky type each one serves.
struct TSkyBoxModel {
    const char* Name;
    int SkyType;
};
constexpr TSkyBoxModel kSkyBoxModels[] = {
    {"SKYBOX_CLOUDY2.BIN", 1},
    {"SKYBOX_DUSKSKY.BIN", 3},
    {"SKYBOX_CCLOUDS.BIN", 2},
    {"SKYBOX_NITESKY.BIN", 4},
};

} // namespace

std::vector<const TQRXBox*> MakeSkyBoxes(TTrackData& track) {
    std::vector<const TQRXBox*> made;
    for (const TSkyBoxModel& model : kSkyBoxModels) {
        auto& slot = track.SkyBoxes[model.SkyType - 1];
        slot = std::make_unique<TQRXBox>();
        slot->X = 4100.0;
        slot->Y = 0;
        slot->Z = 4200.0;
        slot->ModelName = model.Name;
        made.push_back(slot.get());
    }
    return made;
}

const TQRXBox* SkyBoxFor(const TTrackData& track, int skyType) {
    if (skyType < 1 || skyType > 4) {
        return nullptr;
    }
    return track.SkyBoxes[skyType - 1].get();
}
