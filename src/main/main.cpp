#include "Platform/Clock.h"
#include "Platform/Linux/System/JsonFileDefaultsStore.h"
#include "Platform/Linux/System/XdgPaths.h"
#include "Platform/ThreadSerialQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "main/CommandLine.h"
#include "main/PrefsCommand.h"

#include <iostream>
#include <memory>
#include <vector>

using namespace brisklet;

namespace {

/// Problems with the defaults file reach standard error at once and the log as soon as it exists
/// (the log reads its own switch from that very file, so it starts after it).
class DefaultsProblemReporter {
public:
    void operator()(const std::string& message) {
        std::cerr << "brisklet: " << message << "\n";
        if (loggerReady_) {
            RuntimeLogger::log(message);
        } else {
            pending_.push_back(message);
        }
    }
    void loggerStarted() {
        loggerReady_ = true;
        for (const auto& message : pending_) {
            RuntimeLogger::log(message);
        }
        pending_.clear();
    }

private:
    bool loggerReady_ = false;
    std::vector<std::string> pending_;
};

int runCommand(const CommandLine& line, DefaultsStore& defaults) {
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

} // namespace

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
    auto reporter = std::make_shared<DefaultsProblemReporter>();
    JsonFileDefaultsStore defaults(JsonFileDefaultsStore::defaultFile(paths.configDirectory()),
                                   [reporter](const std::string& message) { (*reporter)(message); });

    const SystemClock clock;
    RuntimeLogger::install(
        std::make_shared<RuntimeLogWriter>(std::make_unique<ThreadSerialQueue>(RuntimeLogWriter::queueLabel), clock,
                                           paths.applicationSupportDirectory() / "Brisklet" / "Logs",
                                           RuntimeLogWriter::storedPreferencesProvider(defaults)));
    reporter->loggerStarted();

    const int status = runCommand(line, defaults);

    RuntimeLogger::flush();
    RuntimeLogger::uninstall();
    return status;
}
