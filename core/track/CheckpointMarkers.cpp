#include "core/track/CheckpointMarkers.h"

#include "core/track/QRXBox.h"
#include "core/track/TrackData.h"

#include <algorithm>
#include <memory>

std::vector<const TQRXBox*> MakeCheckpointMarkers(TTrackData& track) {
    track.CheckpointMarkerCount = 0;
    // The markers are appended behind the objects looked at, so the bound is fixed first.
    const size_t boxes =
        std::min(static_cast<size_t>(std::max(track.BoxCount, 0)), track.TrackObjects.size());
    std::vector<const TQRXBox*> markers;
    for (size_t i = 0; i < boxes; ++i) {
        const TQRXBox& checkpoint = *track.TrackObjects[i];
        if (!checkpoint.IsCheckpoint()) {
            continue;
        }
        auto marker = std::make_unique<TQRXBox>();
        marker->IsCheckpointMarker = true;
        marker->X = checkpoint.X;
        marker->Y = checkpoint.Y;
        marker->Z = checkpoint.Z;
        marker->Theta = checkpoint.Theta;
        marker->Phi = checkpoint.Phi;
        marker->Psi = checkpoint.Psi;
        marker->TypeFlags = "0;0";
        marker->ModelName = kCheckpointMarkerModel;
        markers.push_back(marker.get());
        ++track.CheckpointMarkerCount;
        track.TrackObjects.push_back(std::move(marker));
    }
    return markers;
}
