#include "core/base/Heap.h"

#include <malloc.h>

namespace {

// Freed memory is given back only beyond this much at the top of the heap.
constexpr int kTrimThreshold = 256 * 1024 * 1024;
// Blocks up to this size come from the heap rather than from mappings of their own, which would
// be unmapped again when freed; 32 MB is the largest value glibc accepts.
constexpr int kMmapThreshold = 32 * 1024 * 1024;

} // namespace

void KeepFreedHeapForReuse() {
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
    mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
}
