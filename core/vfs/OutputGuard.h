// Every writer of the tool and the viewer asks here before it creates or truncates a file, so
// that no command can destroy the game data it has just read. Files are compared by device and
// inode: another spelling of the path, a hard link or a symbolic link is the same file.
#pragma once

#include "core/base/TextUtils.h"

#include <string>

class TAssetLog;

// Both exist and are one file.
bool SameFile(const std::string& a, const std::string& b);
// The archive, the settings file (empty: none) and every file the load's log names.
TStringList FilesOfLoad(const std::string& archivePath, const std::string& iniPath,
                        const TAssetLog& assets);
// Raises EDunmereError "OUTPUT: will not write over FILE, which the track was read from" when
// output is one of read.
void RefuseToOverwrite(const std::string& output, const TStringList& read);
