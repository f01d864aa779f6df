// dunmeregl-cli map ARCHIVE -o MAP.png [--track ENTRY] [--search DIR]... [--ini FILE]
//                   [--scale PX_PER_CELL] [--objects] [--grid]
// Loads one track as the viewer does and draws the whole of it from above into an image file
// (PNG, JPEG, Targa or bitmap by the name's ending), PX_PER_CELL pixels per grid cell.
#include "cli/TrackSession.h"
#include "core/base/Errors.h"
#include "core/formats/GLBMP.h"
#include "core/view/ViewCommands.h"
#include "core/view/ViewState.h"
#include "render/MapPicture.h"
#include "render/ScreenGrab.h"

#include <algorithm>

namespace {

int TakeScale(TCliArgs& args) {
    const auto option = std::find(args.begin(), args.end(), "--scale");
    if (option == args.end()) {
        return kDefaultMapPixelsPerCell;
    }
    if (option + 1 == args.end()) {
        throw ECliUsageError("map: --scale needs a value");
    }
    const std::optional<int32_t> scale = TryStrToInt(*(option + 1));
    if (!scale || *scale < 1 || *scale > kMaxMapPixelsPerCell) {
        throw ECliUsageError(Format("map: --scale takes 1..%d pixels per cell, not %s",
                                    kMaxMapPixelsPerCell, (option + 1)->c_str()));
    }
    args.erase(option, option + 2);
    return *scale;
}

int CliMap(const TCliArgs& arguments, std::ostream& out, std::ostream& err) {
    TCliArgs args = arguments;
    const std::string output = TakeOutputOption(args, "map");
    TMapPictureOptions options;
    options.PixelsPerCell = TakeScale(args);
    options.Objects = TakeFlag(args, "--objects");
    options.Grid = TakeFlag(args, "--grid");
    const TCliTrackOptions trackOptions = TakeTrackOptions(args);
    if (!args.empty()) {
        throw ECliUsageError("map: unexpected argument " + args[0]);
    }
    // Known before the track is loaded, so a wrong name costs no load.
    if (!IsImageFileName(output)) {
        throw EDunmereError("map: could not write " + output +
                            " (the name must end in .bmp, .jpg, .png or .tga)");
    }
    TCliTrackSession session(trackOptions, 64, 64);
    session.Load();
    // The picture's size follows from the loaded track.
    const int side = MapPictureSide(session.Render(), session.Session().Track(), options);
    session.ResizeContext(side, side);
    for (const std::string& warning : session.Session().Warnings()) {
        err << "warning: " << warning << '\n';
    }
    DrawMapPicture(session.Render(), session.GL(), session.Session().View(), options);
    TGLBMP image;
    GrabScreen(image);
    session.Session().RefuseToOverwrite(output);
    SaveCliImage(image, "map", output);
    out << output << ' ' << side << 'x' << side << '\n';
    return kCliDone;
}

const TCliRegistration registration(
    {"map",
     "ARCHIVE -o MAP.png [--track ENTRY] [--search DIR]... [--ini FILE] [--scale PX_PER_CELL] "
     "[--objects] [--grid]",
     CliMap,
     "      Draws the whole track from above into an image file (.png, .jpg, .tga or .bmp):\n"
     "      --scale pixels per grid cell (1 to 16, default 4), --objects adds the placed\n"
     "      objects, --grid a line every 16 cells.\n"});

} // namespace
