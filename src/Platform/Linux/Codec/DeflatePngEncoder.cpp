#include "Platform/Linux/Codec/DeflatePngEncoder.h"

#include "Platform/Linux/Codec/ParallelZlib.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace brisklet {

namespace {

enum FilterType : std::uint8_t { none = 0, sub = 1, up = 2, average = 3, paeth = 4 };

void appendBigEndian(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

void appendChunk(std::string& out, const char type[4], const std::uint8_t* data, std::size_t size) {
    appendBigEndian(out, static_cast<std::uint32_t>(size));
    const std::size_t typeAt = out.size();
    out.append(type, 4);
    if (size > 0) {
        out.append(reinterpret_cast<const char*>(data), size);
    }
    const auto* crcStart = reinterpret_cast<const std::uint8_t*>(out.data() + typeAt);
    appendBigEndian(out, static_cast<std::uint32_t>(crc32(0, crcStart, static_cast<uInt>(size + 4))));
}

std::uint8_t paethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return static_cast<std::uint8_t>(a);
    }
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

/// Filters one row of `length` bytes into `out` (without the filter-type byte). `previous` is the
/// unfiltered row above (zeros above the first row); `bpp` the bytes per pixel. One plain loop per
/// filter, so the compiler can vectorise the common ones.
void filterRow(FilterType type, const std::uint8_t* row, const std::uint8_t* previous, std::size_t length, int bpp,
               std::uint8_t* out) {
    const auto n = static_cast<std::size_t>(bpp);
    switch (type) {
    case none:
        std::copy_n(row, length, out);
        return;
    case sub:
        std::copy_n(row, n, out);
        for (std::size_t i = n; i < length; ++i) {
            out[i] = static_cast<std::uint8_t>(row[i] - row[i - n]);
        }
        return;
    case up:
        for (std::size_t i = 0; i < length; ++i) {
            out[i] = static_cast<std::uint8_t>(row[i] - previous[i]);
        }
        return;
    case average:
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = static_cast<std::uint8_t>(row[i] - previous[i] / 2);
        }
        for (std::size_t i = n; i < length; ++i) {
            out[i] = static_cast<std::uint8_t>(row[i] - (row[i - n] + previous[i]) / 2);
        }
        return;
    case paeth:
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = static_cast<std::uint8_t>(row[i] - previous[i]);
        }
        for (std::size_t i = n; i < length; ++i) {
            out[i] = static_cast<std::uint8_t>(row[i] - paethPredictor(row[i - n], previous[i], previous[i - n]));
        }
        return;
    }
}

/// The usual "minimum sum of absolute differences" guess at which filter compresses best.
std::uint64_t cost(const std::uint8_t* filtered, std::size_t length) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum += filtered[i] < 128 ? filtered[i] : 256 - filtered[i];
    }
    return sum;
}

/// The image's rows as PNG scanlines (filter byte + filtered bytes), RGB or RGBA.
std::vector<std::uint8_t> scanlines(const Image& image, bool opaque, DeflatePngEncoder::Filters filters) {
    const int bpp = opaque ? 3 : 4;
    const std::size_t length = static_cast<std::size_t>(image.width()) * bpp;
    std::vector<std::uint8_t> out((length + 1) * static_cast<std::size_t>(image.height()));
    // The row above the first one counts as zeros.
    std::vector<std::uint8_t> current(length), previous(length, 0), candidate(length);
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* source = image.row(y);
        if (opaque) {
            std::uint8_t* packed = current.data();
            for (int x = 0; x < image.width(); ++x, source += 4, packed += 3) {
                packed[0] = source[0];
                packed[1] = source[1];
                packed[2] = source[2];
            }
        } else {
            std::copy_n(source, length, current.data());
        }
        std::uint8_t* line = out.data() + static_cast<std::size_t>(y) * (length + 1);
        const std::uint8_t* above = previous.data();
        if (filters == DeflatePngEncoder::Filters::sub) {
            line[0] = sub;
            filterRow(sub, current.data(), above, length, bpp, line + 1);
        } else {
            std::uint64_t best = UINT64_MAX;
            for (FilterType type : {none, sub, up, average, paeth}) {
                filterRow(type, current.data(), above, length, bpp, candidate.data());
                const std::uint64_t c = cost(candidate.data(), length);
                if (c < best) {
                    best = c;
                    line[0] = type;
                    std::copy(candidate.begin(), candidate.end(), line + 1);
                }
            }
        }
        std::swap(current, previous);
    }
    return out;
}

} // namespace

std::optional<std::string> DeflatePngEncoder::encode(const Image& image) const {
    if (image.isEmpty()) {
        return std::nullopt;
    }
    // Screenshots are opaque: dropping the alpha channel makes the file a quarter smaller to start with.
    const bool opaque = image.isOpaque();
    const std::vector<std::uint8_t> raw = scanlines(image, opaque, filters_);

    const auto compressed = ParallelZlib::compress(raw.data(), raw.size(), level_, threads_);
    if (!compressed) {
        return std::nullopt;
    }
    const std::size_t compressedSize = compressed->size();

    std::string png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(compressedSize + 64);
    std::uint8_t header[13] = {};
    const auto width = static_cast<std::uint32_t>(image.width());
    const auto height = static_cast<std::uint32_t>(image.height());
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
        header[4 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
    }
    header[8] = 8;              // bit depth
    header[9] = opaque ? 2 : 6; // truecolour, with alpha unless opaque
    appendChunk(png, "IHDR", header, sizeof header);
    const std::uint8_t perceptual = 0;
    appendChunk(png, "sRGB", &perceptual, 1);
    // Decoders stream IDAT data chunk by chunk; a few megabytes each keeps every length far from
    // the format's 2 GiB limit.
    constexpr std::size_t idatChunk = 8u << 20;
    for (std::size_t offset = 0; offset < compressedSize; offset += idatChunk) {
        appendChunk(png, "IDAT", compressed->data() + offset, std::min(idatChunk, compressedSize - offset));
    }
    appendChunk(png, "IEND", nullptr, 0);
    return png;
}

} // namespace brisklet
