#include "core/export/TrackExport.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/export/TinyGltf.h"
#include "core/formats/BINParse.h"
#include "core/formats/GLBMP.h"
#include "core/formats/ImageDecode.h"
#include "core/formats/PalettePool.h"
#include "core/track/QRXBox.h"
#include "core/track/TrackData.h"
#include "core/vfs/GameFiles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <numbers>

namespace {

constexpr double kCellsPerWorldUnit = 16.0;
constexpr double kGridHalfWidth = 128.0; // cells
constexpr const char* kUnlit = "KHR_materials_unlit";
constexpr const char* kFallbackKey = "(fallback)";
constexpr const char* kUntexturedKey = "(untextured)";
// Surfaces the viewer draws without a texture.
constexpr double kUntexturedGrey = 0.8;
// The largest extent of the first backdrop, in grid widths; the others shrink by the viewer's
// factors 0.6 / 0.7 and 0.5 / 0.7.
constexpr double kBackdropGridWidths = 2.0;
constexpr double kBackdropFactors[3] = {0.7, 0.6, 0.5};

using TQuaternion = std::array<double, 4>; // x, y, z, w

// glTF colours are linear; the viewer's colour values go to the screen as sRGB.
double SrgbToLinear(double value) {
    const double v = std::clamp(value, 0.0, 1.0);
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

TQuaternion AxisTurn(int axis, double degrees) {
    const double half = degrees * std::numbers::pi / 360.0;
    TQuaternion q = {0, 0, 0, std::cos(half)};
    q[static_cast<size_t>(axis)] = std::sin(half);
    return q;
}

TQuaternion Multiply(const TQuaternion& a, const TQuaternion& b) {
    return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1],
            a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
            a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3],
            a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

// One primitive's vertices and triangles, all of one material.
struct TPrimitiveData {
    std::vector<float> Positions; // x, y, z
    std::vector<float> TexCoords; // s, t
    std::vector<float> Colors;    // r, g, b, a; empty for meshes without vertex colours
    std::vector<uint32_t> Indices;
};

// The binary chunk and the JSON of the file being made.
class TGltfBuilder {
public:
    TGltfBuilder() {
        Model.asset.version = "2.0";
        Model.asset.generator = "Dunmere GL";
        Model.buffers.emplace_back();
        Model.scenes.emplace_back();
        Model.defaultScene = 0;
        Model.extensionsUsed.push_back(kUnlit);
        tinygltf::Sampler sampler;
        sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
        sampler.wrapS = TINYGLTF_TEXTURE_WRAP_REPEAT;
        sampler.wrapT = TINYGLTF_TEXTURE_WRAP_REPEAT;
        Model.samplers.push_back(sampler);
    }

    int AddView(const void* data, size_t bytes, int target) {
        std::vector<unsigned char>& buffer = Model.buffers[0].data;
        // Every view starts on a four-byte boundary, as float and index accessors need.
        buffer.resize((buffer.size() + 3) & ~size_t{3});
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = buffer.size();
        view.byteLength = bytes;
        view.target = target;
        const auto* begin = static_cast<const unsigned char*>(data);
        buffer.insert(buffer.end(), begin, begin + bytes);
        Model.bufferViews.push_back(view);
        return static_cast<int>(Model.bufferViews.size() - 1);
    }

    int AddFloats(const std::vector<float>& values, int width, bool withBounds) {
        tinygltf::Accessor accessor;
        accessor.bufferView =
            AddView(values.data(), values.size() * sizeof(float), TINYGLTF_TARGET_ARRAY_BUFFER);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        accessor.count = values.size() / static_cast<size_t>(width);
        accessor.type = width == 2 ? TINYGLTF_TYPE_VEC2
                                   : (width == 3 ? TINYGLTF_TYPE_VEC3 : TINYGLTF_TYPE_VEC4);
        if (withBounds) {
            accessor.minValues.assign(static_cast<size_t>(width), HUGE_VAL);
            accessor.maxValues.assign(static_cast<size_t>(width), -HUGE_VAL);
            for (size_t i = 0; i < values.size(); ++i) {
                double& low = accessor.minValues[i % static_cast<size_t>(width)];
                double& high = accessor.maxValues[i % static_cast<size_t>(width)];
                low = std::min(low, static_cast<double>(values[i]));
                high = std::max(high, static_cast<double>(values[i]));
            }
        }
        Model.accessors.push_back(accessor);
        return static_cast<int>(Model.accessors.size() - 1);
    }

