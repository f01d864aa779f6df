// dunmere-fuzzseeds DEMO.POD PROGRAM_FOLDER OUT
//
// Writes the starting corpus of every fuzz target below OUT/<target>/: the entries of the demo
// archive by kind, the viewer's own data files, and files made by the test fixture builders,
// each small enough that the fuzzer mutates it quickly. OUT/complete is written last.
#include "core/vfs/PodFile.h"
#include "core/view/CameraLocations.h"
#include "tests/support/TrackFixture.h"
#include "tools/GameWriters.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <string>

namespace {

// Larger entries of the demo make slow seeds and add nothing a smaller one of the kind lacks; a
// few of each binary kind cover its variants.
constexpr int32_t kMaxDemoSeed = 70000;
constexpr int kDemoSeedsPerKind = 3;

class TSeedWriter {
public:
    explicit TSeedWriter(std::string folder) : folder_(std::move(folder)) {}

    void Add(const std::string& target, const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories(folder_ + "/" + target);
        WriteFileBytes(folder_ + "/" + target + "/" + name, bytes);
    }

private:
    std::string folder_;
};

std::string EntryBytes(const TPodFile& pod, const TPodEntry& entry) {
    TGameFile file;
    if (!pod.OpenEntry(file, entry.Name)) {
        return {};
    }
    std::string bytes(static_cast<size_t>(entry.Size), '\0');
    file.Read(bytes.data(), bytes.size());
    return bytes;
}

std::string Extension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : UpperCase(name.substr(dot + 1));
}

std::string FileName(const std::string& entryName) {
    const size_t slash = entryName.rfind('\\');
    return slash == std::string::npos ? entryName : entryName.substr(slash + 1);
}

// The demo's texts whole, and a few of each binary kind.
void AddDemoEntries(const TSeedWriter& seeds, const std::string& demoPath) {
    const TPodFile pod(demoPath);
    TPodWriter descriptions;
    std::map<std::string, int> seedsOfKind;
    for (const TPodEntry& entry : pod.Entries()) {
        if (entry.Size > kMaxDemoSeed) {
            continue;
        }
        const std::string ext = Extension(entry.Name);
        const std::string bytes = EntryBytes(pod, entry);
        const std::string name = FileName(entry.Name);
        if (ext == "SIT") {
            seeds.Add("sit", name, bytes);
            descriptions.Add(entry.Name, bytes);
        } else if (ext == "LVL") {
            seeds.Add("lvl", name, bytes);
            descriptions.Add(entry.Name, bytes);
        } else if (seedsOfKind[ext]++ < kDemoSeedsPerKind) {
            if (ext == "ACT") {
                seeds.Add("act", name, bytes);
            } else if (ext == "RAW") {
                seeds.Add("raw", name, bytes);
                seeds.Add("texture", name, '\3' + bytes);
            } else if (ext == "BIN") {
                seeds.Add("bin", name, bytes);
            }
        }
    }
    seeds.Add("pod", "descriptions.pod", descriptions.Bytes());
}

void AddViewerData(const TSeedWriter& seeds, const std::string& programFolder) {
    const std::string data = programFolder + "/data/";
    seeds.Add("act", "metalcr2.act", ReadFileBytes(data + "metalcr2.act"));
    seeds.Add("tga", "missing.tga", ReadFileBytes(data + "missing.tga"));
    seeds.Add("texture", "missing.tga", '\1' + ReadFileBytes(data + "missing.tga"));
    seeds.Add("bin", "DMGLCHK.BIN", ReadFileBytes(data + "DMGLCHK.BIN"));
}

std::string SmallBmp() {
    // 3 x 2 pixels of 24 bits, rows padded to 12 bytes.
    TByteWriter bmp;
    bmp.Raw("BM").I32(54 + 24).I32(0).I32(54);
    bmp.I32(40).I32(3).I32(2).U16(1).U16(24).I32(0).I32(24).I32(2835).I32(2835).I32(0).I32(0);
    for (int row = 0; row < 2; ++row) {
        bmp.Raw(std::string("\x10\x20\x30\x40\x50\x60\x70\x80\x90\0\0\0", 12));
    }
    return bmp.Bytes();
}

std::string SmallTga32() {
    TByteWriter tga;
    tga.U8(0).U8(0).U8(2).Raw(std::string(9, '\0')).U16(2).U16(2).U8(32).U8(8);
    tga.Raw(std::string(16, '\x7f'));
    return tga.Bytes();
}

std::string EveryBinBlock() {
    TBinWriter bin;
    const int32_t a = bin.Vertex(0, 0, 0);
    const int32_t b = bin.Vertex(65536, 0, 0);
    const int32_t c = bin.Vertex(65536, 65536, 0);
    const int32_t d = bin.Vertex(0, 65536, 0);
    bin.Normals({{0, 0, 1}, {0, 0, 1}});
    bin.Color(10, 20, 30, 255);
    bin.Face(kFaceNoCoords, {{a}, {b}, {c}});
    bin.Texture("ROAD.RAW");
    bin.Face(kFaceOpaque, {{a, 0, 0}, {b, 16711680, 0}, {c, 16711680, 16711680}, {d, 0, 16711680}});
    bin.AnimatedTexture({"FLAG1.RAW", "FLAG2.RAW"});
    bin.Face(kFaceBlended, {{a, 0, 0}, {c, 0, 0}, {d, 0, 0}});
    return bin.Bytes();
}

