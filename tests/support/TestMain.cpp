// Entry of every test program that brings no entry of its own.
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const TTestEnvironment environment;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
