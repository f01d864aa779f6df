#include "tools/GameWriters.h"

#include "core/base/TextUtils.h"
#include "tools/PodWriter.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

std::string ActBytes(const TRgbPalette& palette) {
    std::string bytes;
    bytes.reserve(768);
    for (const TRgb& entry : palette) {
        bytes += static_cast<char>(entry.R);
        bytes += static_cast<char>(entry.G);
        bytes += static_cast<char>(entry.B);
    }
    return bytes;
}

std::string RawBytes(const TIndexedImage& image) {
    if (image.Side <= 0 ||
        image.Pixels.size() != static_cast<size_t>(image.Side) * static_cast<size_t>(image.Side)) {
        throw std::invalid_argument("a RAW texture must be a filled square");
    }
    return std::string(image.Pixels.begin(), image.Pixels.end());
}

std::string Tga24Bytes(const TRgbImage& image) {
    if (image.Width <= 0 || image.Height <= 0 || image.Width > 0xFFFF || image.Height > 0xFFFF) {
        throw std::invalid_argument("TGA sides must be 1..65535");
    }
    TByteWriter out;
    out.U8(0).U8(0).U8(2).FixedText("", 9);
    out.U16(static_cast<uint16_t>(image.Width)).U16(static_cast<uint16_t>(image.Height));
    out.U8(24).U8(0);
    std::string pixels;
    pixels.reserve(image.Pixels.size() * 3);
    for (const TRgb& p : image.Pixels) {
        pixels += static_cast<char>(p.B);
        pixels += static_cast<char>(p.G);
        pixels += static_cast<char>(p.R);
    }
    out.Raw(pixels);
    return out.Bytes();
}

std::array<uint8_t, 2> TexEntryBytes(int number, bool mirrorS, bool mirrorT, int rotation) {
    if (number < 0 || number > 511 || rotation < 0 || rotation > 3) {
        throw std::invalid_argument("texture entry out of range");
    }
    const int high = (number >> 8) | (mirrorT ? 0x10 : 0) | (mirrorS ? 0x20 : 0) | (rotation << 6);
    return {static_cast<uint8_t>(number & 0xFF), static_cast<uint8_t>(high)};
}

int32_t TBinWriter::Vertex(int32_t x, int32_t y, int32_t z) {
    const auto key = std::make_tuple(x, y, z);
    const auto found = vertexIndex_.find(key);
    if (found != vertexIndex_.end()) {
        return found->second;
    }
    const auto index = static_cast<int32_t>(vertices_.size());
    vertices_.push_back({x, y, z});
    vertexIndex_.emplace(key, index);
    return index;
}

void TBinWriter::Texture(const std::string& name) {
    if (name.empty() || name.size() > 16) {
        throw std::invalid_argument("texture block names hold 1..16 characters: " + name);
    }
    TByteWriter out;
    out.I32(0x0D).I32(0).FixedText(name, 16);
    blocks_ += out.Bytes();
    textureNames_.push_back(name);
}

void TBinWriter::AnimatedTexture(const std::vector<std::string>& frameNames) {
    if (frameNames.empty()) {
        throw std::invalid_argument("an animated texture needs frames");
    }
    TByteWriter out;
    out.I32(0x1D).I32(0).I32(static_cast<int32_t>(frameNames.size()));
    out.I32(0).I32(0).I32(0).I32(0);
    for (const std::string& name : frameNames) {
        if (name.empty() || name.size() > 32) {
            throw std::invalid_argument("animation frame names hold 1..32 characters: " + name);
        }
        out.FixedText(name, 32);
    }
    blocks_ += out.Bytes();
    textureNames_.insert(textureNames_.end(), frameNames.begin(), frameNames.end());
}

void TBinWriter::Color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    TByteWriter out;
    out.I32(0x0A).U8(r).U8(g).U8(b).U8(a);
    blocks_ += out.Bytes();
}

void TBinWriter::Face(int32_t blockId, const std::vector<TFaceRef>& refs) {
    if (refs.size() != 3 && refs.size() != 4) {
        throw std::invalid_argument("faces have 3 or 4 vertices");
    }
    TByteWriter out;
    out.I32(blockId).I32(static_cast<int32_t>(refs.size())).I32(0).I32(0).I32(0).I32(0);
    for (const TFaceRef& ref : refs) {
        if (ref.Index < 0 || ref.Index >= VertexCount()) {
            throw std::invalid_argument("face refers to a vertex that does not exist");
        }
        out.I32(ref.Index);
        if (blockId != kFaceNoCoords) {
            out.I32(ref.U).I32(ref.V);
        }
    }
    blocks_ += out.Bytes();
}

void TBinWriter::Normals(const std::vector<std::array<int32_t, 3>>& normals) {
    TByteWriter out;
    out.I32(0x03).I32(0).I32(static_cast<int32_t>(normals.size()));
    for (const auto& n : normals) {
        out.I32(n[0]).I32(n[1]).I32(n[2]);
    }
    blocks_ += out.Bytes();
}

std::string TBinWriter::Bytes() const {
    TByteWriter out;
    out.I32(0).I32(0).I32(0).I32(0).I32(VertexCount());
    for (const auto& v : vertices_) {
        out.I32(v[0]).I32(v[1]).I32(v[2]);
    }
    out.Raw(blocks_).I32(0x00);
    return out.Bytes();
}

