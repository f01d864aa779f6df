// dunmeregl-cli export ARCHIVE -o TRACK.glb [--track ENTRY] [--search DIR]... [--ini FILE]
//                      [--objects] [--boxes] [--water]
// Loads one track as the viewer does and writes it as a glTF file, binary for .glb and JSON for
// .gltf. Without any of
// --objects, --boxes and --water everything is written; with some, the terrain and only those.
#include "cli/TrackSession.h"
#include "core/base/Errors.h"
#include "core/export/TrackExport.h"
#include "core/vfs/GameFiles.h"
#include "core/view/ViewCommands.h"

namespace {

int CliExport(const TCliArgs& arguments, std::ostream& out, std::ostream& err) {
    TCliArgs args = arguments;
    std::string output = TakeOutputOption(args, "export");
    TTrackExportOptions options;
    options.Objects = TakeFlag(args, "--objects");
    options.Boxes = TakeFlag(args, "--boxes");
    options.Water = TakeFlag(args, "--water");
    if (!options.Objects && !options.Boxes && !options.Water) {
        options = TTrackExportOptions{};
    }
    const TCliTrackOptions trackOptions = TakeTrackOptions(args);
    if (!args.empty()) {
        throw ECliUsageError("export: unexpected argument " + args[0]);
    }
    // Known before the track is loaded, so a wrong name costs no load.
    if (!IsGltfFileName(output)) {
        throw EDunmereError("export: could not write " + output +
                            " (the name must end in .glb or .gltf)");
    }
    TCliTrackSession session(trackOptions, 64, 64);
    session.Load();
    TTrackSession& track = session.Session();
    options.WaterColor = ReadWaterColor(track.Ini());
    TGameFiles files = track.Files();
    for (const std::string& warning : track.Warnings()) {
        err << "warning: " << warning << '\n';
    }
    track.RefuseToOverwrite(output);
    ExportTrackGlb(output, track.Track(), files, track.Palettes(), options);
    out << output << '\n';
    return kCliDone;
}

const TCliRegistration registration(
    {"export",
     "ARCHIVE -o TRACK.glb|TRACK.gltf [--track ENTRY] [--search DIR]... [--ini FILE] [--objects] "
     "[--boxes] [--water]",
     CliExport,
     "      Writes the loaded track as one glTF 2.0 file, binary for .glb and JSON for .gltf:\n"
     "      terrain, ground boxes (--boxes), water (--water) and placed objects (--objects).\n"
     "      Without any of the three everything is written; naming some writes the terrain\n"
     "      and only those.\n"});

} // namespace
