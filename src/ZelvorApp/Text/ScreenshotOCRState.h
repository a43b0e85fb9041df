#pragma once

#include <optional>
#include <string>
#include <variant>

namespace brisklet {

class LocalizationStore;

/// The editor's text-recognition status.
class ScreenshotOCRState {
public:
    enum class Kind { idle, recognizing, ready, empty, failed };

    static ScreenshotOCRState idle() { return ScreenshotOCRState(Kind::idle); }
    static ScreenshotOCRState recognizing() { return ScreenshotOCRState(Kind::recognizing); }
    static ScreenshotOCRState ready() { return ScreenshotOCRState(Kind::ready); }
    static ScreenshotOCRState empty() { return ScreenshotOCRState(Kind::empty); }
    static ScreenshotOCRState failed(std::string message) {
        ScreenshotOCRState state(Kind::failed);
        state.message_ = std::move(message);
        return state;
    }

    Kind kind() const { return kind_; }
    /// The failure message; empty for every other case.
    const std::string& message() const { return message_; }

    /// The status line: nothing while idle or ready, the localised progress or empty text, or
    /// the failure message as it was given.
    std::optional<std::string> statusText(const LocalizationStore& localization) const;

    /// Same case, and for `failed` the same message.
    bool operator==(const ScreenshotOCRState&) const = default;

private:
    explicit ScreenshotOCRState(Kind kind) : kind_(kind) {}
    Kind kind_;
    std::string message_;
};

const char* toString(ScreenshotOCRState::Kind kind);

} // namespace brisklet
