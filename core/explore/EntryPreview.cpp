#include "core/explore/EntryPreview.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/base/TextUtils.h"
#include "core/explore/EntryBytes.h"
#include "core/formats/BINParse.h"
#include "core/formats/ImageDecode.h"
#include "core/formats/PalettePool.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int kGridSide = 256;
constexpr size_t kLightMapStride = 7;
constexpr size_t kBoxFaces = 6;
constexpr int kSwatchCell = 8; // pixels per palette entry, so the swatch is 128 x 128

TEntryPreview Refusal(const std::string& entryName, const std::string& reason) {
    TEntryPreview preview;
    preview.Message = entryName + ": " + reason;
    return preview;
}

TEntryPreview FromImage(TPreviewImage image, std::string caption) {
    TEntryPreview preview;
    preview.Shape = TPreviewShape::Image;
    preview.Image = std::move(image);
    preview.Caption = std::move(caption);
    return preview;
}

std::string SizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// The decoders' 3- or 4-channel pixels as 4 channels.
TPreviewImage ToRgba(const TDecodedImage& decoded) {
    TPreviewImage image{decoded.Width, decoded.Height, {}};
    const size_t count = static_cast<size_t>(decoded.Width) * decoded.Height;
    image.Rgba.resize(count * 4);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* from = &decoded.Pixels[i * decoded.Channels];
        uint8_t* to = &image.Rgba[i * 4];
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
        to[3] = decoded.Channels == 4 ? from[3] : 255;
    }
    return image;
}

// A game file's bytes in memory, as a TGameFile the decoders can read: the entry's own stretch
// of the archive.
struct TEntryFile {
    TGameFile File;
    int64_t Size = 0;
};

TEntryFile OpenEntryAt(const TPodFile& pod, const TCatalogEntry& entry) {
    const TPodEntry& record = pod.Entries()[static_cast<size_t>(entry.Index)];
    TEntryFile opened;
    if (!opened.File.Open(pod.ArchivePath())) {
        throw EInOutError("Cannot read " + pod.ArchivePath());
    }
    if (record.Size < 0 || record.Offset < 0 ||
        static_cast<int64_t>(record.Offset) + record.Size > opened.File.Size()) {
        throw EInOutError("the archive holds less than its directory claims");
    }
    opened.File.Seek(record.Offset);
    opened.Size = record.Size;
    return opened;
}

const TPalette& ChosenPalette(TPalettePool& pool, const TCatalogEntry& entry, TGameFiles& files,
                              const std::string& paletteName, std::string& shownName) {
    if (paletteName.empty()) {
        const TPalette& palette = ChooseGamePalette(pool, entry.Name, files);
        shownName = pool.Find(SiblingPaletteName(entry.Name)) != nullptr
                        ? SiblingPaletteName(entry.Name)
                        : std::string("default palette");
        return palette;
    }
    TOpenedGameFile found = files.Open(paletteName);
    if (!found.Found()) {
        throw EInOutError("palette " + paletteName + " not found");
    }
    if (found.Size < static_cast<int64_t>(kActBytes)) {
        throw EInOutError("palette " + paletteName + " is shorter than 768 bytes");
    }
    shownName = paletteName;
    return pool.Load(found.File, paletteName);
}

TEntryPreview PreviewRaw(const TPodFile& pod, const TCatalogEntry& entry, TGameFiles& files,
                         const std::string& paletteName) {
    TPalettePool pool;
    std::string shownName;
    const TPalette& palette = ChosenPalette(pool, entry, files, paletteName, shownName);
    TEntryFile opened = OpenEntryAt(pod, entry);
    TRawIndices raw;
    if (const auto refusal = ReadRAWIndices(opened.File, opened.Size, entry.Name, raw)) {
        return Refusal(entry.Name, refusal->ErrorText);
    }
    const TDecodedImage decoded = ColourRAW(raw, palette);
    return FromImage(ToRgba(decoded),
                     SizeText(decoded.Width, decoded.Height) + ", palette " + shownName);
}

