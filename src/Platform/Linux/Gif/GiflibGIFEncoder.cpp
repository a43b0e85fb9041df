#include "Platform/Linux/Gif/GiflibGIFEncoder.h"

#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <array>
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

/// Owns the libimagequant objects of one frame; they are released in reverse order of creation.
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

/// A part of the canvas, in pixels.
struct Area {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool isEmpty() const { return width <= 0 || height <= 0; }
    std::size_t pixelCount() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
};

/// The pixels of one frame as they go into the file: RGBA for the quantizer, placed at `area`.
struct FramePixels {
    Area area;
    std::vector<std::uint8_t> rgba;
    bool hasKeptPixels = false; // some pixels are left as the previous frame showed them
};

bool isOpaque(const Image& frame) {
    const auto& pixels = frame.pixels();
    for (std::size_t i = 3; i < pixels.size(); i += 4) {
        if (pixels[i] != 255)
            return false;
    }
    return true;
}

std::uint32_t pixelAt(const std::uint8_t* row, int x) {
    std::uint32_t value = 0;
    std::memcpy(&value, row + static_cast<std::size_t>(x) * 4, sizeof value);
    return value;
}

/// The smallest area holding every pixel in which `frame` differs from `previous` (RGBA rows of the
/// same size); empty when the frames are identical.
Area changedArea(const std::vector<std::uint8_t>& previous, const Image& frame) {
    const std::size_t rowBytes = frame.bytesPerRow();
    const auto rowDiffers = [&](int y) {
        return std::memcmp(previous.data() + static_cast<std::size_t>(y) * rowBytes, frame.row(y), rowBytes) != 0;
    };
    int top = 0;
    while (top < frame.height() && !rowDiffers(top))
        ++top;
    if (top == frame.height())
        return {};
    int bottom = frame.height() - 1;
    while (bottom > top && !rowDiffers(bottom))
        --bottom;
    int left = frame.width() - 1;
    int right = 0;
    for (int y = top; y <= bottom; ++y) {
        const std::uint8_t* before = previous.data() + static_cast<std::size_t>(y) * rowBytes;
        const std::uint8_t* now = frame.row(y);
        for (int x = 0; x < left; ++x) {
            if (pixelAt(before, x) != pixelAt(now, x)) {
                left = x;
                break;
            }
        }
        for (int x = frame.width() - 1; x > right; --x) {
            if (pixelAt(before, x) != pixelAt(now, x)) {
                right = x;
                break;
            }
        }
    }
    // A row that differs has at least one differing pixel, so left <= right here.
    right = std::max(right, left);
    return {left, top, right - left + 1, bottom - top + 1};
}

/// The whole frame, every pixel written.
FramePixels wholeFrame(const Image& frame) {
    return {{0, 0, frame.width(), frame.height()}, frame.pixels(), false};
}

