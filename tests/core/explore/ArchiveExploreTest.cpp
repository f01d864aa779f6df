// The explorer's core over archives built byte by byte: what kind each entry is, what its preview
// shows, and where extracting writes.
#include "core/explore/ArchiveCatalog.h"
#include "core/explore/EntryPreview.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "tests/support/TrackFixture.h"
#include "tools/GameWriters.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

class ArchiveExploreTest : public ::testing::Test {
protected:
    void SetUp() override {
        TPodWriter pod = TTrackFixture().Pod();
        TRgbImage picture(2, 1);
        picture.At(0, 0) = {255, 0, 0};
        picture.At(1, 0) = {0, 0, 255};
        pod.Add("ART\\LOGO.TGA", Tga24Bytes(picture))
            .Add("ART\\FAKE.BMP", "not a bitmap at all")
            .Add("MODELS\\FLAGANIM.BIN", AnimationControlBytes("CRATE.BIN"))
            .Add("README.TXT", "Stra\xDF"
                               "e\r\nzwei\ndrei")
            .Add("BLOB.DAT", Bytes({0, 1, 2, 3, 250}))
            .Add("ART\\OTHER.ACT", MakeAct(1, 200, 10, 10))
            // Index 0 is black, which the palette makes transparent.
            .Add("ART\\HOLE.RAW", Bytes({0, 1, 1, 1}))
            .Add("ART\\EMPTY.RAW", "");
        path_ = dir_.Path() + "TRACK.POD";
        pod.Write(path_);
        pod_ = std::make_unique<TPodFile>(path_);
        catalog_ = CatalogArchive(*pod_);
    }

    const TCatalogEntry& Entry(const std::string& name) const {
        for (const TCatalogEntry& entry : catalog_) {
            if (entry.Name == name) {
                return entry;
            }
        }
        throw std::runtime_error("no entry " + name);
    }
    TEntryPreview Preview(const std::string& name, const std::string& palette = "") {
        TGameFiles files(pod_.get(), finder_);
        return PreviewEntry(*pod_, Entry(name), files, palette);
    }
    static std::vector<uint8_t> Pixel(const TEntryPreview& preview, int x, int y) {
        const auto at = preview.Image.Rgba.begin() + (y * preview.Image.Width + x) * 4;
        return {at, at + 4};
    }

    TTempDir dir_;
    std::string path_;
    std::unique_ptr<TPodFile> pod_;
    std::vector<TCatalogEntry> catalog_;
    TQRXFileFinder finder_;
};

TEST_F(ArchiveExploreTest, KindsComeFromTheLevelFileTheNameAndTheBytes) {
    const std::map<std::string, TEntryKind> expected = {
        {"TEST.SIT", TEntryKind::TrackDescription},
        {"LEVELS\\TEST.LVL", TEntryKind::Level},
        {"DATA\\TEST.ALT", TEntryKind::HeightGrid},
        {"DATA\\TEST.AL1", TEntryKind::HeightGrid},
        {"DATA\\TEST.TEX", TEntryKind::TextureIndexGrid},
        {"DATA\\TEST.TE0", TEntryKind::BoxTextureIndexGrid},
        {"DATA\\TEST.LIT", TEntryKind::LightMap},
        {"DATA\\TEST.LST", TEntryKind::TextureList},
        {"ART\\GRASS.RAW", TEntryKind::TextureRaw},
        {"ART\\GRASS.ACT", TEntryKind::Palette},
        {"ART\\LOGO.TGA", TEntryKind::TextureTga},
        {"ART\\FAKE.BMP", TEntryKind::Text},
        {"MODELS\\CRATE.BIN", TEntryKind::Model},
        {"MODELS\\FLAGANIM.BIN", TEntryKind::AnimationControl},
        {"README.TXT", TEntryKind::Text},
        {"BLOB.DAT", TEntryKind::Unknown},
    };
    for (const auto& [name, kind] : expected) {
        EXPECT_EQ(EntryKindText(Entry(name).Kind), EntryKindText(kind)) << name;
    }
    // Without the level file a grid is still known by its size; a palette needs its 768 bytes.
    EXPECT_EQ(DetectEntryKind("DATA\\X.Q", Bytes({1, 2, 3}), 458752), TEntryKind::LightMap);
    EXPECT_EQ(DetectEntryKind("ART\\SHORT.ACT", Bytes({1, 2, 3}), 3), TEntryKind::Unknown);
    EXPECT_EQ(Entry("ART\\LOGO.TGA").Folder, "ART\\");
    EXPECT_EQ(Entry("README.TXT").Folder, "");
    EXPECT_EQ(catalog_.size(), static_cast<size_t>(pod_->EntryCount()));
}

TEST_F(ArchiveExploreTest, ATextureTakesItsOwnPaletteOrTheChosenOneAndKeepsTransparency) {
    const TEntryPreview own = Preview("ART\\GRASS.RAW");
    ASSERT_EQ(own.Shape, TPreviewShape::Image) << own.Message;
    EXPECT_EQ(own.Image.Width, 16);
    EXPECT_EQ(Pixel(own, 5, 7), (std::vector<uint8_t>{40, 160, 60, 255}));
    EXPECT_EQ(own.Caption, "16 x 16, palette ART\\GRASS.ACT");

    const TEntryPreview chosen = Preview("ART\\HOLE.RAW", "ART\\OTHER.ACT");
    ASSERT_EQ(chosen.Shape, TPreviewShape::Image) << chosen.Message;
    EXPECT_EQ(Pixel(chosen, 0, 0)[3], 0);
    EXPECT_EQ(Pixel(chosen, 1, 1), (std::vector<uint8_t>{200, 10, 10, 255}));
    EXPECT_EQ(chosen.Caption, "2 x 2, palette ART\\OTHER.ACT");

    const TEntryPreview tga = Preview("ART\\LOGO.TGA");
    EXPECT_EQ(Pixel(tga, 1, 0), (std::vector<uint8_t>{0, 0, 255, 255}));
}

