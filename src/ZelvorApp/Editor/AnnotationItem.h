#pragma once

#include "ZelvorApp/Editor/AnnotationStyles.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Json.h"
#include "ZelvorCore/Foundation/Uuid.h"
#include "ZelvorCore/Models/StoredColor.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brisklet {

// Every annotation lives in the pixel space of the captured image: origin at its top-left corner,
// y growing downward. Widths, sizes and diameters are image pixels too.

struct RectangleAnnotation {
    Uuid id;
    Rect rect;
    ShapeKind kind = ShapeKind::rectangle;
    ShapeFillMode fillMode = ShapeFillMode::stroke;
    StoredColor color;
    double lineWidth = 4;
    bool operator==(const RectangleAnnotation&) const = default;
};

struct ArrowAnnotation {
    Uuid id;
    Point start;
    Point end;
    ArrowStyle style = ArrowStyle::brush;
    StoredColor color;
    double lineWidth = 4;
    bool operator==(const ArrowAnnotation&) const = default;
};

struct LineAnnotation {
    Uuid id;
    Point start;
    Point end;
    StoredColor color;
    double lineWidth = 4;
    bool operator==(const LineAnnotation&) const = default;
};

struct RedactionAnnotation {
    Uuid id;
    Rect rect;
    RedactionMode mode = RedactionMode::blur;
    bool operator==(const RedactionAnnotation&) const = default;
};

struct StrokeAnnotation {
    Uuid id;
    std::vector<Point> points;
    StrokeMode mode = StrokeMode::brush;
    StoredColor color;
    double lineWidth = 4;
    bool operator==(const StrokeAnnotation&) const = default;
};

struct TextAnnotation {
    Uuid id;
    Point origin; ///< top-left corner of the unrotated text box
    std::string text;
    StoredColor color;
    double fontSize = 24;
    std::optional<double> layoutWidth; ///< absent: laid out on its natural width
    double rotation = 0;               ///< radians about the box centre, clockwise on screen
    bool operator==(const TextAnnotation&) const = default;
};

struct NumberAnnotation {
    Uuid id;
    Point center;
    int value = 1;
    StoredColor color;
    double diameter = 28;
    bool operator==(const NumberAnnotation&) const = default;
};

/// One annotation of any kind. The identifier is fixed when the item is created.
class AnnotationItem {
public:
    using Variant = std::variant<RectangleAnnotation, ArrowAnnotation, LineAnnotation, RedactionAnnotation,
                                 StrokeAnnotation, TextAnnotation, NumberAnnotation>;

    AnnotationItem() = default;
    AnnotationItem(RectangleAnnotation v) : value_(std::move(v)) {}
    AnnotationItem(ArrowAnnotation v) : value_(std::move(v)) {}
    AnnotationItem(LineAnnotation v) : value_(std::move(v)) {}
    AnnotationItem(RedactionAnnotation v) : value_(std::move(v)) {}
    AnnotationItem(StrokeAnnotation v) : value_(std::move(v)) {}
    AnnotationItem(TextAnnotation v) : value_(std::move(v)) {}
    AnnotationItem(NumberAnnotation v) : value_(std::move(v)) {}

    const Uuid& id() const;
    /// The case name, as the JSON form keys it: "rectangle", "arrow", "line", "redaction",
    /// "stroke", "text" or "number".
    std::string_view caseName() const;

    /// A copy with every point, rectangle origin, centre and text origin moved by (dx, dy).
    AnnotationItem offsetBy(double dx, double dy) const;
    /// Same case and every field other than the identifier exactly equal.
    bool isEffectivelyEqual(const AnnotationItem& other) const;

    /// A copy carrying another identifier.
    AnnotationItem withID(const Uuid& id) const;

    /// The line width of kinds that have one (rectangle, arrow, line, stroke).
    std::optional<double> lineWidth() const;
    /// A copy drawn with `width`; kinds without a width come back unchanged.
    AnnotationItem withLineWidth(double width) const;

    template <class T> const T* as() const { return std::get_if<T>(&value_); }
    template <class T> T* as() { return std::get_if<T>(&value_); }
    template <class T> bool is() const { return std::holds_alternative<T>(value_); }
    const Variant& value() const { return value_; }

    bool operator==(const AnnotationItem&) const = default;

private:
    Variant value_;
};

/// The case-keyed form: {"arrow": {"id": "…", "start": [x, y], "end": [x, y], …}}. Points are
/// [x, y], rectangles [[x, y], [width, height]], colours StoredColor objects. "id" is optional on
/// read (a fresh one is made), as are a text's "layoutWidth" and "rotation". Unknown keys,
/// non-finite or out-of-range numbers are errors (json::DecodeError) naming the field.
void read(const Json& j, AnnotationItem& out);
Json write(const AnnotationItem& value);

} // namespace brisklet
