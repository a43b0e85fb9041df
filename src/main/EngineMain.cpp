// brisklet-engine: every command, with every engine linked in. `brisklet` hands it the commands
// it does not run itself.
#include "Platform/Linux/Apertium/ApertiumTranslator.h"
#include "Platform/Linux/Cld2/Cld2LanguageIdentifier.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Tesseract/TesseractTextRecognizer.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "main/ActionCommand.h"
#include "main/AnnotateCommand.h"
#include "main/ApplicationMain.h"
#include "main/BackgroundCommand.h"
#include "main/CaptureCommand.h"
#include "main/CommandLine.h"
#include "main/CommandSession.h"
#include "main/GifCommand.h"
#include "main/LibraryCommand.h"
#include "main/LibraryTextRecognition.h"
#include "main/OcrCommand.h"
#include "main/PrefsCommand.h"
#include "main/RecordCommand.h"
#include "main/StitchCommand.h"
#include "main/SuperCommand.h"
#include "main/TranslateCommand.h"
#include "main/VideoRecordCommand.h"
#include "main/WindowsCommand.h"

#include <iostream>
#include <memory>
#include <vector>

using namespace brisklet;

namespace {

int runCommand(const CommandLine& line, const Paths& paths, DefaultsStore& defaults) {
    const std::string& name = line.command[0];
    const std::vector<std::string> args(line.command.begin() + 1, line.command.end());
    if (name == "action") {
        return runActionCommand(args, line, std::cout, std::cerr);
    }
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
        return runCaptureCommand(args, defaults, paths, std::cout, std::cerr);
    }
    if (name == "windows") {
        return runWindowsCommand(args, std::cout, std::cerr);
    }
    if (name == "gif") {
        return runGifCommandHeadless(args, std::cout, std::cerr);
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
    if (name == "record") {
        if (isVideoRecordRequest(args)) {
            return runVideoRecordCommand(args, defaults, std::cout, std::cerr);
        }
        return runRecordCommand(args, defaults, paths, std::cout, std::cerr);
    }
    if (name == "stitch") {
        const LinuxImageCodec codec;
        return runStitchCommand(args, codec, std::cout, std::cerr);
    }
    if (name == "super") {
        return runSuperCommand(args, paths, defaults, std::cout, std::cerr);
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
    if (const auto status = answerWithoutCommand(line, std::cout, std::cerr)) {
        return *status;
    }
    CommandSession session(line);
    if (line.command.empty()) {
        return runApplication(argc, argv, line, session);
    }
    return runCommand(line, session.paths(), session.defaults());
}
