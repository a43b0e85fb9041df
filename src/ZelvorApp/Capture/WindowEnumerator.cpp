#include "ZelvorApp/Capture/WindowEnumerator.h"

#include "Platform/Clock.h"
#include "Platform/HttpClient.h"
#include "ZelvorApp/Capture/CaptureGeometry.h"
#include "ZelvorApp/Infrastructure/DebugSwitches.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <random>

namespace brisklet {

namespace {

constexpr double minimumAlpha = 0.05;
constexpr double minimumSide = 120;

std::int64_t randomWindowID() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<std::int64_t>(1, 999'999)(generator);
}

bool isListed(const WindowServerWindow& window, std::optional<std::int32_t> excludedPID) {
    if (excludedPID && window.ownerPID == excludedPID) {
        return false;
    }
    return window.layer == 0 && window.alpha > minimumAlpha && window.isShareable && window.bounds &&
           window.bounds->width() >= minimumSide && window.bounds->height() >= minimumSide;
}

/// A string field, or nothing when it is missing or not a string.
std::optional<std::string> stringField(const Json& object, const char* key) {
    const auto value = object.find(key);
    if (value == object.end() || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

/// A number field, or nothing when it is missing or not a finite number.
std::optional<double> numberField(const Json& object, const char* key) {
    const auto value = object.find(key);
    if (value == object.end() || !value->is_number()) {
        return std::nullopt;
    }
    const double number = value->get<double>();
    return std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

/// A whole-number field (5 or 5.0), or nothing.
std::optional<std::int64_t> integerField(const Json& object, const char* key) {
    const auto value = object.find(key);
    if (value == object.end()) {
        return std::nullopt;
    }
    if (value->is_number_integer()) {
        return value->get<std::int64_t>();
    }
    const std::optional<double> number = numberField(object, key);
    if (!number || *number != std::trunc(*number) || std::fabs(*number) > 9.0e15) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*number);
}

} // namespace

DebugCaptureHelperSettings DebugCaptureHelperSettings::fromEnvironment(const EnvironmentLookup& variable) {
    DebugCaptureHelperSettings settings;
    settings.baseURL = variable("BRISKLET_DEBUG_CAPTURE_HELPER_URL");
    if (settings.baseURL && settings.baseURL->empty()) {
        settings.baseURL.reset();
    }
    settings.bypassesScreenRecordingPermission = debugBypassScreenRecordingPermission(variable);
    return settings;
}

std::optional<std::vector<CapturedWindowInfo>>
DebugHelperWindowCache::freshAnswer(std::optional<std::int32_t> excludedPID, double nowSeconds) const {
    const std::lock_guard lock(mutex_);
    if (!answer_ || answer_->excludedPID != excludedPID ||
        nowSeconds - answer_->fetchedAtSeconds >= maximumAgeSeconds) {
        return std::nullopt;
    }
    return answer_->windows;
}

void DebugHelperWindowCache::remember(std::optional<std::int32_t> excludedPID, std::vector<CapturedWindowInfo> windows,
                                      double nowSeconds) {
    const std::lock_guard lock(mutex_);
    answer_ = Answer{excludedPID, std::move(windows), nowSeconds};
}

WindowEnumerator::WindowEnumerator(const WindowListSource& source, const LocalizationStore& localization,
                                   RandomID randomID)
    : source_(source), localization_(localization), randomID_(randomID ? std::move(randomID) : randomWindowID) {}

WindowEnumerator::WindowEnumerator(const WindowListSource& source, const LocalizationStore& localization,
                                   DebugCaptureHelper helper, RandomID randomID)
    : source_(source), localization_(localization), helper_(std::move(helper)),
      randomID_(randomID ? std::move(randomID) : randomWindowID) {}

std::vector<CapturedWindowInfo> WindowEnumerator::windows(std::optional<std::int32_t> excludedPID) const {
    if (auto helperWindows = debugHelperWindows(excludedPID)) {
        return std::move(*helperWindows);
    }
    return systemWindows(excludedPID);
}

std::vector<CapturedWindowInfo> WindowEnumerator::systemWindows(std::optional<std::int32_t> excludedPID) const {
    std::vector<CapturedWindowInfo> windows;
    for (const WindowServerWindow& window : source_.onScreenWindows()) {
        if (!isListed(window, excludedPID)) {
            continue;
        }
        CapturedWindowInfo info;
        info.id = window.number != 0 ? window.number : randomID_();
        applyNameFallbacks(info, window.name, window.ownerName);
        info.ownerPID = window.ownerPID;
        info.bounds = *window.bounds;
        windows.push_back(std::move(info));
    }
    return windows;
}

std::optional<std::vector<CapturedWindowInfo>>
WindowEnumerator::debugHelperWindows(std::optional<std::int32_t> excludedPID) const {
    if (!usesDebugHelper()) {
        return std::nullopt;
    }
    const double now = helper_->clock.monotonicSeconds();
    if (auto cached = helper_->cache.freshAnswer(excludedPID, now)) {
        return cached;
    }
    auto fetched = fetchDebugHelperWindows(excludedPID);
    if (fetched) {
        helper_->cache.remember(excludedPID, *fetched, now);
    }
    return fetched;
}

std::optional<CapturedWindowInfo> WindowEnumerator::frontmostWindow(Point point,
                                                                    std::optional<std::int32_t> excludedPID) const {
    for (CapturedWindowInfo& window : windows(excludedPID)) {
        if (window.bounds.contains(point)) {
            return std::move(window);
        }
    }
    return std::nullopt;
}

std::string WindowEnumerator::debugHelperWindowsURL(const std::string& baseURL,
                                                    std::optional<std::int32_t> excludedPID) {
    // A fragment means nothing to the helper; a query the base already has is kept.
    const std::string address = baseURL.substr(0, baseURL.find('#'));
    const std::size_t queryStart = address.find('?');
    std::string path = address.substr(0, queryStart);
    std::string query = queryStart == std::string::npos ? "" : address.substr(queryStart + 1);
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    path += "/windows";
    if (excludedPID) {
        query += (query.empty() ? "" : "&") + std::string("exclude_pid=") + std::to_string(*excludedPID);
    }
    return query.empty() ? path : path + "?" + query;
}

Rect WindowEnumerator::captureRect(const Rect& windowBounds, const Rect& screenFrame) {
    const Rect overlap = windowBounds.intersection(screenFrame);
    if (overlap.isEmpty()) {
        return Rect{};
    }
    return CaptureGeometry::integral(
        Rect{{overlap.minX(), screenFrame.minY() + screenFrame.maxY() - overlap.maxY()}, overlap.size});
}

std::optional<DisplayScreen> WindowEnumerator::bestScreen(const Rect& windowBounds,
                                                          const std::vector<DisplayScreen>& screens) {
    if (screens.size() <= 1) {
        return screens.empty() ? std::nullopt : std::optional<DisplayScreen>(screens.front());
    }
    const DisplayScreen* best = nullptr;
    double bestArea = -1;
    for (const DisplayScreen& screen : screens) {
        const Rect overlap = captureRect(windowBounds, screen.frame);
        const double area = overlap.isEmpty() ? 0 : overlap.width() * overlap.height();
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    return *best;
}

bool WindowEnumerator::usesDebugHelper() const {
    return helper_ && !helper_->screenCaptureAvailable && helper_->settings.bypassesScreenRecordingPermission &&
           helper_->settings.baseURL;
}

std::optional<std::vector<CapturedWindowInfo>>
WindowEnumerator::fetchDebugHelperWindows(std::optional<std::int32_t> excludedPID) const {
    const std::string url = debugHelperWindowsURL(*helper_->settings.baseURL, excludedPID);
    auto response = helper_->http.get(url, debugHelperTimeoutSeconds);
    if (!response) {
        RuntimeLogger::log("debugHelperWindows request failed error=" + response.error().description + " url=" + url);
        return std::nullopt;
    }
    if (response.value().status < 200 || response.value().status > 299) {
        RuntimeLogger::log("debugHelperWindows request failed status=" + std::to_string(response.value().status) +
                           " url=" + url);
        return std::nullopt;
    }
    auto windows = decodeDebugHelperWindows(response.value().body);
    if (!windows) {
        RuntimeLogger::log("debugHelperWindows decode failed url=" + url);
    }
    return windows;
}

std::optional<std::vector<CapturedWindowInfo>>
WindowEnumerator::decodeDebugHelperWindows(const std::string& body) const {
    Json list;
    try {
        list = json::parse(body);
    } catch (const json::DecodeError&) {
        return std::nullopt;
    }
    if (!list.is_array()) {
        return std::nullopt;
    }
    std::vector<CapturedWindowInfo> windows;
    for (const Json& entry : list) {
        if (!entry.is_object()) {
            return std::nullopt;
        }
        windows.push_back(decodeDebugHelperWindow(entry));
    }
    return windows;
}

CapturedWindowInfo WindowEnumerator::decodeDebugHelperWindow(const Json& entry) const {
    CapturedWindowInfo info;
    info.id = integerField(entry, "id").value_or(0);
    if (info.id == 0) {
        info.id = randomID_();
    }
    applyNameFallbacks(info, stringField(entry, "title"), stringField(entry, "ownerName"));
    const auto bounds = entry.find("bounds");
    if (bounds != entry.end() && bounds->is_object()) {
        info.bounds = Rect{{numberField(*bounds, "x").value_or(0), numberField(*bounds, "y").value_or(0)},
                           {numberField(*bounds, "width").value_or(0), numberField(*bounds, "height").value_or(0)}};
    }
    return info;
}

void WindowEnumerator::applyNameFallbacks(CapturedWindowInfo& info, const std::optional<std::string>& title,
                                          const std::optional<std::string>& ownerName) const {
    info.ownerName =
        ownerName && !ownerName->empty() ? *ownerName : localization_.text(L10nKey::windowPickerUnknownApp);
    info.title = title && !title->empty() ? *title : info.ownerName;
}

} // namespace brisklet
