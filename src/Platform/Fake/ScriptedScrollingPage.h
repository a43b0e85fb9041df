#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <mutex>
#include <optional>

namespace brisklet {

/// A tall page seen through a viewport, as a scrolling capture sees it: an optional header
/// fixed at the top, an optional footer fixed at the bottom, and the content scrolling between
/// them. An animated area (a spinner, a clock) can be placed in the frame; it changes with every
/// frame taken. Thread-safe.
class ScriptedScrollingPage {
public:
    /// An area of the frame, in frame pixels, that changes with every frame.
    struct AnimatedArea {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    /// `frameHeight` is the whole viewport: header, visible content and footer.
    ScriptedScrollingPage(Image content, int frameHeight, Image header = {}, Image footer = {});

    int frameWidth() const { return content_.width(); }
    int frameHeight() const { return frameHeight_; }
    int visibleContentHeight() const { return frameHeight_ - header_.height() - footer_.height(); }
    int maximumOffset() const;

    int offset() const;
    void setOffset(int offset);
    /// Moves the content up by `pixels` (down for negative values), stopping at either end.
    /// Returns how far it really moved.
    int scrollBy(int pixels);

    void setAnimatedArea(std::optional<AnimatedArea> area);

    /// What the viewport shows now; advances the animation.
    Image frame();
    /// The page as a perfect stitch shows it: header, all content, footer.
    Image fullPage() const;
    int framesTaken() const;

private:
    void paintAnimation(Image& frame, int phase) const;

    const Image content_;
    const int frameHeight_;
    const Image header_;
    const Image footer_;
    mutable std::mutex mutex_;
    int offset_ = 0;
    int framesTaken_ = 0;
    std::optional<AnimatedArea> animatedArea_;
};

} // namespace brisklet
