// The glTF export: the file passes the Khronos validator, and read back it holds what the parsed
// track holds.
#include "cli/CliCommands.h"
#include "core/base/ProgramFolder.h"
#include "core/export/TinyGltf.h"
#include "core/track/TrackData.h"
#include "tests/cli/CliCapture.h"
#include "tests/support/TrackFixture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string CommandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    std::array<char, 4096> chunk{};
    for (size_t got; (got = fread(chunk.data(), 1, chunk.size(), pipe)) > 0;) {
        output.append(chunk.data(), got);
    }
    pclose(pipe);
    return output;
}

bool NodeIsInstalled() {
    return !CommandOutput("command -v node 2>/dev/null").empty();
}

// The validator's report on path: the number of errors and the first messages.
nlohmann::json Validate(const std::string& path) {
    const std::string output =
        CommandOutput("node " + ShellQuoted(DUNMERE_VALIDATE_SCRIPT) + " " +
                      ShellQuoted(DUNMERE_GLTF_VALIDATOR) + " " + ShellQuoted(path) + " 2>&1");
    return nlohmann::json::parse(output, nullptr, false);
}

#define EXPECT_VALID_GLTF(path)                                                                    \
    do {                                                                                           \
        if (!NodeIsInstalled()) {                                                                  \
            GTEST_SKIP() << "node is not installed, so the glTF validator cannot run";             \
        }                                                                                          \
        const nlohmann::json report = Validate(path);                                              \
        ASSERT_TRUE(report.is_object()) << "the validator gave no report for " << (path);          \
        EXPECT_EQ(report["errors"], 0) << report.dump(1);                                          \
    } while (false)

tinygltf::Model ReadBack(const std::string& path) {
    tinygltf::TinyGLTF loader;
    // The images are checked as PNG bytes; nothing needs them decoded.
    loader.SetImageLoader([](tinygltf::Image*, const int, std::string*, std::string*, int, int,
                             const unsigned char*, int, void*) { return true; },
                          nullptr);
    tinygltf::Model model;
    std::string error;
    std::string warning;
    const bool read = EndsWithText(path, ".gltf")
                          ? loader.LoadASCIIFromFile(&model, &error, &warning, path)
                          : loader.LoadBinaryFromFile(&model, &error, &warning, path);
    EXPECT_TRUE(read) << error;
    return model;
}

const tinygltf::Node* FindNode(const tinygltf::Model& model, const std::string& name) {
    for (const tinygltf::Node& node : model.nodes) {
        if (node.name == name) {
            return &node;
        }
    }
    return nullptr;
}

size_t MeshTriangles(const tinygltf::Model& model, const tinygltf::Node* node) {
    if (node == nullptr || node->mesh < 0) {
        return 0;
    }
    size_t triangles = 0;
    for (const tinygltf::Primitive& primitive :
         model.meshes[static_cast<size_t>(node->mesh)].primitives) {
        triangles += model.accessors[static_cast<size_t>(primitive.indices)].count / 3;
    }
    return triangles;
}

size_t QuadTriangles(const TDrawQuad& quad) {
    return quad.VertexCount >= 3 ? static_cast<size_t>(quad.VertexCount - 2) : 0;
}

