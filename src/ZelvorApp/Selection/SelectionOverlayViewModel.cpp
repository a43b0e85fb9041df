#include "ZelvorApp/Selection/SelectionOverlayViewModel.h"

#include "Platform/MainQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Selection/SelectionSnapResolver.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace brisklet {

namespace {

Rect grown(const Rect& rect, double by) {
    return Rect{{rect.minX() - by, rect.minY() - by}, {rect.width() + 2 * by, rect.height() + 2 * by}};
}

bool holds(const Rect& rect, Point p) {
    return p.x >= rect.minX() && p.x <= rect.maxX() && p.y >= rect.minY() && p.y <= rect.maxY();
}

} // namespace

SelectionOverlayViewModel::SelectionOverlayViewModel(Options options, Rect bounds, Rect initialSelection,
                                                     MainQueue& mainQueue)
    : options_(std::move(options)), bounds_(bounds), selection_(initialSelection), mainQueue_(mainQueue) {
    pendingRememberedActivation_ = !selection_.isEmpty();
}

SelectionOverlayViewModel::~SelectionOverlayViewModel() = default;

double SelectionOverlayViewModel::distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool SelectionOverlayViewModel::inCornerZone(Point p) const {
    const bool nearSide = p.x - bounds_.minX() <= cornerZone || bounds_.maxX() - p.x <= cornerZone;
    const bool nearTopOrBottom = p.y - bounds_.minY() <= cornerZone || bounds_.maxY() - p.y <= cornerZone;
    return nearSide && nearTopOrBottom;
}

bool SelectionOverlayViewModel::inTopCornerZone(Point p) const {
    const bool nearSide = p.x - bounds_.minX() <= cornerZone || bounds_.maxX() - p.x <= cornerZone;
    return nearSide && bounds_.maxY() - p.y <= topCornerHeight;
}

std::string SelectionOverlayViewModel::cornerSource(Point p) const {
    if (inCornerZone(p)) {
        return "corner";
    }
    return inTopCornerZone(p) ? "topScreenCornerMonitor" : "";
}

void SelectionOverlayViewModel::changed() {
    if (onChange) {
        onChange();
    }
}

void SelectionOverlayViewModel::mouseDown(Point point) {
    if (confirmed_) {
        return;
    }
    const Point p = SelectionGeometry::clamped(point, bounds_);
    cursor_ = p;
    snapSession_ = {};
    dragged_ = false;
    pendingRememberedClick_ = false;
    rememberedMouseDown_.reset();
    cornerMouseDown_.reset();
    if (selection_.isEmpty() && options_.hasFullScreenHotkey && !cornerSource(p).empty()) {
        cornerMouseDown_ = p;
        cornerMouseDownSource_ = cornerSource(p);
        dragMode_ = {};
        return;
    }
    const bool insideRemembered = pendingRememberedActivation_ && holds(selection_, p);
    if (const auto handle = SelectionGeometry::hitHandle(p, selection_, options_.scale)) {
        dragMode_ = {DragMode::Kind::resizing, {}, *handle};
        shouldAutoConfirmAfterDrag_ = options_.autoConfirmOnMouseUp && insideRemembered;
        return;
    }
    if (!selection_.isEmpty() && holds(grown(selection_, insideSlop), p)) {
        dragMode_ = {DragMode::Kind::moving, {p.x - selection_.minX(), p.y - selection_.minY()}, {}};
        shouldAutoConfirmAfterDrag_ = false;
        if (insideRemembered) {
            rememberedMouseDown_ = p;
            pendingRememberedClick_ = options_.autoConfirmOnMouseUp;
            shouldAutoConfirmAfterDrag_ = options_.autoConfirmOnMouseUp;
        }
        changed();
        return;
    }
    if (auto candidate = currentSnapCandidate(p)) {
        // Not a selection yet: the release decides whether this was a click on the target.
        snapSession_ = {std::move(candidate), p};
        hovered_.reset();
        dragMode_ = {};
        changed();
        return;
    }
    selection_ = {};
    pendingRememberedActivation_ = false;
    dragMode_ = {DragMode::Kind::creating, p, {}};
    shouldAutoConfirmAfterDrag_ = options_.autoConfirmOnMouseUp;
    changed();
}

