#include "Platform/Linux/Accessibility/AtSpiBrowserMetadataProvider.h"

#include "Platform/Linux/Accessibility/AtSpiBusTree.h"
#include "ZelvorApp/SuperScreenshot/SupportedBrowsers.h"

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace brisklet {

namespace {

/// The browsers' executables (or process names), with the window class each one's windows have.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> browserExecutables{{
    {"chromium", "chromium"},
    {"chrome", "google-chrome"},
    {"msedge", "microsoft-edge"},
    {"brave", "brave-browser"},
    {"vivaldi-bin", "vivaldi-stable"},
    {"firefox", "firefox"},
    {"firefox-bin", "firefox"},
    {"firefox-esr", "firefox-esr"},
    {"firefox-esr-bin", "firefox-esr"},
}};

bool isBrowserExecutable(std::string_view name) {
    for (const auto& [executable, windowClass] : browserExecutables) {
        if (name == executable) {
            return SupportedBrowsers::contains(windowClass);
        }
    }
    return false;
}

/// The file name of the process's executable ("chrome" for /opt/google/chrome/chrome).
std::string executableName(std::int32_t process) {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/" + std::to_string(process) + "/exe", error);
    return error ? std::string() : path.filename().string();
}

/// The kernel's name of the process (at most 15 characters), readable even where the
/// executable's link is not.
std::string processName(std::int32_t process) {
    std::ifstream file("/proc/" + std::to_string(process) + "/comm");
    std::string name;
    std::getline(file, name);
    return name;
}

} // namespace

AtSpiBrowserMetadataProvider::AtSpiBrowserMetadataProvider(const Clock& clock, BrowserPageFinder::Options options)
    : clock_(clock), options_(options) {}

bool AtSpiBrowserMetadataProvider::isBrowser(const RunningApplication& application) {
    if (SupportedBrowsers::contains(application.bundleIdentifier)) {
        return true;
    }
    if (application.processIdentifier < 1) {
        return false;
    }
    return isBrowserExecutable(executableName(application.processIdentifier)) ||
           isBrowserExecutable(processName(application.processIdentifier));
}

std::optional<BrowserCaptureMetadata> AtSpiBrowserMetadataProvider::metadata(const RunningApplication& application) {
    const std::lock_guard lock(bus_.mutex());
    if (!isBrowser(application)) {
        return std::nullopt;
    }
    const double deadline = clock_.monotonicSeconds() + options_.seconds;
    if (application.processIdentifier < 1 || !bus_.connect(clock_, deadline)) {
        return BrowserCaptureMetadata::unavailable();
    }
    AtSpiBusTree tree{bus_.connection()};
    BrowserPageFinder::Options remaining = options_;
    remaining.seconds = deadline - clock_.monotonicSeconds();
    return BrowserPageFinder(tree, clock_, static_cast<std::int64_t>(::getpid()), remaining)
        .find(application.processIdentifier);
}

} // namespace brisklet
