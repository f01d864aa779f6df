// The subcommands of dunmeregl-cli, the headless tool that reads game data without a window.
//
//   entries ARCHIVE                NAME<TAB>SIZE<TAB>OFFSET per directory entry, archive order
//   tracks ARCHIVE                 the archive's ENTRY=Track name lines
//   extract ARCHIVE ENTRY [-o FILE] the entry's bytes to FILE, or to standard output
//   help [COMMAND]                 the usage of every command (or of the one named) to stdout
//   --version                      the program's version
// A command with -h or --help among its arguments prints its usage instead of running.
//
// Names are written as raw 8-bit bytes but for control bytes, which appear as "\xNN"; entry bytes
// are written raw. Exit codes: 0 done, 1 any error (its message on the error stream, as
// "dunmeregl-cli: FILE: ENTRY: TEXT" when the error knows the file), 2 a usage error (the usage
// text on the error stream).
#pragma once

#include "core/vfs/PodFile.h"

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

using TCliArgs = std::vector<std::string>;
// Receives the arguments after the subcommand's name. May raise: RunCli turns ECliUsageError into
// exit code 2 and every other error into its message and exit code 1.
using TCliHandler = std::function<int(const TCliArgs& args, std::ostream& out, std::ostream& err)>;

struct TCliCommand {
    std::string Name;
    std::string Usage; // arguments after the name, e.g. "ARCHIVE ENTRY [-o FILE]"
    TCliHandler Run;
    // What the command does and its own options, lines indented by six blanks: --help prints it,
    // and the manual page is made from --help, so this is the one place they are written.
    std::string Description;
};

class ECliUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kCliDone = 0;
inline constexpr int kCliFailed = 1;
inline constexpr int kCliUsage = 2;

// The reader's message for a missing archive names no file; the tool's names it.
TPodFile OpenArchive(const std::string& path);

int CliEntries(const TCliArgs& args, std::ostream& out, std::ostream& err);
int CliTracks(const TCliArgs& args, std::ostream& out, std::ostream& err);
int CliExtract(const TCliArgs& args, std::ostream& out, std::ostream& err);

// The known subcommands, the built-in ones first. A command registered under a name that is
// already known replaces it.
const std::vector<TCliCommand>& CliCommandList();
void RegisterCliCommand(TCliCommand command);

// Registers a subcommand during static initialisation. Sources holding one belong to the
// dunmere_cli object library (target_sources(dunmere_cli PRIVATE ...)), so that the tool and the
// tests always link them.
struct TCliRegistration {
    explicit TCliRegistration(TCliCommand command) { RegisterCliCommand(std::move(command)); }
};

void PrintCliUsage(std::ostream& stream);
// Every command with its usage and description, the shared track options and the exit codes.
void PrintCliHelp(std::ostream& stream);
// args are the command line without the program name: the subcommand, then its arguments.
int RunCli(const TCliArgs& args, std::ostream& out, std::ostream& err);
