#include "render/ObjectDrawList.h"

#include "core/track/QRXBox.h"
#include "core/track/TrackData.h"
#include "core/view/ViewState.h"

#include <algorithm>
#include <cmath>

void TObjectDrawList::Assign(const TTrackData& track) {
    entries_.clear();
    for (const auto& object : track.TrackObjects) {
        Add(object.get());
    }
}

void TObjectDrawList::Remove(const TQRXBox* object) {
    std::erase_if(entries_, [object](const TEntry& entry) { return entry.Object == object; });
}

std::vector<const TQRXBox*> TObjectDrawList::ObjectsOfCopy(const TTrackData& track,
                                                           const TViewState& view, double offZ,
                                                           double offX, double camCol,
                                                           double camRow) {
    const TDisplaySettings& display = view.Display;

    // While the camera moves the copy is skipped unless markers are to be shown; when it runs it
    // draws objects as well as markers.
    int last = static_cast<int>(track.TrackObjects.size()) - 1;
    if (!display.ShowCheckpoints) {
        last -= track.CheckpointMarkerCount;
    }
    const int first = (!view.FullFrame || display.ObjectsMode == 0)
                          ? track.BoxCount + 2 * track.TopCrushCount
                          : 0;
    if (last < first) {
        return {};
    }

    for (TEntry& entry : entries_) {
        const double column = entry.Object->X / 32 + 16 * offZ;
        const double row = entry.Object->Z / 32 + 16 * offX;
        entry.Distance =
            std::sqrt((column - camCol) * (column - camCol) + (row - camRow) * (row - camRow));
        if (!(view.ViewDistance > entry.Distance)) {
            entry.Distance = 99999.9;
        }
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const TEntry& a, const TEntry& b) { return a.Distance > b.Distance; });

    std::vector<const TQRXBox*> drawn;
    for (const TEntry& entry : entries_) {
        if (entry.Distance > 9999.9) {
            continue;
        }
        const TQRXBox& object = *entry.Object;
        const bool marker = display.ShowCheckpoints && object.IsCheckpointMarker;
        const bool trackObject = display.ObjectsMode != 0 && !object.IsCheckpointMarker &&
                                 (display.ObjectsMode == 2 || object.TypeFlags != "6,0");
        if (marker || trackObject) {
            drawn.push_back(&object);
        }
    }
    return drawn;
}
