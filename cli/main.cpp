// dunmeregl-cli: reads POD archives without a window; the subcommands live in CliCommands.
#include "cli/CliCommands.h"
#include "core/base/Heap.h"

#include <iostream>

int main(int argc, char** argv) {
    KeepFreedHeapForReuse();
    const TCliArgs args(argv + 1, argv + argc);
    const int code = RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "cannot write to standard output\n";
        return kCliFailed;
    }
    return code;
}
