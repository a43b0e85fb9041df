#pragma once

#include <string>

namespace brisklet {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxX() const { return origin.x + size.width; }
    double maxY() const { return origin.y + size.height; }
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    bool isEmpty() const { return size.width <= 0 || size.height <= 0; }
    bool contains(Point p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }
    Rect intersection(const Rect& other) const;

    bool operator==(const Rect&) const = default;
};

/// Shortest text that reads back as the same double ("12", "0.5", "1e+20").
std::string formatNumber(double value);

/// "{x, y}"
std::string toString(Point p);
/// "{w, h}"
std::string toString(Size s);
/// The rectangle text form log lines use: "{{x, y}, {w, h}}".
std::string toString(const Rect& r);

} // namespace brisklet
