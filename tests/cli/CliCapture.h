// Runs the tool's subcommands in the test's own process and keeps what they print.
#pragma once

#include "cli/CliCommands.h"

#include <sstream>
#include <string>

struct TCliRun {
    int Code = -1;
    std::string Out;
    std::string Err;
};

inline TCliRun Capture(const TCliArgs& args) {
    std::ostringstream out;
    std::ostringstream err;
    TCliRun run;
    run.Code = RunCli(args, out, err);
    run.Out = out.str();
    run.Err = err.str();
    return run;
}
