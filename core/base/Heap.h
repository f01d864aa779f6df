// The process heap: glibc gives freed memory back to the system as soon as the top of the heap
// is free, so a frame that allocates and frees as much as the one before pays for fresh pages
// (and their faults) again every time. Call once at program start, before the first allocation
// that matters.
#pragma once

void KeepFreedHeapForReuse();