    int AddIndices(const std::vector<uint32_t>& indices) {
        tinygltf::Accessor accessor;
        accessor.bufferView = AddView(indices.data(), indices.size() * sizeof(uint32_t),
                                      TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
        accessor.count = indices.size();
        accessor.type = TINYGLTF_TYPE_SCALAR;
        Model.accessors.push_back(accessor);
        return static_cast<int>(Model.accessors.size() - 1);
    }

    // -1 when there is nothing to draw.
    int AddMesh(const std::string& name, const std::map<int, TPrimitiveData>& parts) {
        tinygltf::Mesh mesh;
        mesh.name = name;
        for (const auto& [material, data] : parts) {
            if (data.Indices.empty()) {
                continue;
            }
            tinygltf::Primitive primitive;
            primitive.mode = TINYGLTF_MODE_TRIANGLES;
            primitive.material = material;
            primitive.attributes["POSITION"] = AddFloats(data.Positions, 3, true);
            primitive.attributes["TEXCOORD_0"] = AddFloats(data.TexCoords, 2, false);
            if (!data.Colors.empty()) {
                primitive.attributes["COLOR_0"] = AddFloats(data.Colors, 4, false);
            }
            primitive.indices = AddIndices(data.Indices);
            mesh.primitives.push_back(primitive);
        }
        if (mesh.primitives.empty()) {
            return -1;
        }
        Model.meshes.push_back(mesh);
        return static_cast<int>(Model.meshes.size() - 1);
    }

    int AddNode(tinygltf::Node node, int parent) {
        Model.nodes.push_back(std::move(node));
        const int index = static_cast<int>(Model.nodes.size() - 1);
        if (parent < 0) {
            Model.scenes[0].nodes.push_back(index);
        } else {
            Model.nodes[static_cast<size_t>(parent)].children.push_back(index);
        }
        return index;
    }

    int AddGroup(const std::string& name) {
        tinygltf::Node node;
        node.name = name;
        return AddNode(node, -1);
    }

    tinygltf::Model Model;
};

// One material per texture name and way of drawing, made on first use; each texture's PNG image
// is embedded once and shared.
class TMaterials {
public:
    TMaterials(TGltfBuilder& gltf, TGameFiles& files, TPalettePool& palettes)
        : gltf_(gltf), files_(files), palettes_(palettes) {}

    // A texture of the game data ("ART\NAME.RAW"), or one of the two keys above. The viewer
    // blends only some model faces, and only there do transparent pixels show as holes.
    int For(const std::string& name, bool blended) {
        const std::string key = UpperCase(Trim(name)) + (blended ? "|BLENDED" : "");
        const auto known = materials_.find(key);
        if (known != materials_.end()) {
            return known->second;
        }
        tinygltf::Material material = UnlitMaterial(blended ? name + " (blended)" : name);
        const TEmbeddedTexture texture = TextureOf(name);
        if (texture.Index < 0) {
            // Drawn grey: a texture the viewer could not read, or none at all.
            const double grey = SrgbToLinear(kUntexturedGrey);
            material.pbrMetallicRoughness.baseColorFactor = {grey, grey, grey, 1};
        } else {
            material.pbrMetallicRoughness.baseColorTexture.index = texture.Index;
            if (blended && texture.Transparent) {
                material.alphaMode = "MASK";
                material.alphaCutoff = 0.5;
            }
        }
        gltf_.Model.materials.push_back(material);
        const int index = static_cast<int>(gltf_.Model.materials.size() - 1);
        materials_[key] = index;
        return index;
    }

