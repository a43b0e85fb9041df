#include "Platform/Clock.h"
#include "Platform/Linux/Apertium/ApertiumTranslator.h"
#include "Platform/Linux/Cld2/Cld2LanguageIdentifier.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Gif/GiflibGIFEncoder.h"
#include "Platform/Linux/System/JsonFileDefaultsStore.h"
#include "Platform/Linux/System/XdgPaths.h"
#include "Platform/Linux/Tesseract/TesseractTextRecognizer.h"
#include "Platform/ThreadSerialQueue.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "main/AnnotateCommand.h"
#include "main/BackgroundCommand.h"
#include "main/CaptureCommand.h"
#include "main/CommandLine.h"
#include "main/GifCommand.h"
#include "main/LibraryCommand.h"
#include "main/LibraryTextRecognition.h"
#include "main/OcrCommand.h"
#include "main/PrefsCommand.h"
#include "main/StitchCommand.h"
#include "main/TranslateCommand.h"

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

int runCommand(const CommandLine& line, const Paths& paths, DefaultsStore& defaults) {
    if (line.command.empty()) {
        std::cout << usageText();
        return 0;
    }
    const std::string& name = line.command[0];
    const std::vector<std::string> args(line.command.begin() + 1, line.command.end());
    if (name == "prefs") {
        return runPrefsCommand(args, defaults, std::cout, std::cerr);
    }
    if (name == "annotate") {
        return runAnnotateCommandHeadless(args, std::cout, std::cerr);
    }
    if (name == "background") {
        return runBackgroundCommandHeadless(args, std::cout, std::cerr);
    }
    if (name == "capture") {
        const LinuxImageCodec codec;
        return runCaptureCommand(args, defaults, paths, codec, std::cout, std::cerr);
    }
    if (name == "windows") {
        return runWindowsCommand(args, std::cout, std::cerr);
    }
    if (name == "gif") {
        const LinuxImageCodec codec;
        GiflibGIFEncoder encoder;
        const SystemClock clock;
        return runGifCommand(args, codec, encoder, clock, std::cout, std::cerr);
    }
    if (name == "library") {
        TesseractTextRecognizer recognizer;
        Cld2LanguageIdentifier languages;
        LibraryTextRecognition textRecognition(recognizer, languages);
        return runLibraryCommand(args, paths, defaults, std::cin, std::cout, std::cerr, &textRecognition);
    }
    if (name == "ocr") {
        const LinuxImageCodec codec;
        TesseractTextRecognizer recognizer;
        Cld2LanguageIdentifier languages;
        return runOcrCommand(args, codec, recognizer, languages, std::cin, std::cout, std::cerr);
    }
    if (name == "stitch") {
        const LinuxImageCodec codec;
        return runStitchCommand(args, codec, std::cout, std::cerr);
    }
    if (name == "translate") {
        Cld2LanguageIdentifier languages;
        ApertiumTranslator translator(languages, ApertiumTranslator::Options{});
        return runTranslateCommand(args, translator, LocalizationStore::shared(), std::cin, std::cout, std::cerr);
    }
    std::cerr << "brisklet: unknown command '" << name << "'\nTry 'brisklet --help'.\n";
    return 2;
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
    LocalizationStore::shared().apply(PreferencesStore(defaults).load().appLanguage);

    const int status = runCommand(line, paths, defaults);

    RuntimeLogger::flush();
    RuntimeLogger::uninstall();
    return status;
}
