#include "main/WindowsCommand.h"

#include "main/RegionArgument.h"

#include "Platform/Clock.h"
#include "Platform/Linux/Http/CurlHttpClient.h"
#include "Platform/Linux/X11/X11DisplayServer.h"
#include "Platform/Linux/X11/X11WindowList.h"
#include "ZelvorApp/Capture/CaptureGeometry.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <cstdlib>
#include <unistd.h>

namespace brisklet {

namespace {

std::optional<std::string> processEnvironment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

} // namespace

int runWindowsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::string& displayName,
                      const std::function<std::optional<std::string>(const std::string&)>& environment) {
    bool asJson = false;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            asJson = true;
        } else {
            err << "brisklet windows: unknown argument " << arg << "\nUsage: brisklet windows [--json]\n";
            return 2;
        }
    }
    const DebugCaptureHelperSettings::EnvironmentLookup variable =
        environment ? environment : DebugCaptureHelperSettings::EnvironmentLookup(processEnvironment);
    const std::string display = !displayName.empty() ? displayName : variable("DISPLAY").value_or("");
    const X11DisplayServer displays(display);
    const bool connected = !display.empty() && displays.isConnected();
    const X11WindowList list(display, connected ? RegionArgument::primaryRootOrigin(displays.screens()) : Point{});
    const SystemClock clock;
    const CurlHttpClient http;
    DebugHelperWindowCache cache;
    const WindowEnumerator enumerator(
        list, LocalizationStore::shared(),
        DebugCaptureHelper{DebugCaptureHelperSettings::fromEnvironment(variable), http, clock, cache, connected});
    const auto excludedPID = static_cast<std::int32_t>(::getpid());
    std::optional<std::vector<CapturedWindowInfo>> windows = enumerator.debugHelperWindows(excludedPID);
    if (!windows && !connected) {
        err << "brisklet windows: cannot open the X11 display " << (display.empty() ? "(DISPLAY is not set)" : display)
            << "\n";
        return 1;
    }
    if (!windows) {
        windows = enumerator.systemWindows(excludedPID);
    }
    if (asJson) {
        Json array = Json::array();
        for (const CapturedWindowInfo& window : *windows) {
            array.push_back(write(window));
        }
        out << array.dump(2) << "\n";
        return 0;
    }
    for (const CapturedWindowInfo& window : *windows) {
        out << window.id << "\t" << toString(window.bounds) << "\t" << window.ownerName << "\t"
            << (window.ownerPID ? std::to_string(*window.ownerPID) : "-") << "\t" << window.title << "\n";
    }
    return 0;
}

} // namespace brisklet
