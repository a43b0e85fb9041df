#include "ZelvorApp/Longshot/LongshotImageOps.h"

#include <algorithm>
#include <cmath>

namespace brisklet::LongshotImageOps {

namespace {

/// Start of each destination cell in source coordinates, plus the end of the last one. Every
/// cell covers at least one source pixel.
std::vector<int> cellStarts(int sourceLength, int length) {
    std::vector<int> starts(static_cast<std::size_t>(length) + 1);
    for (int i = 0; i <= length; ++i) {
        starts[static_cast<std::size_t>(i)] =
            static_cast<int>(static_cast<long long>(i) * sourceLength / std::max(length, 1));
    }
    for (int i = 1; i <= length; ++i) {
        auto& start = starts[static_cast<std::size_t>(i)];
        start = std::min(std::max(start, starts[static_cast<std::size_t>(i) - 1] + 1), sourceLength);
    }
    return starts;
}

void addRow(const std::uint8_t* __restrict row, std::uint16_t* __restrict sums, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        sums[k] = static_cast<std::uint16_t>(sums[k] + row[k]);
    }
}

void addRow(const std::uint8_t* __restrict row, std::uint32_t* __restrict sums, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        sums[k] += row[k];
    }
}

/// Rows are summed first, byte by byte (a loop the compiler vectorises), then each cell's
/// columns once per destination row: every source byte is touched once, cheaply.
template <class Sum>
void shrinkWith(const std::uint8_t* source, int sourceWidth, std::size_t sourceStride, const std::vector<int>& columns,
                const std::vector<int>& rows, std::uint8_t* target) {
    const std::size_t rowBytes = static_cast<std::size_t>(sourceWidth) * 4;
    const std::size_t width = columns.size() - 1;
    int widestCell = 1;
    for (std::size_t i = 0; i < width; ++i) {
        widestCell = std::max(widestCell, columns[i + 1] - columns[i]);
    }
    std::vector<Sum> sums(rowBytes);
    std::vector<std::uint64_t> reciprocal(static_cast<std::size_t>(widestCell) + 1);
    for (std::size_t j = 0; j + 1 < rows.size(); ++j) {
        const int y0 = rows[j];
        const int y1 = rows[j + 1];
        std::fill(sums.begin(), sums.end(), Sum{0});
        for (int y = y0; y < y1; ++y) {
            addRow(source + static_cast<std::size_t>(y) * sourceStride, sums.data(), rowBytes);
        }
        // Cells differ in width by one column at most: a handful of reciprocals (32-bit fixed
        // point) replace a division per channel and pixel.
        for (int w = 1; w <= widestCell; ++w) {
            const auto area = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(y1 - y0);
            reciprocal[static_cast<std::size_t>(w)] = ((std::uint64_t{1} << 32) + area / 2) / area;
        }
        for (std::size_t i = 0; i < width; ++i, target += 4) {
            const int x0 = columns[i];
            const int x1 = columns[i + 1];
            std::uint32_t cell[4] = {0, 0, 0, 0};
            for (int x = x0; x < x1; ++x) {
                for (std::size_t c = 0; c < 4; ++c) {
                    cell[c] += sums[static_cast<std::size_t>(x) * 4 + c];
                }
            }
            const std::uint64_t scale = reciprocal[static_cast<std::size_t>(x1 - x0)];
            for (std::size_t c = 0; c < 4; ++c) {
                const std::uint64_t mean = (cell[c] * scale + (std::uint64_t{1} << 31)) >> 32;
                target[c] = static_cast<std::uint8_t>(std::min<std::uint64_t>(mean, 255));
            }
            if (target[3] != 255) {
                // Premultiplied, as drawing into a premultiplied bitmap gives; screen frames are
                // opaque, so the mean colour is simply scaled by the mean coverage.
                for (std::size_t c = 0; c < 3; ++c) {
                    target[c] = static_cast<std::uint8_t>((target[c] * target[3] + 127) / 255);
                }
            }
        }
    }
}

} // namespace

std::vector<std::uint8_t> shrink(const std::uint8_t* source, int sourceWidth, int sourceHeight,
                                 std::size_t sourceStride, int width, int height) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) {
        return out;
    }
    const auto columns = cellStarts(sourceWidth, width);
    const auto rows = cellStarts(sourceHeight, height);
    int tallestCell = 0;
    for (int j = 0; j < height; ++j) {
        tallestCell = std::max(tallestCell, rows[static_cast<std::size_t>(j) + 1] - rows[static_cast<std::size_t>(j)]);
    }
    // Narrow sums where they cannot overflow: twice as many bytes per vector instruction.
    if (tallestCell <= 257) {
        shrinkWith<std::uint16_t>(source, sourceWidth, sourceStride, columns, rows, out.data());
    } else {
        shrinkWith<std::uint32_t>(source, sourceWidth, sourceStride, columns, rows, out.data());
    }
    return out;
}

std::optional<Image> crop(const Image& image, int x, int y, int width, int height) {
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + width, image.width());
    const int y1 = std::min(y + height, image.height());
    if (x1 <= x0 || y1 <= y0) {
        return std::nullopt;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(x1 - x0) * 4;
    std::vector<std::uint8_t> pixels;
    pixels.reserve(rowBytes * static_cast<std::size_t>(y1 - y0));
    for (int row = y0; row < y1; ++row) {
        const std::uint8_t* start = image.row(row) + static_cast<std::size_t>(x0) * 4;
        pixels.insert(pixels.end(), start, start + rowBytes);
    }
    return Image(x1 - x0, y1 - y0, std::move(pixels));
}

Image scaledToFit(const Image& image, int maximumWidth, int maximumHeight) {
    if (image.isEmpty() || maximumWidth <= 0 || maximumHeight <= 0) {
        return Image{};
    }
    const double scale = std::min({1.0, double(maximumWidth) / image.width(), double(maximumHeight) / image.height()});
    if (scale >= 1.0) {
        return image;
    }
    const int width = std::max(1, static_cast<int>(std::lround(image.width() * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(image.height() * scale)));
    return Image(width, height,
                 shrink(image.data(), image.width(), image.height(), image.bytesPerRow(), width, height));
}

} // namespace brisklet::LongshotImageOps
