#include "Platform/Linux/QtRender/BackgroundImageCache.h"

#include <QImageReader>

namespace brisklet {

std::optional<std::string> BackgroundImageCache::versionKey(const std::filesystem::path& file) {
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    const auto size = std::filesystem::file_size(file, error);
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error) {
        return std::nullopt;
    }
    return file.string() + "|" + std::to_string(modified.time_since_epoch().count()) + "|" + std::to_string(size);
}

std::optional<QImage> BackgroundImageCache::picture(const std::filesystem::path& file) {
    const auto key = versionKey(file);
    if (!key) {
        return std::nullopt;
    }
    {
        const std::lock_guard lock(mutex_);
        if (auto found = lookUp(pictures_, *key)) {
            return found;
        }
    }
    QImageReader reader(QString::fromStdString(file.string()));
    reader.setAutoTransform(true);
    const QImage decoded = reader.read();
    if (decoded.isNull()) {
        return std::nullopt;
    }
    QImage prepared = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const std::lock_guard lock(mutex_);
    put(pictures_, *key, prepared);
    return prepared;
}

std::optional<QImage> BackgroundImageCache::find(BackgroundCacheKind kind, const std::string& key) {
    const std::lock_guard lock(mutex_);
    return lookUp(shelf(kind), key);
}

void BackgroundImageCache::store(BackgroundCacheKind kind, const std::string& key, const QImage& image) {
    const std::lock_guard lock(mutex_);
    put(shelf(kind), key, image);
}

void BackgroundImageCache::clear() {
    const std::lock_guard lock(mutex_);
    pictures_.entries.clear();
    for (auto& each : shelves_) {
        each.entries.clear();
    }
}

std::optional<QImage> BackgroundImageCache::lookUp(Shelf& shelf, const std::string& key) {
    auto& entries = shelf.entries;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->key == key) {
            entries.splice(entries.begin(), entries, it); // most recently used first
            return entries.front().image;
        }
    }
    return std::nullopt;
}

void BackgroundImageCache::put(Shelf& shelf, const std::string& key, const QImage& image) {
    shelf.entries.remove_if([&](const Entry& e) { return e.key == key; });
    shelf.entries.push_front({key, image});
    while (shelf.entries.size() > shelf.capacity) {
        shelf.entries.pop_back();
    }
}

} // namespace brisklet
