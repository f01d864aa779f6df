#include "core/explore/EntryBytes.h"

#include "core/base/Errors.h"

#include <algorithm>

std::string ReadEntryHead(TGameFile& archive, const TPodEntry& entry, size_t count) {
    if (entry.Size <= 0 || entry.Offset < 0 || entry.Offset >= archive.Size()) {
        return "";
    }
    archive.Seek(entry.Offset);
    std::string head(std::min<size_t>(count, static_cast<size_t>(entry.Size)), '\0');
    head.resize(archive.ReadSome(head.data(), head.size()));
    return head;
}

std::string ReadEntryBytes(TGameFile& archive, const TPodEntry& entry) {
    if (entry.Size < 0 || entry.Offset < 0 ||
        static_cast<int64_t>(entry.Offset) + entry.Size > archive.Size()) {
        throw EInOutError(entry.Name + ": the archive holds less than its directory claims");
    }
    std::string bytes(static_cast<size_t>(entry.Size), '\0');
    archive.Seek(entry.Offset);
    archive.Read(bytes.data(), bytes.size());
    return bytes;
}
