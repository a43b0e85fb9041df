#include "ZelvorApp/Editor/AnnotationItem.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

#include <cmath>
#include <initializer_list>

namespace brisklet {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

void offset(Point& p, double dx, double dy) {
    p.x += dx;
    p.y += dy;
}

// Limits that keep a hand-written document from asking the renderer for absurd work; they are
// far beyond anything the editor itself produces.
constexpr double coordinateLimit = 1e6;
constexpr std::size_t strokePointLimit = 200'000;
constexpr std::size_t textByteLimit = 100'000;

double boundedNumber(const Json& object, const char* key, double minimum, double maximum) {
    double value = 0;
    json::field(object, key, value);
    if (!std::isfinite(value) || value < minimum || value > maximum) {
        json::fail(std::string(key) + ": " + formatNumber(value) + " is outside " + formatNumber(minimum) + "..." +
                   formatNumber(maximum));
    }
    return value;
}

double coordinate(const Json& j, const char* what) {
    double value = 0;
    json::read(j, value);
    if (!std::isfinite(value) || std::fabs(value) > coordinateLimit) {
        json::fail(std::string(what) + " must be a finite number within ±1000000");
    }
    return value;
}

Point readPoint(const Json& j) {
    if (!j.is_array() || j.size() != 2) {
        json::fail("expected a point [x, y]");
    }
    return {coordinate(j[0], "x"), coordinate(j[1], "y")};
}

Json writePoint(Point p) {
    return Json::array({p.x, p.y});
}

Point pointField(const Json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        json::fail(std::string("missing key \"") + key + "\"");
    }
    try {
        return readPoint(*it);
    } catch (const json::DecodeError& error) {
        json::fail(std::string(key) + ": " + error.what());
    }
}

Rect rectField(const Json& object, const char* key) {
    Rect rect;
    json::field(object, key, rect);
    for (double v : {rect.origin.x, rect.origin.y, rect.size.width, rect.size.height}) {
        if (!std::isfinite(v) || std::fabs(v) > coordinateLimit) {
            json::fail(std::string(key) + ": numbers must be finite and within ±1000000");
        }
    }
    if (rect.size.width < 0 || rect.size.height < 0) {
        json::fail(std::string(key) + ": width and height must not be negative");
    }
    return rect;
}

StoredColor colorField(const Json& object) {
    StoredColor color;
    json::field(object, "color", color);
    for (double v : {color.red, color.green, color.blue, color.alpha}) {
        if (!std::isfinite(v) || v < 0 || v > 1) {
            json::fail("color: components must lie in 0...1");
        }
    }
    return color;
}

Uuid idField(const Json& object) {
    const auto it = object.find("id");
    if (it == object.end() || it->is_null()) {
        return Uuid::generate();
    }
    std::string text;
    try {
        json::read(*it, text);
    } catch (const json::DecodeError& error) {
        json::fail(std::string("id: ") + error.what());
    }
    const auto id = Uuid::parse(text);
    if (!id) {
        json::fail("id: \"" + text + "\" is not a UUID");
    }
    return *id;
}

void rejectUnknownKeys(const Json& object, std::initializer_list<std::string_view> known) {
    for (const auto& [key, value] : object.items()) {
        bool found = key == "id";
        for (const auto& name : known) {
            found = found || key == name;
        }
        if (!found) {
            json::fail("unknown key \"" + key + "\"");
        }
    }
}

double lineWidthField(const Json& object) {
    return boundedNumber(object, "lineWidth", 0.1, 500);
}

