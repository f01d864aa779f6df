#include "core/vfs/PodFile.h"
#include "core/base/Errors.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

namespace {

std::string WriteArchive(const TTempDir& dir, const TPodWriter& pod,
                         const std::string& name = "TEST.POD") {
    const std::string path = dir.Path() + name;
    pod.Write(path);
    return path;
}

TEST(PodFile, EmptyArchiveHasNoEntriesAndNoTracks) {
    TTempDir dir;
    TPodFile pod(WriteArchive(dir, TPodWriter()));
    EXPECT_EQ(pod.EntryCount(), 0);
    EXPECT_TRUE(pod.SitEntries().empty());
    EXPECT_EQ(pod.FindEntry("ANY"), -1);
}

TEST(PodFile, MissingFileRaisesFileNotFound) {
    TTempDir dir;
    try {
        TPodFile pod(dir.Path() + "NOPE.POD");
        FAIL() << "no error";
    } catch (const EDunmereError& e) {
        EXPECT_STREQ(e.what(), "PodFile: File not found!");
    }
}

TEST(PodFile, FindEntryIgnoresCaseButNotFolders) {
    TTempDir dir;
    TPodFile pod(WriteArchive(dir, TPodWriter().Add("ART\\ROAD.RAW", "abc").Add("B", "x")));
    EXPECT_EQ(pod.FindEntry("art\\road.raw"), 0);
    EXPECT_EQ(pod.FindEntry("ROAD.RAW"), -1);
    EXPECT_EQ(pod.GetEntrySize("b"), 1);
    EXPECT_EQ(pod.GetEntryOffset("B"), 84 + 80 + 3);
    EXPECT_EQ(pod.GetEntryEnd("B"), 84 + 80 + 4);
    EXPECT_EQ(pod.GetEntryEnd("C"), 0);
    EXPECT_EQ(pod.GetEntrySize("C"), 0);
}

TEST(PodFile, EarlierDuplicateNameWins) {
    TTempDir dir;
    TPodFile pod(WriteArchive(dir, TPodWriter().Add("A.TXT", "first").Add("a.txt", "second!")));
    EXPECT_EQ(pod.FindEntry("A.TXT"), 0);
    EXPECT_EQ(pod.GetEntrySize("a.txt"), 5);
}

TEST(PodFile, NameOfThirtyTwoCharactersWithoutZeroIsReadWhole) {
    TTempDir dir;
    const std::string name(32, 'N');
    TPodFile pod(WriteArchive(dir, TPodWriter().Add(name + "IGNORED", "x")));
    ASSERT_EQ(pod.EntryCount(), 1);
    EXPECT_EQ(pod.Entries()[0].Name, name);
}

TEST(PodFile, OpenEntryPositionsAtFirstByteAndFailsForMissingNames) {
    TTempDir dir;
    TPodFile pod(WriteArchive(dir, TPodWriter().Add("ONE", "1").Add("TWO", "22")));
    TGameFile file;
    ASSERT_TRUE(pod.OpenEntry(file, "two"));
    EXPECT_EQ(file.Position(), pod.GetEntryOffset("TWO"));
    EXPECT_EQ(file.ReadByte(), '2');
    EXPECT_FALSE(pod.OpenEntry(file, "THREE"));
    EXPECT_FALSE(file.IsOpen());
}

TEST(PodFile, ReadLineSkipsBlankLinesAndStopsAtEntryEnd) {
    TTempDir dir;
    TPodFile pod(WriteArchive(
        dir, TPodWriter().Add("T.TXT", std::string("A\r\n\r\nB")).Add("NEXT", "NEXTBYTES")));
    TGameFile file;
    ASSERT_TRUE(pod.OpenEntry(file, "T.TXT"));
    EXPECT_EQ(pod.ReadLine(file, "T.TXT"), "A");
    EXPECT_EQ(pod.ReadLine(file, "T.TXT"), "B");
    EXPECT_EQ(pod.ReadLine(file, "T.TXT"), "");
}

TEST(PodFile, ReadLineKeepsBlanksAndTabs) {
    TTempDir dir;
    TPodFile pod(WriteArchive(dir, TPodWriter().Add("T.TXT", " a\tb \nc")));
    TGameFile file;
    ASSERT_TRUE(pod.OpenEntry(file, "T.TXT"));
    EXPECT_EQ(pod.ReadLine(file, "T.TXT"), " a\tb ");
    EXPECT_EQ(pod.ReadLine(file, "T.TXT"), "c");
}

TEST(PodFile, SitEntriesListUpperCaseSitNamesWithTheirTrackNames) {
    TTempDir dir;
    TPodWriter writer;
    writer.Add("TRACK.SIT", CrLfLines({"TRACK.LVL", "x", "!Race Track Name", "Mud Bowl", "y"}))
        .Add("TRACK.sit", CrLfLines({"!Race Track Name", "Lower"}))
        .Add("LAST.SIT", CrLfLines({"TRACK.LVL", "!Race Track Name"}))
        .Add("NONAME.SIT", CrLfLines({"TRACK.LVL", "!race track name", "no"}))
        .Add("OTHER.RAW", "zz");
    TPodFile pod(WriteArchive(dir, writer));
    ASSERT_EQ(pod.SitEntries().size(), 3u);
    EXPECT_EQ(pod.SitEntries()[0], "TRACK.SIT=Mud Bowl");
    EXPECT_EQ(pod.SitEntries()[1], "LAST.SIT=");
    EXPECT_EQ(pod.SitEntries()[2], "NONAME.SIT=<unnamed>");
}

TEST(PodFile, TruncatedDirectoryIsAShortReadRaisedBeforeAllocating) {
    TTempDir dir;
    const std::string full = TPodWriter().Add("A", "1").Add("B", "2").Bytes();
    const std::string path = dir.WriteFile("CUT.POD", full.substr(0, 84 + 50));
    EXPECT_THROW(TPodFile pod(path), EInOutError);

    TByteWriter huge;
    huge.I32(0x7FFFFFFF).FixedText("", 80);
    EXPECT_THROW(TPodFile pod(dir.WriteFile("HUGE.POD", huge.Bytes())), EInOutError);
    TByteWriter negative;
    negative.I32(-1).FixedText("", 80);
    EXPECT_THROW(TPodFile pod(dir.WriteFile("NEG.POD", negative.Bytes())), EInOutError);
    EXPECT_THROW(TPodFile pod(dir.WriteFile("SHORT.POD", "abc")), EInOutError);
}

TEST(PodFile, EntryPastTheEndShowsUpOnlyWhenRead) {
    TTempDir dir;
    TByteWriter bytes;
    bytes.I32(1).FixedText("", 80).FixedText("FAR", 32).I32(10).I32(100000);
    TPodFile pod(dir.WriteFile("FAR.POD", bytes.Bytes()));
    TGameFile file;
    ASSERT_TRUE(pod.OpenEntry(file, "FAR"));
    EXPECT_TRUE(file.Eof());
    try {
        file.ReadByte();
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "Versuch hinter dem Dateiende zu lesen");
    }
    EXPECT_EQ(pod.ReadLine(file, "FAR"), "");
}

} // namespace