void SelectionOverlayViewModel::mouseDragged(Point point) {
    if (confirmed_) {
        return;
    }
    const Point p = SelectionGeometry::clamped(point, bounds_);
    cursor_ = p;
    if (snapSession_.mouseDownPoint) {
        if (distance(*snapSession_.mouseDownPoint, p) <= clickTolerance) {
            return;
        }
        // Dragged off the target: an ordinary rectangle from where the press was.
        dragMode_ = {DragMode::Kind::creating, *snapSession_.mouseDownPoint, {}};
        selection_ = {};
        pendingRememberedActivation_ = false;
        shouldAutoConfirmAfterDrag_ = options_.autoConfirmOnMouseUp;
        snapSession_ = {};
    }
    if (cornerMouseDown_ && distance(*cornerMouseDown_, p) > clickTolerance) {
        // Not a corner click after all: a selection drawn from the corner.
        dragMode_ = {DragMode::Kind::creating, *cornerMouseDown_, {}};
        shouldAutoConfirmAfterDrag_ = options_.autoConfirmOnMouseUp;
        cornerMouseDown_.reset();
    }
    if (pendingRememberedClick_ && rememberedMouseDown_) {
        if (distance(*rememberedMouseDown_, p) <= clickTolerance) {
            // Still a click on the remembered rectangle: it stays where it was remembered.
            return;
        }
        pendingRememberedClick_ = false;
    }
    switch (dragMode_.kind) {
    case DragMode::Kind::none:
        return;
    case DragMode::Kind::creating:
        selection_ = SelectionGeometry::created(dragMode_.anchor, p, bounds_);
        break;
    case DragMode::Kind::moving:
        selection_ = SelectionGeometry::moved(selection_, p, dragMode_.anchor, bounds_);
        break;
    case DragMode::Kind::resizing:
        selection_ = SelectionGeometry::resized(selection_, dragMode_.handle, p, bounds_);
        break;
    }
    dragged_ = true;
    changed();
}

void SelectionOverlayViewModel::mouseUp(Point point) {
    if (confirmed_) {
        return;
    }
    const Point p = SelectionGeometry::clamped(point, bounds_);
    cursor_ = p;
    const SnapSession session = std::exchange(snapSession_, {});
    if (session.pendingCandidate && session.mouseDownPoint) {
        if (distance(*session.mouseDownPoint, p) <= clickTolerance) {
            confirmSnapCandidate(*session.pendingCandidate);
        } else {
            refreshHoveredSnapCandidate();
        }
        return;
    }
    if (cornerMouseDown_) {
        const bool stillInCorner = !cornerSource(p).empty();
        cornerMouseDown_.reset();
        if (stillInCorner) {
            selectFullScreenAndConfirm(cornerMouseDownSource_);
        }
        return;
    }
    if (pendingRememberedClick_ && rememberedMouseDown_ && distance(*rememberedMouseDown_, p) <= clickTolerance) {
        pendingRememberedClick_ = false;
        dragMode_ = {};
        pendingRememberedActivation_ = false;
        if (SelectionGeometry::isValidSelection(selection_)) {
            confirm();
        }
        return;
    }
    if (dragMode_.kind == DragMode::Kind::none) {
        return;
    }
    pendingRememberedActivation_ = false;
    if (dragged_ && shouldAutoConfirmAfterDrag_ && SelectionGeometry::isValidSelection(selection_)) {
        confirm();
        return;
    }
    dragMode_ = {};
    changed();
    refreshHoveredSnapCandidate();
}

void SelectionOverlayViewModel::mouseMoved(Point point) {
    cursor_ = SelectionGeometry::clamped(point, bounds_);
    refreshHoveredSnapCandidate();
}

void SelectionOverlayViewModel::setWindowCandidates(std::vector<SelectionSnapCandidate> candidates) {
    windowCandidates_ = std::move(candidates);
    refreshHoveredSnapCandidate();
}

int SelectionOverlayViewModel::beginRectangleDetection() {
    return ++rectangleGeneration_;
}

void SelectionOverlayViewModel::setRectangleCandidates(int generation, std::vector<SelectionSnapCandidate> candidates) {
    if (generation != rectangleGeneration_) {
        RuntimeLogger::log("selection snap rectangles dropped generation=" + std::to_string(generation) +
                           " current=" + std::to_string(rectangleGeneration_));
        return;
    }
    rectangleCandidates_ = std::move(candidates);
    refreshHoveredSnapCandidate();
}

std::optional<SelectionSnapCandidate> SelectionOverlayViewModel::currentSnapCandidate(Point point) const {
    if (!options_.smartSnapEnabled) {
        return std::nullopt;
    }
    return SelectionSnapResolver::candidateAt(point, windowCandidates_, rectangleCandidates_, bounds_);
}

