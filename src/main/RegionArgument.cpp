#include "main/RegionArgument.h"

#include "ZelvorApp/Capture/CaptureGeometry.h"

#include <regex>

namespace brisklet {

std::optional<Rect> RegionArgument::parse(const std::string& text) {
    static const std::regex pattern(R"(^(\d{1,6})x(\d{1,6})\+(\d{1,6})\+(\d{1,6})$)");
    std::smatch match;
    if (!std::regex_match(text, match, pattern)) {
        return std::nullopt;
    }
    const double width = std::stod(match[1]);
    const double height = std::stod(match[2]);
    if (width < 2 || height < 2) {
        return std::nullopt;
    }
    return Rect{{std::stod(match[3]), std::stod(match[4])}, {width, height}};
}

std::optional<Rect> RegionArgument::onDesktop(const Rect& rootPixels, const Rect& desktop) {
    const Rect rect{{desktop.minX() + rootPixels.minX(), desktop.maxY() - rootPixels.minY() - rootPixels.height()},
                    rootPixels.size};
    if (rect.intersection(desktop) != rect) {
        return std::nullopt;
    }
    return rect;
}

const DisplayScreen* RegionArgument::screenHolding(const std::vector<DisplayScreen>& screens, const Rect& rect) {
    for (const DisplayScreen& screen : screens) {
        if (rect.intersection(screen.frame) == rect) {
            return &screen;
        }
    }
    return nullptr;
}

Point RegionArgument::primaryRootOrigin(const std::vector<DisplayScreen>& screens) {
    if (screens.empty()) {
        return Point{};
    }
    Rect desktop;
    for (const DisplayScreen& screen : screens) {
        desktop = CaptureGeometry::unite(desktop, screen.frame);
    }
    return Point{screens.front().frame.minX() - desktop.minX(), desktop.maxY() - screens.front().frame.maxY()};
}

} // namespace brisklet
