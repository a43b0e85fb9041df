#pragma once

#include "ZelvorApp/Updater/AppUpdaterError.h"
#include "ZelvorCore/Foundation/EnumTable.h"

#include <cstdint>
#include <optional>
#include <string>

namespace brisklet {

class LocalizationStore;

/// Where the updater stands.
enum class AppUpdaterPhase {
    notConfigured,
    idle,
    checking,
    updateAvailable,
    downloading,
    awaitingInstall,
    upToDate,
    installed,
    error,
};

template <> struct EnumTraits<AppUpdaterPhase> {
    static constexpr std::array<std::pair<AppUpdaterPhase, std::string_view>, 9> names{{
        {AppUpdaterPhase::notConfigured, "notConfigured"},
        {AppUpdaterPhase::idle, "idle"},
        {AppUpdaterPhase::checking, "checking"},
        {AppUpdaterPhase::updateAvailable, "updateAvailable"},
        {AppUpdaterPhase::downloading, "downloading"},
        {AppUpdaterPhase::awaitingInstall, "awaitingInstall"},
        {AppUpdaterPhase::upToDate, "upToDate"},
        {AppUpdaterPhase::installed, "installed"},
        {AppUpdaterPhase::error, "error"},
    }};
};

/// What the settings card and the update window show; `title` and `detail` are in the current
/// language and follow it (`localizeUpdaterStatus`).
struct AppUpdaterStatus {
    AppUpdaterPhase phase = AppUpdaterPhase::idle;
    std::string title;
    std::string detail;
    std::string currentVersion;
    std::optional<std::string> latestVersion;
    std::optional<std::string> installedVersion;
    std::optional<std::string> releaseNotes;
    /// 0...1 while downloading, when the size is known.
    std::optional<double> progressFraction;
    std::optional<ErrorDescriptor> errorDescriptor;
    std::optional<std::int64_t> downloadedByteCount;
    std::optional<std::int64_t> totalByteCount;

    bool operator==(const AppUpdaterStatus&) const = default;
};

/// Fills `title` and `detail` for the status's phase; `sourceDescription` names the server a
/// check contacts ("GitHub (owner/name)").
void localizeUpdaterStatus(AppUpdaterStatus& status, const LocalizationStore& localization,
                           const std::string& sourceDescription);

} // namespace brisklet