void SelectionOverlayViewModel::refreshHoveredSnapCandidate() {
    std::optional<SelectionSnapCandidate> next;
    const bool mayHover = options_.smartSnapEnabled && !confirmed_ && dragMode_.kind == DragMode::Kind::none &&
                          !snapSession_.pendingCandidate && selection_.isEmpty() && !pendingRememberedActivation_;
    if (mayHover && cursor_) {
        next = currentSnapCandidate(*cursor_);
    }
    if (next != hovered_) {
        hovered_ = std::move(next);
        changed();
    }
}

void SelectionOverlayViewModel::confirmSnapCandidate(const SelectionSnapCandidate& candidate) {
    const Rect overlap = candidate.rect.intersection(bounds_);
    const double ratio =
        overlap.width() * overlap.height() / std::max(bounds_.width() * bounds_.height(), 1.0);
    char share[32];
    std::snprintf(share, sizeof share, "%.3f", ratio);
    RuntimeLogger::log("selection snap confirmed source=" + candidate.source.description() +
                       " rect=" + toString(candidate.rect) + " screenAreaRatio=" + share);
    selection_ = SelectionGeometry::roundedToPoints(candidate.rect);
    hovered_.reset();
    dragMode_ = {};
    pendingRememberedActivation_ = false;
    std::optional<std::int64_t> windowID;
    if (candidate.source.isWindow()) {
        windowID = candidate.source.value;
    }
    confirmRect(windowID);
}

bool SelectionOverlayViewModel::keyDown(const std::string& token, bool commandOrControl) {
    if (token == "C" && commandOrControl) {
        if (onCopyColor) {
            onCopyColor(colorFormat_);
        }
        return true;
    }
    if (token == "RETURN") {
        // With confirm-on-release the mouse decides; Return is swallowed so nothing else sees it.
        if (!options_.autoConfirmOnMouseUp) {
            confirm();
        }
        return true;
    }
    if (token == "ESC") {
        dragMode_ = {};
        pendingRememberedClick_ = false;
        pendingRememberedActivation_ = false;
        cornerMouseDown_.reset();
        rememberedMouseDown_.reset();
        snapSession_ = {};
        hovered_.reset();
        confirmed_ = true;
        if (onCancel) {
            onCancel();
        }
        return true;
    }
    return false;
}

void SelectionOverlayViewModel::shiftChanged(bool pressed) {
    if (pressed && !shiftPressed_) {
        colorFormat_ = colorFormat_ == MagnifierColorFormat::hex ? MagnifierColorFormat::rgb : MagnifierColorFormat::hex;
        changed();
    }
    shiftPressed_ = pressed;
}

void SelectionOverlayViewModel::selectFullScreenAndConfirm(const std::string& source) {
    RuntimeLogger::log("selection full screen source=" + source + " shortcut=" +
                       (options_.fullScreenShortcutText.empty() ? std::string("none") : options_.fullScreenShortcutText));
    const double minX = std::floor(bounds_.minX());
    const double minY = std::floor(bounds_.minY());
    selection_ = Rect{{minX, minY}, {std::ceil(bounds_.maxX()) - minX, std::ceil(bounds_.maxY()) - minY}};
    pendingRememberedActivation_ = false;
    confirm();
}

void SelectionOverlayViewModel::confirm() {
    confirmRect(std::nullopt);
}

void SelectionOverlayViewModel::confirmRect(std::optional<std::int64_t> windowID) {
    if (confirmed_ || !SelectionGeometry::isValidSelection(selection_)) {
        return;
    }
    confirmed_ = true;
    hovered_.reset();
    dragMode_ = {};
    RuntimeLogger::log("selection overlay visual aids hidden before confirm");
    changed();
    const Rect rect = SelectionGeometry::roundedToPoints(selection_);
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.post([this, alive, rect, windowID] {
        if (!alive.expired() && onConfirm) {
            onConfirm(rect, windowID);
        }
    });
}

bool SelectionOverlayViewModel::isActionBarVisible() const {
    return options_.showsActionButtons && !confirmed_ && dragMode_.kind == DragMode::Kind::none &&
           !pendingRememberedActivation_ && SelectionGeometry::isValidSelection(selection_);
}

Rect SelectionOverlayViewModel::actionBarFrame(Size size) const {
    return OverlayAccessoryLayout::frame(selection_, bounds_, size);
}

} // namespace brisklet
