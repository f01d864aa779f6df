// The demo archive as the build made it, cut short and with single bytes changed: every damaged
// copy opens and loads each of its tracks completely, or stops with one of the readers' errors.
// No other exception escapes, and under the sanitizers no read or write leaves its buffer.
#include "core/base/Errors.h"
#include "core/base/ProgramFolder.h"
#include "core/formats/PalettePool.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"
#include "render/TrackLoader.h"
#include "tests/support/SilentMessages.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

namespace {

enum class TOutcome { Loaded, Refused };

class DamagedArchive : public testing::Test {
protected:
    void SetUp() override {
        SetProgramFolder(DUNMERE_BIN_DIR);
        render_.LoadMissingTexture();
        BuildSearchFolders(finder_, TStringList(5));
        demo_ = ReadFileBytes(ProgramFolder() + "samples/DEMO.POD");
        demoPod_ = std::make_unique<TPodFile>(ProgramFolder() + "samples/DEMO.POD");
    }

    // Opens bytes as an archive and loads the first trackLimit tracks it lists. Errors other than
    // the readers' own fail the test, naming the damage.
    TOutcome OpenAndLoad(const std::string& bytes, const std::string& damage,
                         size_t trackLimit = SIZE_MAX) {
        const std::string path = folder_.Path() + "DAMAGED.POD";
        WriteFileBytes(path, bytes);
        try {
            const TPodFile pod(path);
            const TStringList& tracks = pod.SitEntries();
            for (size_t i = 0; i < std::min(trackLimit, tracks.size()); ++i) {
                const std::string& line = tracks[i];
                TStringList warnings;
                TQuietProgress progress;
                LoadTrack(render_, *track_, palettes_, pod, NamePart(line), progress, warnings,
                          finder_);
            }
            return TOutcome::Loaded;
        } catch (const EDunmereError& e) {
            EXPECT_NE(std::string(e.what()), "") << damage;
        } catch (const EInOutError& e) {
            EXPECT_NE(std::string(e.what()), "") << damage;
        } catch (const EConvertError& e) {
            EXPECT_NE(std::string(e.what()), "") << damage;
        } catch (const std::exception& e) {
            ADD_FAILURE() << damage << ": " << typeid(e).name() << ": " << e.what();
        }
        return TOutcome::Refused;
    }

    const TPodEntry& DemoEntry(const std::string& name) const {
        const int index = demoPod_->FindEntry(name);
        EXPECT_GE(index, 0) << name;
        return demoPod_->Entries().at(static_cast<size_t>(std::max(index, 0)));
    }

    int64_t DirectoryEnd() const { return 84 + 40 * int64_t{demoPod_->EntryCount()}; }

