// The saved camera location value. A value that parses is written back and parsed again: what
// the viewer writes it must read, and writing it again gives the same text.
#include "core/view/CameraLocations.h"
#include "fuzz/FuzzSupport.h"

#include <cmath>

namespace {

// Only values that fit the 8-character fields keep their positions when written.
bool FitsTheFields(const TCameraLocation& location) {
    const TCameraPos& c = location.Camera;
    for (const float value : {c.TransX, c.TransY, c.TransZ, c.Tilt, c.Heading, c.Roll, c.FOV}) {
        if (!(std::fabs(value) < 9999)) {
            return false;
        }
    }
    return !location.ViewDistance ||
           (*location.ViewDistance > -9999999 && *location.ViewDistance < 99999999);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzSession::Get();
    const std::string value(reinterpret_cast<const char*>(data), size);
    RunReader([&] {
        const std::optional<TCameraLocation> location = ParseCameraLocation(value);
        if (!location || !FitsTheFields(*location)) {
            return;
        }
        const std::string written =
            FormatCameraLocation(location->Camera, location->ViewDistance.value_or(0));
        const std::optional<TCameraLocation> again = ParseCameraLocation(written);
        Require(again.has_value(), "a written location parses");
        Require(FormatCameraLocation(again->Camera, again->ViewDistance.value_or(0)) == written,
                "a written location is written again unchanged");
    });
    return 0;
}
