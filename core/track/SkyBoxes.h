// The four sky boxes, one for each sky type the view can choose, made when a track loads: the
// track description names no sky, so every track gets the viewer's own.
#pragma once

#include <vector>

class TQRXBox;
struct TTrackData;

// Replaces the four sky boxes; returns them in the order they are made, for their models to be
// loaded.
std::vector<const TQRXBox*> MakeSkyBoxes(TTrackData& track);
// The sky box of sky type 1..4 (clear, cloudy, dusk, night); nullptr for 0 or none made.
const TQRXBox* SkyBoxFor(const TTrackData& track, int skyType);
