#pragma once

#include "ZelvorApp/Longshot/LongshotPreviewSnapshot.h"

#include <functional>
#include <map>
#include <optional>

namespace brisklet {

/// The preview window's state; the window redraws when told. Main thread only.
class LongshotPreviewModel {
public:
    using Observer = std::function<void(const LongshotPreviewModel&)>;

    const std::optional<Image>& image() const { return image_; }
    int frameCount() const { return frameCount_; }
    int pixelHeight() const { return pixelHeight_; }

    void update(const LongshotPreviewSnapshot& snapshot);
    /// Back to "nothing captured yet".
    void clear();

    int addObserver(Observer observer);
    void removeObserver(int token);

private:
    void notify();

    std::optional<Image> image_;
    int frameCount_ = 0;
    int pixelHeight_ = 0;
    std::map<int, Observer> observers_;
    int nextToken_ = 1;
};

} // namespace brisklet
