#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

/// What the user asked for on the command line.
struct CommandLine {
    std::optional<std::filesystem::path> configDirectory;
    std::optional<std::filesystem::path> dataDirectory;
    bool showHelp = false;
    bool showVersion = false;
    /// The command and its arguments, e.g. {"prefs", "export", "backup.json"}; empty = start the app.
    std::vector<std::string> command;
    /// Set when the arguments could not be understood.
    std::optional<std::string> error;
};

CommandLine parseCommandLine(int argc, const char* const* argv);

std::string usageText();
std::string versionText();

/// Answers what needs no command (an unusable command line, --help, --version) and returns the
/// exit status; nothing when a command is to run.
std::optional<int> answerWithoutCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

} // namespace brisklet
