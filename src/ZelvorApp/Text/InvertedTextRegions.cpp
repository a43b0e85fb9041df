#include "ZelvorApp/Text/InvertedTextRegions.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace brisklet {

namespace {

// The grid the shapes are looked for on: every other pixel of the (already enlarged) image.
constexpr int step = 2;
// Darker than this is the shape's fill; lighter than `lightLevel` is its text.
constexpr int darkLevel = 150;
constexpr int lightLevel = 200;
// A shape is one fill: its pixels stay this close to the level it was found at, so a coloured bar
// or a selected row on a dark page is a shape of its own instead of a part of the page.
constexpr int fillTolerance = 20;
// A shape is filled (not a glyph, whose box is mostly paper) and holds some light text.
constexpr double minimumFill = 0.65;
// A status bar or a selected row is long and holds a few words: a little light is enough, as
// long as it is more than a glint.
constexpr double minimumLightShare = 0.005;
constexpr int minimumLightSamples = 24;
constexpr int minimumHeightPixels = 16;
constexpr int minimumWidthPixels = 24;
constexpr double maximumImageShare = 0.25;

int luminance(const std::uint8_t* pixel) {
    return (pixel[0] * 77 + pixel[1] * 150 + pixel[2] * 29 + 128) >> 8;
}

struct Grid {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> levels;
    std::uint8_t at(int x, int y) const {
        return levels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

Grid sampled(const Image& image) {
    Grid grid{(image.width() + step - 1) / step, (image.height() + step - 1) / step, {}};
    grid.levels.resize(static_cast<std::size_t>(grid.width) * static_cast<std::size_t>(grid.height));
    for (int y = 0; y < grid.height; ++y) {
        const std::uint8_t* row = image.row(y * step);
        for (int x = 0; x < grid.width; ++x) {
            grid.levels[static_cast<std::size_t>(y) * static_cast<std::size_t>(grid.width) +
                        static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(luminance(row + x * step * 4));
        }
    }
    return grid;
}

struct Component {
    int minX, minY, maxX, maxY;
    int darkCount;
};

// The dark component of one fill containing (x, y), marking it as seen.
Component flood(const Grid& grid, int startX, int startY, std::vector<std::uint8_t>& seen) {
    Component component{startX, startY, startX, startY, 0};
    const int fill = grid.at(startX, startY);
    std::vector<std::pair<int, int>> stack{{startX, startY}};
    seen[static_cast<std::size_t>(startY) * static_cast<std::size_t>(grid.width) + static_cast<std::size_t>(startX)] =
        1;
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        ++component.darkCount;
        component.minX = std::min(component.minX, x);
        component.maxX = std::max(component.maxX, x);
        component.minY = std::min(component.minY, y);
        component.maxY = std::max(component.maxY, y);
        const std::pair<int, int> neighbours[] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto& [nx, ny] : neighbours) {
            if (nx < 0 || ny < 0 || nx >= grid.width || ny >= grid.height) {
                continue;
            }
            auto& mark = seen[static_cast<std::size_t>(ny) * static_cast<std::size_t>(grid.width) +
                              static_cast<std::size_t>(nx)];
            const int level = grid.at(nx, ny);
            if (!mark && level < darkLevel && std::abs(level - fill) <= fillTolerance) {
                mark = 1;
                stack.emplace_back(nx, ny);
            }
        }
    }
    return component;
}

bool holdsLightText(const Grid& grid, const Component& component) {
    int light = 0;
    for (int y = component.minY; y <= component.maxY; ++y) {
        for (int x = component.minX; x <= component.maxX; ++x) {
            light += grid.at(x, y) > lightLevel ? 1 : 0;
        }
    }
    const int area = (component.maxX - component.minX + 1) * (component.maxY - component.minY + 1);
    return light >= minimumLightSamples && light >= minimumLightShare * area;
}

// What lies outside a rounded shape's corners is page, as light as its text, and the shape's
// softened edge is grey: once inverted both would be read as marks at the crop's edges. Text
// stands inside its shape, away from the box's edges, so whatever is not white and reaches an
// edge is page or outline and becomes white.
void clearOutsideTheShape(std::vector<std::uint8_t>& values, int width, int height) {
    constexpr std::uint8_t markLevel = 240;
    std::vector<std::pair<int, int>> stack;
    const auto visit = [&](int x, int y) {
        auto& value =
            values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
        if (value < markLevel) {
            value = 255;
            stack.emplace_back(x, y);
        }
    };
    for (int x = 0; x < width; ++x) {
        visit(x, 0);
        visit(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        visit(0, y);
        visit(width - 1, y);
    }
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        if (x > 0) {
            visit(x - 1, y);
        }
        if (x + 1 < width) {
            visit(x + 1, y);
        }
        if (y > 0) {
            visit(x, y - 1);
        }
        if (y + 1 < height) {
            visit(x, y + 1);
        }
    }
}

} // namespace

std::vector<InvertedTextRegions::Region> InvertedTextRegions::find(const Image& image, std::size_t limit) {
    std::vector<Region> regions;
    if (image.isEmpty()) {
        return regions;
    }
    const Grid grid = sampled(image);
    std::vector<std::uint8_t> seen(grid.levels.size(), 0);
    const double imageArea = static_cast<double>(grid.width) * grid.height;
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            if (seen[static_cast<std::size_t>(y) * static_cast<std::size_t>(grid.width) +
                     static_cast<std::size_t>(x)] ||
                grid.at(x, y) >= darkLevel) {
                continue;
            }
            const Component component = flood(grid, x, y, seen);
            const int width = component.maxX - component.minX + 1;
            const int height = component.maxY - component.minY + 1;
            const double area = static_cast<double>(width) * height;
            if (width * step < minimumWidthPixels || height * step < minimumHeightPixels ||
                area > maximumImageShare * imageArea || component.darkCount < minimumFill * area ||
                !holdsLightText(grid, component)) {
                continue;
            }
            regions.push_back({component.minX * step, component.minY * step,
                               std::min(width * step, image.width() - component.minX * step),
                               std::min(height * step, image.height() - component.minY * step)});
        }
    }
    std::stable_sort(regions.begin(), regions.end(),
                     [](const Region& a, const Region& b) { return a.width * a.height > b.width * b.height; });
    if (regions.size() > limit) {
        regions.resize(limit);
    }
    return regions;
}

