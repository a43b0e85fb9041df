#include "main/CommandSession.h"

#include "Platform/ThreadSerialQueue.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "main/CommandLine.h"

#include <iostream>
#include <string>
#include <vector>

namespace brisklet {

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

CommandSession::CommandSession(const CommandLine& line)
    : paths_({line.configDirectory, line.dataDirectory}), reporter_(std::make_shared<DefaultsProblemReporter>()),
      defaults_(JsonFileDefaultsStore::defaultFile(paths_.configDirectory()),
                [reporter = reporter_](const std::string& message) { (*reporter)(message); }) {
    RuntimeLogger::install(
        std::make_shared<RuntimeLogWriter>(std::make_unique<ThreadSerialQueue>(RuntimeLogWriter::queueLabel), clock_,
                                           paths_.applicationSupportDirectory() / "Brisklet" / "Logs",
                                           RuntimeLogWriter::storedPreferencesProvider(defaults_)));
    reporter_->loggerStarted();
    LocalizationStore::shared().apply(line.language.value_or(PreferencesStore(defaults_).load().appLanguage));
}

CommandSession::~CommandSession() {
    RuntimeLogger::flush();
    RuntimeLogger::uninstall();
}

} // namespace brisklet
