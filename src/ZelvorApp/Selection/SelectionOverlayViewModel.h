#pragma once

#include "ZelvorApp/Selection/SelectionGeometry.h"
#include "ZelvorApp/Selection/SelectionOverlayLayout.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace brisklet {

class MainQueue;

/// The selection overlay's state for one screen: drawing, moving and resizing the rectangle,
/// the corner clicks that take the whole screen, the remembered selection's one-click confirm,
/// the keyboard, and when the action bar shows. The window paints it and forwards its events;
/// points are view points (origin bottom-left, y up). Snapping is not part of it yet.
class SelectionOverlayViewModel {
public:
    struct Options {
        bool autoConfirmOnMouseUp = false;
        bool showsActionButtons = true;
        /// A full-screen shortcut is configured, which also arms the corner clicks.
        bool hasFullScreenHotkey = false;
        /// The shortcut as the log shows it ("⌘A"), or empty.
        std::string fullScreenShortcutText;
        /// The window's backing scale, for the handles' pixel grid.
        double scale = 1;
    };

    struct DragMode {
        enum class Kind { none, creating, moving, resizing };
        Kind kind = Kind::none;
        /// `creating`: the press point; `moving`: the press point's offset from the origin.
        Point anchor;
        SelectionHandle handle = SelectionHandle::topLeft;
    };

    static constexpr double cornerZone = 12;
    static constexpr double clickTolerance = 6;
    static constexpr double insideSlop = 6;

    /// `initialSelection`: the remembered rectangle (already checked), or empty.
    SelectionOverlayViewModel(Options options, Rect bounds, Rect initialSelection, MainQueue& mainQueue);
    ~SelectionOverlayViewModel();

    /// The confirmed rectangle (edges on whole points), delivered on the next turn of the main queue.
    std::function<void(Rect)> onConfirm;
    std::function<void()> onCancel;
    /// Copy the magnifier's colour in this format (the window samples the pixel).
    std::function<void(MagnifierColorFormat)> onCopyColor;
    /// Anything shown changed.
    std::function<void()> onChange;

    void mouseDown(Point point);
    void mouseDragged(Point point);
    void mouseUp(Point point);
    /// `token` is a hotkey token ("RETURN", "ESC", "C", ...); true when the key was used.
    bool keyDown(const std::string& token, bool commandOrControl);
    void shiftChanged(bool pressed);
    /// Selects the whole view and confirms; `source` names the trigger for the log.
    void selectFullScreenAndConfirm(const std::string& source);
    void confirm();

    const Rect& selection() const { return selection_; }
    const DragMode& dragMode() const { return dragMode_; }
    bool awaitsRememberedActivation() const { return pendingRememberedActivation_; }
    bool isActionBarVisible() const;
    /// Where the action bar of `size` goes for the current selection.
    Rect actionBarFrame(Size size) const;
    MagnifierColorFormat colorFormat() const { return colorFormat_; }
    bool isConfirmed() const { return confirmed_; }

private:
    bool inCornerZone(Point point) const;
    static double distance(Point a, Point b);
    void changed();

    Options options_;
    Rect bounds_;
    Rect selection_;
    DragMode dragMode_;
    MainQueue& mainQueue_;
    bool shouldAutoConfirmAfterDrag_ = false;
    bool pendingRememberedActivation_ = false;
    bool pendingRememberedClick_ = false;
    std::optional<Point> rememberedMouseDown_;
    std::optional<Point> cornerMouseDown_;
    bool dragged_ = false;
    bool shiftPressed_ = false;
    bool confirmed_ = false;
    MagnifierColorFormat colorFormat_ = MagnifierColorFormat::hex;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