Image InvertedTextRegions::readableCrop(const Image& image, const Region& region) {
    // The shape's own colour is its most common dark level; it becomes white, the text black.
    std::vector<std::uint8_t> greys = levels(image, region);
    const int fill = mostCommonLevel(greys, darkLevel);
    const int span = std::max(1, 255 - fill);
    for (auto& grey : greys) {
        grey = static_cast<std::uint8_t>(255 - std::clamp((grey - fill) * 255 / span, 0, 255));
    }
    clearOutsideTheShape(greys, region.width, region.height);
    return framed(greys, region.width, region.height);
}

std::vector<std::uint8_t> InvertedTextRegions::levels(const Image& image, const Region& region) {
    std::vector<std::uint8_t> greys;
    greys.reserve(static_cast<std::size_t>(region.width) * static_cast<std::size_t>(region.height));
    for (int y = region.y; y < region.y + region.height; ++y) {
        const std::uint8_t* row = image.row(y);
        for (int x = region.x; x < region.x + region.width; ++x) {
            greys.push_back(static_cast<std::uint8_t>(luminance(row + static_cast<std::size_t>(x) * 4)));
        }
    }
    return greys;
}

int InvertedTextRegions::mostCommonLevel(const std::vector<std::uint8_t>& greys, int below) {
    std::vector<int> histogram(256, 0);
    for (const std::uint8_t grey : greys) {
        ++histogram[grey];
    }
    return static_cast<int>(std::max_element(histogram.begin(), histogram.begin() + std::clamp(below, 1, 256)) -
                            histogram.begin());
}

Image InvertedTextRegions::framed(const std::vector<std::uint8_t>& greys, int width, int height) {
    Image crop(width + 2 * margin, height + 2 * margin);
    crop.fill(255, 255, 255);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t grey =
                greys[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
            crop.setPixel(x + margin, y + margin, grey, grey, grey);
        }
    }
    return crop;
}

Rect InvertedTextRegions::boxInImage(const Rect& cropBox, const Region& region, int imageWidth, int imageHeight) {
    const double cropWidth = region.width + 2.0 * margin;
    const double cropHeight = region.height + 2.0 * margin;
    const double left = cropBox.minX() * cropWidth + region.x - margin;
    const double top = (1.0 - cropBox.maxY()) * cropHeight + region.y - margin;
    const double width = cropBox.width() * cropWidth;
    const double height = cropBox.height() * cropHeight;
    return Rect{{left / imageWidth, (imageHeight - top - height) / imageHeight},
                {width / imageWidth, height / imageHeight}};
}

} // namespace brisklet