TEST_F(ArchiveExploreTest, PalettesGridsTextAndModelsEachShowWhatTheyHold) {
    const TEntryPreview swatch = Preview("ART\\GRASS.ACT");
    EXPECT_EQ(swatch.Image.Width, 128);
    EXPECT_EQ(Pixel(swatch, 8 + 3, 4), (std::vector<uint8_t>{40, 160, 60, 255}));
    EXPECT_EQ(Pixel(swatch, 16 + 3, 4)[3], 0);

    const TEntryPreview heights = Preview("DATA\\TEST.ALT");
    EXPECT_EQ(Pixel(heights, 100, 200), (std::vector<uint8_t>{10, 10, 10, 255}));

    const TEntryPreview text = Preview("README.TXT");
    EXPECT_EQ(text.Lines, (std::vector<std::string>{"   1  Stra\xC3\x9F"
                                                    "e",
                                                    "   2  zwei", "   3  drei"}));

    const TEntryPreview model = Preview("MODELS\\FLAGANIM.BIN");
    ASSERT_EQ(model.Shape, TPreviewShape::Model) << model.Message;
    EXPECT_EQ(model.ModelName, "MODELS\\CRATE.BIN");
    EXPECT_EQ(model.Caption.rfind("4 vertices, 1 faces", 0), 0u) << model.Caption;
    EXPECT_EQ(model.Lines.back(), "ART\\GRASS.RAW");
}

TEST_F(ArchiveExploreTest, DamagedEntriesPreviewAsAMessageNamingTheEntry) {
    for (const std::string name : {"ART\\EMPTY.RAW", "BLOB.DAT"}) {
        const TEntryPreview preview = Preview(name);
        EXPECT_EQ(preview.Shape, TPreviewShape::Message) << name;
        EXPECT_EQ(preview.Message.rfind(name + ": ", 0), 0u) << preview.Message;
    }
    // A palette chosen by hand that is nowhere is named too.
    const TEntryPreview unfound = Preview("ART\\GRASS.RAW", "ART\\NONE.ACT");
    EXPECT_NE(unfound.Message.find("ART\\NONE.ACT"), std::string::npos) << unfound.Message;
    // A directory that claims more than the file holds.
    TPodWriter writer;
    writer.Add("ART\\CUT.RAW", std::string(64, '\1'));
    std::string bytes = writer.Bytes();
    bytes.resize(bytes.size() - 10);
    const std::string cut = dir_.WriteFile("CUT.POD", bytes);
    const TPodFile damaged(cut);
    TGameFiles files(&damaged, finder_);
    TCatalogEntry entry = CatalogArchive(damaged).at(0);
    entry.Kind = TEntryKind::TextureRaw;
    const TEntryPreview preview = PreviewEntry(damaged, entry, files, "ART\\OTHER.ACT");
    EXPECT_EQ(preview.Shape, TPreviewShape::Message);
}

TEST_F(ArchiveExploreTest, ExtractionKeepsFoldersReportsConflictsAndStaysInsideTheFolder) {
    TPodWriter writer;
    writer.Add("ART\\A.RAW", "new").Add("README.TXT", "text").Add("..\\..\\ESCAPE.TXT", "x");
    const std::string path = dir_.Path() + "EXTRA.POD";
    writer.Write(path);
    const TPodFile pod(path);
    const std::string out = dir_.MakeDir("out") + "/";
    dir_.WriteFile("out/ART/A.RAW", "old");

    const TExtractPlan plan = PlanExtraction(pod, {0, 1, 2}, out);
    ASSERT_EQ(plan.Targets.size(), 2u);
    EXPECT_EQ(plan.Targets[0].Path, out + "ART/A.RAW");
    EXPECT_EQ(plan.Conflicts, (std::vector<std::string>{out + "ART/A.RAW"}));
    EXPECT_EQ(plan.Refused, (std::vector<std::string>{"..\\..\\ESCAPE.TXT"}));

    EXPECT_EQ(ExtractEntries(pod, plan, false), 1);
    EXPECT_EQ(ReadFileBytes(out + "ART/A.RAW"), "old");
    EXPECT_EQ(ReadFileBytes(out + "README.TXT"), "text");
    EXPECT_EQ(ExtractEntries(pod, plan, true), 2);
    EXPECT_EQ(ReadFileBytes(out + "ART/A.RAW"), "new");

    // An entry named like the archive, extracted beside it, would overwrite what is being read.
    TPodWriter self;
    self.Add("SELF.POD", "x").Add("OTHER.TXT", "y");
    const std::string selfPath = dir_.Path() + "SELF.POD";
    self.Write(selfPath);
    const TExtractPlan beside = PlanExtraction(TPodFile(selfPath), {0, 1}, dir_.Path());
    EXPECT_EQ(beside.Refused, (std::vector<std::string>{"SELF.POD"}));
    EXPECT_EQ(beside.Targets.size(), 1u);
}

} // namespace
