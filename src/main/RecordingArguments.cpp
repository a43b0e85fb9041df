#include "main/RecordingArguments.h"

#include "main/RegionArgument.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace brisklet {

namespace {

std::string secondsText(double seconds) {
    std::ostringstream text;
    text << seconds;
    return text.str();
}

} // namespace

std::optional<double> RecordingArguments::number(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool RecordingArguments::takeSharedOption(const std::vector<std::string>& args, std::size_t& i,
                                          DurationRange durations) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--no-cursor") {
        showsCursor = false;
    } else if (arg == "--no-clicks") {
        showsClicks = false;
    } else if ((arg == "-o" || arg == "--output") && hasValue) {
        output = args[++i];
    } else if (arg == "--duration" && hasValue) {
        const auto value = number(args[++i]);
        if (!value || *value < durations.minimum || *value > durations.maximum) {
            error = "--duration must be from " + secondsText(durations.minimum) + " to " +
                    secondsText(durations.maximum) + " seconds, not " + args[i];
        } else {
            duration = *value;
        }
    } else if (!region && arg.rfind('-', 0) != 0) {
        region = RegionArgument::parse(arg);
        if (!region) {
            error = arg + " is not a region; give WxH+X+Y with a width and height of at least 2";
        }
    } else {
        return false;
    }
    return true;
}

void RecordingArguments::requireRegion() {
    if (!error && !region) {
        error = "which region? give WxH+X+Y";
    }
}

} // namespace brisklet
