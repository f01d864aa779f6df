#include "core/formats/BINParse.h"

#include "core/base/Errors.h"
#include "core/base/Logging.h"
#include "core/base/TextUtils.h"
#include "core/vfs/GameFile.h"

#include <algorithm>

namespace {

constexpr int32_t kAnimationControlKind = 32;
constexpr size_t kAnimationControlBytes = 500;
constexpr int64_t kVertexBytes = 12;
constexpr int64_t kNormalBytes = 12;
constexpr int64_t kFrameNameBytes = 32;
constexpr int kFaceSlots = 4;

enum : int32_t {
    kEndOfBIN = 0x00,
    kVertexNormals = 0x03,
    kColorBlock = 0x0A,
    kTextureBlock = 0x0D,
    kVexwingUnknown = 0x17,
    kIndexOnlyFace = 0x19,
    kAnimatedTexture = 0x1D,
};

bool IsFaceBlock(int32_t id) {
    switch (id) {
    case 0x0E:
    case 0x11:
    case 0x18:
    case 0x19:
    case 0x29:
    case 0x33:
    case 0x34:
        return true;
    default:
        return false;
    }
}

// A count is only trusted once the rest of the file can hold what it announces.
void RequireRecords(const TGameFile& file, int64_t count, int64_t recordBytes) {
    if (count < 0 || count * recordBytes > file.Remaining()) {
        file.RaisePastEnd();
    }
}

std::string NameField(const char* bytes, size_t size) {
    return std::string(bytes, std::find(bytes, bytes + size, '\0'));
}

std::string ReadName(TGameFile& file, size_t size) {
    std::vector<char> bytes(size);
    file.Read(bytes.data(), bytes.size());
    return NameField(bytes.data(), bytes.size());
}

class TBINReader {
public:
    TBINReader(TGameFile& file, const TBINTextureRequest& textureRequest)
        : file_(file), textureRequest_(textureRequest) {}

    TBINData Read() {
        WriteLog("Loading BIN ...");
        int32_t header[5];
        for (int32_t& word : header) {
            word = file_.ReadInt32();
        }
        if (header[0] == kAnimationControlKind) {
            ReadAnimationControl();
            return std::move(data_);
        }
        const int32_t vertexCount = header[4];
        WriteLog("Number of Vertices: " + std::to_string(vertexCount));
        RequireRecords(file_, vertexCount, kVertexBytes);
        data_.Vertices.resize(static_cast<size_t>(vertexCount));
        for (TBINVertex& vertex : data_.Vertices) {
            vertex.X = file_.ReadInt32();
            vertex.Y = file_.ReadInt32();
            vertex.Z = file_.ReadInt32();
        }
        while (ReadBlock()) {
        }
        WriteLog("Done loading BIN with " + std::to_string(data_.Faces.size()) + " Faces.");
        return std::move(data_);
    }

private:
    void ReadAnimationControl() {
        WriteLog("Animation Control BIN");
        data_.IsAnimationControl = true;
        char rest[kAnimationControlBytes];
        file_.Read(rest, sizeof rest);
        data_.FirstModelName = NameField(rest + 4, 16);
        WriteLog("First BIN: " + data_.FirstModelName);
    }

    // false once the model has ended.
    bool ReadBlock() {
        const int32_t id = file_.ReadInt32();
        if (IsFaceBlock(id)) {
            WriteLog(Format("BLOCK: Face block 0x%.2X", static_cast<unsigned>(id)));
            ReadFace(id);
            return true;
        }
        switch (id) {
        case kEndOfBIN:
            WriteLog("BLOCK: EndOfBIN");
            return false;
        case kVertexNormals:
            WriteLog("BLOCK: QRX2 vertex normals.");
            ReadNormals();
            return true;
        case kColorBlock:
            WriteLog("BLOCK: Color block");
            file_.Read(color_, sizeof color_);
            return true;
        case kTextureBlock: {
            WriteLog("BLOCK: Texture block");
            file_.ReadInt32();
            UseTexture(ReadName(file_, 16));
            return true;
        }
        case kVexwingUnknown:
            WriteLog("BLOCK: Vexwing unknown");
            file_.Skip(8);
            return true;
        case kAnimatedTexture:
            WriteLog("BLOCK: Animated texture block");
            ReadAnimatedTexture();
            return true;
        default:
            WriteLog(Format("BLOCK: Unknown block 0x%.2X", static_cast<unsigned>(id)));
            return false;
        }
    }

