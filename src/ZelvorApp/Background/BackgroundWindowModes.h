#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

#include <array>
#include <string_view>
#include <utility>

namespace brisklet {

/// Whether a screenshot was taken of a region or of one window; windows get rounder corners and
/// a little more room.
enum class BackgroundCaptureContext { region, window };

/// The background panel's one-click looks for a window capture.
enum class WindowPresentationMode { transparent, solid, wallpaper };

/// The panel's three quick looks for a window capture.
enum class BackgroundWindowQuickMode { clean, elevated, showcase };

template <> struct EnumTraits<BackgroundCaptureContext> {
    static constexpr std::array<std::pair<BackgroundCaptureContext, std::string_view>, 2> names{{
        {BackgroundCaptureContext::region, "region"},
        {BackgroundCaptureContext::window, "window"},
    }};
};

template <> struct EnumTraits<WindowPresentationMode> {
    static constexpr std::array<std::pair<WindowPresentationMode, std::string_view>, 3> names{{
        {WindowPresentationMode::transparent, "transparent"},
        {WindowPresentationMode::solid, "solid"},
        {WindowPresentationMode::wallpaper, "wallpaper"},
    }};
};

template <> struct EnumTraits<BackgroundWindowQuickMode> {
    static constexpr std::array<std::pair<BackgroundWindowQuickMode, std::string_view>, 3> names{{
        {BackgroundWindowQuickMode::clean, "clean"},
        {BackgroundWindowQuickMode::elevated, "elevated"},
        {BackgroundWindowQuickMode::showcase, "showcase"},
    }};
};

} // namespace brisklet
