// dunmeregl-cli preview ARCHIVE ENTRY -o OUT.png [--palette ENTRY] [--size N] [--search DIR]...
//                       [--ini FILE]
// The archive explorer's picture of one entry in an image file (PNG, JPEG, Targa or bitmap by the
// name's ending): a texture with the palette its loader would choose or the one --palette names,
// a palette's swatch, a grid, or a model from the fixed three-quarter view. --size is the longer
// side in pixels (textures are scaled without smoothing; a model is drawn that large, 256 by
// default).
#include "cli/TrackSession.h"
#include "core/base/Errors.h"
#include "core/explore/EntryPreview.h"
#include "core/formats/GLBMP.h"
#include "core/session/TrackSession.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/OutputGuard.h"
#include "render/ModelPreview.h"

#include <cstring>

namespace {

constexpr int kDefaultModelSide = 256;
constexpr int kMaxPreviewSide = 4096;

int TakeSize(TCliArgs& args) {
    const std::string value = TakeValueOption(args, "--size");
    if (value.empty()) {
        return 0;
    }
    const std::optional<int32_t> size = TryStrToInt(value);
    if (!size || *size < 1 || *size > kMaxPreviewSide) {
        throw ECliUsageError(
            Format("preview: --size takes 1..%d pixels, not %s", kMaxPreviewSide, value.c_str()));
    }
    return *size;
}

void WriteImage(const TPreviewImage& picture, const std::string& output) {
    TGLBMP image;
    image.Width = picture.Width;
    image.Height = picture.Height;
    image.Pixels.resize(picture.Rgba.size());
    // The writers take rows from the bottom up, as GL reads them.
    const size_t stride = static_cast<size_t>(picture.Width) * 4;
    for (int y = 0; y < picture.Height; ++y) {
        std::memcpy(&image.Pixels[static_cast<size_t>(picture.Height - 1 - y) * stride],
                    &picture.Rgba[static_cast<size_t>(y) * stride], stride);
    }
    SaveCliImage(image, "preview", output);
}

int CliPreview(const TCliArgs& arguments, std::ostream& out, std::ostream&) {
    TCliArgs args = arguments;
    const std::string output = TakeOutputOption(args, "preview");
    const std::string palette = TakeValueOption(args, "--palette");
    const int size = TakeSize(args);
    const TCliTrackOptions options = TakeTrackOptions(args);
    if (args.empty()) {
        throw ECliUsageError("preview: ENTRY missing");
    }
    if (args.size() > 1) {
        throw ECliUsageError("preview: unexpected argument " + args[1]);
    }
    if (!IsImageFileName(output)) {
        throw EDunmereError("preview: could not write " + output +
                            " (the name must end in .bmp, .jpg, .png or .tga)");
    }
    // A session for the settings and the search folders only: no track is loaded.
    TTrackSession session(CliIniFileName(options), options.SearchFolders);
    TQRXFileFinder& finder = session.Finder();
    const TPodFile pod = OpenArchive(options.Archive);
    const int index = pod.FindEntry(args[0]);
    if (index < 0) {
        throw EDunmereError("Entry not found: " + args[0]);
    }
    const TCatalogEntry entry = CatalogArchive(pod).at(static_cast<size_t>(index));
    TGameFiles files(&pod, finder);
    const TEntryPreview preview = PreviewEntry(pod, entry, files, palette);
    TPreviewImage picture;
    switch (preview.Shape) {
    case TPreviewShape::Message:
        throw EDunmereError(preview.Message);
    case TPreviewShape::Text:
        throw EDunmereError(entry.Name + " is " + EntryKindText(entry.Kind) +
                            ", which has no picture (see extract)");
    case TPreviewShape::Model: {
        const int side = size > 0 ? size : kDefaultModelSide;
        THeadlessGLContext context(side, side);
        TModelPreview model;
        model.Load(pod, preview.ModelName, finder);
        picture = DrawModelPicture(model, side);
        break;
    }
    case TPreviewShape::Image:
        picture = size > 0 ? ScaleNearest(preview.Image, size) : preview.Image;
        break;
    }
    // Only the archive and the settings are read whole; an entry's picture never comes from
    // the output, which does not hold one.
    RefuseToOverwrite(output, {options.Archive, CliIniFileName(options)});
    WriteImage(picture, output);
    out << output << ' ' << picture.Width << 'x' << picture.Height << '\n';
    return kCliDone;
}

const TCliRegistration registration(
    {"preview",
     "ARCHIVE ENTRY -o OUT.png [--palette ENTRY] [--size N] [--search DIR]... [--ini FILE]",
     CliPreview,
     "      Draws the preview of one entry into an image file: a texture with the palette the\n"
     "      loader would choose (or --palette ENTRY), a palette as a 16 x 16 swatch, a model\n"
     "      from a fixed three-quarter view, or a grid as a greyscale or false-colour picture.\n"
     "      --size sets the longer side in pixels.\n"});

} // namespace