AnnotationItem readCase(const std::string& name, const Json& o) {
    if (name == "rectangle") {
        rejectUnknownKeys(o, {"rect", "kind", "fillMode", "color", "lineWidth"});
        RectangleAnnotation r;
        r.id = idField(o);
        r.rect = rectField(o, "rect");
        json::field(o, "kind", r.kind);
        json::field(o, "fillMode", r.fillMode);
        r.color = colorField(o);
        r.lineWidth = lineWidthField(o);
        return r;
    }
    if (name == "arrow") {
        rejectUnknownKeys(o, {"start", "end", "style", "color", "lineWidth"});
        ArrowAnnotation a;
        a.id = idField(o);
        a.start = pointField(o, "start");
        a.end = pointField(o, "end");
        json::field(o, "style", a.style);
        a.color = colorField(o);
        a.lineWidth = lineWidthField(o);
        return a;
    }
    if (name == "line") {
        rejectUnknownKeys(o, {"start", "end", "color", "lineWidth"});
        return LineAnnotation{idField(o), pointField(o, "start"), pointField(o, "end"), colorField(o),
                              lineWidthField(o)};
    }
    if (name == "redaction") {
        rejectUnknownKeys(o, {"rect", "mode"});
        RedactionAnnotation r;
        r.id = idField(o);
        r.rect = rectField(o, "rect");
        json::field(o, "mode", r.mode);
        return r;
    }
    if (name == "stroke") {
        rejectUnknownKeys(o, {"points", "mode", "color", "lineWidth"});
        StrokeAnnotation s;
        s.id = idField(o);
        const auto it = o.find("points");
        if (it == o.end() || !it->is_array()) {
            json::fail("points: expected an array of [x, y] points");
        }
        if (it->size() > strokePointLimit) {
            json::fail("points: more than 200000 points");
        }
        for (std::size_t i = 0; i < it->size(); ++i) {
            try {
                s.points.push_back(readPoint((*it)[i]));
            } catch (const json::DecodeError& error) {
                json::fail("points[" + std::to_string(i) + "]: " + error.what());
            }
        }
        json::field(o, "mode", s.mode);
        s.color = colorField(o);
        s.lineWidth = lineWidthField(o);
        return s;
    }
    if (name == "text") {
        rejectUnknownKeys(o, {"origin", "text", "color", "fontSize", "layoutWidth", "rotation"});
        TextAnnotation t;
        t.id = idField(o);
        t.origin = pointField(o, "origin");
        json::field(o, "text", t.text);
        if (t.text.size() > textByteLimit) {
            json::fail("text: longer than 100000 bytes");
        }
        t.color = colorField(o);
        t.fontSize = boundedNumber(o, "fontSize", 1, 1000);
        if (o.contains("layoutWidth") && !o["layoutWidth"].is_null()) {
            t.layoutWidth = boundedNumber(o, "layoutWidth", 1, coordinateLimit);
        }
        if (o.contains("rotation") && !o["rotation"].is_null()) {
            t.rotation = boundedNumber(o, "rotation", -1000, 1000);
        }
        return t;
    }
    if (name == "number") {
        rejectUnknownKeys(o, {"center", "value", "color", "diameter"});
        NumberAnnotation n;
        n.id = idField(o);
        n.center = pointField(o, "center");
        json::field(o, "value", n.value);
        n.color = colorField(o);
        n.diameter = boundedNumber(o, "diameter", 1, 5000);
        return n;
    }
    json::fail("unknown annotation kind \"" + name + "\"");
}

Json body(const Uuid& id) {
    Json j = Json::object();
    j["id"] = id.toString();
    return j;
}

} // namespace

const Uuid& AnnotationItem::id() const {
    return std::visit([](const auto& item) -> const Uuid& { return item.id; }, value_);
}

std::string_view AnnotationItem::caseName() const {
    return std::visit(Overloaded{
                          [](const RectangleAnnotation&) { return std::string_view("rectangle"); },
                          [](const ArrowAnnotation&) { return std::string_view("arrow"); },
                          [](const LineAnnotation&) { return std::string_view("line"); },
                          [](const RedactionAnnotation&) { return std::string_view("redaction"); },
                          [](const StrokeAnnotation&) { return std::string_view("stroke"); },
                          [](const TextAnnotation&) { return std::string_view("text"); },
                          [](const NumberAnnotation&) { return std::string_view("number"); },
                      },
                      value_);
}

AnnotationItem AnnotationItem::offsetBy(double dx, double dy) const {
    AnnotationItem moved = *this;
    std::visit(Overloaded{
                   [&](RectangleAnnotation& r) { offset(r.rect.origin, dx, dy); },
                   [&](ArrowAnnotation& a) {
                       offset(a.start, dx, dy);
                       offset(a.end, dx, dy);
                   },
                   [&](LineAnnotation& l) {
                       offset(l.start, dx, dy);
                       offset(l.end, dx, dy);
                   },
                   [&](RedactionAnnotation& r) { offset(r.rect.origin, dx, dy); },
                   [&](StrokeAnnotation& s) {
                       for (auto& p : s.points) {
                           offset(p, dx, dy);
                       }
                   },
                   [&](TextAnnotation& t) { offset(t.origin, dx, dy); },
                   [&](NumberAnnotation& n) { offset(n.center, dx, dy); },
               },
               moved.value_);
    return moved;
}

