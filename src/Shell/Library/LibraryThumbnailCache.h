#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <functional>

namespace brisklet {

/// Card pictures decoded on worker threads, scaled to the card width and kept in a bounded
/// cache, so scrolling through a large library never decodes on the main thread.
class LibraryThumbnailCache final : public QObject {
public:
    /// `budgetMegabytes` bounds the decoded pixels kept.
    explicit LibraryThumbnailCache(int budgetMegabytes = 192);
    ~LibraryThumbnailCache() override;

    /// The decoded picture, or a null image while it is being decoded (`onLoaded` runs then).
    QImage image(const QString& path, int pixelWidth);
    /// Asks for a picture ahead of time (cards just outside the visible area).
    void prefetch(const QString& path, int pixelWidth);
    /// Runs on the main thread whenever a requested picture has arrived.
    std::function<void()> onLoaded;

    int pendingCount() const { return static_cast<int>(pending_.size()); }
    /// Waits for every decode in flight (tests, benchmarks, shutdown).
    void waitForPending();

private:
    static QString key(const QString& path, int pixelWidth);
    void request(const QString& path, int pixelWidth);
    void arrived(const QString& key, const QImage& image);

    QThreadPool pool_;
    QCache<QString, QImage> cache_;
    QSet<QString> pending_;
    /// Files that gave no picture: not asked for again.
    QSet<QString> failed_;
};

} // namespace brisklet
