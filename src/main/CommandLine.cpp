#include "main/CommandLine.h"

#include "main/CommandLineUsage.h"

#include <algorithm>
#include <cctype>

#ifndef BRISKLET_VERSION
#define BRISKLET_VERSION "0.0.0"
#endif

namespace brisklet {

namespace {

bool takeDirectoryOption(const std::string& arg, const char* name, int& i, int argc, const char* const* argv,
                         std::optional<std::filesystem::path>& out, std::optional<std::string>& error) {
    const std::string prefix = std::string(name) + "=";
    if (arg.rfind(prefix, 0) == 0) {
        out = arg.substr(prefix.size());
    } else if (arg == name) {
        if (i + 1 >= argc) {
            error = std::string(name) + " needs a directory";
            return true;
        }
        out = argv[++i];
    } else {
        return false;
    }
    if (out->empty()) {
        error = std::string(name) + " needs a directory";
    } else {
        out = std::filesystem::absolute(*out);
    }
    return true;
}

bool takeLanguageOption(const std::string& arg, int& i, int argc, const char* const* argv,
                        std::optional<AppLanguage>& out, std::optional<std::string>& error) {
    static constexpr std::string_view name = "--language";
    std::string code;
    if (arg.starts_with(std::string(name) + "=")) {
        code = arg.substr(name.size() + 1);
    } else if (arg == name && i + 1 < argc) {
        code = argv[++i];
    } else if (arg != name) {
        return false;
    }
    out = commandLineLanguage(code);
    if (!out) {
        error = (code.empty() ? std::string("--language needs a language code")
                              : "unknown language '" + code + "' for --language") +
                "; choose one of " + commandLineLanguageCodes();
    }
    return true;
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return std::tolower(c); });
    return result;
}

} // namespace

std::optional<AppLanguage> commandLineLanguage(std::string_view code) {
    for (const auto& [language, raw] : EnumTraits<AppLanguage>::names) {
        if (language != AppLanguage::system && lowered(raw) == lowered(code)) {
            return language;
        }
    }
    return std::nullopt;
}

std::string commandLineLanguageCodes() {
    std::string codes;
    for (const auto& [language, raw] : EnumTraits<AppLanguage>::names) {
        if (language != AppLanguage::system) {
            codes += (codes.empty() ? "" : ", ") + std::string(raw);
        }
    }
    return codes;
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc && !line.error; ++i) {
        const std::string arg = argv[i];
        if (!line.command.empty()) {
            line.command.push_back(arg);
        } else if (arg == "--help" || arg == "-h") {
            line.showHelp = true;
        } else if (arg == "--version" || arg == "-v") {
            line.showVersion = true;
        } else if (takeDirectoryOption(arg, "--config-dir", i, argc, argv, line.configDirectory, line.error) ||
                   takeDirectoryOption(arg, "--data-dir", i, argc, argv, line.dataDirectory, line.error) ||
                   takeLanguageOption(arg, i, argc, argv, line.language, line.error)) {
            continue;
        } else if (arg.rfind("-", 0) == 0) {
            line.error = "unknown option " + arg;
        } else {
            line.command.push_back(arg);
        }
    }
    return line;
}

std::string versionText() {
    return std::string("brisklet ") + BRISKLET_VERSION + "\n";
}

std::optional<int> answerWithoutCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
    if (line.error) {
        err << "brisklet: " << *line.error << "\nTry 'brisklet --help'.\n";
        return 2;
    }
    if (line.showHelp) {
        out << usageText(usageLanguage(line, err));
        return 0;
    }
    if (line.showVersion) {
        out << versionText();
        return 0;
    }
    return std::nullopt;
}

} // namespace brisklet