bool AnnotationItem::isEffectivelyEqual(const AnnotationItem& other) const {
    if (value_.index() != other.value_.index()) {
        return false;
    }
    return *this == other.withID(id());
}

AnnotationItem AnnotationItem::withID(const Uuid& id) const {
    AnnotationItem copy = *this;
    std::visit([&](auto& item) { item.id = id; }, copy.value_);
    return copy;
}

std::optional<double> AnnotationItem::lineWidth() const {
    return std::visit(Overloaded{
                          [](const RectangleAnnotation& r) { return std::optional(r.lineWidth); },
                          [](const ArrowAnnotation& a) { return std::optional(a.lineWidth); },
                          [](const LineAnnotation& l) { return std::optional(l.lineWidth); },
                          [](const StrokeAnnotation& s) { return std::optional(s.lineWidth); },
                          [](const auto&) { return std::optional<double>(); },
                      },
                      value_);
}

AnnotationItem AnnotationItem::withLineWidth(double width) const {
    AnnotationItem changed = *this;
    std::visit(Overloaded{
                   [&](RectangleAnnotation& r) { r.lineWidth = width; },
                   [&](ArrowAnnotation& a) { a.lineWidth = width; },
                   [&](LineAnnotation& l) { l.lineWidth = width; },
                   [&](StrokeAnnotation& s) { s.lineWidth = width; },
                   [](auto&) {},
               },
               changed.value_);
    return changed;
}

void read(const Json& j, AnnotationItem& out) {
    if (!j.is_object() || j.size() != 1) {
        json::fail("expected an object with exactly one key naming the annotation kind");
    }
    const auto entry = j.begin();
    const std::string name = entry.key();
    const Json& payload = entry.value();
    if (!payload.is_object()) {
        json::fail(name + ": expected an object");
    }
    out = readCase(name, payload);
}

Json write(const AnnotationItem& value) {
    Json payload = std::visit(Overloaded{
                                  [](const RectangleAnnotation& r) {
                                      Json j = body(r.id);
                                      json::put(j, "rect", r.rect);
                                      json::put(j, "kind", r.kind);
                                      json::put(j, "fillMode", r.fillMode);
                                      j["color"] = write(r.color);
                                      json::put(j, "lineWidth", r.lineWidth);
                                      return j;
                                  },
                                  [](const ArrowAnnotation& a) {
                                      Json j = body(a.id);
                                      j["start"] = writePoint(a.start);
                                      j["end"] = writePoint(a.end);
                                      json::put(j, "style", a.style);
                                      j["color"] = write(a.color);
                                      json::put(j, "lineWidth", a.lineWidth);
                                      return j;
                                  },
                                  [](const LineAnnotation& l) {
                                      Json j = body(l.id);
                                      j["start"] = writePoint(l.start);
                                      j["end"] = writePoint(l.end);
                                      j["color"] = write(l.color);
                                      json::put(j, "lineWidth", l.lineWidth);
                                      return j;
                                  },
                                  [](const RedactionAnnotation& r) {
                                      Json j = body(r.id);
                                      json::put(j, "rect", r.rect);
                                      json::put(j, "mode", r.mode);
                                      return j;
                                  },
                                  [](const StrokeAnnotation& s) {
                                      Json j = body(s.id);
                                      Json points = Json::array();
                                      for (const auto& p : s.points) {
                                          points.push_back(writePoint(p));
                                      }
                                      j["points"] = std::move(points);
                                      json::put(j, "mode", s.mode);
                                      j["color"] = write(s.color);
                                      json::put(j, "lineWidth", s.lineWidth);
                                      return j;
                                  },
                                  [](const TextAnnotation& t) {
                                      Json j = body(t.id);
                                      j["origin"] = writePoint(t.origin);
                                      json::put(j, "text", t.text);
                                      j["color"] = write(t.color);
                                      json::put(j, "fontSize", t.fontSize);
                                      json::put(j, "layoutWidth", t.layoutWidth);
                                      json::put(j, "rotation", t.rotation);
                                      return j;
                                  },
                                  [](const NumberAnnotation& n) {
                                      Json j = body(n.id);
                                      j["center"] = writePoint(n.center);
                                      json::put(j, "value", n.value);
                                      j["color"] = write(n.color);
                                      json::put(j, "diameter", n.diameter);
                                      return j;
                                  },
                              },
                              value.value());
    Json j = Json::object();
    j[std::string(value.caseName())] = std::move(payload);
    return j;
}

} // namespace brisklet
