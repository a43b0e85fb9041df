#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorApp/Editor/EditorViewport.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace brisklet {

/// The editor's picture of everything that stands still while the pointer moves: the frozen
/// screen, the dimming, the screenshot and every finished annotation. Repainting all of that on
/// each pointer move cost 17 ms on a 4K screenshot with a few blurs; with the still part cached a
/// move costs the arrow being drawn and one image copy.
class EditorSceneCache {
public:
    /// What the cached picture shows; a new picture is painted whenever any of it changes.
    struct Key {
        std::vector<AnnotationItem> annotations;
        /// Annotations left out of the picture: the text being typed, the one in hand.
        std::vector<Uuid> leftOut;
        EditorViewport viewport;
        qint64 imageKey = 0;
        QSize pixelSize;
        qreal devicePixelRatio = 1;
        /// Bumped by the window for anything else it paints into the scene.
        std::uint64_t generation = 0;
        bool operator==(const Key&) const = default;
    };

    /// The picture for `key`, painted by `paint` (in the window's logical coordinates) when the
    /// cached one shows something else.
    const QImage& scene(Key key, const std::function<void(QPainter&)>& paint);
    void clear();

private:
    std::optional<Key> key_;
    QImage picture_;
};

} // namespace brisklet
