#include "ZelvorApp/Longshot/LongshotPreviewModel.h"

namespace brisklet {

void LongshotPreviewModel::update(const LongshotPreviewSnapshot& snapshot) {
    image_ = snapshot.image;
    frameCount_ = snapshot.frameCount;
    pixelHeight_ = snapshot.pixelHeight;
    notify();
}

void LongshotPreviewModel::clear() {
    image_.reset();
    frameCount_ = 0;
    pixelHeight_ = 0;
    notify();
}

int LongshotPreviewModel::addObserver(Observer observer) {
    const int token = nextToken_++;
    observers_.emplace(token, std::move(observer));
    return token;
}

void LongshotPreviewModel::removeObserver(int token) {
    observers_.erase(token);
}

void LongshotPreviewModel::notify() {
    // A copy, so an observer may remove itself while being told.
    const auto observers = observers_;
    for (const auto& [token, observer] : observers) {
        observer(*this);
    }
}

} // namespace brisklet
