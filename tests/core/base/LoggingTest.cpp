#include "core/base/Logging.h"
#include "core/base/Errors.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>
#include <regex>
#include <thread>

namespace {

// The log is one process-wide file; every test leaves it closed.
class SessionLogTest : public ::testing::Test {
protected:
    void TearDown() override { CloseLog(); }
    TTempDir dir_;
};

TEST_F(SessionLogTest, WritesBeforeOpenAndAfterCloseAreSilentlyDropped) {
    ASSERT_FALSE(LogOpen());
    EXPECT_NO_THROW(WriteLog("before"));
    const std::string path = dir_.Path() + "DunmereGL.log";
    OpenLog(path);
    ASSERT_TRUE(LogOpen());
    WriteLog("during");
    CloseLog();
    EXPECT_FALSE(LogOpen());
    EXPECT_NO_THROW(WriteLog("after"));
    EXPECT_NO_THROW(CloseLog());
    EXPECT_EQ(ReadFileBytes(path), "during\r\n");
}

TEST_F(SessionLogTest, AMuteSilencesOnlyItsOwnThreadAndOnlyWhileItLives) {
    const std::string path = dir_.Path() + "DunmereGL.log";
    OpenLog(path);
    {
        const TLogMute outer;
        const TLogMute inner;
        WriteLog("muted");
        std::thread([] { WriteLog("other thread"); }).join();
    }
    WriteLog("after");
    EXPECT_EQ(ReadFileBytes(path), "other thread\r\nafter\r\n");
}

TEST_F(SessionLogTest, EveryLineIsOnDiskAtOnceWithCrLfAndEmptyLinesKept) {
    const std::string path = dir_.Path() + "DunmereGL.log";
    OpenLog(path);
    WriteLog("Opening track SIT ARENA.SIT");
    WriteLog("");
    WriteLog("tab\tand \xe9");
    // Read while the log is still open: nothing may wait in a buffer.
    EXPECT_EQ(ReadFileBytes(path), "Opening track SIT ARENA.SIT\r\n\r\ntab\tand \xe9\r\n");
}

TEST_F(SessionLogTest, SecondRunHoldsOnlyItsOwnLines) {
    const std::string path = dir_.Path() + "DunmereGL.log";
    OpenLog(path);
    WriteLog("first run, a long line that the second run must not leave behind");
    CloseLog();
    OpenLog(path);
    WriteLog("second");
    CloseLog();
    EXPECT_EQ(ReadFileBytes(path), "second\r\n");
}

TEST_F(SessionLogTest, LogThatCannotBeCreatedLeavesTheProgramRunningWithoutOne) {
    EXPECT_NO_THROW(OpenLog(dir_.Path() + "no/such/folder/DunmereGL.log"));
    EXPECT_FALSE(LogOpen());
    EXPECT_NO_THROW(WriteLog("nowhere"));
    EXPECT_NO_THROW(OpenLog(dir_.Path()));
    EXPECT_FALSE(LogOpen());
}

TEST_F(SessionLogTest, FailedWriteStopsTheLogAndSaysSoOnceOnStandardError) {
    OpenLog("/dev/full");
    if (!LogOpen()) {
        GTEST_SKIP() << "/dev/full is not available";
    }
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(WriteLog("does not fit"));
    EXPECT_FALSE(LogOpen());
    EXPECT_NO_THROW(WriteLog("nor does this"));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "Logging stopped: cannot write to /dev/full: No space left on device\n");

    // A new session log starts afresh and may say so again.
    OpenLog(dir_.Path() + "next.log");
    WriteLog("fine");
    CloseLog();
    EXPECT_EQ(ReadFileBytes(dir_.Path() + "next.log"), "fine\r\n");
}

TEST_F(SessionLogTest, SessionHeaderHasStarsVersionTimeStarsAndAnEmptyLine) {
    const std::string path = dir_.Path() + "DunmereGL.log";
    OpenLog(path);
    WriteSessionHeader("1.0.0.0");
    WriteLog("next");
    const std::string stars = "\\*{65}";
    const std::regex layout(
        stars + "\r\nDunmereGL Version: 1\\.0\\.0\\.0\r\n" +
        "Session Date/Time: (\\d{4})-(\\d{2})-(\\d{2}) (\\d{2}):(\\d{2}):(\\d{2})"
        "\r\n" +
        stars + "\r\n\r\nnext\r\n");
    std::smatch match;
    const std::string text = ReadFileBytes(path);
    ASSERT_TRUE(std::regex_match(text, match, layout)) << text;
    const int month = std::stoi(match[2]);
    const int day = std::stoi(match[3]);
    EXPECT_GE(std::stoi(match[1]), 2000);
    EXPECT_TRUE(month >= 1 && month <= 12);
    EXPECT_TRUE(day >= 1 && day <= 31);
    EXPECT_LE(std::stoi(match[4]), 23);
    EXPECT_LE(std::stoi(match[5]), 59);
    EXPECT_LE(std::stoi(match[6]), 60);
}

} // namespace