// What the track says the file must hold.
void ExpectTheParsedTrack(const tinygltf::Model& model, const TTrackData& track) {
    size_t terrain = 0;
    size_t boxes = 0;
    for (int r = 0; r < kGridSize; ++r) {
        for (int c = 0; c < kGridSize; ++c) {
            terrain += QuadTriangles(track.TerrainQuads[r][c]);
            for (const TDrawQuad& face : track.GroundBoxCells[r][c].Faces) {
                boxes += track.GroundBoxCells[r][c].HasBox ? QuadTriangles(face) : 0;
            }
        }
    }
    EXPECT_EQ(MeshTriangles(model, FindNode(model, "Terrain")), terrain);
    EXPECT_EQ(MeshTriangles(model, FindNode(model, "Ground boxes")), boxes);
    ASSERT_NE(FindNode(model, "Water"), nullptr);

    std::set<std::string> modelNames;
    size_t objects = 0;
    for (const auto& box : track.TrackObjects) {
        objects += box->IsCheckpointMarker ? 0 : 1;
        modelNames.insert(box->ModelName);
    }
    ASSERT_NE(FindNode(model, "Objects"), nullptr);
    EXPECT_EQ(FindNode(model, "Objects")->children.size(), objects);
    EXPECT_EQ(FindNode(model, "Checkpoints")->children.size(),
              static_cast<size_t>(track.CheckpointMarkerCount));
    // Every placement of one model shares that model's one mesh.
    std::map<std::string, std::set<int>> meshesByModel;
    for (const tinygltf::Node& node : model.nodes) {
        if (node.mesh >= 0 && node.name.find(".BIN") != std::string::npos) {
            meshesByModel[node.name].insert(node.mesh);
        }
    }
    for (const auto& [name, meshes] : meshesByModel) {
        EXPECT_EQ(meshes.size(), 1u) << name;
    }
    // One material per texture: no two materials share a name, no two textures an image.
    std::set<std::string> materialNames;
    for (const tinygltf::Material& material : model.materials) {
        EXPECT_TRUE(materialNames.insert(material.name).second) << material.name;
    }
    std::set<int> sources;
    for (const tinygltf::Texture& texture : model.textures) {
        EXPECT_TRUE(sources.insert(texture.source).second);
    }
    EXPECT_EQ(model.images.size(), model.textures.size());
}

class ExportCommandTest : public ::testing::Test {
protected:
    void SetUp() override { oldFolder_ = ProgramFolder(); }
    void TearDown() override { SetProgramFolder(oldFolder_); }

    int Run(TCliArgs args) {
        args.insert(args.begin(), "export");
        args.insert(args.end(), {"--ini", dir_.Path() + "none.ini"});
        const TCliRun run = Capture(args);
        out_ = run.Out;
        err_ = run.Err;
        return run.Code;
    }

    // The fixture track: terrain of GRASS.RAW, a crate of GRASS.RAW, and a board and a sign of
    // HOLE.RAW, whose palette leaves its pixels transparent: the sign's face is blended, the
    // board's opaque.
    std::string WriteFixture() {
        SetProgramFolder(dir_.MakeDir("program"));
        WriteViewerData(dir_, "program/");
        TTrackFixture track;
        track.MissingTextures = {"HOLE.RAW"};
        track.MissingModels = {"SIGN.BIN", "BOARD.BIN"};
        TPodWriter pod = track.Pod();
        pod.Add("ART\\HOLE.RAW", MakeRaw(8, 0));
        pod.Add("ART\\HOLE.ACT", MakeAct(1, 200, 0, 0));
        pod.Add("MODELS\\SIGN.BIN", MakeBinQuad("HOLE.RAW", 65536, 0x11));
        pod.Add("MODELS\\BOARD.BIN", MakeBinQuad("HOLE.RAW"));
        const std::string archive = dir_.Path() + "TRACK.POD";
        pod.Write(archive);
        return archive;
    }

    TTempDir dir_;
    std::string oldFolder_;
    std::string out_;
    std::string err_;
};

TEST_F(ExportCommandTest, BothDemoTracksExportToFilesTheValidatorAcceptsAndThatHoldTheTrack) {
    SetProgramFolder(DUNMERE_BIN_DIR);
    const std::string demo = ProgramFolder() + "samples/DEMO.POD";
    const TPodFile pod(demo);
    ASSERT_GE(pod.SitEntries().size(), 2u);
    for (const std::string& line : pod.SitEntries()) {
        SCOPED_TRACE(line);
        const std::string glb = dir_.Path() + NamePart(line) + ".glb";
        ASSERT_EQ(Run({demo, "--track", NamePart(line), "-o", glb}), kCliDone) << err_;
        EXPECT_EQ(out_, glb + "\n");
        EXPECT_EQ(err_, "") << "the demo loads without warnings";
        const tinygltf::Model model = ReadBack(glb);
        ExpectTheParsedTrack(model, LoadedTrack(demo, NamePart(line))->Session().Track());
        EXPECT_FALSE(FindNode(model, "Objects")->children.empty());
        EXPECT_VALID_GLTF(glb);
    }
}

