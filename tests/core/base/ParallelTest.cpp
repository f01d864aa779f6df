#include "core/base/Parallel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

TEST(ParallelFor, EveryIndexIsWorkedOnceAndAllWorkEndsBeforeItReturns) {
    std::vector<int> visits(1000, 0);
    std::atomic<int> calls{0};
    ParallelFor(visits.size(), [&](size_t i) {
        ++visits[i];
        ++calls;
    });
    EXPECT_EQ(calls.load(), 1000);
    EXPECT_EQ(std::count(visits.begin(), visits.end(), 1), 1000);
    ParallelFor(0, [](size_t) { FAIL() << "no work to do"; });
}

TEST(ParallelFor, AnErrorOfOneIndexIsRaisedAfterTheOthersAreDone) {
    std::atomic<int> done{0};
    EXPECT_THROW(ParallelFor(50,
                             [&](size_t i) {
                                 if (i == 7) {
                                     throw std::runtime_error("index 7");
                                 }
                                 ++done;
                             }),
                 std::runtime_error);
    EXPECT_EQ(done.load(), 49);
}

} // namespace