    int Water(const TColor4& color) {
        tinygltf::Material material = UnlitMaterial("Water");
        material.alphaMode = "BLEND";
        // Alpha is a coverage, not a colour: it stays as it is.
        material.pbrMetallicRoughness.baseColorFactor = {
            SrgbToLinear(color.r), SrgbToLinear(color.g), SrgbToLinear(color.b),
            std::clamp(static_cast<double>(color.a), 0.0, 1.0)};
        gltf_.Model.materials.push_back(material);
        return static_cast<int>(gltf_.Model.materials.size() - 1);
    }

private:
    struct TEmbeddedTexture {
        int Index = -1; // of the glTF texture; -1 for none
        bool Transparent = false;
    };

    static tinygltf::Material UnlitMaterial(const std::string& name) {
        tinygltf::Material material;
        material.name = name;
        material.doubleSided = true;
        material.extensions[kUnlit] = tinygltf::Value(tinygltf::Value::Object());
        material.pbrMetallicRoughness.metallicFactor = 0;
        return material;
    }

    TEmbeddedTexture TextureOf(const std::string& name) {
        const std::string key = UpperCase(Trim(name));
        const auto known = textures_.find(key);
        if (known != textures_.end()) {
            return known->second;
        }
        TEmbeddedTexture& texture = textures_[key];
        if (key == kFallbackKey || key == kUntexturedKey) {
            return texture;
        }
        const TPalette& palette = ChooseGamePalette(palettes_, name, files_);
        TOpenedGameFile found = files_.Open(name);
        if (!found.Found()) {
            return texture;
        }
        TDecodedImage image = DecodeRAW(found.File, found.Size, palette, name);
        found.File.Close();
        if (!image.Ok || image.Width == 0 || image.Height == 0) {
            return texture;
        }
        const std::vector<uint8_t> rgba = ToRgba(image);
        const std::vector<uint8_t> png = EncodePNG(rgba.data(), image.Width, image.Height, true);
        if (png.empty()) {
            throw EDunmereError("Could not encode the texture " + name + " as PNG");
        }
        for (size_t i = 3; i < rgba.size() && !texture.Transparent; i += 4) {
            texture.Transparent = rgba[i] < 128;
        }
        tinygltf::Image gltfImage;
        gltfImage.name = name;
        gltfImage.mimeType = "image/png";
        gltfImage.bufferView = gltf_.AddView(png.data(), png.size(), 0);
        gltf_.Model.images.push_back(gltfImage);
        tinygltf::Texture gltfTexture;
        gltfTexture.sampler = 0;
        gltfTexture.source = static_cast<int>(gltf_.Model.images.size() - 1);
        gltf_.Model.textures.push_back(gltfTexture);
        texture.Index = static_cast<int>(gltf_.Model.textures.size() - 1);
        return texture;
    }

    static std::vector<uint8_t> ToRgba(const TDecodedImage& image) {
        if (image.Channels == 4) {
            return image.Pixels;
        }
        std::vector<uint8_t> rgba;
        rgba.reserve(image.Pixels.size() / 3 * 4);
        for (size_t i = 0; i + 2 < image.Pixels.size(); i += 3) {
            rgba.insert(rgba.end(),
                        {image.Pixels[i], image.Pixels[i + 1], image.Pixels[i + 2], 255});
        }
        return rgba;
    }

    TGltfBuilder& gltf_;
    TGameFiles& files_;
    TPalettePool& palettes_;
    std::map<std::string, TEmbeddedTexture> textures_;
    std::map<std::string, int> materials_;
};

void AddQuad(TPrimitiveData& part, const TDrawQuad& quad) {
    const auto first = static_cast<uint32_t>(part.Positions.size() / 3);
    const int count = std::min(quad.VertexCount, 4);
    for (int v = 0; v < count; ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            part.Positions.push_back(
                static_cast<float>(quad.Positions[v][axis] * kCellsPerWorldUnit));
        }
        part.TexCoords.insert(part.TexCoords.end(), {quad.TexCoords[v][0], quad.TexCoords[v][1]});
        for (int channel = 0; channel < 3; ++channel) {
            part.Colors.push_back(static_cast<float>(SrgbToLinear(quad.Colors[v][channel])));
        }
        part.Colors.push_back(quad.Colors[v][3]);
    }
    for (int v = 1; v + 1 < count; ++v) {
        part.Indices.insert(part.Indices.end(), {first, first + static_cast<uint32_t>(v),
                                                 first + static_cast<uint32_t>(v) + 1});
    }
}

class TTrackExporter {
public:
    TTrackExporter(TGameFiles& files, TPalettePool& palettes, const TTrackData& track)
        : files_(files), track_(track), materials_(gltf_, files, palettes) {}

