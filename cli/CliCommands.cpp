#include "cli/CliCommands.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/settings/Version.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/OutputGuard.h"
#include "core/vfs/PodFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr size_t kCopyChunk = 64 * 1024;

void ExpectArgCount(const TCliArgs& args, size_t count, const char* command) {
    if (args.size() != count) {
        throw ECliUsageError(std::string(command) + ": wrong number of arguments");
    }
}

// Copies the entry's bytes to out. The size comes from the directory, so it is checked against
// what the archive still holds before anything is written.
void CopyEntry(const TPodFile& pod, const std::string& entry, std::ostream& out) {
    TGameFile file;
    if (pod.FindEntry(entry) < 0 || !pod.OpenEntry(file, entry)) {
        throw EDunmereError("Entry not found: " + entry);
    }
    const int64_t size = pod.GetEntrySize(entry);
    if (size < 0 || size > file.Remaining()) {
        EInOutError error(kReadPastEndText);
        error.SetPlace(pod.ArchivePath(), entry);
        throw error;
    }
    std::string chunk;
    for (int64_t left = size; left > 0;) {
        const size_t take = static_cast<size_t>(std::min<int64_t>(left, kCopyChunk));
        chunk.resize(take);
        file.Read(chunk.data(), take);
        out.write(chunk.data(), static_cast<std::streamsize>(take));
        left -= static_cast<int64_t>(take);
    }
}

std::vector<TCliCommand>& Registry() {
    static std::vector<TCliCommand> commands = {
        {"entries", "ARCHIVE", CliEntries,
         "      Lists the archive's directory: NAME<TAB>SIZE<TAB>OFFSET per entry, in archive\n"
         "      order.\n"},
        {"tracks", "ARCHIVE", CliTracks,
         "      Lists the archive's track descriptions as ENTRY=Track name lines.\n"},
        {"extract", "ARCHIVE ENTRY [-o FILE]", CliExtract,
         "      Writes one entry's bytes to standard output, or to FILE with -o.\n"},
    };
    return commands;
}

const TCliCommand* FindCliCommand(const std::string& name) {
    const std::vector<TCliCommand>& commands = CliCommandList();
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const TCliCommand& c) { return c.Name == name; });
    return command != commands.end() ? &*command : nullptr;
}

void PrintCommandUsage(const TCliCommand& command, std::ostream& stream) {
    stream << "usage: dunmeregl-cli " << command.Name << ' ' << command.Usage << '\n';
}

bool IsHelpOption(const std::string& arg) {
    return arg == "-h" || arg == "--help";
}

int UnknownCommand(const std::string& name, std::ostream& err) {
    err << "unknown command: " << name << '\n';
    PrintCliUsage(err);
    return kCliUsage;
}

// help [COMMAND]: the whole usage, or the one command's.
int RunHelp(const TCliArgs& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        PrintCliHelp(out);
        return kCliDone;
    }
    if (args.size() > 1) {
        err << "help: at most one command name\n";
        PrintCliUsage(err);
        return kCliUsage;
    }
    const TCliCommand* command = FindCliCommand(args[0]);
    if (command == nullptr) {
        return UnknownCommand(args[0], err);
    }
    PrintCommandUsage(*command, out);
    return kCliDone;
}

} // namespace

TPodFile OpenArchive(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw EDunmereError("Archive not found: " + path);
    }
    return TPodFile(path);
}

int CliEntries(const TCliArgs& args, std::ostream& out, std::ostream&) {
    ExpectArgCount(args, 1, "entries");
    const TPodFile pod = OpenArchive(args[0]);
    for (const TPodEntry& entry : pod.Entries()) {
        out << EscapeControlBytes(entry.Name) << '\t' << std::to_string(entry.Size) << '\t'
            << std::to_string(entry.Offset) << '\n';
    }
    return kCliDone;
}

int CliTracks(const TCliArgs& args, std::ostream& out, std::ostream&) {
    ExpectArgCount(args, 1, "tracks");
    const TPodFile pod = OpenArchive(args[0]);
    for (const std::string& line : pod.SitEntries()) {
        out << EscapeControlBytes(line) << '\n';
    }
    return kCliDone;
}

