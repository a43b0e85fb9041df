#include "Platform/Linux/Gif/GiflibGIFEncoder.h"

#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <array>
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
        QuantizedFrame quantized;
        if (auto error = quantize(frame, quantized)) {
            return Status<GIFEncoderError>::failure(*error);
        }
        const liq_palette* palette = liq_get_palette(quantized.result);
        int transparentIndex = NO_TRANSPARENT_COLOR;
        std::array<GifColorType, 256> colors{};
        for (unsigned i = 0; i < palette->count && i < 256; ++i) {
            colors[i] = GifColorType{palette->entries[i].r, palette->entries[i].g, palette->entries[i].b};
            if (palette->entries[i].a < 128 && transparentIndex == NO_TRANSPARENT_COLOR) {
                transparentIndex = static_cast<int>(i);
            }
        }
        if (auto error = writeControlBlock(delayHundredths, transparentIndex)) {
            return Status<GIFEncoderError>::failure(*error);
        }
        if (auto error = writeImage(colors.data(), static_cast<int>(palette->count), quantized.indices)) {
            return Status<GIFEncoderError>::failure(*error);
        }
        return succeeded<GIFEncoderError>();
    }

    Status<GIFEncoderError> finish() override {
        if (!gif_) {
            return Status<GIFEncoderError>::failure(
                makeError(GIFEncoderError::Kind::finalizeFailed, "the file is already finished"));
        }
        int code = 0;
        const int status = EGifCloseFile(gif_, &code);
        gif_ = nullptr; // closed (and freed) by giflib whatever the outcome
        if (status != GIF_OK) {
            return Status<GIFEncoderError>::failure(
                makeError(GIFEncoderError::Kind::finalizeFailed, giflibMessage(code)));
        }
        return succeeded<GIFEncoderError>();
    }

private:
    std::optional<GIFEncoderError> quantize(const Image& frame, QuantizedFrame& q) const {
        q.attr = liq_attr_create();
        if (!q.attr) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "cannot create the quantizer");
        }
        liq_set_speed(q.attr, std::clamp(speed_, 1, 10));
        liq_set_max_colors(q.attr, 256);
        q.image = liq_image_create_rgba(q.attr, frame.data(), width_, height_, 0);
        if (!q.image) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "cannot hand the frame to the quantizer");
        }
        if (liq_image_quantize(q.image, q.attr, &q.result) != LIQ_OK) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "palette reduction failed");
        }
        liq_set_dithering_level(q.result, 1.0f);
        q.indices.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
        if (liq_write_remapped_image(q.result, q.image, q.indices.data(), q.indices.size()) != LIQ_OK) {
            return makeError(GIFEncoderError::Kind::encodeFailed, "remapping the frame to its palette failed");
        }
        return std::nullopt;
    }

    std::optional<GIFEncoderError> writeControlBlock(int delayHundredths, int transparentIndex) {
        GraphicsControlBlock control{};
        // Frames cover the whole canvas, so the previous frame only needs clearing when this one
        // has see-through pixels.
        control.DisposalMode = transparentIndex == NO_TRANSPARENT_COLOR ? DISPOSE_DO_NOT : DISPOSE_BACKGROUND;
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

    std::optional<GIFEncoderError> writeImage(const GifColorType* colors, int count,
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
        const bool described = EGifPutImageDesc(gif_, 0, 0, width_, height_, false, map) == GIF_OK;
        GifFreeMapObject(map);
        if (!described) {
            return makeError(GIFEncoderError::Kind::encodeFailed, giflibMessage(gif_->Error));
        }
        for (int y = 0; y < height_; ++y) {
            GifPixelType* line = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
            if (EGifPutLine(gif_, line, width_) != GIF_OK) {
                return makeError(GIFEncoderError::Kind::encodeFailed, giflibMessage(gif_->Error));
            }
        }
        return std::nullopt;
    }

    GifFileType* gif_;
    int width_;
    int height_;
    int speed_;
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
