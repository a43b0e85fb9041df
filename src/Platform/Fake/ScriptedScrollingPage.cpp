#include "Platform/Fake/ScriptedScrollingPage.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace brisklet {

ScriptedScrollingPage::ScriptedScrollingPage(Image content, int frameHeight, Image header, Image footer)
    : content_(std::move(content)), frameHeight_(frameHeight), header_(std::move(header)), footer_(std::move(footer)) {
    const bool barsFit = (header_.isEmpty() || header_.width() == content_.width()) &&
                         (footer_.isEmpty() || footer_.width() == content_.width());
    if (content_.isEmpty() || !barsFit || visibleContentHeight() < 1 || visibleContentHeight() > content_.height()) {
        throw std::invalid_argument("ScriptedScrollingPage: header, footer and content do not fit the viewport");
    }
}

int ScriptedScrollingPage::maximumOffset() const {
    return content_.height() - visibleContentHeight();
}

int ScriptedScrollingPage::offset() const {
    std::lock_guard lock(mutex_);
    return offset_;
}

void ScriptedScrollingPage::setOffset(int offset) {
    std::lock_guard lock(mutex_);
    offset_ = std::clamp(offset, 0, maximumOffset());
}

int ScriptedScrollingPage::scrollBy(int pixels) {
    std::lock_guard lock(mutex_);
    const int before = offset_;
    offset_ = std::clamp(offset_ + pixels, 0, maximumOffset());
    return offset_ - before;
}

void ScriptedScrollingPage::setAnimatedArea(std::optional<AnimatedArea> area) {
    std::lock_guard lock(mutex_);
    animatedArea_ = area;
}

int ScriptedScrollingPage::framesTaken() const {
    std::lock_guard lock(mutex_);
    return framesTaken_;
}

Image ScriptedScrollingPage::frame() {
    int offset = 0;
    int phase = 0;
    {
        std::lock_guard lock(mutex_);
        offset = offset_;
        phase = framesTaken_++;
    }
    Image frame(content_.width(), frameHeight_);
    const std::size_t rowBytes = frame.bytesPerRow();
    for (int y = 0; y < header_.height(); ++y) {
        std::memcpy(frame.row(y), header_.row(y), rowBytes);
    }
    for (int y = 0; y < visibleContentHeight(); ++y) {
        std::memcpy(frame.row(header_.height() + y), content_.row(offset + y), rowBytes);
    }
    for (int y = 0; y < footer_.height(); ++y) {
        std::memcpy(frame.row(frameHeight_ - footer_.height() + y), footer_.row(y), rowBytes);
    }
    paintAnimation(frame, phase);
    return frame;
}

void ScriptedScrollingPage::paintAnimation(Image& frame, int phase) const {
    std::optional<AnimatedArea> area;
    {
        std::lock_guard lock(mutex_);
        area = animatedArea_;
    }
    if (!area) {
        return;
    }
    // A rotating bar pattern: every frame differs from the one before in most of the area.
    for (int y = std::max(area->y, 0); y < std::min(area->y + area->height, frame.height()); ++y) {
        for (int x = std::max(area->x, 0); x < std::min(area->x + area->width, frame.width()); ++x) {
            const bool on = ((x - area->x + y - area->y + phase * 3) / 3) % 2 == 0;
            const auto level = static_cast<std::uint8_t>(on ? 250 : 20 + (phase * 37) % 80);
            frame.setPixel(x, y, level, static_cast<std::uint8_t>(255 - level), 128);
        }
    }
}

Image ScriptedScrollingPage::fullPage() const {
    std::vector<std::uint8_t> pixels;
    pixels.reserve(header_.pixels().size() + content_.pixels().size() + footer_.pixels().size());
    for (const Image* part : {&header_, &content_, &footer_}) {
        pixels.insert(pixels.end(), part->pixels().begin(), part->pixels().end());
    }
    return Image(content_.width(), header_.height() + content_.height() + footer_.height(), std::move(pixels));
}

} // namespace brisklet
