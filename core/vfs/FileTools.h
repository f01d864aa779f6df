// uFileTools: recursive folder listing with wildcard masks ("*" any run, "?" one character,
// letter case ignored). Subfolders' contents come before a folder's own entries, depth first.
#pragma once

#include "core/base/TextUtils.h"
#include "core/vfs/ScanLimits.h"

#include <string>

// Each real folder (device and inode) is listed once per call, however many links lead to it.
// Returns false when the listing stopped at a limit, keeping what it had found by then.
bool FindFilesRecursive(const std::string& folder, const std::string& mask, TStringList& list,
                        bool withPath, bool recursive, const TScanLimits& limits = {});
bool MatchesMask(const std::string& name, const std::string& mask);
bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& path);
// path made absolute against the working folder, "." and ".." taken out, byte for byte: a file
// name need not be UTF-8, and one turned into text would name another file.
std::string AbsolutePath(const std::string& path);
