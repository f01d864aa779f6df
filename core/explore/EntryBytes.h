// Reading an archive entry by its directory record rather than by name, so that every entry of a
// directory that holds one name twice can be shown and extracted.
#pragma once

#include "core/vfs/PodFile.h"

#include <cstdint>
#include <string>

// Up to count bytes from the entry's start; fewer when the entry or the file ends before.
std::string ReadEntryHead(TGameFile& archive, const TPodEntry& entry, size_t count);
// The whole entry; raises EInOutError naming the entry when the file holds less than the
// directory claims.
std::string ReadEntryBytes(TGameFile& archive, const TPodEntry& entry);
