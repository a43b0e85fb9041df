#include "Platform/Linux/Desktop/XdgAutostartLoginItem.h"

#include "ZelvorCore/Foundation/AtomicFile.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

/// One Exec argument, quoted. Desktop entries escape twice: the quoting rule puts a backslash
/// before " ` $ and \, then the string rule doubles every backslash; a literal % is %% because
/// Exec has field codes.
std::string quotedExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (const char c : argument) {
        switch (c) {
        case '"':
        case '`':
        case '$':
            quoted += "\\\\";
            quoted += c;
            break;
        case '\\':
            quoted += "\\\\\\\\";
            break;
        case '%':
            quoted += "%%";
            break;
        default:
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string withoutTrailingSpace(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.pop_back();
    }
    return line;
}

} // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(fs::path autostartDirectory, fs::path executable)
    : directory_(std::move(autostartDirectory)), executable_(std::move(executable)) {}

std::optional<std::string> XdgAutostartLoginItem::entryText(const fs::path& executable) {
    const std::string path = executable.string();
    if (path.empty() || path.find_first_of("\n\r") != std::string::npos) {
        return std::nullopt;
    }
    return std::string("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Brisklet\n"
                       "Comment=Screen capture, annotation and visual memory\n"
                       "Exec=") +
           quotedExecArgument(path) +
           "\n"
           "Icon=brisklet\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n" +
           markerKey + "=true\n";
}

bool XdgAutostartLoginItem::carriesMarker(const std::string& text) {
    const std::string marker = std::string(markerKey) + "=true";
    std::istringstream lines(text);
    bool inMainGroup = false;
    for (std::string line; std::getline(lines, line);) {
        line = withoutTrailingSpace(std::move(line));
        if (!line.empty() && line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
        } else if (inMainGroup && line == marker) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> XdgAutostartLoginItem::currentText() const {
    std::ifstream in(entryPath(), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool XdgAutostartLoginItem::isRegistered() const {
    const std::optional<std::string> text = currentText();
    return text && carriesMarker(*text);
}

Status<std::string> XdgAutostartLoginItem::registerMainApp() {
    const std::optional<std::string> entry = entryText(executable_);
    if (!entry) {
        return Status<std::string>::failure("the executable path cannot be written in an autostart entry: " +
                                            executable_.string());
    }
    std::error_code error;
    const bool exists = fs::exists(fs::symlink_status(entryPath(), error));
    const std::optional<std::string> current = currentText();
    if (exists && !(current && carriesMarker(*current))) {
        return Status<std::string>::failure("an autostart entry that Brisklet did not write exists at " +
                                            entryPath().string());
    }
    if (current == entry) {
        return succeeded<std::string>();
    }
    fs::create_directories(directory_, error);
    if (error) {
        return Status<std::string>::failure("cannot create " + directory_.string() + ": " + error.message());
    }
    if (const std::error_code written = writeFileAtomically(entryPath(), *entry)) {
        return Status<std::string>::failure("cannot write " + entryPath().string() + ": " + written.message());
    }
    return succeeded<std::string>();
}

Status<std::string> XdgAutostartLoginItem::unregisterMainApp() {
    if (!isRegistered()) {
        return succeeded<std::string>();
    }
    std::error_code error;
    if (!fs::remove(entryPath(), error) && error) {
        return Status<std::string>::failure("cannot remove " + entryPath().string() + ": " + error.message());
    }
    return succeeded<std::string>();
}

} // namespace brisklet
