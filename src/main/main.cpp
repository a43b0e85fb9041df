// brisklet: the command users type. It runs the commands that must start in an instant itself
// (capture, prefs, an action for the running instance) and hands every other one to brisklet-engine.
#include "Platform/Linux/DBus/LightAppCommandClient.h"
#include "main/CaptureCommand.h"
#include "main/CommandLine.h"
#include "main/CommandSession.h"
#include "main/EngineLauncher.h"
#include "main/PrefsCommand.h"

#include <iostream>
#include <optional>
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

/// `brisklet action NAME` is what desktop shortcuts run, so when an instance takes the action it
/// is answered here, without loading the engine. Everything else about the command (no instance
/// to start, an unknown name, --list, any error) stays the engine's to say.
std::optional<int> runActionHere(const CommandLine& line) {
    if (line.command.size() != 2 || line.command[0] != "action" || line.command[1].starts_with('-')) {
        return std::nullopt;
    }
    switch (LightAppCommandClient::runAction(line.command[1])) {
    case LightAppCommandClient::Outcome::ran:
        return 0;
    case LightAppCommandClient::Outcome::unanswered:
        // The instance holds the call and may still run it: the engine would send it a second time.
        std::cerr << "brisklet action: the running Brisklet did not answer\n";
        return 1;
    case LightAppCommandClient::Outcome::notRun:
        break;
    }
    return std::nullopt;
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
    if (const auto status = runActionHere(line)) {
        return *status;
    }
    return EngineLauncher::exec(argv);
}
