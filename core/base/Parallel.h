// Work split over a few threads: as many as the hardware runs at once, each taking the next
// index until none is left. For work that touches nothing shared but its own index's data.
#pragma once

#include <cstddef>
#include <functional>

// Calls work(i) for every i below count and returns when all calls have returned; the first
// exception a call raised is raised again here.
void ParallelFor(size_t count, const std::function<void(size_t)>& work);