TEST_F(ExportCommandTest, TexturesAreSharedAndOnlyBlendedFacesMaskTransparentPixels) {
    const std::string archive = WriteFixture();
    const std::string glb = dir_.Path() + "track.glb";
    ASSERT_EQ(Run({archive, "-o", glb}), kCliDone) << err_;
    const tinygltf::Model model = ReadBack(glb);
    ExpectTheParsedTrack(model, LoadedTrack(archive)->Session().Track());
    // Terrain, water, the crate, the sign and the board; no ground boxes in this track.
    EXPECT_EQ(model.meshes.size(), 5u);
    // One image per texture; one material per texture and way of drawing it.
    EXPECT_EQ(model.images.size(), 2u);
    ASSERT_EQ(model.materials.size(), 4u);
    std::map<std::string, std::string> alphaModes;
    for (const tinygltf::Material& material : model.materials) {
        alphaModes[material.name] = material.alphaMode;
    }
    EXPECT_EQ(alphaModes["ART\\GRASS.RAW"], "OPAQUE");
    EXPECT_EQ(alphaModes["ART\\HOLE.RAW"], "OPAQUE");
    EXPECT_EQ(alphaModes["ART\\HOLE.RAW (blended)"], "MASK");
    EXPECT_EQ(alphaModes["Water"], "BLEND");
    EXPECT_EQ(MeshTriangles(model, FindNode(model, "MODELS\\SIGN.BIN")), 2u);
    for (const tinygltf::Image& image : model.images) {
        const tinygltf::BufferView& view = model.bufferViews[static_cast<size_t>(image.bufferView)];
        const std::string bytes(model.buffers[0].data.begin() + static_cast<long>(view.byteOffset),
                                model.buffers[0].data.begin() +
                                    static_cast<long>(view.byteOffset + view.byteLength));
        EXPECT_EQ(bytes.substr(1, 3), "PNG") << image.name;
    }
    EXPECT_VALID_GLTF(glb);
}

TEST_F(ExportCommandTest, APlacementKeepsItsPositionInCellsWithYUp) {
    const std::string archive = WriteFixture();
    const std::string glb = dir_.Path() + "track.glb";
    ASSERT_EQ(Run({archive, "-o", glb}), kCliDone) << err_;
    const tinygltf::Model model = ReadBack(glb);
    const auto loaded = LoadedTrack(archive);
    const TQRXBox& crate = *loaded->Session().Track().TrackObjects.front();
    const tinygltf::Node* node = FindNode(model, "MODELS\\CRATE.BIN");
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->translation.size(), 3u);
    // 32 game units are one cell; the game's z runs along the file's x.
    EXPECT_NEAR(node->translation[0], crate.Z / 32 - 128, 1e-6);
    EXPECT_NEAR(node->translation[1], crate.Y / 510 * 16, 1e-6);
    EXPECT_NEAR(node->translation[2], crate.X / 32 - 128, 1e-6);
}

TEST_F(ExportCommandTest, NamingLayersLeavesTheOthersOut) {
    const std::string archive = WriteFixture();
    const std::string glb = dir_.Path() + "water.glb";
    ASSERT_EQ(Run({archive, "--water", "-o", glb}), kCliDone) << err_;
    const tinygltf::Model model = ReadBack(glb);
    EXPECT_NE(FindNode(model, "Terrain"), nullptr);
    EXPECT_NE(FindNode(model, "Water"), nullptr);
    EXPECT_EQ(FindNode(model, "Objects"), nullptr);
    EXPECT_EQ(model.meshes.size(), 2u);
}

TEST_F(ExportCommandTest, ATextureFoundNowhereIsWarnedAboutAndItsSurfacesExportGrey) {
    SetProgramFolder(dir_.MakeDir("program"));
    WriteViewerData(dir_, "program/");
    TTrackFixture track;
    track.Textures.clear();
    track.MissingTextures = {"MUD.RAW"};
    const std::string archive = dir_.Path() + "MUDDY.POD";
    track.Pod().Write(archive);
    const std::string glb = dir_.Path() + "muddy.glb";
    ASSERT_EQ(Run({archive, "-o", glb}), kCliDone) << err_;
    EXPECT_NE(err_.find("warning: Error: Texture \"ART\\MUD.RAW\" not found"), std::string::npos)
        << err_;
    const tinygltf::Model model = ReadBack(glb);
    EXPECT_TRUE(model.images.empty());
    const tinygltf::Material& mud =
        model.materials[static_cast<size_t>(model.meshes[0].primitives[0].material)];
    EXPECT_EQ(mud.name, "ART\\MUD.RAW");
    EXPECT_EQ(mud.pbrMetallicRoughness.baseColorTexture.index, -1);
    EXPECT_VALID_GLTF(glb);
}

