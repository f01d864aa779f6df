#include "tests/tools/BinWalk.h"

namespace {

class TReader {
public:
    explicit TReader(const std::string& bytes) : bytes_(bytes) {}
    bool Has(size_t count) const { return pos_ + count <= bytes_.size(); }
    int32_t Word() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes_[pos_ + i])) << (8 * i);
        }
        pos_ += 4;
        return static_cast<int32_t>(v);
    }
    std::string Text(size_t size) {
        std::string s = bytes_.substr(pos_, size);
        pos_ += size;
        return s.substr(0, s.find('\0'));
    }
    size_t Position() const { return pos_; }

private:
    const std::string& bytes_;
    size_t pos_ = 0;
};

bool IsFaceBlock(int32_t id) {
    return id == 0x0E || id == 0x11 || id == 0x18 || id == 0x19 || id == 0x29 || id == 0x33 ||
           id == 0x34;
}

} // namespace

TWalkedModel WalkBin(const std::string& bytes) {
    TWalkedModel model;
    TReader in(bytes);
    if (!in.Has(20)) {
        model.Error = "shorter than the header";
        return model;
    }
    const int32_t kind = in.Word();
    in.Word();
    in.Word();
    in.Word();
    const int32_t vertexCount = in.Word();
    if (kind == 32) {
        model.IsAnimationControl = true;
        if (!in.Has(500)) {
            model.Error = "animation control file shorter than 520 bytes";
            return model;
        }
        in.Word();
        model.FirstModelName = in.Text(16);
        return model;
    }
    if (vertexCount < 0 || !in.Has(static_cast<size_t>(vertexCount) * 12)) {
        model.Error = "vertex count beyond the file";
        return model;
    }
    for (int32_t i = 0; i < vertexCount; ++i) {
        const int32_t x = in.Word();
        const int32_t y = in.Word();
        const int32_t z = in.Word();
        model.Vertices.push_back({x, y, z});
    }
    while (in.Has(4)) {
        const int32_t id = in.Word();
        model.BlockIds.push_back(id);
        if (id == 0x00) {
            model.Ended = true;
            model.EndOffset = in.Position();
            return model;
        }
        if (id == 0x0D) {
            if (!in.Has(20)) {
                break;
            }
            in.Word();
            model.Textures.push_back(in.Text(16));
        } else if (id == 0x1D) {
            if (!in.Has(24)) {
                break;
            }
            in.Word();
            const int32_t frames = in.Word();
            for (int i = 0; i < 4; ++i) {
                in.Word();
            }
            if (frames < 1 || !in.Has(static_cast<size_t>(frames) * 32)) {
                model.Error = "animated texture frames beyond the file";
                return model;
            }
            for (int32_t f = 0; f < frames; ++f) {
                model.Textures.push_back(in.Text(32));
            }
        } else if (id == 0x0A) {
            if (!in.Has(4)) {
                break;
            }
            in.Word();
        } else if (id == 0x03) {
            if (!in.Has(8)) {
                break;
            }
            in.Word();
            const int32_t n = in.Word();
            if (n < 0 || !in.Has(static_cast<size_t>(n) * 12)) {
                model.Error = "normals beyond the file";
                return model;
            }
            for (int32_t i = 0; i < 3 * n; ++i) {
                in.Word();
            }
        } else if (IsFaceBlock(id)) {
            if (!in.Has(20)) {
                break;
            }
            TWalkedFace face;
            face.BlockId = id;
            const int32_t n = in.Word();
            for (int i = 0; i < 4; ++i) {
                in.Word();
            }
            const size_t refSize = id == 0x19 ? 4 : 12;
            if (n < 3 || n > 4 || !in.Has(static_cast<size_t>(n) * refSize)) {
                model.Error = "face with " + std::to_string(n) + " corners";
                return model;
            }
            for (int32_t i = 0; i < n; ++i) {
                const int32_t index = in.Word();
                if (index < 0 || index >= vertexCount) {
                    model.Error = "face refers to vertex " + std::to_string(index);
                    return model;
                }
                face.Indices.push_back(index);
                if (id != 0x19) {
                    const int32_t u = in.Word();
                    const int32_t v = in.Word();
                    face.Coords.push_back({u, v});
                }
            }
            model.Faces.push_back(face);
        } else {
            model.Error = "unknown block id " + std::to_string(id);
            return model;
        }
    }
    model.Error = "no end block";
    return model;
}

std::array<double, 3> FaceNormal(const TWalkedModel& model, const TWalkedFace& face) {
    auto p = [&](size_t i) { return model.Vertices[face.Indices[i]]; };
    const auto& a = p(0);
    const auto& b = p(1);
    const auto& c = p(2);
    const double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const double vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    return {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
}

std::array<double, 3> FaceCentre(const TWalkedModel& model, const TWalkedFace& face) {
    std::array<double, 3> sum{0, 0, 0};
    for (int32_t index : face.Indices) {
        for (int k = 0; k < 3; ++k) {
            sum[k] += model.Vertices[index][k];
        }
    }
    for (double& s : sum) {
        s /= static_cast<double>(face.Indices.size());
    }
    return sum;
}
