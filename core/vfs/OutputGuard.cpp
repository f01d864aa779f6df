#include "core/vfs/OutputGuard.h"

#include "core/base/Errors.h"
#include "core/vfs/AssetLog.h"

#include <sys/stat.h>

bool SameFile(const std::string& a, const std::string& b) {
    struct stat infoA {};
    struct stat infoB {};
    return stat(a.c_str(), &infoA) == 0 && stat(b.c_str(), &infoB) == 0 &&
           infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

TStringList FilesOfLoad(const std::string& archivePath, const std::string& iniPath,
                        const TAssetLog& assets) {
    TStringList files{archivePath};
    if (!iniPath.empty()) {
        files.push_back(iniPath);
    }
    for (const TAssetRecord& record : assets.Records()) {
        if (!record.File.empty()) {
            files.push_back(record.File);
        }
    }
    return files;
}

void RefuseToOverwrite(const std::string& output, const TStringList& read) {
    struct stat target {};
    if (stat(output.c_str(), &target) != 0) {
        return; // a file that does not exist yet cannot be one that was read
    }
    for (const std::string& file : read) {
        struct stat info {};
        if (stat(file.c_str(), &info) == 0 && info.st_dev == target.st_dev &&
            info.st_ino == target.st_ino) {
            throw EDunmereError(output + ": will not write over " + file +
                                ", which the track was read from");
        }
    }
}
