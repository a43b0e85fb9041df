#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// The application's published top-level state; its raw value is what log lines print.
enum class AppViewState {
    idle,
    permissionRequired,
    selectingScreenshotRegion,
    capturingSuperScreenshot,
    takingScreenshot,
    editingScreenshot,
    exportingScreenshot,
    selectingLongshotWindow,
    previewingLongshot,
    capturingLongshot,
    pausedLongshot,
    finalizingLongshot,
    selectingGifRegion,
    selectingGifWindow,
    recordingGif,
    pausedGif,
    finalizingGif,
    exportSuccess,
    exportFailure,
};

template <> struct EnumTraits<AppViewState> {
    static constexpr std::array<std::pair<AppViewState, std::string_view>, 19> names{{
        {AppViewState::idle, "idle"},
        {AppViewState::permissionRequired, "permissionRequired"},
        {AppViewState::selectingScreenshotRegion, "selectingScreenshotRegion"},
        {AppViewState::capturingSuperScreenshot, "capturingSuperScreenshot"},
        {AppViewState::takingScreenshot, "takingScreenshot"},
        {AppViewState::editingScreenshot, "editingScreenshot"},
        {AppViewState::exportingScreenshot, "exportingScreenshot"},
        {AppViewState::selectingLongshotWindow, "selectingLongshotWindow"},
        {AppViewState::previewingLongshot, "previewingLongshot"},
        {AppViewState::capturingLongshot, "capturingLongshot"},
        {AppViewState::pausedLongshot, "pausedLongshot"},
        {AppViewState::finalizingLongshot, "finalizingLongshot"},
        {AppViewState::selectingGifRegion, "selectingGifRegion"},
        {AppViewState::selectingGifWindow, "selectingGifWindow"},
        {AppViewState::recordingGif, "recordingGif"},
        {AppViewState::pausedGif, "pausedGif"},
        {AppViewState::finalizingGif, "finalizingGif"},
        {AppViewState::exportSuccess, "exportSuccess"},
        {AppViewState::exportFailure, "exportFailure"},
    }};
};

/// No selection, capture or export is under way (idle, or showing how the last one ended).
constexpr bool isBetweenCaptures(AppViewState state) {
    return state == AppViewState::idle || state == AppViewState::permissionRequired ||
           state == AppViewState::exportSuccess || state == AppViewState::exportFailure;
}

} // namespace brisklet
