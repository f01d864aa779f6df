#include "tests/support/TrackFixture.h"

namespace {

std::string Filled(size_t size, uint8_t value) {
    return std::string(size, static_cast<char>(value));
}

std::string BoxRecord(const std::string& model, int index,
                      const std::vector<TFixtureBox>& placements) {
    TFixtureBox box{std::to_string(4096 + 64 * index) + ",0,4096"};
    if (static_cast<size_t>(index) < placements.size()) {
        box = placements[static_cast<size_t>(index)];
    }
    // 21 lines, as the track description's box section holds them.
    std::vector<std::string> lines = {"IPOS",  box.Position, "THETA,PHI,PSI", box.Angles,
                                      "MODEL", model,        "!TYPE,FLAGS",   box.Type};
    while (lines.size() < 21) {
        lines.push_back("; filler");
    }
    return CrLfLines(lines);
}

} // namespace

std::string MakeBinQuad(const std::string& textureName, int32_t size, int32_t faceBlock) {
    TByteWriter bin;
    bin.I32(0).I32(0).I32(0).I32(0).I32(4);
    bin.I32(0).I32(0).I32(0);
    bin.I32(size).I32(0).I32(0);
    bin.I32(size).I32(size).I32(0);
    bin.I32(0).I32(size).I32(0);
    bin.I32(0x0D).I32(0).FixedText(textureName, 16);
    bin.I32(faceBlock).I32(4).I32(0).I32(0).I32(0).I32(0);
    const int32_t one = 255 * 65536;
    const int32_t corners[4][2] = {{0, 0}, {one, 0}, {one, one}, {0, one}};
    for (int i = 0; i < 4; ++i) {
        bin.I32(i).I32(corners[i][0]).I32(corners[i][1]);
    }
    bin.I32(0x00);
    return bin.Bytes();
}

std::string MakeRaw(int side, uint8_t index) {
    return Filled(static_cast<size_t>(side) * static_cast<size_t>(side), index);
}

std::string MakeAct(uint8_t index, uint8_t r, uint8_t g, uint8_t b) {
    std::string act(768, '\0');
    act[3 * index] = static_cast<char>(r);
    act[3 * index + 1] = static_cast<char>(g);
    act[3 * index + 2] = static_cast<char>(b);
    return act;
}

void WriteViewerData(const TTempDir& dir, const std::string& folder) {
    const std::string data = folder + "data/";
    dir.WriteFile(data + "metalcr2.act", MakeAct(1, 128, 128, 128));
    TByteWriter tga;
    tga.U8(0).U8(0).U8(2).Raw(std::string(9, '\0')).U16(2).U16(2).U8(24).U8(0);
    tga.Raw(std::string("\xff\x00\xff\xff\x00\xff\xff\x00\xff\xff\x00\xff", 12));
    dir.WriteFile(data + "missing.tga", tga.Bytes());
    dir.WriteFile(data + "RIPPL100.RAW", MakeRaw(8, 1));
    dir.WriteFile(data + "RIPPL100.ACT", MakeAct(1, 30, 60, 200));
    dir.WriteFile(data + "DMGLCHK.BIN", MakeBinQuad("DMGLCHK.RAW"));
    dir.WriteFile(data + "DMGLCHK.RAW", MakeRaw(8, 1));
    dir.WriteFile(data + "DMGLCHK.ACT", MakeAct(1, 250, 200, 0));
}

std::string TTrackFixture::LightMapBytes() const {
    return Filled(458752, Light);
}

void TTrackFixture::AddTo(TPodWriter& pod) const {
    std::string sit = CrLfLines({LevelName, "!Race Track Name", TrackName});
    const size_t boxCount = BoxModels.size() + MissingModels.size();
    sit += CrLfLines({"*** Boxes", std::to_string(boxCount)});
    int index = 0;
    for (const std::string& model : BoxModels) {
        sit += BoxRecord(model, index++, BoxPlacements);
    }
    for (const std::string& model : MissingModels) {
        sit += BoxRecord(model, index++, BoxPlacements);
    }
    sit += ExtraSitLines;
    pod.Add(SitEntry, sit);

    std::vector<std::string> level = {"; level",         "; version", GridName + ".ALT",
                                      GridName + ".TEX", "; unused",  GridName + ".LST"};
    while (level.size() < 16) {
        level.push_back("; ignored");
    }
    level.push_back(GridName + ".LIT");
    if (!WaterLine.empty()) {
        level.push_back("  !waterheight ");
        level.push_back(WaterLine);
    }
    pod.Add("LEVELS\\" + LevelName, CrLfLines(level));

    if (WithAltitude) {
        pod.Add("DATA\\" + GridName + ".ALT", Filled(65536, TerrainHeight));
    }
    std::string bottoms = Filled(65536, 0);
    std::string tops = Filled(65536, 0);
    for (const TFixtureGroundBox& box : GroundBoxes) {
        bottoms[static_cast<size_t>(box.Row * 256 + box.Column)] = static_cast<char>(box.Bottom);
        tops[static_cast<size_t>(box.Row * 256 + box.Column)] = static_cast<char>(box.Top);
    }
    pod.Add("DATA\\" + GridName + ".AL0", bottoms);
    pod.Add("DATA\\" + GridName + ".AL1", tops);
    pod.Add("DATA\\" + GridName + ".TEX", Filled(131072, 0));
    pod.Add("DATA\\" + GridName + ".TE0", Filled(786432, 0));
    if (WithLightMap) {
        pod.Add("DATA\\" + GridName + ".LIT", LightMapBytes());
    }
    if (WithTextureList) {
        std::vector<std::string> list = {std::to_string(Textures.size() + MissingTextures.size())};
        list.insert(list.end(), Textures.begin(), Textures.end());
        list.insert(list.end(), MissingTextures.begin(), MissingTextures.end());
        pod.Add("DATA\\" + GridName + ".LST", CrLfLines(list));
    }
    for (const std::string& texture : Textures) {
        pod.Add("ART\\" + texture, MakeRaw(16, 1));
        const std::string palette = texture.substr(0, texture.size() - 3) + "ACT";
        pod.Add("ART\\" + palette, MakeAct(1, 40, 160, 60));
    }
    if (WithSkyBoxes) {
        for (const char* sky : {"SKYBOX_CLOUDY2.BIN", "SKYBOX_CCLOUDS.BIN", "SKYBOX_DUSKSKY.BIN",
                                "SKYBOX_NITESKY.BIN"}) {
            pod.Add(sky, MakeBinQuad(Textures.empty() ? "NONE.RAW" : Textures[0]));
        }
    }
    for (const std::string& model : BoxModels) {
        pod.Add("MODELS\\" + model, MakeBinQuad(Textures.empty() ? "NONE.RAW" : Textures[0]));
    }
}

TPodWriter TwoTrackArchive() {
    TTrackFixture valley;
    valley.SitEntry = "VALLEY.SIT";
    valley.LevelName = "VALLEY.LVL";
    TTrackFixture hills;
    hills.SitEntry = "HILLS.SIT";
    hills.LevelName = "HILLS.LVL";
    hills.GridName = "HILLS";
    hills.MissingTextures = {"MUD.RAW"};
    TPodWriter pod;
    valley.AddTo(pod);
    hills.AddTo(pod);
    return pod;
}
