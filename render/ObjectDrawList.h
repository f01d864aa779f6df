// The order the object pass draws the track's objects in, kept by the render side so that a frame
// only reads the track. Each copy of the object pass measures every object from the camera cell
// and sorts the list farthest first; the sort is stable and the list persists from frame to frame,
// so objects at equal distances keep the order the previous copy left them in.
#pragma once

#include <vector>

class TQRXBox;
struct TTrackData;
struct TViewState;

class TObjectDrawList {
public:
    struct TEntry {
        const TQRXBox* Object = nullptr;
        // From the camera cell in cells, for the copy measured last; 99999.9 when the object lies
        // at or beyond the view distance.
        double Distance = 0;
    };

    // Every object of the track in its own order, as a load leaves the list.
    void Assign(const TTrackData& track);
    // Appends an object of the track; the list never outlives the objects it names.
    void Add(const TQRXBox* object) { entries_.push_back({object, 0}); }
    void Remove(const TQRXBox* object);
    void Clear() { entries_.clear(); }
    const std::vector<TEntry>& Entries() const { return entries_; }

    // Measures every object for one copy (offsets along z and x in world units), re-sorts the list
    // and returns the objects that copy draws, in drawing order (empty when the copy is skipped).
    std::vector<const TQRXBox*> ObjectsOfCopy(const TTrackData& track, const TViewState& view,
                                              double offZ, double offX, double camCol,
                                              double camRow);

private:
    std::vector<TEntry> entries_;
};