namespace {

// An archive whose directory is written by hand: every entry's offset and size as given, over
// the body bytes that follow the directory.
struct TRawEntry {
    std::string Name;
    int32_t Offset;
    int32_t Size;
};

std::string RawArchive(const std::vector<TRawEntry>& entries, const std::string& body) {
    TByteWriter bytes;
    bytes.I32(static_cast<int32_t>(entries.size())).FixedText("", 80);
    for (const TRawEntry& entry : entries) {
        bytes.FixedText(entry.Name, 32).I32(entry.Size).I32(entry.Offset);
    }
    return bytes.Raw(body).Bytes();
}

int32_t BodyStart(size_t entryCount) {
    return static_cast<int32_t>(84 + 40 * entryCount);
}

} // namespace

TEST(PodFile, TrackNamesOfOverlappingAndCutEntriesAreWhatReadingEachEntryGives) {
    TTempDir dir;
    const std::string body = "X\r\n!Race Track Name\r\nMud Bowl\r\n\r\n!Race Track Name\nLast";
    const int32_t n = 9;
    const int32_t base = BodyStart(n);
    const auto at = [&](const std::string& text) {
        return base + static_cast<int32_t>(body.find(text));
    };
    const std::vector<TRawEntry> entries = {
        {"WHOLE.SIT", base, static_cast<int32_t>(body.size())},
        {"MIDLINE.SIT", at("ce Track Name"), 60},
        {"KEYFIRST.SIT", at("!Race"), 30},
        {"CUTKEY.SIT", base, at("\r\nMud") - base},
        {"CUTNAME.SIT", base, at("Bowl") - base},
        {"LASTKEY.SIT", at("\r\n\r\n!Race"), 200000},
        {"PASTEND.SIT", base + 100000, 10},
        {"NEGATIVE.SIT", base, -5},
        {"WHOLE.SIT", at("Last"), 4},
    };
    const std::string path = dir.WriteFile("OVERLAP.POD", RawArchive(entries, body));
    const TPodFile pod(path);
    ASSERT_EQ(pod.SitEntries().size(), entries.size());
    for (size_t k = 0; k < entries.size(); ++k) {
        EXPECT_EQ(pod.SitEntries()[k], entries[k].Name + "=" + pod.GetTrackName(entries[k].Name))
            << "entry " << k;
    }
    EXPECT_EQ(pod.SitEntries()[0], "WHOLE.SIT=Mud Bowl");
    EXPECT_EQ(pod.SitEntries()[1], "MIDLINE.SIT=Last");
    EXPECT_EQ(pod.SitEntries()[2], "KEYFIRST.SIT=Mud Bowl");
    EXPECT_EQ(pod.SitEntries()[3], "CUTKEY.SIT=");
    EXPECT_EQ(pod.SitEntries()[4], "CUTNAME.SIT=Mud ");
    EXPECT_EQ(pod.SitEntries()[5], "LASTKEY.SIT=Last");
    EXPECT_EQ(pod.SitEntries()[6], "PASTEND.SIT=<unnamed>");
    EXPECT_EQ(pod.SitEntries()[7], "NEGATIVE.SIT=<unnamed>");
    EXPECT_EQ(pod.SitEntries()[8], "WHOLE.SIT=Mud Bowl") << "a repeated name reads the first entry";
}

TEST(PodFile, ManyTrackDescriptionsClaimingTheWholeFileAllGetTheirNames) {
    TTempDir dir;
    const int32_t count = 3000;
    std::string body;
    for (int k = 0; k < 2000; ++k) {
        body += "filler line " + std::to_string(k) + "\r\n";
    }
    body += "!Race Track Name\r\nFar Away\r\n";
    std::vector<TRawEntry> entries;
    for (int32_t k = 0; k < count; ++k) {
        entries.push_back({"T" + std::to_string(k) + ".SIT", BodyStart(count),
                           static_cast<int32_t>(body.size()) + 1000 * k});
    }
    const TPodFile pod(dir.WriteFile("MANY.POD", RawArchive(entries, body)));
    ASSERT_EQ(pod.SitEntries().size(), static_cast<size_t>(count));
    EXPECT_EQ(pod.SitEntries().front(), "T0.SIT=Far Away");
    EXPECT_EQ(pod.SitEntries().back(), "T2999.SIT=Far Away");
    EXPECT_EQ(pod.FindEntry("t2999.sit"), count - 1);
}
