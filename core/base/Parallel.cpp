#include "core/base/Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

void ParallelFor(size_t count, const std::function<void(size_t)>& work) {
    const size_t threads =
        std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), count);
    std::atomic<size_t> next{0};
    std::exception_ptr firstError;
    std::mutex errorLock;
    const auto worker = [&] {
        for (size_t i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(errorLock);
                if (!firstError) {
                    firstError = std::current_exception();
                }
            }
        }
    };
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t) {
        helpers.emplace_back(worker);
    }
    worker();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    if (firstError) {
        std::rethrow_exception(firstError);
    }
}
