#pragma once

#include "ZelvorApp/Editor/EditorModes.h"

#include <optional>
#include <string_view>

namespace brisklet {

class Clock;

/// Keeps the input that opened the editor, or a key pressed in the middle of a drag, from
/// closing it by accident. Asked before every closing action that comes from user input.
class ClosingActionGuard {
public:
    static constexpr double initialSuppressionSeconds = 0.35;

    explicit ClosingActionGuard(const Clock& clock) : clock_(clock) {}

    /// The editor window is on screen; the suppression interval starts now.
    void markAppeared();

    /// Refuses every action during the first 0.35 s after the editor appeared (and before it has
    /// appeared at all), and keyboard or hotkey actions ("keyDown", "hotkey") while a mouse
    /// gesture is in progress. Each refusal is logged.
    bool allowsClosingActionFromUserInput(std::string_view source, EditorPhase phase, bool activeMouseGesture) const;

private:
    const Clock& clock_;
    std::optional<double> appearedAt_;
};

} // namespace brisklet
