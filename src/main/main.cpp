// brisklet: the command users type. It runs the commands that must start in an instant itself and
// hands every other one to brisklet-engine.
#include "main/CaptureCommand.h"
#include "main/CommandLine.h"
#include "main/CommandSession.h"
#include "main/EngineLauncher.h"
#include "main/PrefsCommand.h"

#include <iostream>
#include <string>
#include <vector>

using namespace brisklet;

namespace {

bool runsHere(const std::string& command) {
    return command == "capture" || command == "prefs";
}

int runHere(const CommandLine& line) {
    CommandSession session(line);
    const std::string& name = line.command[0];
    const std::vector<std::string> args(line.command.begin() + 1, line.command.end());
    if (name == "capture") {
        return runCaptureCommand(args, session.defaults(), session.paths(), std::cout, std::cerr);
    }
    return runPrefsCommand(args, session.defaults(), std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine line = parseCommandLine(argc, argv);
    if (const auto status = answerWithoutCommand(line, std::cout, std::cerr)) {
        return *status;
    }
    // Without a command the tray application starts; it lives in the engine with the rest.
    if (!line.command.empty() && runsHere(line.command[0])) {
        return runHere(line);
    }
    return EngineLauncher::exec(argv);
}
