#pragma once

#include "ZelvorApp/Selection/SelectionGeometry.h"
#include "ZelvorApp/Selection/SelectionOverlayLayout.h"
#include "ZelvorApp/Selection/SelectionSnapCandidate.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

class MainQueue;

/// The selection overlay's state for one screen: drawing, moving and resizing the rectangle,
/// the corner clicks that take the whole screen, the remembered selection's one-click confirm,
/// the keyboard, and when the action bar shows. The window paints it and forwards its events;
/// points are view points (origin bottom-left, y up). With smart snap on, a click (no drag) on a
/// window or a detected rectangle selects it; the candidates arrive later from detections the
/// window runs, and detections that finish after a newer one started are dropped.
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
        bool smartSnapEnabled = false;
    };

    /// The snap target pressed on, while the press may still become a drag.
    struct SnapSession {
        std::optional<SelectionSnapCandidate> pendingCandidate;
        std::optional<Point> mouseDownPoint;
    };

    struct DragMode {
        enum class Kind { none, creating, moving, resizing };
        Kind kind = Kind::none;
        /// `creating`: the press point; `moving`: the press point's offset from the origin.
        Point anchor;
        SelectionHandle handle = SelectionHandle::topLeft;
    };

    static constexpr double cornerZone = 12;
    /// The top corners reach further down: panels and docks along the top edge make them hard
    /// to hit exactly.
    static constexpr double topCornerHeight = 32;
    static constexpr double clickTolerance = 6;
    static constexpr double insideSlop = 6;

    /// `initialSelection`: the remembered rectangle (already checked), or empty.
    SelectionOverlayViewModel(Options options, Rect bounds, Rect initialSelection, MainQueue& mainQueue);
    ~SelectionOverlayViewModel();

    /// The confirmed rectangle (edges on whole points) and, when a window was clicked, its
    /// number; delivered on the next turn of the main queue.
    std::function<void(Rect, std::optional<std::int64_t> windowID)> onConfirm;
    std::function<void()> onCancel;
    /// Copy the magnifier's colour in this format (the window samples the pixel).
    std::function<void(MagnifierColorFormat)> onCopyColor;
    /// Anything shown changed.
    std::function<void()> onChange;

    void mouseDown(Point point);
    void mouseDragged(Point point);
    void mouseUp(Point point);
    /// The pointer moved with no button held (or the window learned where it is).
    void mouseMoved(Point point);

    /// The windows' targets (front to back); replaces the previous list.
    void setWindowCandidates(std::vector<SelectionSnapCandidate> candidates);
    /// A rectangle detection starts (the overlay opened, or a new snapshot came); returns its
    /// generation, which its result must bring back.
    int beginRectangleDetection();
    /// Replaces the rectangle targets, unless a newer detection started meanwhile.
    void setRectangleCandidates(int generation, std::vector<SelectionSnapCandidate> candidates);
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
    bool snapsToTargets() const { return options_.smartSnapEnabled; }
    /// The target previewed under the pointer.
    const std::optional<SelectionSnapCandidate>& hoveredSnapCandidate() const { return hovered_; }
    const SnapSession& snapSession() const { return snapSession_; }
    /// The target a press at `point` would select, if any.
    std::optional<SelectionSnapCandidate> currentSnapCandidate(Point point) const;

private:
    bool inCornerZone(Point point) const;
    bool inTopCornerZone(Point point) const;
    /// The corner zone a press or release is in: "corner", "topScreenCornerMonitor" or empty.
    std::string cornerSource(Point point) const;
    static double distance(Point a, Point b);
    void changed();
    void refreshHoveredSnapCandidate();
    void confirmSnapCandidate(const SelectionSnapCandidate& candidate);
    void confirmRect(std::optional<std::int64_t> windowID);

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
    std::string cornerMouseDownSource_;
    bool dragged_ = false;
    bool shiftPressed_ = false;
    bool confirmed_ = false;
    MagnifierColorFormat colorFormat_ = MagnifierColorFormat::hex;
    std::vector<SelectionSnapCandidate> windowCandidates_;
    std::vector<SelectionSnapCandidate> rectangleCandidates_;
    std::optional<SelectionSnapCandidate> hovered_;
    SnapSession snapSession_;
    std::optional<Point> cursor_;
    int rectangleGeneration_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
