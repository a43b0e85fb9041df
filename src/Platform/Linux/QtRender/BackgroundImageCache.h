#pragma once

#include <QImage>

#include <array>
#include <filesystem>
#include <list>
#include <mutex>
#include <optional>
#include <string>

namespace brisklet {

/// What the background renderer keeps between pictures.
enum class BackgroundCacheKind {
    adjustedPicture, ///< a picture reduced, brightened and blurred for one drawn size
    layer,           ///< a picture background drawn over a whole canvas
    shadow,          ///< a blurred shadow mask at full size
};

/// Decoded background pictures and what was made from them, so the editor's preview does not
/// decode and blur a wallpaper again for every change of padding or position. A file that
/// changed on disk is decoded again. Small (a few entries of each kind, fewer of the
/// canvas-sized ones) and safe across threads.
class BackgroundImageCache {
public:
    BackgroundImageCache() = default;

    /// The picture in `file`, decoded (EXIF orientation applied) as ARGB32 premultiplied;
    /// nothing when the file is missing or cannot be decoded.
    std::optional<QImage> picture(const std::filesystem::path& file);
    /// An image stored earlier under `key`.
    std::optional<QImage> find(BackgroundCacheKind kind, const std::string& key);
    void store(BackgroundCacheKind kind, const std::string& key, const QImage& image);
    /// The identity of a file's current version ("path|mtime|size"), or nothing when it is gone.
    static std::optional<std::string> versionKey(const std::filesystem::path& file);
    void clear();

private:
    struct Entry {
        std::string key;
        QImage image;
    };
    struct Shelf {
        std::size_t capacity;
        std::list<Entry> entries;
    };
    static std::optional<QImage> lookUp(Shelf& shelf, const std::string& key);
    static void put(Shelf& shelf, const std::string& key, const QImage& image);
    Shelf& shelf(BackgroundCacheKind kind) { return shelves_[static_cast<std::size_t>(kind)]; }

    std::mutex mutex_;
    Shelf pictures_{3, {}};
    std::array<Shelf, 3> shelves_{Shelf{4, {}}, Shelf{2, {}}, Shelf{3, {}}};
};

} // namespace brisklet