    void AddTerrain() {
        std::map<int, TPrimitiveData> parts;
        for (int r = 0; r < kGridSize; ++r) {
            for (int c = 0; c < kGridSize; ++c) {
                const TDrawQuad& quad = track_.TerrainQuads[r][c];
                if (quad.VertexCount >= 3) {
                    AddQuad(parts[MaterialOf(quad.Texture)], quad);
                }
            }
        }
        AddMeshNode("Terrain", gltf_.AddMesh("Terrain", parts));
    }

    void AddGroundBoxes() {
        std::map<int, TPrimitiveData> parts;
        for (int r = 0; r < kGridSize; ++r) {
            for (int c = 0; c < kGridSize; ++c) {
                const TGroundBoxCell& cell = track_.GroundBoxCells[r][c];
                if (!cell.HasBox) {
                    continue;
                }
                for (const TDrawQuad& face : cell.Faces) {
                    if (face.VertexCount >= 3) {
                        AddQuad(parts[MaterialOf(face.Texture)], face);
                    }
                }
            }
        }
        AddMeshNode("Ground boxes", gltf_.AddMesh("Ground boxes", parts));
    }

    void AddWater(const TColor4& color) {
        const auto edge = static_cast<float>(kGridHalfWidth);
        float low[2] = {-edge, -edge}; // x, z
        float high[2] = {edge, edge};
        if (track_.StadiumFlag == 1 && !StadiumFloorExtent(low, high)) {
            return;
        }
        std::map<int, TPrimitiveData> parts;
        TPrimitiveData& water = parts[materials_.Water(color)];
        const auto height = static_cast<float>(track_.WaterHeight * kCellsPerWorldUnit);
        water.Positions = {low[0],  height, low[1],  high[0], height, low[1],
                           high[0], height, high[1], low[0],  height, high[1]};
        // The viewer's ripples repeat once per cell.
        const float s0 = low[0] + edge;
        const float s1 = high[0] + edge;
        const float t0 = low[1] + edge;
        const float t1 = high[1] + edge;
        water.TexCoords = {s0, t0, s1, t0, s1, t1, s0, t1};
        water.Indices = {0, 2, 1, 0, 3, 2};
        AddMeshNode("Water", gltf_.AddMesh("Water", parts));
    }

    void AddObjects() {
        const int objects = gltf_.AddGroup("Objects");
        const int markers = gltf_.AddGroup("Checkpoints");
        int markerNumber = 0;
        for (const auto& box : track_.TrackObjects) {
            const int parent = box->IsCheckpointMarker ? markers : objects;
            const std::string name = box->IsCheckpointMarker
                                         ? "Checkpoint " + std::to_string(++markerNumber)
                                         : box->ModelName;
            AddPlacement(*box, name, parent);
        }
        if (track_.StadiumFlag == 1 && track_.Stadium) {
            TQRXBox stadium = *track_.Stadium;
            stadium.Y = StadiumGroundHeight(track_);
            AddPlacement(stadium, "Stadium", -1);
        }
        AddBackdrops();
    }

