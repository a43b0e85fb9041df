#include "Platform/Linux/Desktop/LinuxDesktopPictureSource.h"

#include "ZelvorCore/Foundation/FileUrl.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string> desktopNames(std::string_view list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        std::string name(list.substr(start, end - start));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
        start = end + 1;
    }
    return names;
}

std::optional<fs::path> existingFile(const fs::path& file) {
    std::error_code error;
    if (file.is_absolute() && fs::is_regular_file(file, error)) {
        return file;
    }
    return std::nullopt;
}

std::optional<fs::path> pictureFromURI(const std::optional<std::string>& uri) {
    if (!uri || uri->empty()) {
        return std::nullopt;
    }
    const auto path = pathFromFileURL(*uri);
    return path ? existingFile(*path) : std::nullopt;
}

/// Of Xfce's per-monitor, per-workspace pictures, the first workspace of the first monitor in
/// name order stands for "the main screen".
std::optional<std::string> chooseXfceProperty(const std::string& listing) {
    std::vector<std::string> candidates;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        const std::string property(trimmed(line));
        const bool lastImage = property.size() >= 11 && property.compare(property.size() - 11, 11, "/last-image") == 0;
        const bool imagePath = property.size() >= 11 && property.compare(property.size() - 11, 11, "/image-path") == 0;
        if (property.rfind("/backdrop/", 0) == 0 && (lastImage || imagePath)) {
            candidates.push_back(property);
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const std::string& a, const std::string& b) {
        const bool firstA = a.find("/workspace0/") != std::string::npos;
        const bool firstB = b.find("/workspace0/") != std::string::npos;
        return firstA != firstB ? firstA : a < b;
    });
    if (candidates.empty()) {
        return std::nullopt;
    }
    return candidates.front();
}

} // namespace

LinuxDesktopPictureSource::LinuxDesktopPictureSource(DesktopCommandRunner runner, std::string currentDesktop)
    : runner_(std::move(runner)), currentDesktop_(std::move(currentDesktop)) {}

DesktopCommandRunner LinuxDesktopPictureSource::defaultRunner() {
    return [](const std::vector<std::string>& arguments) { return runDesktopCommand(arguments); };
}

std::string LinuxDesktopPictureSource::currentDesktopFromEnvironment() {
    const char* value = std::getenv("XDG_CURRENT_DESKTOP");
    return value != nullptr ? value : "";
}

std::optional<std::string> LinuxDesktopPictureSource::parseGVariantString(std::string_view printed) {
    const std::string_view text = trimmed(printed);
    if (text.size() < 2 || (text.front() != '\'' && text.front() != '"') || text.back() != text.front()) {
        return std::nullopt;
    }
    std::string value;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 2 < text.size()) {
            c = text[++i];
            c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
        value.push_back(c);
    }
    return value;
}

LinuxDesktopPictureSource::Family LinuxDesktopPictureSource::family() const {
    for (const auto& name : desktopNames(currentDesktop_)) {
        if (name == "XFCE") {
            return Family::xfce;
        }
        if (name == "X-CINNAMON" || name == "CINNAMON") {
            return Family::cinnamon;
        }
        if (name == "MATE") {
            return Family::mate;
        }
        if (name == "GNOME" || name == "UBUNTU" || name == "UNITY" || name == "BUDGIE" || name == "PANTHEON" ||
            name == "GNOME-CLASSIC" || name == "GNOME-FLASHBACK") {
            return Family::gnome;
        }
    }
    return Family::unknown;
}

std::optional<std::string> LinuxDesktopPictureSource::gsetting(const char* schema, const char* key) const {
    const auto printed = runner_({"gsettings", "get", schema, key});
    return printed ? parseGVariantString(*printed) : std::nullopt;
}

std::optional<fs::path> LinuxDesktopPictureSource::gnomePicture(const char* schema) const {
    if (gsetting(schema, "picture-options") == "none") {
        return std::nullopt; // a plain colour, no picture
    }
    // GNOME keeps a second picture for the dark style and shows it when dark is preferred.
    if (std::string(schema) == "org.gnome.desktop.background" &&
        gsetting("org.gnome.desktop.interface", "color-scheme") == "prefer-dark") {
        if (auto dark = pictureFromURI(gsetting(schema, "picture-uri-dark"))) {
            return dark;
        }
    }
    return pictureFromURI(gsetting(schema, "picture-uri"));
}

std::optional<fs::path> LinuxDesktopPictureSource::matePicture() const {
    const auto file = gsetting("org.mate.background", "picture-filename");
    return file && !file->empty() ? existingFile(*file) : std::nullopt;
}

std::optional<fs::path> LinuxDesktopPictureSource::xfcePicture() const {
    const auto listing = runner_({"xfconf-query", "-c", "xfce4-desktop", "-l"});
    const auto property = listing ? chooseXfceProperty(*listing) : std::nullopt;
    if (!property) {
        return std::nullopt;
    }
    const auto value = runner_({"xfconf-query", "-c", "xfce4-desktop", "-p", *property});
    if (!value) {
        return std::nullopt;
    }
    return existingFile(fs::path(std::string(trimmed(*value))));
}

std::optional<fs::path> LinuxDesktopPictureSource::currentDesktopPicture() const {
    switch (family()) {
    case Family::gnome:
        return gnomePicture("org.gnome.desktop.background");
    case Family::cinnamon:
        return gnomePicture("org.cinnamon.desktop.background");
    case Family::mate:
        return matePicture();
    case Family::xfce:
        return xfcePicture();
    case Family::unknown:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace brisklet