TEntryPreview PreviewImageFile(const TPodFile& pod, const TCatalogEntry& entry) {
    TEntryFile opened = OpenEntryAt(pod, entry);
    const TDecodedImage decoded = entry.Kind == TEntryKind::TextureBmp
                                      ? DecodeBMP(opened.File)
                                      : DecodeTGA(opened.File, entry.Name);
    if (!decoded.Ok) {
        return Refusal(entry.Name, decoded.ErrorText);
    }
    return FromImage(ToRgba(decoded), SizeText(decoded.Width, decoded.Height));
}

TEntryPreview PreviewPalette(const TPodFile& pod, const TCatalogEntry& entry) {
    TEntryFile opened = OpenEntryAt(pod, entry);
    uint8_t rgb[kActBytes];
    opened.File.Read(rgb, sizeof rgb);
    const TPalette palette = ConvertPalette(rgb);
    constexpr int side = 16 * kSwatchCell;
    TPreviewImage image{side, side, std::vector<uint8_t>(static_cast<size_t>(side) * side * 4)};
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int index = (y / kSwatchCell) * 16 + x / kSwatchCell;
            std::memcpy(&image.Rgba[(static_cast<size_t>(y) * side + x) * 4], &palette[index * 4],
                        4);
        }
    }
    return FromImage(std::move(image), "256 colours, 16 x 16");
}

// A distinct, stable colour for each texture number, so neighbouring numbers stand apart.
std::array<uint8_t, 3> FalseColour(int number) {
    const auto mix = static_cast<uint32_t>(number) * 2654435761u;
    return {static_cast<uint8_t>(64 + (mix >> 24) % 192),
            static_cast<uint8_t>(64 + (mix >> 16) % 192),
            static_cast<uint8_t>(64 + (mix >> 8) % 192)};
}

TEntryPreview PreviewGrid(const TPodFile& pod, const TCatalogEntry& entry) {
    const TPodEntry& record = pod.Entries()[static_cast<size_t>(entry.Index)];
    TGameFile archive;
    if (!archive.Open(pod.ArchivePath())) {
        throw EInOutError("Cannot read " + pod.ArchivePath());
    }
    const std::string bytes = ReadEntryBytes(archive, record);
    const size_t cells = static_cast<size_t>(kGridSide) * kGridSide;
    size_t stride = 1;
    if (entry.Kind == TEntryKind::LightMap) {
        stride = kLightMapStride;
    } else if (entry.Kind == TEntryKind::TextureIndexGrid) {
        stride = 2;
    } else if (entry.Kind == TEntryKind::BoxTextureIndexGrid) {
        stride = 2 * kBoxFaces;
    }
    if (bytes.size() < cells * stride) {
        return Refusal(entry.Name, "holds " + std::to_string(bytes.size()) +
                                       " bytes, a grid needs " + std::to_string(cells * stride));
    }
    TPreviewImage image{kGridSide, kGridSide, std::vector<uint8_t>(cells * 4, 255)};
    const bool indexed =
        entry.Kind == TEntryKind::TextureIndexGrid || entry.Kind == TEntryKind::BoxTextureIndexGrid;
    for (size_t i = 0; i < cells; ++i) {
        uint8_t* pixel = &image.Rgba[i * 4];
        const auto* cell = reinterpret_cast<const uint8_t*>(&bytes[i * stride]);
        if (indexed) {
            // The ground box grid shows its first face, the one on top of the box.
            const int number = cell[0] | ((cell[1] & 1) << 8);
            const auto colour = FalseColour(number);
            std::memcpy(pixel, colour.data(), 3);
        } else {
            pixel[0] = pixel[1] = pixel[2] = cell[0];
        }
    }
    return FromImage(std::move(image), indexed ? "256 x 256 cells, one colour per texture number"
                                               : "256 x 256 points, darker is lower");
}

TEntryPreview PreviewText(const TPodFile& pod, const TCatalogEntry& entry) {
    TGameFile archive;
    if (!archive.Open(pod.ArchivePath())) {
        throw EInOutError("Cannot read " + pod.ArchivePath());
    }
    TEntryPreview preview;
    preview.Shape = TPreviewShape::Text;
    preview.Lines = NumberedLines(ReadEntryBytes(archive, pod.Entries()[entry.Index]));
    preview.Caption = std::to_string(preview.Lines.size()) + " lines";
    return preview;
}