std::string AnimationControlBytes(const std::string& firstModelName) {
    if (firstModelName.empty() || firstModelName.size() > 16) {
        throw std::invalid_argument("the first model's name holds 1..16 characters");
    }
    TByteWriter out;
    out.I32(32).I32(0).I32(0).I32(0).I32(0);
    out.I32(0).FixedText(firstModelName, 16).FixedText("", 500 - 20);
    return out.Bytes();
}

std::string LvlText(const TLevelDescription& level) {
    TStringList lines = {"DUNMERE LEVEL",    "FORMAT 1", level.AltitudeFile,
                         level.TexIndexFile, "NONE",     level.TextureListFile};
    for (int line = 7; line <= 16; ++line) {
        lines.push_back(Format("RESERVED %d", line));
    }
    lines.push_back(level.LightMapFile);
    if (level.HasWater) {
        lines.push_back("!WATERHEIGHT");
        lines.push_back(Format("%.3f", level.WaterValue));
    }
    for (const std::string& line : lines) {
        if (line.empty()) {
            throw std::invalid_argument("level file lines must not be blank");
        }
    }
    return CrLfLines(lines);
}

std::string DerivedName(const std::string& name, char last) {
    if (name.empty()) {
        throw std::invalid_argument("no name to derive from");
    }
    std::string derived = name;
    derived.back() = last;
    return derived;
}

std::string TextureListText(const std::vector<std::string>& names) {
    TStringList lines = {Format("%d", static_cast<int>(names.size()))};
    lines.insert(lines.end(), names.begin(), names.end());
    return CrLfLines(lines);
}

namespace {

std::string Triple(double a, double b, double c, const char* format) {
    return Format(format, a) + "," + Format(format, b) + "," + Format(format, c);
}

std::string Position(double x, double y, double z) {
    return Triple(x, y, z, "%.2f");
}
std::string Angles(double a, double b, double c) {
    return Triple(a, b, c, "%.5f");
}

} // namespace

std::vector<std::string> BoxRecordLines(const TBoxRecord& box) {
    return {"!Object",       box.Label,
            "IPOS",          Position(box.X, box.Y, box.Z),
            "THETA,PHI,PSI", Angles(box.Theta, box.Phi, box.Psi),
            "MODEL",         box.Model,
            "!TYPE,FLAGS",   box.TypeFlags,
            "MASS",          "100.0",
            "FRICTION",      "0.80",
            "BOUNCE",        "0.20",
            "DAMAGE",        "0",
            "SOUND",         "none",
            "!End"};
}

std::vector<std::string> TopCrushRecordLines(const TTopCrushRecord& record) {
    return {"!TopCrush",     record.Label,
            "IPOS",          Position(record.X, record.Y, record.Z),
            "IPOS2",         Position(record.X2, record.Y2, record.Z2),
            "THETA,PHI,PSI", Angles(record.Theta, record.Phi, record.Psi),
            "MODELNAME",     record.BodyModel,
            "CABMODELNAME",  record.CabModel,
            "!TYPE,FLAGS",   record.TypeFlags,
            "MASS",          "2000.0",
            "!End"};
}

std::string SitText(const TTrackDescription& track) {
    if (track.Backdrops.size() > 3) {
        throw std::invalid_argument("the viewer reads at most three backdrops");
    }
    TStringList lines = {
        track.LevelFile, "!Race Track Name", track.TrackName, "backdropType,backdropCount",
        Format("%d,%d", track.BackdropType, static_cast<int>(track.Backdrops.size()))};
    if (!track.Backdrops.empty()) {
        lines.push_back("backdropModelName");
        lines.insert(lines.end(), track.Backdrops.begin(), track.Backdrops.end());
    }
    lines.push_back("!stadiumFlag,x,z,sx,sz,stadiumModelName");
    lines.push_back(Format("%d,%d,%d,%d,%d,", track.StadiumFlag, track.StadiumX, track.StadiumZ,
                           track.StadiumSX, track.StadiumSZ) +
                    (track.StadiumModel.empty() ? std::string("NONE") : track.StadiumModel));
    lines.push_back("*** Vehicles ***");
    const TStringList vehicles = {
        "!Grid Slots",          "8",
        "!Grid Spacing",        "48,64",
        "!First Grid Position", Position(track.GridPos[0], track.GridPos[1], track.GridPos[2]),
        "!Grid Side",           "left",
        "!First Grid Rotation", Angles(track.GridRot[0], track.GridRot[1], track.GridRot[2])};
    lines.insert(lines.end(), vehicles.begin(), vehicles.end());
    lines.push_back("*** Boxes ***");
    lines.push_back(Format("%d", static_cast<int>(track.Boxes.size())));
    for (const TBoxRecord& box : track.Boxes) {
        const auto record = BoxRecordLines(box);
        lines.insert(lines.end(), record.begin(), record.end());
    }
    lines.push_back("*** TOP CRUSH ***");
    lines.push_back(Format("%d", static_cast<int>(track.TopCrush.size())));
    for (const TTopCrushRecord& crush : track.TopCrush) {
        const auto record = TopCrushRecordLines(crush);
        lines.insert(lines.end(), record.begin(), record.end());
    }
    for (const std::string& line : lines) {
        if (line.empty()) {
            throw std::invalid_argument("track description lines must not be blank");
        }
    }
    return CrLfLines(lines);
}

double FileAngle(double radians) {
    return radians * 3.14 / std::numbers::pi;
}
