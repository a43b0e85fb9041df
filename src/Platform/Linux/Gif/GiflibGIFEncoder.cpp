#include "Platform/Linux/Gif/GiflibGIFEncoder.h"
#include "Platform/Linux/Gif/GifSharedPalette.h"

#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace brisklet {

namespace {

GIFEncoderError makeError(GIFEncoderError::Kind kind, std::string detail) {
    return GIFEncoderError{kind, std::move(detail)};
}

std::string giflibMessage(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "giflib error " + std::to_string(code);
}

/// A part of the canvas, in pixels.
struct Area {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool isEmpty() const { return width <= 0 || height <= 0; }
    std::size_t pixelCount() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
};

/// What the quality setting (1 … 100) asks of one GIF.
struct EncoderTuning {
    GifQuantizerSettings quantizer;
    /// Largest per-channel difference at which a pixel still counts as showing its source: below it
    /// the pixel is left as shown, so browser dithering and capture noise do not rewrite it.
    int keepTolerance = 0;
    /// A shared palette is replaced once the pixels a frame writes are this much worse (mean squared
    /// error) than the palette did on the frame it was built for…
    double renewalFactor = 2.0;
    /// …and worse than this absolute mean squared error, so a palette that is nearly exact anyway is
    /// not replaced for a small relative change.
    double renewalFloor = 20.0;
};

EncoderTuning tuningFor(int quality) {
    const int q = std::clamp(quality, 1, 100);
    EncoderTuning tuning;
    tuning.quantizer.speed = 4;
    // libimagequant stops adding colours once it reaches this: below 80 fewer colours make the
    // smaller files, well before noise is let through.
    tuning.quantizer.maximumQuality = q >= 80 ? 100 : 60 + q / 2;
    // Light dithering: enough to keep gradients from banding, little enough that flat areas stay
    // runs of one index. Stronger dithering measured both larger and further from the frames.
    tuning.quantizer.ditheringLevel = std::clamp(static_cast<float>(q - 40) / 130.0f, 0.0f, 0.3f);
    // Browsers dither their gradients and capture adds noise of one step: exactly that much is
    // ignored from 20 up, more only below, and nothing at the top.
    tuning.keepTolerance = q >= 97 ? 0 : q >= 20 ? 1 : q >= 10 ? 2 : 3;
    tuning.renewalFactor = 1.1 + (100.0 - q) / 100.0;
    tuning.renewalFloor = 2.0 + (100.0 - q) / 7.0;
    return tuning;
}

bool isOpaque(const Image& frame) {
    const auto& pixels = frame.pixels();
    for (std::size_t i = 3; i < pixels.size(); i += 4) {
        if (pixels[i] != 255)
            return false;
    }
    return true;
}

int largestChannelDifference(const std::uint8_t* a, const std::uint8_t* b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

/// A frame's colour table as it goes into the file.
struct FramePalette {
    std::array<GifColorType, 256> colors{};
    int count = 0;
    int transparentIndex = NO_TRANSPARENT_COLOR;
    /// Entries standing for mostly see-through colours; GIF has one transparent entry for them all.
    std::array<bool, 256> seeThrough{};
};

FramePalette framePalette(const liq_palette& palette) {
    FramePalette out;
    out.count = static_cast<int>(std::min(palette.count, 256u));
    for (int i = 0; i < out.count; ++i) {
        const liq_color& c = palette.entries[i];
        out.colors[static_cast<std::size_t>(i)] = GifColorType{c.r, c.g, c.b};
        out.seeThrough[static_cast<std::size_t>(i)] = c.a < 128;
        if (c.a < 128 && out.transparentIndex == NO_TRANSPARENT_COLOR) {
            out.transparentIndex = i;
        }
    }
    return out;
}

/// Owns the libimagequant objects of one see-through frame, which gets a palette of its own.
struct QuantizedFrame {
    liq_attr* attr = nullptr;
    liq_image* image = nullptr;
    liq_result* result = nullptr;
    std::vector<std::uint8_t> indices;

    QuantizedFrame() = default;
    QuantizedFrame(const QuantizedFrame&) = delete;
    QuantizedFrame& operator=(const QuantizedFrame&) = delete;
    ~QuantizedFrame() {
        if (result)
            liq_result_destroy(result);
        if (image)
            liq_image_destroy(image);
        if (attr)
            liq_attr_destroy(attr);
    }
};

/// The indices of one opaque frame's changed area, before they are packed for the file.
struct FrameUpdate {
    Area area;                         // on the canvas; the indices cover it row by row
    std::vector<std::uint8_t> indices; // into the shared palette; its transparent index = left as shown
    bool hasKeptPixels = false;
};

class GiflibSession final : public GIFEncoderSession {
public:
    GiflibSession(GifFileType* gif, int width, int height, int loopCount, EncoderTuning tuning)
        : gif_(gif), width_(width), height_(height), loopCount_(loopCount), tuning_(tuning) {}
    GiflibSession(const GiflibSession&) = delete;
    GiflibSession& operator=(const GiflibSession&) = delete;
    ~GiflibSession() override {
        if (gif_) {
            int ignored = 0;
            EGifCloseFile(gif_, &ignored);
        }
    }

    Status<GIFEncoderError> addFrame(const Image& frame, int delayHundredths) override {
        if (!gif_) {
            return Status<GIFEncoderError>::failure(
                makeError(GIFEncoderError::Kind::invalidFrame, "the file is already finished"));
        }
        if (frame.width() != width_ || frame.height() != height_) {
            return Status<GIFEncoderError>::failure(
                makeError(GIFEncoderError::Kind::invalidFrame,
                          "frame is " + std::to_string(frame.width()) + "x" + std::to_string(frame.height()) +
                              ", canvas is " + std::to_string(width_) + "x" + std::to_string(height_)));
        }
        // A frame is written once the next one is known: if that one is see-through, this one
        // has to clear the whole canvas afterwards, or older frames would show through it.
        const bool opaque = isOpaque(frame);
        std::optional<GIFEncoderError> error;
        if (pending_) {
            error = writePending(!opaque);
            if (error) {
                // The caller counts frames as it adds them; this failure belongs to the one before.
                error->detail = "the frame before this one: " + error->detail;
            }
        }
        if (!error) {
            pending_ = PendingFrame{frame, delayHundredths, opaque};
        }
        if (error) {
            return Status<GIFEncoderError>::failure(*error);
        }
        return succeeded<GIFEncoderError>();
    }

    Status<GIFEncoderError> finish() override {
        if (!gif_) {
            return Status<GIFEncoderError>::failure(
                makeError(GIFEncoderError::Kind::finalizeFailed, "the file is already finished"));
        }
        if (pending_) {
            if (auto error = writePending(false)) {
                error->detail = "the last frame: " + error->detail;
                return Status<GIFEncoderError>::failure(*error);
            }
        }
        if (auto error = writeHeader(nullptr)) {
            return Status<GIFEncoderError>::failure(*error);
        }
        int code = 0;
        const int status = EGifCloseFile(gif_, &code);
        gif_ = nullptr; // closed (and freed) by giflib whatever the outcome
        shown_.clear();
        if (status != GIF_OK) {
            return Status<GIFEncoderError>::failure(
                makeError(GIFEncoderError::Kind::finalizeFailed, giflibMessage(code)));
        }
        return succeeded<GIFEncoderError>();
    }

private:
    struct PendingFrame {
        Image frame;
        int delayHundredths = 0;
        bool isOpaque = true;
    };

    std::optional<GIFEncoderError> writePending(bool nextIsSeeThrough) {
        const PendingFrame pending = std::move(*pending_);
        pending_.reset();
        if (!pending.isOpaque) {
            return addSeeThroughFrame(pending.frame, pending.delayHundredths);
        }
        if (nextIsSeeThrough) {
            // Disposal clears only the frame's own area, so the frame before a see-through one
            // covers the whole canvas, leaving nothing older behind once it is cleared.
            shown_.clear();
            source_.clear();
        }
        return addOpaqueFrame(pending.frame, pending.delayHundredths,
                              nextIsSeeThrough ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT);
    }

    /// The header goes out with the first frame, so that its palette can be the global table
    /// every later frame on the same palette refers to instead of repeating it.
    std::optional<GIFEncoderError> writeHeader(const GifSharedPalette* palette) {
        if (headerWritten_) {
            return std::nullopt;
        }
        headerWritten_ = true;
        ColorMapObject* map = palette ? colourMap(*palette) : nullptr;
        const bool written = EGifPutScreenDesc(gif_, width_, height_, 8, 0, map) == GIF_OK;
        if (map) {
            GifFreeMapObject(map);
        }
        if (!written || !writeLoopExtension()) {
            return makeError(GIFEncoderError::Kind::cannotCreate, giflibMessage(gif_->Error));
        }
        paletteIsGlobal_ = palette != nullptr;
        return std::nullopt;
    }

    /// Screen frames: the shared palette is reused while it fits; pixels that still show their
    /// source within the quality's tolerance stay as they are (transparent), and only the area
    /// around the pixels that do change is written. The frame is never disposed unless a
    /// see-through frame follows, which needs a clean canvas.
    std::optional<GIFEncoderError> addOpaqueFrame(const Image& frame, int delayHundredths, int disposal) {
        std::vector<std::uint8_t> kept;
        const Area area = areaToWrite(frame, kept);
        if (area.isEmpty()) {
            return writeUnchanged(delayHundredths);
        }
        FrameUpdate update{area, {}, false};
        if (auto error = remapArea(frame, area, kept, update.indices)) {
            return error;
        }
        markShownPixels(frame, kept, update);
        if (auto error = writeHeader(palette_.get())) {
            return error;
        }
        return finishOpaqueFrame(writeUpdate(update, delayHundredths, disposal), disposal);
    }

    std::optional<GIFEncoderError> finishOpaqueFrame(std::optional<GIFEncoderError> error, int disposal) {
        if (!error && disposal == DISPOSE_BACKGROUND) {
            shown_.clear();
            source_.clear();
        }
        return error;
    }

    /// The smallest area holding every pixel that no longer shows its source; `kept` marks the
    /// pixels left as shown. Everything is written when nothing is shown yet.
    Area areaToWrite(const Image& frame, std::vector<std::uint8_t>& kept) const {
        const std::size_t count = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
        kept.assign(count, 0);
        if (shown_.empty()) {
            return {0, 0, width_, height_};
        }
        int left = width_, right = -1, top = height_, bottom = -1;
        const int tolerance = tuning_.keepTolerance;
        for (int y = 0; y < height_; ++y) {
            const std::uint8_t* now = frame.row(y);
            const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
            for (int x = 0; x < width_; ++x) {
                const std::size_t i = rowStart + static_cast<std::size_t>(x);
                const std::uint8_t* pixel = now + static_cast<std::size_t>(x) * 4;
                // Close to the source it was written for, or to what it shows: either way the
                // shown colour is still a faithful quantisation of this pixel.
                if (largestChannelDifference(pixel, &source_[i * 3]) <= tolerance ||
                    largestChannelDifference(pixel, &shown_[i * 3]) <= tolerance) {
                    kept[i] = 1;
                    continue;
                }
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        if (right < 0) {
            return {};
        }
        return {left, top, right - left + 1, bottom - top + 1};
    }

    /// The RGBA the quantizer sees for `area`: the source where pixels change and the colour
    /// already shown where they stay, which is a palette entry, so dithering neither crawls into
    /// still parts nor carries error out of them.
    std::vector<std::uint8_t> areaPixels(const Image& frame, const Area& area,
                                         const std::vector<std::uint8_t>& kept) const {
        std::vector<std::uint8_t> rgba(area.pixelCount() * 4);
        for (int y = 0; y < area.height; ++y) {
            const std::uint8_t* now = frame.row(area.top + y);
            for (int x = 0; x < area.width; ++x) {
                const std::size_t i = canvasIndex(area.left + x, area.top + y);
                std::uint8_t* target = &rgba[(static_cast<std::size_t>(y) * area.width + x) * 4];
                if (kept[i]) {
                    std::memcpy(target, &shown_[i * 3], 3);
                    target[3] = 255;
                } else {
                    std::memcpy(target, now + static_cast<std::size_t>(area.left + x) * 4, 4);
                }
            }
        }
        return rgba;
    }

    /// Maps `area` to the shared palette, replacing the palette first when there is none yet or
    /// when the pixels that change have drifted too far from it.
    /// Maps the changing pixels of `area` to the shared palette (`indices` cover `area`; kept pixels
    /// get no meaningful index), replacing the palette first when there is none yet or when the
    /// pixels that change have drifted too far from it.
    std::optional<GIFEncoderError> remapArea(const Image& frame, const Area& area,
                                             const std::vector<std::uint8_t>& kept,
                                             std::vector<std::uint8_t>& indices) {
        std::vector<Area> regions;
        splitIntoChangedRegions(area, kept, 0, regions);
        if (palette_) {
            if (!remapRegions(frame, area, regions, kept, indices)) {
                return makeError(GIFEncoderError::Kind::encodeFailed, "remapping the frame to its palette failed");
            }
            const double error = changedPixelError(frame, area, kept, indices);
            if (error <= std::max(paletteError_ * tuning_.renewalFactor, tuning_.renewalFloor)) {
                return std::nullopt;
            }
        }
        // A new palette is built from the whole frame, not just the change: it has to serve the
        // frames after this one as well. What changes weighs most, because the still parts are
        // already shown and only their future changes will need the palette.
        std::vector<std::uint8_t> importance;
        if (palette_) {
            importance.resize(kept.size());
            std::transform(kept.begin(), kept.end(), importance.begin(),
                           [](std::uint8_t isKept) { return static_cast<std::uint8_t>(isKept ? 64 : 255); });
        }
        std::string message;
        auto palette = GifSharedPalette::build(frame.data(), width_, height_, importance, tuning_.quantizer, message);
        if (!palette) {
            return makeError(GIFEncoderError::Kind::encodeFailed, message);
        }
        palette_ = std::move(palette);
        paletteIsGlobal_ = false; // the header, if already written, holds an older one
        if (!remapRegions(frame, area, regions, kept, indices)) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "remapping the frame to its palette failed");
        }
        paletteError_ = changedPixelError(frame, area, kept, indices);
        return std::nullopt;
    }

    /// Remaps each region on its own and places its indices in those of `area`.
    bool remapRegions(const Image& frame, const Area& area, const std::vector<Area>& regions,
                      const std::vector<std::uint8_t>& kept, std::vector<std::uint8_t>& indices) const {
        indices.assign(area.pixelCount(), 0);
        std::vector<std::uint8_t> regionIndices;
        for (const Area& region : regions) {
            const std::vector<std::uint8_t> input = areaPixels(frame, region, kept);
            if (!palette_->remap(input.data(), region.width, region.height, regionIndices)) {
                return false;
            }
            for (int y = 0; y < region.height; ++y) {
                std::memcpy(&indices[static_cast<std::size_t>(region.top - area.top + y) * area.width +
                                     static_cast<std::size_t>(region.left - area.left)],
                            &regionIndices[static_cast<std::size_t>(y) * region.width],
                            static_cast<std::size_t>(region.width));
            }
        }
        return true;
    }

    /// Cuts `area` along bands of rows, then of columns, in which nothing changes, so that the
    /// quantizer works on the parts that change and not on the still space between them (a
    /// spinner in one corner and a button in the other). Leaves are tight around their changes.
    void splitIntoChangedRegions(const Area& area, const std::vector<std::uint8_t>& kept, int depth,
                                 std::vector<Area>& regions) const {
        // Narrower gaps cost a quantizer call for little saving.
        constexpr int minimumGap = 16;
        constexpr int maximumDepth = 4;
        const bool byRows = depth % 2 == 0;
        const int length = byRows ? area.height : area.width;
        std::vector<std::uint8_t> changes(static_cast<std::size_t>(length), 0);
        for (int y = 0; y < area.height; ++y) {
            for (int x = 0; x < area.width; ++x) {
                if (!kept[canvasIndex(area.left + x, area.top + y)])
                    changes[static_cast<std::size_t>(byRows ? y : x)] = 1;
            }
        }
        std::vector<std::pair<int, int>> runs; // [first, last] of lines with changes, split at wide gaps
        int gap = 0;
        for (int i = 0; i < length; ++i) {
            if (!changes[static_cast<std::size_t>(i)]) {
                ++gap;
                continue;
            }
            if (runs.empty() || gap >= minimumGap) {
                runs.push_back({i, i});
            } else {
                runs.back().second = i;
            }
            gap = 0;
        }
        for (const auto& [first, last] : runs) {
            const Area part = byRows ? Area{area.left, area.top + first, area.width, last - first + 1}
                                     : Area{area.left + first, area.top, last - first + 1, area.height};
            // A part narrower than its parent may have gaps across the other way.
            const bool shrank = part.width != area.width || part.height != area.height;
            if (depth + 1 < maximumDepth && (depth == 0 || shrank)) {
                splitIntoChangedRegions(part, kept, depth + 1, regions);
            } else {
                regions.push_back(part);
            }
        }
    }

    /// Mean squared error per channel of the changing pixels as mapped.
    double changedPixelError(const Image& frame, const Area& area, const std::vector<std::uint8_t>& kept,
                             const std::vector<std::uint8_t>& indices) const {
        double sum = 0;
        std::size_t count = 0;
        for (int y = 0; y < area.height; ++y) {
            const std::uint8_t* now = frame.row(area.top + y);
            for (int x = 0; x < area.width; ++x) {
                if (kept[canvasIndex(area.left + x, area.top + y)])
                    continue;
                const auto& colour = palette_->colour(indices[static_cast<std::size_t>(y) * area.width + x]);
                const std::uint8_t* pixel = now + static_cast<std::size_t>(area.left + x) * 4;
                for (int c = 0; c < 3; ++c) {
                    const double d = static_cast<double>(pixel[c]) - colour[static_cast<std::size_t>(c)];
                    sum += d * d;
                }
                ++count;
            }
        }
        return count == 0 ? 0.0 : sum / (3.0 * static_cast<double>(count));
    }

    /// Kept pixels, and changing ones that map to the colour already shown, become the transparent
    /// index (long runs of one index compress well); the others update what is shown. The area then
    /// shrinks to the pixels actually written.
    void markShownPixels(const Image& frame, const std::vector<std::uint8_t>& kept, FrameUpdate& update) {
        const int transparent = palette_->transparentIndex();
        const bool firstShown = shown_.empty();
        if (firstShown) {
            shown_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3, 0);
            source_.assign(shown_.size(), 0);
        }
        const Area area = update.area;
        int left = area.left + area.width, right = -1, top = area.top + area.height, bottom = -1;
        for (int y = 0; y < area.height; ++y) {
            const std::uint8_t* now = frame.row(area.top + y);
            for (int x = 0; x < area.width; ++x) {
                const int cx = area.left + x, cy = area.top + y;
                const std::size_t i = canvasIndex(cx, cy);
                std::uint8_t& index = update.indices[static_cast<std::size_t>(y) * area.width + x];
                const auto& colour = palette_->colour(index);
                if (kept[i] || (!firstShown && std::memcmp(colour.data(), &shown_[i * 3], 3) == 0)) {
                    if (!kept[i])
                        std::memcpy(&source_[i * 3], now + static_cast<std::size_t>(cx) * 4, 3);
                    index = static_cast<std::uint8_t>(transparent);
                    update.hasKeptPixels = true;
                    continue;
                }
                std::memcpy(&shown_[i * 3], colour.data(), 3);
                std::memcpy(&source_[i * 3], now + static_cast<std::size_t>(cx) * 4, 3);
                left = std::min(left, cx);
                right = std::max(right, cx);
                top = std::min(top, cy);
                bottom = std::max(bottom, cy);
            }
        }
        if (right < 0) {
            update.area = {};
            update.indices.clear();
            return;
        }
        const Area written{left, top, right - left + 1, bottom - top + 1};
        if (written.width != area.width || written.height != area.height) {
            std::vector<std::uint8_t> cropped(written.pixelCount());
            for (int y = 0; y < written.height; ++y) {
                const auto* from = &update.indices[static_cast<std::size_t>(written.top - area.top + y) * area.width +
                                                   static_cast<std::size_t>(written.left - area.left)];
                std::memcpy(&cropped[static_cast<std::size_t>(y) * written.width], from,
                            static_cast<std::size_t>(written.width));
            }
            update.indices = std::move(cropped);
            update.area = written;
            update.hasKeptPixels =
                std::find(update.indices.begin(), update.indices.end(), transparent) != update.indices.end();
        }
    }

    /// Writes an opaque frame's update: with no colour table of its own when it uses the global
    /// palette whole, or with a table of just the entries it uses when that makes the codes
    /// shorter by enough to pay for the table.
    std::optional<GIFEncoderError> writeUpdate(FrameUpdate& update, int delayHundredths, int disposal) {
        if (update.area.isEmpty()) {
            return writeUnchanged(delayHundredths);
        }
        std::array<int, 257> packed{};
        packed.fill(-1);
        std::vector<GifColorType> colours;
        const int transparent = palette_->transparentIndex();
        for (std::uint8_t index : update.indices) {
            if (packed[index] < 0) {
                packed[index] = static_cast<int>(colours.size());
                colours.push_back(index == transparent ? GifColorType{0, 0, 0} : toGif(palette_->colour(index)));
            }
        }
        const int packedTable = tableSizeFor(static_cast<int>(colours.size()));
        const int fullTable = tableSizeFor(palette_->count() + (update.hasKeptPixels ? 1 : 0));
        const bool usesGlobal = paletteIsGlobal_;
        const double bitsSaved =
            std::log2(static_cast<double>(fullTable)) - std::log2(static_cast<double>(packedTable));
        // Roughly: every code gets shorter by the saved bits, and LZW writes about one code for
        // every two to three pixels of screen content.
        const bool packs = !usesGlobal || bitsSaved * static_cast<double>(update.area.pixelCount()) / 20.0 >
                                              3.0 * static_cast<double>(packedTable);
        const int transparentOut =
            update.hasKeptPixels ? (packs ? packed[transparent] : transparent) : NO_TRANSPARENT_COLOR;
        if (auto error = writeControlBlock(delayHundredths, disposal, transparentOut)) {
            return error;
        }
        if (!packs) {
            return writeImage(nullptr, 0, update.area, update.indices);
        }
        for (std::uint8_t& index : update.indices) {
            index = static_cast<std::uint8_t>(packed[index]);
        }
        return writeImage(colours.data(), static_cast<int>(colours.size()), update.area, update.indices);
    }

    /// Frames with see-through pixels get a palette of their own with transparency and are cleared
    /// afterwards, so nothing of an earlier frame shows through; the frame after one is written whole.
    std::optional<GIFEncoderError> addSeeThroughFrame(const Image& frame, int delayHundredths) {
        shown_.clear();
        source_.clear();
        QuantizedFrame quantized;
        if (auto error = quantizeSeeThrough(frame, quantized)) {
            return error;
        }
        FramePalette palette = framePalette(*liq_get_palette(quantized.result));
        if (palette.transparentIndex != NO_TRANSPARENT_COLOR) {
            // Soft edges and shadows quantize to several faint entries; drawn as their colour they
            // would leave dark fringes, so all of them become the one transparent entry.
            for (std::uint8_t& index : quantized.indices) {
                if (palette.seeThrough[index]) {
                    index = static_cast<std::uint8_t>(palette.transparentIndex);
                }
            }
        }
        if (auto error = writeHeader(nullptr)) {
            return error;
        }
        if (auto error = writeControlBlock(delayHundredths, DISPOSE_BACKGROUND, palette.transparentIndex)) {
            return error;
        }
        return writeImage(palette.colors.data(), palette.count, Area{0, 0, width_, height_}, quantized.indices);
    }

    std::optional<GIFEncoderError> quantizeSeeThrough(const Image& frame, QuantizedFrame& q) const {
        q.attr = liq_attr_create();
        if (!q.attr) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "cannot create the quantizer");
        }
        liq_set_speed(q.attr, std::clamp(tuning_.quantizer.speed, 1, 10));
        liq_set_max_colors(q.attr, 256);
        q.image = liq_image_create_rgba(q.attr, frame.data(), width_, height_, 0);
        if (!q.image) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "cannot hand the frame to the quantizer");
        }
        if (liq_image_quantize(q.image, q.attr, &q.result) != LIQ_OK) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "palette reduction failed");
        }
        liq_set_dithering_level(q.result, tuning_.quantizer.ditheringLevel);
        q.indices.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
        if (liq_write_remapped_image(q.result, q.image, q.indices.data(), q.indices.size()) != LIQ_OK) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "remapping the frame to its palette failed");
        }
        return std::nullopt;
    }

    /// A frame identical to the previous one: a single transparent pixel keeps its delay.
    std::optional<GIFEncoderError> writeUnchanged(int delayHundredths) {
        if (auto error = writeHeader(palette_.get())) {
            return error;
        }
        if (auto error = writeControlBlock(delayHundredths, DISPOSE_DO_NOT, 0)) {
            return error;
        }
        std::vector<std::uint8_t> indices{0};
        const std::array<GifColorType, 1> colors{GifColorType{0, 0, 0}};
        return writeImage(colors.data(), 1, Area{0, 0, 1, 1}, indices);
    }

    std::optional<GIFEncoderError> writeControlBlock(int delayHundredths, int disposal, int transparentIndex) {
        GraphicsControlBlock control{};
        control.DisposalMode = disposal;
        control.UserInputFlag = false;
        control.DelayTime = std::clamp(delayHundredths, 0, 65535);
        control.TransparentColor = transparentIndex;
        GifByteType bytes[4];
        const std::size_t length = EGifGCBToExtension(&control, bytes);
        if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), bytes) != GIF_OK) {
            return makeError(GIFEncoderError::Kind::encodeFailed, giflibMessage(gif_->Error));
        }
        return std::nullopt;
    }

    /// Writes one image; without `colors` it uses the global table.
    std::optional<GIFEncoderError> writeImage(const GifColorType* colors, int count, const Area& area,
                                              std::vector<std::uint8_t>& indices) {
        ColorMapObject* map = nullptr;
        if (colors) {
            map = GifMakeMapObject(tableSizeFor(count), nullptr);
            if (!map) {
                return makeError(GIFEncoderError::Kind::encodeFailed, "cannot allocate the colour table");
            }
            for (int i = 0; i < map->ColorCount; ++i) {
                map->Colors[i] = i < count ? colors[i] : GifColorType{0, 0, 0};
            }
        }
        const bool described =
            EGifPutImageDesc(gif_, area.left, area.top, area.width, area.height, false, map) == GIF_OK;
        if (map) {
            GifFreeMapObject(map);
        }
        if (!described) {
            return makeError(GIFEncoderError::Kind::encodeFailed, giflibMessage(gif_->Error));
        }
        for (int y = 0; y < area.height; ++y) {
            GifPixelType* line = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(area.width);
            if (EGifPutLine(gif_, line, area.width) != GIF_OK) {
                return makeError(GIFEncoderError::Kind::encodeFailed, giflibMessage(gif_->Error));
            }
        }
        return std::nullopt;
    }

    /// The shared palette plus its transparent entry as a giflib table.
    static ColorMapObject* colourMap(const GifSharedPalette& palette) {
        ColorMapObject* map = GifMakeMapObject(tableSizeFor(palette.count() + 1), nullptr);
        if (!map) {
            return nullptr;
        }
        for (int i = 0; i < map->ColorCount; ++i) {
            map->Colors[i] = i < palette.count() ? toGif(palette.colour(i)) : GifColorType{0, 0, 0};
        }
        return map;
    }

    /// Colour tables hold a power of two entries, at least two.
    static int tableSizeFor(int count) {
        int size = 2;
        while (size < count) {
            size *= 2;
        }
        return size;
    }

    static GifColorType toGif(const GifSharedPalette::Colour& colour) {
        return GifColorType{colour[0], colour[1], colour[2]};
    }

    std::size_t canvasIndex(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    /// The NETSCAPE2.0 application block: browsers and viewers read the loop count from it.
    bool writeLoopExtension() {
        static const GifByteType identifier[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        const int loops = std::clamp(loopCount_, 0, 65535);
        const GifByteType data[] = {1, static_cast<GifByteType>(loops & 0xff), static_cast<GifByteType>(loops >> 8)};
        return EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
               EGifPutExtensionBlock(gif_, sizeof identifier, identifier) == GIF_OK &&
               EGifPutExtensionBlock(gif_, sizeof data, data) == GIF_OK && EGifPutExtensionTrailer(gif_) == GIF_OK;
    }

    GifFileType* gif_;
    int width_;
    int height_;
    int loopCount_;
    EncoderTuning tuning_;
    bool headerWritten_ = false;
    std::unique_ptr<GifSharedPalette> palette_; // the palette frames are mapped to now
    bool paletteIsGlobal_ = false;              // palette_ is the header's table
    double paletteError_ = 0;                   // what palette_ achieved on the frame it was built for
    std::vector<std::uint8_t> shown_;           // RGB the viewer shows after the frames written; empty = a clean canvas
    std::vector<std::uint8_t> source_;          // RGB of the source each shown pixel was last written for
    std::optional<PendingFrame> pending_;       // added but not yet written: its disposal depends on the next
};

} // namespace

Result<std::unique_ptr<GIFEncoderSession>, GIFEncoderError>
GiflibGIFEncoder::begin(const std::filesystem::path& file, int width, int height, int loopCount, int quality) {
    using R = Result<std::unique_ptr<GIFEncoderSession>, GIFEncoderError>;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
        return R::failure(
            makeError(GIFEncoderError::Kind::invalidFrame,
                      "canvas " + std::to_string(width) + "x" + std::to_string(height) + " is outside 1…65535 pixels"));
    }
    int code = 0;
    GifFileType* gif = EGifOpenFileName(file.c_str(), false, &code);
    if (!gif) {
        return R::failure(makeError(GIFEncoderError::Kind::cannotCreate, giflibMessage(code)));
    }
    // GIF89a is needed for the delay and loop blocks.
    EGifSetGifVersion(gif, true);
    return R::success(std::make_unique<GiflibSession>(gif, width, height, loopCount, tuningFor(quality)));
}

} // namespace brisklet
