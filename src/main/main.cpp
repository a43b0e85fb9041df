#include "Platform/Linux/System/JsonFileDefaultsStore.h"
#include "Platform/Linux/System/XdgPaths.h"
#include "main/CommandLine.h"
#include "main/PrefsCommand.h"

#include <iostream>

using namespace brisklet;

int main(int argc, char** argv) {
    const CommandLine line = parseCommandLine(argc, argv);
    if (line.error) {
        std::cerr << "brisklet: " << *line.error << "\nTry 'brisklet --help'.\n";
        return 2;
    }
    if (line.showHelp) {
        std::cout << usageText();
        return 0;
    }
    if (line.showVersion) {
        std::cout << versionText();
        return 0;
    }

    const XdgPaths paths({line.configDirectory, line.dataDirectory});
    JsonFileDefaultsStore defaults(JsonFileDefaultsStore::defaultFile(paths.configDirectory()),
                                   [](const std::string& message) { std::cerr << "brisklet: " << message << "\n"; });

    if (!line.command.empty() && line.command[0] == "prefs") {
        return runPrefsCommand({line.command.begin() + 1, line.command.end()}, defaults, std::cout, std::cerr);
    }
    if (!line.command.empty()) {
        std::cerr << "brisklet: unknown command '" << line.command[0] << "'\nTry 'brisklet --help'.\n";
        return 2;
    }
    std::cout << usageText();
    return 0;
}
