// uLogging: the session log. One plain-text file per run, CR LF line ends, every line flushed at
// once; when the file cannot be created or written the program simply runs without a log.
#pragma once

#include <string>

void OpenLog(const std::string& fileName);
// A failed write closes the log and says so once on standard error; nothing is raised.
void WriteLog(const std::string& line);
void CloseLog();
bool LogOpen();

// While one lives, WriteLog on its thread writes nothing: for the archive explorer, which runs
// the loaders over entries the user only looks at, so their lines would only bury the session's.
class TLogMute {
public:
    TLogMute();
    ~TLogMute();
    TLogMute(const TLogMute&) = delete;
    TLogMute& operator=(const TLogMute&) = delete;
};

// The five header lines every session starts with; versionText is "%MAJOR.%MINOR.%RELEASE.%BUILD"
// expanded.
void WriteSessionHeader(const std::string& versionText);
