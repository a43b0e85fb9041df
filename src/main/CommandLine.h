#pragma once

#include "ZelvorCore/Models/AppLanguage.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// What the user asked for on the command line.
struct CommandLine {
    std::optional<std::filesystem::path> configDirectory;
    std::optional<std::filesystem::path> dataDirectory;
    /// --language: the language of the usage and the commands' messages, over the stored one.
    std::optional<AppLanguage> language;
    bool showHelp = false;
    bool showVersion = false;
    /// The command and its arguments, e.g. {"prefs", "export", "backup.json"}; empty = start the app.
    std::vector<std::string> command;
    /// Set when the arguments could not be understood.
    std::optional<std::string> error;
};

CommandLine parseCommandLine(int argc, const char* const* argv);

std::string versionText();

/// The interface language a --language code names ("ja", "zh-Hans", case does not matter).
std::optional<AppLanguage> commandLineLanguage(std::string_view code);
/// Every code --language takes, for the usage and its error: "zh-Hans, zh-Hant, en, ...".
std::string commandLineLanguageCodes();

/// Answers what needs no command (an unusable command line, --help, --version) and returns the
/// exit status; nothing when a command is to run.
std::optional<int> answerWithoutCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

} // namespace brisklet
