#include "core/vfs/FileTools.h"

#include <algorithm>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

struct TDirEntry {
    std::string Name;
    bool IsDirectory = false;
};

using TDirId = std::pair<dev_t, ino_t>;

char FoldChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The entries of one folder, "." and ".." included (masks may match them, as on the platform the
// game comes from). Sorted case-insensitively first, like the file system the game data was made
// on, so that listings do not depend on the order a Linux file system happens to keep.
std::vector<TDirEntry> ReadFolder(const std::string& folder) {
    std::vector<TDirEntry> entries;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return entries;
    }
    while (const dirent* item = readdir(dir)) {
        TDirEntry entry;
        entry.Name = item->d_name;
        if (item->d_type == DT_DIR) {
            entry.IsDirectory = true;
        } else if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
            struct stat info {};
            entry.IsDirectory =
                stat((folder + entry.Name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const TDirEntry& a, const TDirEntry& b) {
        const std::string ua = UpperCase(a.Name);
        const std::string ub = UpperCase(b.Name);
        return ua != ub ? ua < ub : a.Name < b.Name;
    });
    return entries;
}

bool IsDotName(const std::string& name) {
    return name == "." || name == "..";
}

struct TDirIdHash {
    size_t operator()(const TDirId& id) const {
        return std::hash<dev_t>()(id.first) * 31 + std::hash<ino_t>()(id.second);
    }
};

struct TScan {
    const std::string& Mask;
    TStringList& List;
    bool WithPath;
    bool Recursive;
    const TScanLimits& Limits;
    // Every folder listed so far: links that lead to one folder from several places, or back up
    // the tree, would otherwise multiply the work with each level.
    std::unordered_set<TDirId, TDirIdHash> Visited;
    size_t Entries = 0;
    bool Complete = true;
};

void ListFolder(std::string folder, int depth, TScan& scan) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    struct stat info {};
    if (stat(folder.empty() ? "." : folder.c_str(), &info) != 0) {
        return;
    }
    if (!scan.Visited.insert({info.st_dev, info.st_ino}).second) {
        return;
    }
    if (depth > scan.Limits.MaxDepth || scan.Entries >= scan.Limits.MaxEntries) {
        scan.Complete = false;
        return;
    }
    const std::vector<TDirEntry> entries = ReadFolder(folder);
    scan.Entries += entries.size();
    if (scan.Recursive) {
        for (const TDirEntry& entry : entries) {
            if (entry.IsDirectory && !IsDotName(entry.Name)) {
                ListFolder(folder + entry.Name, depth + 1, scan);
            }
        }
    }
    for (const TDirEntry& entry : entries) {
        if (!MatchesMask(entry.Name, scan.Mask)) {
            continue;
        }
        if (scan.WithPath) {
            scan.List.push_back(folder + entry.Name);
        } else if (!IsDotName(entry.Name)) {
            scan.List.push_back(entry.Name);
        }
    }
}

} // namespace

bool FindFilesRecursive(const std::string& folder, const std::string& mask, TStringList& list,
                        bool withPath, bool recursive, const TScanLimits& limits) {
    TScan scan{mask, list, withPath, recursive, limits, {}, 0, true};
    ListFolder(folder, 0, scan);
    return scan.Complete;
}

bool MatchesMask(const std::string& name, const std::string& mask) {
    if (mask == "*.*" || mask == "*") {
        return true;
    }
    // Greedy wildcard match with one backtrack point: the last "*" seen.
    size_t n = 0;
    size_t m = 0;
    size_t starMask = std::string::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || FoldChar(mask[m]) == FoldChar(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') {
        ++m;
    }
    return m == mask.size();
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string AbsolutePath(const std::string& path) {
    return std::filesystem::absolute(path).lexically_normal().string();
}
