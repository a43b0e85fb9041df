#include "ZelvorApp/Recording/GIFAnnotationCanvasModel.h"

#include "ZelvorApp/Recording/GIFAnnotationCreationRules.h"

#include <algorithm>

namespace brisklet {

GIFAnnotationCanvasModel::GIFAnnotationCanvasModel(GIFAnnotationPrototypeSession& session, Size canvasSize)
    : session_(session), canvasSize_(canvasSize) {
    session_.onAnnotationModeChanged = [this](bool) {
        gesture_.clear();
        pendingText_.reset();
        typed_.clear();
        changed();
    };
    session_.onAnnotationsChanged = [this] { changed(); };
}

GIFAnnotationCanvasModel::~GIFAnnotationCanvasModel() {
    session_.onAnnotationModeChanged = nullptr;
    session_.onAnnotationsChanged = nullptr;
}

void GIFAnnotationCanvasModel::changed() const {
    if (onChanged) {
        onChanged();
    }
}

void GIFAnnotationCanvasModel::toggleAnnotationMode() {
    // Choosing the selected tool while drawing leaves annotation mode; otherwise it enters it.
    session_.toggleTool(session_.selectedTool());
}

void GIFAnnotationCanvasModel::chooseTool(GIFPrototypeTool tool) {
    commitText();
    session_.toggleTool(tool);
    changed();
}

void GIFAnnotationCanvasModel::chooseColor(GIFPrototypeColor color) {
    session_.setSelectedColor(color);
    changed();
}

bool GIFAnnotationCanvasModel::isStrokeTool() const {
    return session_.selectedTool() == GIFPrototypeTool::brush || session_.selectedTool() == GIFPrototypeTool::highlighter;
}

void GIFAnnotationCanvasModel::press(Point at) {
    if (passesInputThrough()) {
        return;
    }
    gesture_ = {at};
    changed();
}

void GIFAnnotationCanvasModel::move(Point to) {
    if (gesture_.empty()) {
        return;
    }
    if (isStrokeTool()) {
        gesture_.push_back(to);
    } else {
        gesture_.resize(1);
        gesture_.push_back(to);
    }
    changed();
}

bool GIFAnnotationCanvasModel::release(Point at) {
    if (gesture_.empty()) {
        return false;
    }
    move(at);
    const std::vector<Point> points = std::move(gesture_);
    gesture_.clear();
    const GIFPrototypeTool tool = session_.selectedTool();
    const GIFPrototypeColor color = session_.selectedColor();
    std::optional<GIFPrototypeAnnotation> made;
    if (tool == GIFPrototypeTool::number) {
        made = GIFAnnotationCreationRules::number(points.front(), session_.activeNumberCount(), color, canvasSize_);
    } else if (isStrokeTool()) {
        made = GIFAnnotationCreationRules::stroke(tool, points, color, canvasSize_);
    } else if (tool == GIFPrototypeTool::text) {
        // A click elsewhere while typing keeps what was typed, then starts anew there.
        commitText();
        pendingText_ = clamped(points.back());
        changed();
        return false;
    } else {
        made = GIFAnnotationCreationRules::drag(tool, points.front(), points.back(), color, canvasSize_);
    }
    if (!made) {
        changed();
        return false;
    }
    session_.commit(std::move(*made));
    return true;
}

Point GIFAnnotationCanvasModel::clamped(Point p) const {
    return Point{std::clamp(p.x, 0.0, canvasSize_.width), std::clamp(p.y, 0.0, canvasSize_.height)};
}

void GIFAnnotationCanvasModel::typeText(const std::string& utf8) {
    if (pendingText_ && !utf8.empty()) {
        typed_ += utf8;
        changed();
    }
}

void GIFAnnotationCanvasModel::deleteBackward() {
    if (!pendingText_ || typed_.empty()) {
        return;
    }
    // Drop the whole last UTF-8 sequence: continuation bytes are 10xxxxxx.
    std::size_t end = typed_.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(typed_[end]) & 0xC0) == 0x80) {
        --end;
    }
    typed_.erase(end);
    changed();
}

bool GIFAnnotationCanvasModel::commitText() {
    if (!pendingText_) {
        return false;
    }
    const Point origin = *pendingText_;
    const std::string text = std::move(typed_);
    pendingText_.reset();
    typed_.clear();
    if (text.find_first_not_of(" \t\n") == std::string::npos) {
        changed();
        return false;
    }
    session_.commit(GIFPrototypeAnnotation{Uuid::generate(),
                                           GIFPrototypeTextAnnotation{origin, text, session_.selectedColor()}});
    return true;
}

void GIFAnnotationCanvasModel::cancelText() {
    if (pendingText_) {
        pendingText_.reset();
        typed_.clear();
        changed();
    }
}

void GIFAnnotationCanvasModel::abandonGesture() {
    if (!gesture_.empty()) {
        gesture_.clear();
        changed();
    }
}

std::optional<GIFPrototypeAnnotation> GIFAnnotationCanvasModel::preview() const {
    if (pendingText_ && !typed_.empty()) {
        return GIFPrototypeAnnotation{Uuid{}, GIFPrototypeTextAnnotation{*pendingText_, typed_, session_.selectedColor()}};
    }
    if (gesture_.size() < 2) {
        return std::nullopt;
    }
    const GIFPrototypeTool tool = session_.selectedTool();
    if (isStrokeTool()) {
        return GIFAnnotationCreationRules::stroke(tool, gesture_, session_.selectedColor(), canvasSize_);
    }
    if (tool == GIFPrototypeTool::number || tool == GIFPrototypeTool::text) {
        return std::nullopt;
    }
    return GIFAnnotationCreationRules::drag(tool, gesture_.front(), gesture_.back(), session_.selectedColor(),
                                            canvasSize_);
}

std::vector<GIFPrototypeAnnotation> GIFAnnotationCanvasModel::visibleAnnotations() const {
    std::vector<GIFPrototypeAnnotation> shown = session_.activeAnnotations();
    if (auto drawing = preview()) {
        shown.push_back(std::move(*drawing));
    }
    return shown;
}

} // namespace brisklet