    THeadlessGLContext gl_{16, 16};
    TRenderContext render_; // destroyed while gl_ is still current
    std::unique_ptr<TTrackData> track_ = std::make_unique<TTrackData>();
    TPalettePool palettes_;
    TSilentMessages messages_;
    TQRXFileFinder finder_;
    TTempDir folder_;
    std::string demo_;
    std::unique_ptr<TPodFile> demoPod_;
};

TEST_F(DamagedArchive, TheUndamagedArchiveLoadsEveryTrack) {
    ASSERT_GE(demoPod_->SitEntries().size(), 2u);
    EXPECT_EQ(OpenAndLoad(demo_, "none"), TOutcome::Loaded);
}

TEST_F(DamagedArchive, AnArchiveCutInsideItsHeaderOrDirectoryIsRefusedAsShort) {
    for (int64_t length = 0; length < DirectoryEnd(); ++length) {
        WriteFileBytes(folder_.Path() + "CUT.POD", demo_.substr(0, static_cast<size_t>(length)));
        try {
            const TPodFile pod(folder_.Path() + "CUT.POD");
            ADD_FAILURE() << "cut at " << length << " opened";
        } catch (const EInOutError& e) {
            EXPECT_STREQ(e.what(), kReadPastEndText) << "cut at " << length;
        }
    }
}

TEST_F(DamagedArchive, AnArchiveCutAnywhereInItsEntriesLoadsOrIsRefused) {
    // The grid files come from the track's own archive only and must be whole.
    const int64_t gridStart = DemoEntry("DATA\\VALLEY.ALT").Offset;
    const TPodEntry& lastGrid = DemoEntry("DATA\\VALLEY.LIT");
    const int64_t gridEnd = int64_t{lastGrid.Offset} + lastGrid.Size;
    const int64_t size = static_cast<int64_t>(demo_.size());
    constexpr int kCuts = 160;
    int loaded = 0;
    for (int i = 0; i <= kCuts; ++i) {
        const int64_t length = DirectoryEnd() + (size - DirectoryEnd()) * i / kCuts;
        const std::string damage = "cut at " + std::to_string(length);
        const TOutcome outcome = OpenAndLoad(demo_.substr(0, static_cast<size_t>(length)), damage);
        if (length > gridStart && length < gridEnd) {
            EXPECT_EQ(outcome, TOutcome::Refused) << damage;
        }
        loaded += outcome == TOutcome::Loaded ? 1 : 0;
    }
    EXPECT_GT(loaded, 0);
}

TEST_F(DamagedArchive, AnArchiveWithOneByteChangedLoadsOrIsRefused) {
    // Changes where bytes carry structure for the first track, the one loaded: the header and
    // directory, its description, level file and texture list, and the models; the grid files
    // take any byte.
    const std::string firstTrack = UpperCase(NamePart(demoPod_->SitEntries().front()));
    const std::string trackFiles = firstTrack.substr(0, firstTrack.size() - 3);
    std::vector<std::pair<int64_t, int64_t>> spans = {{0, DirectoryEnd()}};
    for (const TPodEntry& entry : demoPod_->Entries()) {
        const std::string name = UpperCase(entry.Name);
        const bool text =
            name.ends_with(".SIT") || name.ends_with(".LVL") || name.ends_with(".TXL");
        if ((text && name.find(trackFiles) != std::string::npos) || name.ends_with(".BIN")) {
            spans.emplace_back(entry.Offset, int64_t{entry.Offset} + entry.Size);
        }
    }
    std::mt19937 random(20261209);
    constexpr int kChanges = 160;
    const uint8_t changes[] = {0xFF, 0x80, 0x01, 0x30};
    int loaded = 0;
    int refused = 0;
    for (int i = 0; i < kChanges; ++i) {
        const auto& [from, to] = spans[random() % spans.size()];
        const int64_t at = from + static_cast<int64_t>(random() % static_cast<uint32_t>(to - from));
        std::string bytes = demo_;
        bytes[static_cast<size_t>(at)] ^= static_cast<char>(changes[i % 4]);
        const TOutcome outcome = OpenAndLoad(bytes, "byte " + std::to_string(at) + " changed", 1);
        (outcome == TOutcome::Loaded ? loaded : refused) += 1;
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
}

TEST_F(DamagedArchive, ACountOrSizeTheEntryCannotHoldIsReportedWithTheEntry) {
    // The track is what was asked for, but the entry that ends early is what the user must mend.
    const std::string path = folder_.Path() + "DAMAGED.POD";
    const std::string firstTrack = NamePart(demoPod_->SitEntries().front());
    const auto loadFails = [&](const std::string& bytes, const std::string& entry) {
        SCOPED_TRACE(entry);
        WriteFileBytes(path, bytes);
        const TPodFile pod(path);
        TStringList warnings;
        TQuietProgress progress;
        try {
            LoadTrack(render_, *track_, palettes_, pod, firstTrack, progress, warnings, finder_);
            ADD_FAILURE() << "the track loaded";
        } catch (const EInOutError& e) {
            EXPECT_STREQ(e.what(), kReadPastEndText);
            EXPECT_EQ(e.File(), path);
            EXPECT_EQ(e.Entry(), entry);
        }
    };

    // A model whose counts claim more records than the archive holds.
    const TPodEntry& model = DemoEntry("MODELS\\CRATE.BIN");
    std::string counts = demo_;
    for (int k = 0; k < 64; k += 4) {
        const uint32_t huge = 0x7fffff00;
        counts.replace(static_cast<size_t>(model.Offset + k), 4,
                       reinterpret_cast<const char*>(&huge), 4);
    }
    loadFails(counts, "MODELS\\CRATE.BIN");

    // A height file whose directory entry is shorter than a height table.
    const std::string heights = UpperCase(firstTrack.substr(0, firstTrack.size() - 4));
    const int index = demoPod_->FindEntry("DATA\\" + heights + ".ALT");
    ASSERT_GE(index, 0);
    std::string shortEntry = demo_;
    const int32_t shortSize = 100;
    shortEntry.replace(static_cast<size_t>(84 + 40 * index + 32), 4,
                       reinterpret_cast<const char*>(&shortSize), 4);
    loadFails(shortEntry, "DATA\\" + heights + ".ALT");
}

} // namespace