/// The changed `area` of `frame`; pixels inside it that did not change become fully transparent so
/// that the decoder keeps what it already shows there.
FramePixels changedPixels(const std::vector<std::uint8_t>& previous, const Image& frame, Area area) {
    FramePixels out{area, std::vector<std::uint8_t>(area.pixelCount() * 4), false};
    for (int y = 0; y < area.height; ++y) {
        const std::size_t offset = static_cast<std::size_t>(area.top + y) * frame.bytesPerRow();
        const std::uint8_t* before = previous.data() + offset;
        const std::uint8_t* now = frame.data() + offset;
        std::uint8_t* target = out.rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(area.width) * 4;
        for (int x = 0; x < area.width; ++x) {
            const int column = area.left + x;
            if (pixelAt(before, column) == pixelAt(now, column)) {
                out.hasKeptPixels = true; // the buffer starts as transparent black
            } else {
                std::memcpy(target + static_cast<std::size_t>(x) * 4, now + static_cast<std::size_t>(column) * 4, 4);
            }
        }
    }
    return out;
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

int squaredDistance(const GifColorType& a, const std::uint8_t* rgb) {
    const int r = a.Red - rgb[0], g = a.Green - rgb[1], b = a.Blue - rgb[2];
    return r * r + g * g + b * b;
}

int nearestVisibleEntry(const FramePalette& palette, const std::uint8_t* rgb) {
    int best = -1;
    for (int c = 0; c < palette.count; ++c) {
        if (c != palette.transparentIndex &&
            (best < 0 || squaredDistance(palette.colors[static_cast<std::size_t>(c)], rgb) <
                             squaredDistance(palette.colors[static_cast<std::size_t>(best)], rgb)))
            best = c;
    }
    return best;
}

/// Makes sure kept pixels use the transparent entry and changed pixels never do: the quantizer
/// normally guarantees both, but dithering could move a changed pixel onto the transparent entry,
/// which would leave a stale pixel on screen. Fails only when the table has no room for one.
bool separateKeptFromChangedPixels(const FramePixels& pixels, FramePalette& palette,
                                   std::vector<std::uint8_t>& indices) {
    if (palette.transparentIndex == NO_TRANSPARENT_COLOR) {
        if (palette.count >= 256)
            return false;
        palette.transparentIndex = palette.count;
        palette.colors[static_cast<std::size_t>(palette.count++)] = GifColorType{0, 0, 0};
    }
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const std::uint8_t* rgba = pixels.rgba.data() + i * 4;
        if (rgba[3] == 0) {
            indices[i] = static_cast<std::uint8_t>(palette.transparentIndex);
        } else if (indices[i] == palette.transparentIndex) {
            indices[i] = static_cast<std::uint8_t>(std::max(nearestVisibleEntry(palette, rgba), 0));
        }
    }
    return true;
}

