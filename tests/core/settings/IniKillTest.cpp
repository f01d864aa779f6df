// The INI file survives its writer being killed: whatever the moment, the file holds the old
// settings or the new ones, whole.
#include "core/settings/IniFile.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <charconv>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Large enough that a write takes a while, so that many kills land inside one.
constexpr size_t kPayloadSize = 256 * 1024;
constexpr int kKills = 40;

std::string Payload(int number) {
    const std::string tag = std::to_string(number);
    return tag + ":" + std::string(kPayloadSize, static_cast<char>('a' + number % 26)) + ":" + tag;
}

// The number of a whole payload, or -1 for anything else.
int PayloadNumber(const std::string& value) {
    const size_t colon = value.find(':');
    if (colon == std::string::npos || colon == 0) {
        return -1;
    }
    int number = -1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + colon, number);
    return error == std::errc() && end == value.data() + colon && value == Payload(number) ? number
                                                                                           : -1;
}

// Writes payloads 1, 2, 3 ... after first, reporting each finished write with one byte on
// report, until it is killed.
[[noreturn]] void WriteUntilKilled(const std::string& path, int first, int report) {
    try {
        TIniFile ini(path);
        for (int number = first + 1;; ++number) {
            ini.WriteString(kPreferencesSection, "Payload", Payload(number));
            if (write(report, "w", 1) != 1) {
                _exit(3);
            }
        }
    } catch (...) {
        _exit(2);
    }
}

TEST(IniFileKilled, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole) {
    TTempDir dir;
    const std::string path = dir.Path() + "DunmereGL.ini";
    TIniFile(path).WriteString(kPreferencesSection, "Payload", Payload(0));
    std::mt19937 random(1209);
    int last = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            close(report[0]);
            WriteUntilKilled(path, last, report[1]);
        }
        close(report[1]);
        // Some finished writes, then a random stretch of the next one.
        const int writes = static_cast<int>(random() % 3);
        char byte = 0;
        for (int i = 0; i < writes; ++i) {
            ASSERT_EQ(read(report[0], &byte, 1), 1) << "the writer stopped by itself";
        }
        const uint32_t spin = random() % 2000000;
        volatile uint32_t counted = 0;
        while (counted < spin) {
            counted = counted + 1;
        }
        ASSERT_EQ(::kill(writer, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended with " << WEXITSTATUS(status);
        close(report[0]);

        const int number =
            PayloadNumber(TIniFile(path).ReadString(kPreferencesSection, "Payload", ""));
        ASSERT_GE(number, 0) << "kill " << kill << " left a damaged file";
        // The writer may have finished more writes than it could report before it died.
        EXPECT_GE(number, last + writes) << "kill " << kill << " lost a finished write";
        last = number;
    }
}

} // namespace
