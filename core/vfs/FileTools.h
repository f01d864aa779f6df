// uFileTools: recursive folder listing with wildcard masks ("*" any run, "?" one character,
// letter case ignored). Subfolders' contents come before a folder's own entries, depth first.
#pragma once

#include "core/base/TextUtils.h"

#include <string>

void FindFilesRecursive(const std::string& folder, const std::string& mask, TStringList& list,
                        bool withPath, bool recursive);
bool MatchesMask(const std::string& name, const std::string& mask);
bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& path);