TEntryPreview PreviewModel(const TPodFile& pod, const TCatalogEntry& entry, TGameFiles& files) {
    TEntryFile opened = OpenEntryAt(pod, entry);
    std::vector<std::string> textures;
    TBINData data =
        ParseBINModel(opened.File, [&](const std::string& name) { textures.push_back(name); });
    TEntryPreview preview;
    preview.Shape = TPreviewShape::Model;
    preview.ModelName = entry.Name;
    if (data.IsAnimationControl) {
        preview.ModelName = "MODELS\\" + data.FirstModelName;
        TOpenedGameFile first = files.Open(preview.ModelName);
        if (!first.Found()) {
            return Refusal(entry.Name, "its first model " + preview.ModelName + " is missing");
        }
        textures.clear();
        data =
            ParseBINModel(first.File, [&](const std::string& name) { textures.push_back(name); });
        preview.Lines.push_back("first model " + preview.ModelName);
    }
    const TBINExtents box = MeasureExtents(data.Vertices);
    preview.Caption = std::to_string(data.Vertices.size()) + " vertices, " +
                      std::to_string(data.Faces.size()) + " faces, box " +
                      Format("%d..%d x %d..%d x %d..%d", box.MinX, box.MaxX, box.MinY, box.MaxY,
                             box.MinZ, box.MaxZ);
    for (const std::string& name : textures) {
        TOpenedGameFile texture = files.Open("ART\\" + name);
        preview.Lines.push_back("ART\\" + name + (texture.Found() ? "" : "  (missing)"));
    }
    return preview;
}

} // namespace

std::vector<std::string> NumberedLines(const std::string& text) {
    std::vector<std::string> lines;
    const auto add = [&](size_t start, size_t end) {
        lines.push_back(Format("%4zu  ", lines.size() + 1) +
                        Cp1252ToUtf8(std::string_view(text).substr(start, end - start)));
    };
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            add(start, i);
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        add(start, text.size());
    }
    return lines;
}

TEntryPreview PreviewEntry(const TPodFile& pod, const TCatalogEntry& entry, TGameFiles& files,
                           const std::string& paletteName) {
    const TLogMute quiet;
    try {
        switch (entry.Kind) {
        case TEntryKind::TextureRaw:
            return PreviewRaw(pod, entry, files, paletteName);
        case TEntryKind::TextureBmp:
        case TEntryKind::TextureTga:
            return PreviewImageFile(pod, entry);
        case TEntryKind::Palette:
            return PreviewPalette(pod, entry);
        case TEntryKind::Model:
        case TEntryKind::AnimationControl:
            return PreviewModel(pod, entry, files);
        case TEntryKind::HeightGrid:
        case TEntryKind::LightMap:
        case TEntryKind::TextureIndexGrid:
        case TEntryKind::BoxTextureIndexGrid:
            return PreviewGrid(pod, entry);
        case TEntryKind::TrackDescription:
        case TEntryKind::Level:
        case TEntryKind::TextureList:
        case TEntryKind::Text:
            return PreviewText(pod, entry);
        case TEntryKind::Unknown:
            break;
        }
        return Refusal(entry.Name, "no preview for this kind of file");
    } catch (const std::exception& e) {
        return Refusal(entry.Name, e.what());
    }
}

TPreviewImage ScaleNearest(const TPreviewImage& image, int longerSide) {
    if (image.Width <= 0 || image.Height <= 0) {
        return image;
    }
    const int longer = std::max(image.Width, image.Height);
    TPreviewImage scaled{std::max(1, image.Width * longerSide / longer),
                         std::max(1, image.Height * longerSide / longer),
                         {}};
    scaled.Rgba.resize(static_cast<size_t>(scaled.Width) * scaled.Height * 4);
    for (int y = 0; y < scaled.Height; ++y) {
        const int fromY = y * image.Height / scaled.Height;
        for (int x = 0; x < scaled.Width; ++x) {
            const int fromX = x * image.Width / scaled.Width;
            std::memcpy(&scaled.Rgba[(static_cast<size_t>(y) * scaled.Width + x) * 4],
                        &image.Rgba[(static_cast<size_t>(fromY) * image.Width + fromX) * 4], 4);
        }
    }
    return scaled;
}
