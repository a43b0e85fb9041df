#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// What both `record` forms (GIF and video) take from the command line: the region, the length,
/// the pointer and clicks, and the output file. Each form adds its own options around it.
struct RecordingArguments {
    /// The lengths a form accepts, in seconds.
    struct DurationRange {
        double minimum;
        double maximum;
    };

    std::optional<Rect> region;
    std::optional<double> duration;
    bool showsCursor = true;
    bool showsClicks = true;
    std::optional<std::filesystem::path> output;
    std::optional<std::string> error;

    /// Takes `args[i]` (and its value, moving `i` on) when it is one of the shared options or the
    /// region; a bad value sets `error`. False when the argument is not one of them.
    bool takeSharedOption(const std::vector<std::string>& args, std::size_t& i, DurationRange durations);
    /// After the last argument: a missing region becomes the error.
    void requireRegion();

    /// A finite decimal number spelled out completely, or nothing.
    static std::optional<double> number(const std::string& text);
};

} // namespace brisklet
