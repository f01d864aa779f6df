#include "core/base/Logging.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {
std::FILE* logFile = nullptr;
std::string logName;
thread_local int muteDepth = 0;
} // namespace

void OpenLog(const std::string& fileName) {
    CloseLog();
    logFile = std::fopen(fileName.c_str(), "wb");
    logName = fileName;
}

// The log only explains a session; a full disk or a vanished folder must not end a load, so a
// failed write closes the log and says so once.
void WriteLog(const std::string& line) {
    if (logFile == nullptr || muteDepth > 0) {
        return;
    }
    if (std::fwrite(line.data(), 1, line.size(), logFile) != line.size() ||
        std::fwrite("\r\n", 1, 2, logFile) != 2 || std::fflush(logFile) != 0) {
        const int error = errno;
        std::fclose(logFile);
        logFile = nullptr;
        std::fprintf(stderr, "Logging stopped: cannot write to %s: %s\n", logName.c_str(),
                     std::strerror(error));
    }
}

void CloseLog() {
    if (logFile != nullptr) {
        std::fclose(logFile);
        logFile = nullptr;
    }
}

TLogMute::TLogMute() {
    ++muteDepth;
}

TLogMute::~TLogMute() {
    --muteDepth;
}

bool LogOpen() {
    return logFile != nullptr;
}

void WriteSessionHeader(const std::string& versionText) {
    const std::string stars(65, '*');
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    WriteLog(stars);
    WriteLog("DunmereGL Version: " + versionText);
    WriteLog(std::string("Session Date/Time: ") + stamp);
    WriteLog(stars);
    WriteLog("");
}