    void Write(const std::string& path) {
        ConvertNamesToUtf8();
        std::ofstream stream(path, std::ios::binary | std::ios::trunc);
        if (!stream) {
            throw EDunmereError("Cannot create " + path);
        }
        const bool binary = EndsWithText(path, ".glb");
        tinygltf::TinyGLTF writer;
        if (!writer.WriteGltfSceneToStream(&gltf_.Model, stream, !binary, binary)) {
            throw EDunmereError("Cannot write the glTF file " + path);
        }
        stream.close();
        if (!stream) {
            throw EDunmereError("Cannot write " + path);
        }
    }

private:
    // The x and z range of the built terrain, which on a stadium track is the stadium's floor;
    // false when nothing is built.
    bool StadiumFloorExtent(float low[2], float high[2]) const {
        bool any = false;
        for (int r = 0; r < kGridSize; ++r) {
            for (int c = 0; c < kGridSize; ++c) {
                const TDrawQuad& quad = track_.TerrainQuads[r][c];
                for (int v = 0; v < std::min(quad.VertexCount, 4) && quad.VertexCount >= 3; ++v) {
                    const float x = static_cast<float>(quad.Positions[v][0] * kCellsPerWorldUnit);
                    const float z = static_cast<float>(quad.Positions[v][2] * kCellsPerWorldUnit);
                    low[0] = any ? std::min(low[0], x) : x;
                    high[0] = any ? std::max(high[0], x) : x;
                    low[1] = any ? std::min(low[1], z) : z;
                    high[1] = any ? std::max(high[1], z) : z;
                    any = true;
                }
            }
        }
        return any;
    }

    // Game names are Windows-1252 text; a glTF file is UTF-8 throughout.
    void ConvertNamesToUtf8() {
        tinygltf::Model& model = gltf_.Model;
        const auto convert = [](auto& items) {
            for (auto& item : items) {
                item.name = Cp1252ToUtf8(item.name);
            }
        };
        convert(model.nodes);
        convert(model.meshes);
        convert(model.materials);
        convert(model.images);
        convert(model.textures);
    }

    int MaterialOf(int32_t textureNumber) {
        if (textureNumber < 0 || static_cast<size_t>(textureNumber) >= track_.TextureNames.size()) {
            return materials_.For(kFallbackKey, false);
        }
        return materials_.For("ART\\" + track_.TextureNames[static_cast<size_t>(textureNumber)],
                              false);
    }

    void AddMeshNode(const std::string& name, int mesh) {
        if (mesh < 0) {
            return;
        }
        tinygltf::Node node;
        node.name = name;
        node.mesh = mesh;
        gltf_.AddNode(node, -1);
    }

    // The parsed model of name, found the way the track load finds it; nullptr when missing.
    const TBINData* ModelData(const std::string& name) {
        const std::string key = UpperCase(Trim(name));
        const auto known = models_.find(key);
        if (known != models_.end()) {
            return known->second.get();
        }
        std::unique_ptr<TBINData>& slot = models_[key];
        TOpenedGameFile found = files_.Open(name);
        if (!found.Found()) {
            return nullptr;
        }
        const TBINTextureRequest ignoreTextures = [](const std::string&) {};
        auto data = std::make_unique<TBINData>(ParseBINModel(found.File, ignoreTextures));
        found.File.Close();
        if (data->IsAnimationControl) {
            TOpenedGameFile first = files_.Open("MODELS\\" + data->FirstModelName);
            if (!first.Found()) {
                return nullptr;
            }
            data = std::make_unique<TBINData>(ParseBINModel(first.File, ignoreTextures));
        }
        slot = std::move(data);
        return slot.get();
    }

    // One mesh per model, in the viewer's world units times kCellsPerWorldUnit; -1 when the
    // model is missing or has no face to draw.
    int ModelMesh(const std::string& name) {
        const std::string key = UpperCase(Trim(name));
        const auto known = modelMeshes_.find(key);
        if (known != modelMeshes_.end()) {
            return known->second;
        }
        int& mesh = modelMeshes_[key];
        mesh = -1;
        const TBINData* data = ModelData(name);
        if (data == nullptr) {
            return mesh;
        }
        const double scale = kCellsPerWorldUnit / kBINUnitsPerWorldUnit;
        std::map<int, TPrimitiveData> parts;
        for (const TBINFace& face : data->Faces) {
            if (!IsDrawableFace(face, data->Vertices)) {
                continue;
            }
            const std::string texture =
                face.TextureName.empty() ? std::string(kUntexturedKey) : "ART\\" + face.TextureName;
            TPrimitiveData& part = parts[materials_.For(texture, IsBlendedFace(face))];
            const auto first = static_cast<uint32_t>(part.Positions.size() / 3);
            for (int v = 0; v < face.VertexCount; ++v) {
                const TBINVertex& p = data->Vertices[static_cast<size_t>(face.Indices[v])];
                // The model's z axis is mirrored, as the viewer draws it.
                part.Positions.insert(part.Positions.end(), {static_cast<float>(p.X * scale),
                                                             static_cast<float>(p.Y * scale),
                                                             static_cast<float>(-p.Z * scale)});
                part.TexCoords.insert(part.TexCoords.end(),
                                      {static_cast<float>(face.U[v] / kBINTexelScale),
                                       static_cast<float>(face.V[v] / kBINTexelScale)});
            }
            for (int v = 1; v + 1 < face.VertexCount; ++v) {
                part.Indices.insert(part.Indices.end(), {first, first + static_cast<uint32_t>(v),
                                                         first + static_cast<uint32_t>(v) + 1});
            }
        }
        mesh = gltf_.AddMesh(name, parts);
        return mesh;
    }

