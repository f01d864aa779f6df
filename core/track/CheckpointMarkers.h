// The viewer's own marker objects, one on every checkpoint of the track's boxes, made when a track
// loads so that checkpoints can be shown apart from the gates the track draws for them.
#pragma once

#include <vector>

class TQRXBox;
struct TTrackData;

inline constexpr const char* kCheckpointMarkerModel = "DMGLCHK.BIN";

// Appends a marker object for every checkpoint among the first BoxCount track objects (the
// track's own boxes, not the top-crush bodies) and counts them in CheckpointMarkerCount. Returns
// the markers in their order, for their models to be loaded.
std::vector<const TQRXBox*> MakeCheckpointMarkers(TTrackData& track);