    void UseTexture(const std::string& name) {
        texture_ = name;
        std::fill(std::begin(color_), std::end(color_), 255);
        if (textureRequest_) {
            textureRequest_(name);
        }
        WriteLog("Texture: " + name);
    }

    void ReadNormals() {
        file_.ReadInt32();
        const int32_t count = file_.ReadInt32();
        RequireRecords(file_, count, kNormalBytes);
        data_.Normals.assign(static_cast<size_t>(count), TBINNormal{});
        for (TBINNormal& normal : data_.Normals) {
            for (int32_t& word : normal.Words) {
                word = file_.ReadInt32();
            }
        }
    }

    void ReadAnimatedTexture() {
        int32_t head[6];
        for (int32_t& word : head) {
            word = file_.ReadInt32();
        }
        // A count below 1 would move the read position backwards.
        const int64_t frames = std::max<int64_t>(head[1], 1);
        RequireRecords(file_, frames, kFrameNameBytes);
        UseTexture(ReadName(file_, kFrameNameBytes));
        file_.Skip((frames - 1) * kFrameNameBytes);
    }

    void ReadFace(int32_t id) {
        TBINFace face;
        face.BlockId = id;
        face.VertexCount = file_.ReadInt32();
        for (int32_t& word : face.HeadWords) {
            word = file_.ReadInt32();
        }
        face.TextureName = texture_;
        std::copy(std::begin(color_), std::end(color_), face.Color);
        const bool indexOnly = id == kIndexOnlyFace;
        const int64_t referenceBytes = indexOnly ? 4 : 12;
        const int64_t count = std::max<int32_t>(face.VertexCount, 0);
        RequireRecords(file_, count, referenceBytes);
        for (int64_t i = 0; i < count; ++i) {
            const int32_t index = file_.ReadInt32();
            const int32_t u = indexOnly ? 0 : file_.ReadInt32();
            const int32_t v = indexOnly ? 0 : file_.ReadInt32();
            if (i < kFaceSlots) {
                face.Indices[i] = index;
                face.U[i] = u;
                face.V[i] = v;
            }
        }
        data_.Faces.push_back(std::move(face));
    }

    TGameFile& file_;
    const TBINTextureRequest& textureRequest_;
    TBINData data_;
    std::string texture_;
    uint8_t color_[4] = {0, 0, 0, 0};
};

} // namespace

TBINData ParseBINModel(TGameFile& file, const TBINTextureRequest& textureRequest) {
    return TBINReader(file, textureRequest).Read();
}

bool IsDrawableFace(const TBINFace& face, const std::vector<TBINVertex>& vertices) {
    if (face.VertexCount != 3 && face.VertexCount != 4) {
        return false;
    }
    for (int i = 0; i < face.VertexCount; ++i) {
        if (face.Indices[i] < 0 || static_cast<size_t>(face.Indices[i]) >= vertices.size()) {
            return false;
        }
    }
    return true;
}

TBINExtents MeasureExtents(const std::vector<TBINVertex>& vertices) {
    TBINExtents extents;
    if (vertices.empty()) {
        return extents;
    }
    extents.MinX = extents.MaxX = vertices.front().X;
    extents.MinY = extents.MaxY = vertices.front().Y;
    extents.MinZ = extents.MaxZ = vertices.front().Z;
    for (const TBINVertex& vertex : vertices) {
        extents.MinX = std::min(extents.MinX, vertex.X);
        extents.MaxX = std::max(extents.MaxX, vertex.X);
        extents.MinY = std::min(extents.MinY, vertex.Y);
        extents.MaxY = std::max(extents.MaxY, vertex.Y);
        extents.MinZ = std::min(extents.MinZ, vertex.Z);
        extents.MaxZ = std::max(extents.MaxZ, vertex.Z);
    }
    return extents;
}

bool IsBlendedFace(const TBINFace& face) {
    return face.BlockId == 0x11 || face.BlockId == 0x33;
}