TTrackDescription EveryKeyDescription() {
    TTrackDescription track;
    track.LevelFile = "FUZZ.LVL";
    track.TrackName = "Fuzz Ring";
    track.BackdropType = 1;
    track.Backdrops = {"HILLS.BIN", "CITY.BIN"};
    track.StadiumFlag = 1;
    track.StadiumX = 100;
    track.StadiumZ = 120;
    track.StadiumSX = 20;
    track.StadiumSZ = 30;
    track.StadiumModel = "STAD.BIN";
    track.GridPos = {-100, 5, 9000};
    track.GridRot = {0, 1.57, 0};
    track.Boxes = {{"box", 4096, 0, 4096, 0, 0.5, 0, "CRATE.BIN", "6,0"}};
    track.TopCrush = {{"truck", 100, 0, 200, 110, 0, 210, 0, 0, 0, "BODY.BIN", "CAB.BIN", "7,0"}};
    return track;
}

void AddBuiltFiles(const TSeedWriter& seeds) {
    seeds.Add("sit", "every-key.sit", SitText(EveryKeyDescription()));
    seeds.Add("lvl", "fuzz.lvl",
              LvlText({"FUZZ.ALT", "FUZZ.TEX", "FUZZ.TXT", "FUZZ.LIT", true, 300}));

    TPodWriter small;
    small.Add("TRACK.SIT", CrLfLines({"T.LVL", "!Race Track Name", "Mud Bowl"}))
        .Add("lower.sit", CrLfLines({"!Race Track Name", "Hidden"}))
        .Add(std::string(32, 'N'), "no zero byte ends this name")
        .Add("ART\\ROAD.RAW", MakeRaw(4, 1));
    seeds.Add("pod", "small.pod", small.Bytes());
    seeds.Add("pod", "empty.pod", TPodWriter().Bytes());

    seeds.Add("act", "one-colour.act", MakeAct(5, 200, 100, 50));
    seeds.Add("raw", "side8.raw", MakeRaw(8, 1));
    seeds.Add("raw", "side3-and-spare.raw", MakeRaw(3, 2) + "xy");
    seeds.Add("texture", "side8.raw", '\2' + MakeRaw(8, 1));
    seeds.Add("bmp", "small.bmp", SmallBmp());
    seeds.Add("texture", "small.bmp", '\0' + SmallBmp());
    TRgbImage image(5, 3);
    image.At(1, 1) = {200, 10, 10};
    seeds.Add("tga", "rgb.tga", Tga24Bytes(image));
    seeds.Add("tga", "rgba.tga", SmallTga32());
    seeds.Add("texture", "rgba.tga", '\1' + SmallTga32());
    seeds.Add("bin", "quad.bin", MakeBinQuad("ROAD.RAW"));
    seeds.Add("bin", "every-block.bin", EveryBinBlock());
    seeds.Add("bin", "animation.bin", AnimationControlBytes("FIRST.BIN"));

    seeds.Add("ini", "settings.ini",
              CrLfLines({"; the viewer's settings", "[Preferences]", "LastTrackDir=/games/qrx",
                         "JPEG Quality=85", "Water Color=0x00804020", "SearchPath1=/games/data", "",
                         "[CameraPos]", "Mud Bowl #0=" + FormatCameraLocation(TCameraPos{}, 50)}));
    TCameraPos camera;
    camera.TransX = -3.5f;
    camera.Heading = 271.25f;
    seeds.Add("camera", "current.txt", FormatCameraLocation(camera, 128));
    seeds.Add("camera", "seven-fields.txt", FormatCameraLocation(camera, 0).substr(0, 62));
    seeds.Add("camera", "decimal-distance.txt",
              FormatCameraLocation(camera, 0).substr(0, 63) + "1.5");

    TTrackFixture fixture;
    seeds.Add("loadtrack", "fixture.pod", fixture.Pod().Bytes());
    fixture.MissingTextures = {"GONE.RAW"};
    fixture.MissingModels = {"GONE.BIN"};
    fixture.WithLightMap = false;
    fixture.ExtraSitLines =
        CrLfLines({"!stadiumFlag,x,z,sx,sz,stadiumModelName", "1,128,128,40,40,CRATE.BIN"});
    seeds.Add("loadtrack", "fixture-missing-files.pod", fixture.Pod().Bytes());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: dunmere-fuzzseeds DEMO.POD PROGRAM_FOLDER OUT\n");
        return 2;
    }
    try {
        const TSeedWriter seeds(argv[3]);
        AddDemoEntries(seeds, argv[1]);
        AddViewerData(seeds, argv[2]);
        AddBuiltFiles(seeds);
        WriteFileBytes(std::string(argv[3]) + "/complete", "");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dunmere-fuzzseeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
