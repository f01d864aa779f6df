// Entry of the shell tests that need a real window system with OpenGL: unless a display was
// prepared for them, they run themselves again inside a private X server (xvfb-run), so they
// neither need nor disturb the user's display.
#include "tests/support/ShellTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> original(argv, argv + argc);
    testing::InitGoogleTest(&argc, argv);
    const bool listing = GTEST_FLAG_GET(list_tests);
    if (!listing && std::getenv("DUNMERE_SHELL_TEST_DISPLAY") == nullptr) {
        setenv("DUNMERE_SHELL_TEST_DISPLAY", "xvfb", 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        std::vector<std::string> command = {"xvfb-run", "-a", "-s",
                                            "-screen 0 1600x1200x24 -nolisten tcp"};
        command.insert(command.end(), original.begin(), original.end());
        std::vector<char*> args;
        for (std::string& part : command) {
            args.push_back(part.data());
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        // Without xvfb-run the tests use whatever display there is.
    }
    // Made by the process that runs the tests, which is also the one that removes it.
    const TTestEnvironment environment;
    if (!listing) {
        TestApplication();
    }
    return RUN_ALL_TESTS();
}
