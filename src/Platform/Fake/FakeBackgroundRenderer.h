#pragma once

#include "Platform/BackgroundRenderer.h"

#include <atomic>
#include <optional>

namespace brisklet {

/// A renderer that paints flat colours (background grey 40, stage grey 60) and counts its
/// calls; a frame is copied into the content rectangle unclipped. It can be told to fail.
class FakeBackgroundRenderer final : public BackgroundRenderer {
public:
    Result<Image, BackgroundRenderError> compose(const Image& content, const BackgroundComposition& composition,
                                                 BackgroundCaptureContext) const override {
        const BackgroundLayout layout =
            BackgroundLayout::make({double(content.width()), double(content.height())}, composition);
        auto base = renderBackground(composition, layout.canvasSize);
        return base ? composeFrame(base.value(), layout, composition, content) : base;
    }

    Result<Image, BackgroundRenderError> renderBackground(const BackgroundComposition&,
                                                          Size canvasSize) const override {
        ++backgrounds;
        if (failure) {
            return Result<Image, BackgroundRenderError>::failure(*failure);
        }
        Image image(static_cast<int>(canvasSize.width), static_cast<int>(canvasSize.height));
        image.fill(40, 40, 40);
        return Result<Image, BackgroundRenderError>::success(std::move(image));
    }

    Result<Image, BackgroundRenderError> renderFrameStage(const Image& background, const BackgroundLayout&,
                                                          const BackgroundComposition&) const override {
        ++stages;
        Image stage = background;
        stage.fill(60, 60, 60);
        return Result<Image, BackgroundRenderError>::success(std::move(stage));
    }

    Result<Image, BackgroundRenderError> composeFrame(const Image& stage, const BackgroundLayout& layout,
                                                      const BackgroundComposition&, const Image& frame) const override {
        ++frames;
        Image result = stage;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                const std::uint8_t* p = frame.row(y) + x * 4;
                result.setPixel(int(layout.contentRect.minX()) + x, int(layout.contentRect.minY()) + y, p[0], p[1],
                                p[2], p[3]);
            }
        }
        return Result<Image, BackgroundRenderError>::success(std::move(result));
    }

    std::optional<BackgroundRenderError> failure;
    mutable std::atomic<int> backgrounds{0};
    mutable std::atomic<int> stages{0};
    mutable std::atomic<int> frames{0};
};

} // namespace brisklet