// The floats of an accessor, which the export packs without gaps.
std::vector<float> AccessorFloats(const tinygltf::Model& model, int index) {
    const tinygltf::Accessor& accessor = model.accessors[static_cast<size_t>(index)];
    const tinygltf::BufferView& view = model.bufferViews[static_cast<size_t>(accessor.bufferView)];
    const size_t count =
        accessor.count *
        static_cast<size_t>(tinygltf::GetNumComponentsInType(static_cast<uint32_t>(accessor.type)));
    std::vector<float> values(count);
    std::memcpy(values.data(), model.buffers[0].data.data() + view.byteOffset + accessor.byteOffset,
                count * sizeof(float));
    return values;
}

double Linear(double srgb) {
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

TEST_F(ExportCommandTest, ColoursAreLinearAndTheWaterIsTheUsersOverTheStadiumFloorOnly) {
    {
        std::ofstream ini(dir_.Path() + "none.ini");
        ini << "[Preferences]\nWater Color=10 |200|30 |128\n";
    }
    SetProgramFolder(DUNMERE_BIN_DIR);
    const std::string glb = dir_.Path() + "arena.glb";
    ASSERT_EQ(Run({ProgramFolder() + "samples/DEMO.POD", "--track", "ARENA.SIT", "-o", glb}),
              kCliDone)
        << err_;
    const tinygltf::Model model = ReadBack(glb);

    const tinygltf::Node* water = FindNode(model, "Water");
    ASSERT_NE(water, nullptr);
    const tinygltf::Primitive& plane = model.meshes[static_cast<size_t>(water->mesh)].primitives[0];
    const std::vector<double>& factor =
        model.materials[static_cast<size_t>(plane.material)].pbrMetallicRoughness.baseColorFactor;
    ASSERT_EQ(factor.size(), 4u);
    EXPECT_NEAR(factor[0], Linear(10 / 255.0), 1e-6);
    EXPECT_NEAR(factor[1], Linear(200 / 255.0), 1e-6);
    EXPECT_NEAR(factor[2], Linear(30 / 255.0), 1e-6);
    EXPECT_NEAR(factor[3], 128 / 255.0, 1e-6) << "alpha is no colour";

    // The light map's brightest and darkest shades, as linear values.
    const auto loaded = LoadedTrack(ProgramFolder() + "samples/DEMO.POD", "ARENA.SIT");
    float darkest = 1, brightest = 0;
    for (int r = 0; r < kGridSize; ++r) {
        for (int c = 0; c < kGridSize; ++c) {
            const TDrawQuad& quad = loaded->Session().Track().TerrainQuads[r][c];
            for (int v = 0; v < (quad.VertexCount >= 3 ? quad.VertexCount : 0); ++v) {
                darkest = std::min(darkest, quad.Colors[v][0]);
                brightest = std::max(brightest, quad.Colors[v][0]);
            }
        }
    }
    ASSERT_LT(darkest, brightest);
    float fileDarkest = 1, fileBrightest = 0;
    const tinygltf::Node* terrain = FindNode(model, "Terrain");
    std::vector<double> floorLow = {1e9, 1e9, 1e9}, floorHigh = {-1e9, -1e9, -1e9};
    for (const tinygltf::Primitive& part :
         model.meshes[static_cast<size_t>(terrain->mesh)].primitives) {
        const std::vector<float> colours = AccessorFloats(model, part.attributes.at("COLOR_0"));
        for (size_t i = 0; i < colours.size(); i += 4) {
            fileDarkest = std::min(fileDarkest, colours[i]);
            fileBrightest = std::max(fileBrightest, colours[i]);
        }
        const tinygltf::Accessor& positions =
            model.accessors[static_cast<size_t>(part.attributes.at("POSITION"))];
        for (size_t k = 0; k < 3; ++k) {
            floorLow[k] = std::min(floorLow[k], positions.minValues[k]);
            floorHigh[k] = std::max(floorHigh[k], positions.maxValues[k]);
        }
    }
    EXPECT_NEAR(fileDarkest, Linear(darkest), 1e-6);
    EXPECT_NEAR(fileBrightest, Linear(brightest), 1e-6);

    const tinygltf::Accessor& corners =
        model.accessors[static_cast<size_t>(plane.attributes.at("POSITION"))];
    for (const size_t k : {size_t{0}, size_t{2}}) {
        EXPECT_NEAR(corners.minValues[k], floorLow[k], 1e-4);
        EXPECT_NEAR(corners.maxValues[k], floorHigh[k], 1e-4);
    }
    EXPECT_LT(corners.maxValues[0] - corners.minValues[0], 100) << "not the whole grid";
}

TEST_F(ExportCommandTest, AnOutputThatCannotBeCreatedIsNamedInTheError) {
    const std::string archive = WriteFixture();
    const std::string glb = dir_.Path() + "no/such/folder/track.glb";
    EXPECT_EQ(Run({archive, "-o", glb}), kCliFailed);
    EXPECT_NE(err_.find(glb), std::string::npos) << err_;
    EXPECT_EQ(Run({archive}), kCliUsage);
    EXPECT_NE(err_.find("-o FILE missing"), std::string::npos) << err_;
}

TEST_F(ExportCommandTest, NoOutputWritesOverWhatTheLoadReadAndTheEndingChoosesTheFormat) {
    SetProgramFolder(dir_.MakeDir("program"));
    WriteViewerData(dir_, "program/");
    TTrackFixture track;
    track.Textures.clear();
    track.MissingTextures = {"CAF\xC9.RAW"};
    TPodWriter pod = track.Pod();
    pod.Add("ART\\CAF\xC9.RAW", MakeRaw(8, 0));
    const std::string archive = dir_.Path() + "CAFE.POD";
    pod.Write(archive);
    const std::string archiveBytes = ReadFileBytes(archive);
    const std::string link = dir_.Path() + "link.glb";
    std::filesystem::create_symlink(archive, link);
    const std::string hardLink = dir_.Path() + "hard.gltf";
    std::filesystem::create_hard_link(archive, hardLink);
    for (const std::string& output : {archive + ".glb", link, hardLink}) {
        SCOPED_TRACE(output);
        if (output == archive + ".glb") {
            std::filesystem::create_symlink(archive, output);
        }
        EXPECT_EQ(Run({archive, "-o", output}), kCliFailed);
        EXPECT_NE(err_.find("will not write over " + archive), std::string::npos) << err_;
    }
    const std::string missingTga = ProgramFolder() + "data/missing.tga";
    const std::string fallbackBytes = ReadFileBytes(missingTga);
    const TCliRun render = Capture(
        {"render", archive, "-o", missingTga, "--size", "8x8", "--ini", dir_.Path() + "none.ini"});
    EXPECT_EQ(render.Code, kCliFailed) << render.Err;
    EXPECT_EQ(ReadFileBytes(missingTga), fallbackBytes);
    EXPECT_EQ(ReadFileBytes(archive), archiveBytes);

    const std::string noEnding = dir_.Path() + "track";
    EXPECT_EQ(Run({archive, "-o", noEnding}), kCliFailed);
    EXPECT_NE(err_.find(noEnding + " (the name must end in .glb or .gltf)"), std::string::npos)
        << err_;
    EXPECT_FALSE(std::filesystem::exists(noEnding));

    // JSON with everything embedded, and the Windows-1252 name as UTF-8.
    const std::string gltf = dir_.Path() + "cafe.gltf";
    ASSERT_EQ(Run({archive, "-o", gltf}), kCliDone) << err_;
    EXPECT_EQ(ReadFileBytes(gltf).substr(0, 1), "{");
    const tinygltf::Model model = ReadBack(gltf);
    ExpectTheParsedTrack(model, LoadedTrack(archive)->Session().Track());
    EXPECT_FALSE(model.images.empty());
    EXPECT_TRUE(std::any_of(model.materials.begin(), model.materials.end(),
                            [](const tinygltf::Material& material) {
                                return material.name == "ART\\CAF\xC3\x89.RAW";
                            }));
    EXPECT_VALID_GLTF(gltf);
}

} // namespace
