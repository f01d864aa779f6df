#pragma once

#include <cstddef>

// Bounds of one recursive listing: a search folder may be the root of a large disk, a link to
// "/" or a pseudo file system that never ends.
struct TScanLimits {
    size_t MaxEntries = 500000;
    int MaxDepth = 40;
};
