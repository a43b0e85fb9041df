#include "Shell/Editor/EditorSceneCache.h"

#include <QPainter>

namespace brisklet {

const QImage& EditorSceneCache::scene(Key key, const std::function<void(QPainter&)>& paint) {
    if (key_ && *key_ == key && !picture_.isNull()) {
        return picture_;
    }
    if (picture_.size() != key.pixelSize) {
        picture_ = QImage(key.pixelSize, QImage::Format_RGB32);
    }
    picture_.setDevicePixelRatio(key.devicePixelRatio);
    {
        QPainter painter(&picture_);
        paint(painter);
    }
    key_ = std::move(key);
    return picture_;
}

void EditorSceneCache::clear() {
    key_.reset();
    picture_ = QImage();
}

} // namespace brisklet
