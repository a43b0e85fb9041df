#include "Platform/Linux/Desktop/LinuxDesktopIconsAccessor.h"

#include "Platform/Linux/Desktop/CurrentDesktop.h"
#include "Platform/ProcessRunner.h"

#include <algorithm>
#include <cctype>

namespace brisklet {

namespace {

const std::vector<std::string> xfceStyleProperty{"xfconf-query", "-c", "xfce4-desktop", "-p", "/desktop-icons/style"};

std::string trimmed(std::string text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.pop_back();
    }
    return text;
}

bool isNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

/// gsettings prints a string value in GVariant form, 'true::false'.
std::optional<std::string> unquoted(const std::string& printed) {
    if (printed.size() < 2 || printed.front() != '\'' || printed.back() != '\'') {
        return std::nullopt;
    }
    return printed.substr(1, printed.size() - 2);
}

/// Whether a Nemo layout ("primary::others") shows icons anywhere; nothing when it is not one.
std::optional<bool> layoutShowsIcons(const std::string& layout) {
    const std::size_t separator = layout.find("::");
    if (separator == std::string::npos) {
        return std::nullopt;
    }
    const std::string primary = layout.substr(0, separator);
    const std::string others = layout.substr(separator + 2);
    const auto isBoolean = [](const std::string& text) { return text == "true" || text == "false"; };
    if (!isBoolean(primary) || !isBoolean(others)) {
        return std::nullopt;
    }
    return primary == "true" || others == "true";
}

std::vector<std::string> with(std::vector<std::string> arguments, std::initializer_list<std::string> more) {
    arguments.insert(arguments.end(), more);
    return arguments;
}

} // namespace

LinuxDesktopIconsAccessor::LinuxDesktopIconsAccessor(const ProcessRunner& runner, const std::string& currentDesktop)
    : runner_(runner), desktop_(desktopFor(currentDesktop)) {}

LinuxDesktopIconsAccessor::Desktop LinuxDesktopIconsAccessor::desktopFor(const std::string& currentDesktop) {
    if (currentDesktopIncludes(currentDesktop, "XFCE")) {
        return Desktop::xfce;
    }
    if (currentDesktopIncludes(currentDesktop, "MATE")) {
        return Desktop::mate;
    }
    if (currentDesktopIncludes(currentDesktop, "X-Cinnamon") || currentDesktopIncludes(currentDesktop, "Cinnamon")) {
        return Desktop::nemo;
    }
    return Desktop::unsupported;
}

std::optional<std::string> LinuxDesktopIconsAccessor::run(const std::vector<std::string>& arguments) const {
    ProcessOutcome outcome = runner_.run(arguments, {}, toolTimeoutSeconds);
    if (!outcome.succeeded()) {
        return std::nullopt;
    }
    return trimmed(std::move(outcome.standardOutput));
}

std::optional<std::string> LinuxDesktopIconsAccessor::xfceStyle() const {
    // An absent property fails the query; xfdesktop then shows file icons.
    std::optional<std::string> style = run(xfceStyleProperty);
    return style && isNumber(*style) ? style : std::nullopt;
}

std::optional<std::string> LinuxDesktopIconsAccessor::nemoLayout() const {
    const std::optional<std::string> printed = run({"gsettings", "get", "org.nemo.desktop", "desktop-layout"});
    std::optional<std::string> layout = printed ? unquoted(*printed) : std::nullopt;
    return layout && layoutShowsIcons(*layout) ? layout : std::nullopt;
}

std::optional<bool> LinuxDesktopIconsAccessor::createDesktop() const {
    switch (desktop_) {
    case Desktop::xfce: {
        const std::optional<std::string> style = xfceStyle();
        return style ? std::optional<bool>(*style != "0") : std::nullopt;
    }
    case Desktop::mate: {
        const std::optional<std::string> value = run({"gsettings", "get", "org.mate.background", "show-desktop-icons"});
        if (value == "true" || value == "false") {
            return *value == "true";
        }
        return std::nullopt;
    }
    case Desktop::nemo: {
        const std::optional<std::string> layout = nemoLayout();
        return layout ? layoutShowsIcons(*layout) : std::nullopt;
    }
    case Desktop::unsupported:
        break;
    }
    return std::nullopt;
}

bool LinuxDesktopIconsAccessor::setCreateDesktop(bool shown) {
    switch (desktop_) {
    case Desktop::xfce: {
        if (!shown) {
            // Bring back the user's own style later, not simply "file icons".
            if (const std::optional<std::string> style = xfceStyle(); style && *style != "0") {
                xfceStyleToRestore_ = *style;
            }
        }
        // --create because a desktop that never changed the style has no property yet.
        return run(with(xfceStyleProperty, {"--create", "-t", "int", "-s", shown ? xfceStyleToRestore_ : "0"}))
            .has_value();
    }
    case Desktop::mate:
        return run({"gsettings", "set", "org.mate.background", "show-desktop-icons", shown ? "true" : "false"})
            .has_value();
    case Desktop::nemo: {
        if (!shown) {
            // Which monitors had icons is the user's choice; keep it for the way back.
            if (const std::optional<std::string> layout = nemoLayout(); layout && layoutShowsIcons(*layout) == true) {
                nemoLayoutToRestore_ = *layout;
            }
        }
        const std::string layout = shown ? nemoLayoutToRestore_ : "false::false";
        return run({"gsettings", "set", "org.nemo.desktop", "desktop-layout", "'" + layout + "'"}).has_value();
    }
    case Desktop::unsupported:
        break;
    }
    return false;
}

Status<std::string> LinuxDesktopIconsAccessor::restartDesktop() {
    // xfdesktop, Caja and nemo-desktop apply their settings live; nothing needs restarting.
    return succeeded<std::string>();
}

} // namespace brisklet
