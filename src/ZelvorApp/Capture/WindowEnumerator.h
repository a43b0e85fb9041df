#pragma once

#include "Platform/DisplayServer.h"
#include "Platform/WindowServer.h"
#include "ZelvorApp/Capture/CapturedWindowInfo.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

class Clock;
class HttpClient;
class LocalizationStore;

/// Where the debug capture helper of automated runs listens, and whether it may stand in for the
/// window server. Read from BRISKLET_DEBUG_CAPTURE_HELPER_URL and
/// BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION (or its older ZELVOR_ name).
struct DebugCaptureHelperSettings {
    std::optional<std::string> baseURL;
    bool bypassesScreenRecordingPermission = false;

    /// The value of an environment variable, if set.
    using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;
    static DebugCaptureHelperSettings fromEnvironment(const EnvironmentLookup& variable);
};

/// The helper's last window list, shared by every enumerator of the process: the selection
/// overlay asks for the list on every pointer move, and the helper need not answer each one.
class DebugHelperWindowCache {
public:
    static constexpr double maximumAgeSeconds = 0.35;

    /// The remembered list when it was fetched for `excludedPID` less than 0.35 s before `nowSeconds`.
    std::optional<std::vector<CapturedWindowInfo>> freshAnswer(std::optional<std::int32_t> excludedPID,
                                                               double nowSeconds) const;
    void remember(std::optional<std::int32_t> excludedPID, std::vector<CapturedWindowInfo> windows, double nowSeconds);

private:
    struct Answer {
        std::optional<std::int32_t> excludedPID;
        std::vector<CapturedWindowInfo> windows;
        double fetchedAtSeconds = 0;
    };
    mutable std::mutex mutex_;
    std::optional<Answer> answer_;
};

/// What an enumerator needs to ask the debug capture helper for windows.
struct DebugCaptureHelper {
    DebugCaptureHelperSettings settings;
    const HttpClient& http;
    /// Its monotonic time ages the cache.
    const Clock& clock;
    DebugHelperWindowCache& cache;
    /// Whether screen capture works here (on X11: a display could be opened). The helper only
    /// stands in when it does not.
    bool screenCaptureAvailable = true;
};

/// The capturable windows of other applications, front to back, for snapping, for the window
/// picker and for learning which application a capture came from.
class WindowEnumerator {
public:
    /// Picks a window number for windows the server gave none (1 ... 999,999).
    using RandomID = std::function<std::int64_t()>;

    static constexpr double debugHelperTimeoutSeconds = 2.0;

    WindowEnumerator(const WindowListSource& source, const LocalizationStore& localization, RandomID randomID = {});
    /// Asks `helper` first when automated runs configured it.
    WindowEnumerator(const WindowListSource& source, const LocalizationStore& localization, DebugCaptureHelper helper,
                     RandomID randomID = {});

    /// The helper's list when it is in use and answers, else the system's. Every caller goes
    /// through here.
    std::vector<CapturedWindowInfo> windows(std::optional<std::int32_t> excludedPID) const;
    /// Normal windows (layer 0) of other processes than `excludedPID`, visible (alpha above
    /// 0.05), shareable and at least 120 × 120 points, in the server's order.
    std::vector<CapturedWindowInfo> systemWindows(std::optional<std::int32_t> excludedPID) const;
    /// The debug helper's list; nothing when the helper is not in use or fails. Answers younger
    /// than 0.35 s for the same excluded process are reused.
    std::optional<std::vector<CapturedWindowInfo>> debugHelperWindows(std::optional<std::int32_t> excludedPID) const;
    /// The first listed window whose bounds contain `point` (window-server coordinates).
    std::optional<CapturedWindowInfo> frontmostWindow(Point point, std::optional<std::int32_t> excludedPID) const;

    /// "<base>/windows?exclude_pid=N", keeping any query the base address already has.
    static std::string debugHelperWindowsURL(const std::string& baseURL, std::optional<std::int32_t> excludedPID);

    /// The part of `windowBounds` (window-server space) on `screenFrame` (desktop space), flipped
    /// into the desktop space and made integral; empty when they do not overlap.
    static Rect captureRect(const Rect& windowBounds, const Rect& screenFrame);
    /// The only screen, or the one the window overlaps most; nothing without screens.
    static std::optional<DisplayScreen> bestScreen(const Rect& windowBounds, const std::vector<DisplayScreen>& screens);

private:
    bool usesDebugHelper() const;
    std::optional<std::vector<CapturedWindowInfo>>
    fetchDebugHelperWindows(std::optional<std::int32_t> excludedPID) const;
    std::optional<std::vector<CapturedWindowInfo>> decodeDebugHelperWindows(const std::string& body) const;
    CapturedWindowInfo decodeDebugHelperWindow(const Json& entry) const;
    /// The owner name (or "unknown application") and the title (or the owner name).
    void applyNameFallbacks(CapturedWindowInfo& info, const std::optional<std::string>& title,
                            const std::optional<std::string>& ownerName) const;

    const WindowListSource& source_;
    const LocalizationStore& localization_;
    std::optional<DebugCaptureHelper> helper_;
    RandomID randomID_;
};

} // namespace brisklet
