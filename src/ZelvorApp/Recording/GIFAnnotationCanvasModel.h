#pragma once

#include "ZelvorApp/Recording/GIFAnnotationPrototypeSession.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// The drawing canvas over a region being recorded. Outside annotation mode it lets every mouse
/// event through to the recorded applications; in it, a drag (or a click, for numbers) with the
/// selected tool becomes an annotation of the session, stamped with the recording time.
/// Coordinates are canvas points: the region's size, origin at its top-left corner.
class GIFAnnotationCanvasModel {
public:
    /// The session must outlive the canvas.
    GIFAnnotationCanvasModel(GIFAnnotationPrototypeSession& session, Size canvasSize);
    ~GIFAnnotationCanvasModel();
    GIFAnnotationCanvasModel(const GIFAnnotationCanvasModel&) = delete;
    GIFAnnotationCanvasModel& operator=(const GIFAnnotationCanvasModel&) = delete;

    /// Called whenever the canvas starts or stops letting the mouse through, or what it shows changes.
    std::function<void()> onChanged;

    bool passesInputThrough() const { return !session_.isAnnotationModeLocked(); }
    /// Annotation mode on with the selected tool, or off again.
    void toggleAnnotationMode();
    /// Chooses `tool` (entering annotation mode; the chosen tool again leaves it).
    void chooseTool(GIFPrototypeTool tool);
    void chooseColor(GIFPrototypeColor color);

    void press(Point at);
    void move(Point to);
    /// Ends the gesture; true when it made an annotation.
    bool release(Point at);
    /// Drops the gesture in progress (Escape, the window losing the mouse).
    void abandonGesture();

    /// With the text tool a click starts a text there; where it is (canvas points), if one is open.
    std::optional<Point> pendingTextOrigin() const { return pendingText_; }
    /// What has been typed into the open text so far (UTF-8).
    const std::string& pendingText() const { return typed_; }
    void typeText(const std::string& utf8);
    /// Removes the last character typed.
    void deleteBackward();
    /// The typed text becomes an annotation (nothing when it is blank); the text closes.
    bool commitText();
    void cancelText();

    /// The shape being drawn (or the text being typed), shown live before it is committed.
    std::optional<GIFPrototypeAnnotation> preview() const;
    /// What the canvas shows: the session's annotations, then the preview.
    std::vector<GIFPrototypeAnnotation> visibleAnnotations() const;
    GIFAnnotationPrototypeSession& session() { return session_; }
    Size canvasSize() const { return canvasSize_; }

private:
    bool isStrokeTool() const;
    Point clamped(Point p) const;
    void changed() const;

    GIFAnnotationPrototypeSession& session_;
    Size canvasSize_;
    std::vector<Point> gesture_;
    std::optional<Point> pendingText_;
    std::string typed_;
};

} // namespace brisklet
