#pragma once

namespace brisklet {

class AppWindowPort;

/// The settings and library windows taken off the screen for a capture, to be shown again once
/// it is over.
class HiddenAppWindows {
public:
    HiddenAppWindows(AppWindowPort* settings, AppWindowPort* library) : settings_(settings), library_(library) {}

    /// Hides whichever of the two is visible; returns whether anything was hidden.
    bool hideVisible();
    /// Shows again what `hideVisible` hid, once.
    void restore();
    /// Forgets what was hidden without showing it (the window was closed meanwhile).
    void forget();

private:
    AppWindowPort* settings_;
    AppWindowPort* library_;
    bool settingsWasVisible_ = false;
    bool libraryWasVisible_ = false;
};

} // namespace brisklet