int CliExtract(const TCliArgs& args, std::ostream& out, std::ostream&) {
    TCliArgs positional;
    std::string outputPath;
    bool haveOutput = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (haveOutput || i + 1 >= args.size()) {
                throw ECliUsageError("extract: -o needs one file name");
            }
            outputPath = args[++i];
            haveOutput = true;
        } else {
            positional.push_back(args[i]);
        }
    }
    ExpectArgCount(positional, 2, "extract");
    const TPodFile pod = OpenArchive(positional[0]);
    if (!haveOutput) {
        CopyEntry(pod, positional[1], out);
        return kCliDone;
    }
    // Look the entry up before the output file is created, so that a wrong name leaves no file.
    if (pod.FindEntry(positional[1]) < 0) {
        throw EDunmereError("Entry not found: " + positional[1]);
    }
    // Truncating the output would destroy the archive before its entry has been read.
    if (SameFile(outputPath, positional[0])) {
        throw EDunmereError("extract: the output file is the archive itself");
    }
    std::ofstream file(outputPath, std::ios::binary | std::ios::trunc);
    if (!file) {
        RaiseCannotWrite(outputPath);
    }
    try {
        CopyEntry(pod, positional[1], file);
        file.close();
        if (!file) {
            RaiseCannotWrite(outputPath);
        }
    } catch (...) {
        file.close();
        std::remove(outputPath.c_str());
        throw;
    }
    return kCliDone;
}

const std::vector<TCliCommand>& CliCommandList() {
    return Registry();
}

void RegisterCliCommand(TCliCommand command) {
    std::vector<TCliCommand>& commands = Registry();
    const auto known = std::find_if(commands.begin(), commands.end(),
                                    [&](const TCliCommand& c) { return c.Name == command.Name; });
    if (known != commands.end()) {
        *known = std::move(command);
    } else {
        commands.push_back(std::move(command));
    }
}

void PrintCliUsage(std::ostream& stream) {
    stream << "usage:\n";
    for (const TCliCommand& command : CliCommandList()) {
        stream << "  dunmeregl-cli " << command.Name << ' ' << command.Usage << '\n';
    }
    stream << "  dunmeregl-cli help [COMMAND]\n"
           << "  dunmeregl-cli --version\n";
}

void PrintCliHelp(std::ostream& stream) {
    stream << "Usage: dunmeregl-cli COMMAND [ARGUMENTS]\n"
           << "  or:  dunmeregl-cli --version\n"
           << "Reads the POD archives of Quarrix 1 and 2 without a window.\n"
           << "\nCommands:\n";
    for (const TCliCommand& command : CliCommandList()) {
        stream << "  " << command.Name << ' ' << command.Usage << '\n' << command.Description;
    }
    stream << "  help [COMMAND]\n"
           << "      Prints this help, or the usage of COMMAND (as COMMAND --help does).\n"
           << "  --version\n"
           << "      Prints the version.\n"
           << "\nTrack options (the commands that load a track):\n"
           << "  --track ENTRY\n"
           << "      the track description (.SIT entry) to load; default: the archive's first\n"
           << "  --search DIR\n"
           << "      a search folder for textures and models, up to five; they replace the\n"
           << "      settings' search folders for this run, the data folder is searched first\n"
           << "  --ini FILE\n"
           << "      the settings file to read; default: the viewer's own DunmereGL.ini\n"
           << "\nExit status:\n"
           << "  0  done\n"
           << "  1  an error; its message, naming the file, is on standard error\n"
           << "  2  a usage error; the usage is on standard error\n";
}

int RunCli(const TCliArgs& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        PrintCliUsage(err);
        return kCliUsage;
    }
    if (IsHelpOption(args[0])) {
        PrintCliHelp(out);
        return kCliDone;
    }
    if (args[0] == "--version") {
        out << "dunmeregl-cli (Dunmere GL) "
            << TVersion().FormatVersion("%MAJOR.%MINOR.%RELEASE.%BUILD") << '\n';
        return kCliDone;
    }
    const TCliArgs rest(args.begin() + 1, args.end());
    if (args[0] == "help") {
        return RunHelp(rest, out, err);
    }
    const TCliCommand* command = FindCliCommand(args[0]);
    if (command == nullptr) {
        return UnknownCommand(args[0], err);
    }
    if (std::any_of(rest.begin(), rest.end(), IsHelpOption)) {
        PrintCommandUsage(*command, out);
        return kCliDone;
    }
    try {
        return command->Run(rest, out, err);
    } catch (const ECliUsageError& e) {
        err << e.what() << '\n';
        PrintCliUsage(err);
        return kCliUsage;
    } catch (const EViewerError& e) {
        // Names in the message come from the files and may hold any byte.
        const std::string text = EscapeControlBytes(PlacedErrorText(e));
        err << (e.File().empty() ? text : "dunmeregl-cli: " + text) << '\n';
        return kCliFailed;
    } catch (const std::exception& e) {
        err << EscapeControlBytes(e.what()) << '\n';
        return kCliFailed;
    }
}