class GiflibSession final : public GIFEncoderSession {
public:
    GiflibSession(GifFileType* gif, int width, int height, int speed)
        : gif_(gif), width_(width), height_(height), speed_(speed) {}
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
        int code = 0;
        const int status = EGifCloseFile(gif_, &code);
        gif_ = nullptr; // closed (and freed) by giflib whatever the outcome
        previous_.clear();
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
        if (nextIsSeeThrough || !pending.isOpaque) {
            return addClearedFrame(pending.frame, pending.delayHundredths);
        }
        return addOpaqueFrame(pending.frame, pending.delayHundredths);
    }

    /// Screen frames: only the area that changed since the previous frame is written, and unchanged
    /// pixels inside it are transparent, because recordings of user interfaces change little from
    /// one frame to the next. The previous frame is never disposed, so it shows through.
    std::optional<GIFEncoderError> addOpaqueFrame(const Image& frame, int delayHundredths) {
        std::optional<GIFEncoderError> error;
        if (previous_.empty()) {
            error = writeQuantized(wholeFrame(frame), delayHundredths, DISPOSE_DO_NOT);
        } else if (const Area area = changedArea(previous_, frame); area.isEmpty()) {
            error = writeUnchanged(delayHundredths);
        } else {
            error = writeQuantized(changedPixels(previous_, frame, area), delayHundredths, DISPOSE_DO_NOT);
        }
        if (!error) {
            previous_ = frame.pixels();
        }
        return error;
    }

    /// Frames with see-through pixels, and frames just before one, are written whole and cleared
    /// afterwards, so nothing of an earlier frame shows through a see-through one; the next frame is
    /// therefore written whole as well.
    std::optional<GIFEncoderError> addClearedFrame(const Image& frame, int delayHundredths) {
        previous_.clear();
        return writeQuantized(wholeFrame(frame), delayHundredths, DISPOSE_BACKGROUND);
    }

    /// A frame identical to the previous one: a single transparent pixel keeps its delay.
    std::optional<GIFEncoderError> writeUnchanged(int delayHundredths) {
        if (auto error = writeControlBlock(delayHundredths, DISPOSE_DO_NOT, 0)) {
            return error;
        }
        std::vector<std::uint8_t> indices{0};
        const std::array<GifColorType, 1> colors{GifColorType{0, 0, 0}};
        return writeImage(colors.data(), 1, Area{0, 0, 1, 1}, indices);
    }

    std::optional<GIFEncoderError> writeQuantized(const FramePixels& pixels, int delayHundredths,
                                                  int requestedDisposal) {
        QuantizedFrame quantized;
        if (auto error = quantize(pixels, quantized)) {
            return error;
        }
        FramePalette palette = framePalette(*liq_get_palette(quantized.result));
        if (pixels.hasKeptPixels && !separateKeptFromChangedPixels(pixels, palette, quantized.indices)) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "no palette entry left for unchanged pixels");
        }
        if (!pixels.hasKeptPixels && palette.transparentIndex != NO_TRANSPARENT_COLOR) {
            // Soft edges and shadows quantize to several faint entries; drawn as their colour they
            // would leave dark fringes, so all of them become the one transparent entry.
            for (std::uint8_t& index : quantized.indices) {
                if (palette.seeThrough[index]) {
                    index = static_cast<std::uint8_t>(palette.transparentIndex);
                }
            }
        }
        // Kept pixels rely on the frame below them staying on screen.
        const int disposal = pixels.hasKeptPixels ? DISPOSE_DO_NOT : requestedDisposal;
        if (auto error = writeControlBlock(delayHundredths, disposal, palette.transparentIndex)) {
            return error;
        }
        return writeImage(palette.colors.data(), palette.count, pixels.area, quantized.indices);
    }

    std::optional<GIFEncoderError> quantize(const FramePixels& pixels, QuantizedFrame& q) const {
        q.attr = liq_attr_create();
        if (!q.attr) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "cannot create the quantizer");
        }
        liq_set_speed(q.attr, std::clamp(speed_, 1, 10));
        liq_set_max_colors(q.attr, 256);
        q.image = liq_image_create_rgba(q.attr, pixels.rgba.data(), pixels.area.width, pixels.area.height, 0);
        if (!q.image) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "cannot hand the frame to the quantizer");
        }
        if (liq_image_quantize(q.image, q.attr, &q.result) != LIQ_OK) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "palette reduction failed");
        }
        // Half-strength dithering: full strength speckles the flat colours of user interfaces, which
        // costs file size and sharpness, while none at all bands gradients and photos.
        liq_set_dithering_level(q.result, 0.5f);
        q.indices.resize(pixels.area.pixelCount());
        if (liq_write_remapped_image(q.result, q.image, q.indices.data(), q.indices.size()) != LIQ_OK) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "remapping the frame to its palette failed");
        }
        return std::nullopt;
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

    std::optional<GIFEncoderError> writeImage(const GifColorType* colors, int count, const Area& area,
                                              std::vector<std::uint8_t>& indices) {
        int tableSize = 2; // colour tables hold a power of two entries, at least two
        while (tableSize < count) {
            tableSize *= 2;
        }
        ColorMapObject* map = GifMakeMapObject(tableSize, nullptr);
        if (!map) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "cannot allocate the colour table");
        }
        for (int i = 0; i < tableSize; ++i) {
            map->Colors[i] = i < count ? colors[i] : GifColorType{0, 0, 0};
        }
        const bool described =
            EGifPutImageDesc(gif_, area.left, area.top, area.width, area.height, false, map) == GIF_OK;
        GifFreeMapObject(map);
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

    GifFileType* gif_;
    int width_;
    int height_;
    int speed_;
    std::vector<std::uint8_t> previous_;  // RGBA of the last opaque frame written; empty before the first
    std::optional<PendingFrame> pending_; // added but not yet written: its disposal depends on the next
};

/// The NETSCAPE2.0 application block: browsers and viewers read the loop count from it.
bool writeLoopExtension(GifFileType* gif, int loopCount) {
    static const GifByteType identifier[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    const int loops = std::clamp(loopCount, 0, 65535);
    const GifByteType data[] = {1, static_cast<GifByteType>(loops & 0xff), static_cast<GifByteType>(loops >> 8)};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof identifier, identifier) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof data, data) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
}

} // namespace

Result<std::unique_ptr<GIFEncoderSession>, GIFEncoderError>
GiflibGIFEncoder::begin(const std::filesystem::path& file, int width, int height, int loopCount) {
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
    auto session = std::make_unique<GiflibSession>(gif, width, height, speed_);
    // GIF89a is needed for the delay and loop blocks.
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, width, height, 8, 0, nullptr) != GIF_OK || !writeLoopExtension(gif, loopCount)) {
        return R::failure(makeError(GIFEncoderError::Kind::cannotCreate, giflibMessage(gif->Error)));
    }
    return R::success(std::move(session));
}

} // namespace brisklet