    void AddPlacement(const TQRXBox& box, const std::string& name, int parent) {
        const TPlacementTransform transform =
            PlacementTransform(box, box.Psi * kGameDegreesPerRadian);
        tinygltf::Node node;
        node.name = name;
        node.mesh = box.ModelName.empty() ? -1 : ModelMesh(box.ModelName);
        node.translation = {transform.Position[0] * kCellsPerWorldUnit,
                            transform.Position[1] * kCellsPerWorldUnit,
                            transform.Position[2] * kCellsPerWorldUnit};
        const TQuaternion turn =
            Multiply(Multiply(AxisTurn(1, transform.YawY), AxisTurn(0, transform.PitchX)),
                     AxisTurn(2, transform.RollZ));
        node.rotation.assign(turn.begin(), turn.end());
        gltf_.AddNode(node, parent);
    }

    void AddBackdrops() {
        const int group = gltf_.AddGroup("Backdrops");
        for (int i = 0; i < 3; ++i) {
            const TQRXBox* backdrop = track_.Backdrops[i].get();
            if (backdrop == nullptr) {
                continue;
            }
            tinygltf::Node node;
            node.name = backdrop->ModelName;
            const TBINData* data = ModelData(backdrop->ModelName);
            const TBINExtents extents =
                data != nullptr ? MeasureExtents(data->Vertices) : TBINExtents{};
            const int32_t largest =
                std::max({extents.MaxX - extents.MinX, extents.MaxY - extents.MinY,
                          extents.MaxZ - extents.MinZ});
            // A backdrop without extent has no size to scale to; its node stays as a name.
            if (largest > 0) {
                node.mesh = ModelMesh(backdrop->ModelName);
                const double wanted = kBackdropGridWidths * 2 * kGridHalfWidth *
                                      kBackdropFactors[i] / kBackdropFactors[0];
                const double scale =
                    wanted / (largest * kCellsPerWorldUnit / kBINUnitsPerWorldUnit);
                node.scale = {scale, scale, scale};
            }
            gltf_.AddNode(node, group);
        }
    }

    TGameFiles& files_;
    const TTrackData& track_;
    TGltfBuilder gltf_;
    TMaterials materials_;
    std::map<std::string, std::unique_ptr<TBINData>> models_;
    std::map<std::string, int> modelMeshes_;
};

} // namespace

bool IsGltfFileName(const std::string& path) {
    return EndsWithText(path, ".glb") || EndsWithText(path, ".gltf");
}

void ExportTrackGlb(const std::string& path, const TTrackData& track, TGameFiles& files,
                    TPalettePool& palettes, const TTrackExportOptions& options) {
    if (!IsGltfFileName(path)) {
        throw EDunmereError("could not write " + path + " (the name must end in .glb or .gltf)");
    }
    if (!track.TrackLoaded) {
        throw EDunmereError("No track loaded to export to " + path);
    }
    TTrackExporter exporter(files, palettes, track);
    exporter.AddTerrain();
    if (options.Boxes) {
        exporter.AddGroundBoxes();
    }
    if (options.Water) {
        exporter.AddWater(options.WaterColor);
    }
    if (options.Objects) {
        exporter.AddObjects();
    }
    exporter.Write(path);
}
