#include "main/ActionCommand.h"

#include "Platform/Linux/DBus/AppCommandClient.h"
#include "ZelvorApp/Control/AppActionDispatcher.h"
#include "main/CommandLine.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace brisklet {

namespace {

constexpr double instanceStartTimeoutSeconds = 15.0;

std::string namesList() {
    std::string text;
    for (const std::string& name : AppActionDispatcher::actionNames()) {
        text += "  " + name + "\n";
    }
    return text;
}

/// Starts the application detached from us (its own session, no terminal, not our child once
/// the intermediate process exits), so it outlives this command.
bool startInstance(const CommandLine& line) {
    std::error_code error;
    const std::string executable = std::filesystem::canonical("/proc/self/exe", error).string();
    if (error) {
        return false;
    }
    const std::vector<std::string> arguments = applicationStartArguments(executable, line);
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        ::setsid();
        if (::fork() != 0) {
            ::_exit(0);
        }
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return true;
}

} // namespace

std::vector<std::string> applicationStartArguments(const std::string& executable, const CommandLine& line) {
    std::vector<std::string> arguments{executable};
    if (line.configDirectory) {
        arguments.insert(arguments.end(), {"--config-dir", line.configDirectory->string()});
    }
    if (line.dataDirectory) {
        arguments.insert(arguments.end(), {"--data-dir", line.dataDirectory->string()});
    }
    return arguments;
}

int runActionCommand(const std::vector<std::string>& args, const CommandLine& line, std::ostream& out,
                     std::ostream& err) {
    if (args.size() == 1 && args[0] == "--list") {
        out << namesList();
        return 0;
    }
    const auto names = AppActionDispatcher::actionNames();
    if (args.size() != 1 || std::find(names.begin(), names.end(), args[0]) == names.end()) {
        err << (args.empty() ? std::string("brisklet action: an action name is needed")
                             : "brisklet action: unknown action '" + args[0] + "'")
            << "\nUsage: brisklet action NAME, where NAME is one of:\n"
            << namesList();
        return 2;
    }
    int argc = 1;
    char name[] = "brisklet";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    if (!AppCommandClient::hasSessionBus()) {
        err << "brisklet action: no session bus (DBUS_SESSION_BUS_ADDRESS); run it inside your desktop session\n";
        return 1;
    }
    if (!AppCommandClient::isInstanceRunning()) {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            err << "brisklet action: Brisklet is not running and there is no X11 display to start it on "
                   "(DISPLAY is not set)\n";
            return 1;
        }
        if (!startInstance(line) || !AppCommandClient::waitForInstance(instanceStartTimeoutSeconds)) {
            err << "brisklet action: Brisklet did not start; see ~/.local/share/Brisklet/Logs/latest.log\n";
            return 1;
        }
    }
    switch (AppCommandClient::sendAction(args[0])) {
    case AppCommandClient::Delivery::delivered:
        return 0;
    case AppCommandClient::Delivery::unknownAction:
        err << "brisklet action: the running Brisklet does not know '" << args[0] << "' (is it an older version?)\n";
        return 2;
    case AppCommandClient::Delivery::noInstance:
        err << "brisklet action: Brisklet ended before it received the action\n";
        return 1;
    case AppCommandClient::Delivery::noSessionBus:
    case AppCommandClient::Delivery::failed:
        break;
    }
    err << "brisklet action: the running Brisklet did not answer\n";
    return 1;
}

} // namespace brisklet
