#include "Shell/Pinned/QtPinnedWindows.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/MainQueue.h"
#include "Shell/Pinned/PinnedScreenshotWindow.h"
#include "Shell/Pinned/PinnedTextWindow.h"
#include "Shell/QtDesktopGeometry.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

QScreen* screenUnderPointer() {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    return screen ? screen : QGuiApplication::primaryScreen();
}

/// Where a picture without a frame of its own goes: centred on the screen under the pointer, at
/// its size in points, kept inside the screen.
QRect centredFrame(const QImage& image) {
    const QScreen* screen = screenUnderPointer();
    const QRect area = screen->availableGeometry();
    const double ratio = screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1;
    QSize size(static_cast<int>(std::lround(image.width() / ratio)),
               static_cast<int>(std::lround(image.height() / ratio)));
    size = size.boundedTo(area.size() * 0.9);
    return QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

template <typename Window> void release(std::vector<std::unique_ptr<Window>>& windows, Window* window, MainQueue& queue) {
    const auto found = std::find_if(windows.begin(), windows.end(), [window](const auto& w) { return w.get() == window; });
    if (found == windows.end()) {
        return;
    }
    // The window may be inside one of its own handlers: it goes on the next turn.
    Window* leaving = found->release();
    windows.erase(found);
    queue.post([leaving] { delete leaving; });
}

} // namespace

QtPinnedWindows::QtPinnedWindows(Services services) : services_(services) {}

QtPinnedWindows::~QtPinnedWindows() = default;

void QtPinnedWindows::pinImage(const Image& image, const Rect& frame, PinnedMouseDoubleClickAction leftDoubleClick) {
    QImage picture = toQImage(image);
    AppPreferences preferences = services_.model.preferences();
    preferences.pinnedLeftDoubleClickAction = leftDoubleClick;
    const QRect placed = frame.width() > 0 && frame.height() > 0 ? QtDesktopGeometry::globalRect(frame)
                                                                 : centredFrame(picture);
    auto window = std::make_unique<PinnedScreenshotWindow>(std::move(picture), placed, preferences,
                                                           services_.localization);
    PinnedScreenshotWindow* raw = window.get();
    std::weak_ptr<bool> alive = alive_;
    PinnedScreenshotWindow::Callbacks callbacks;
    callbacks.copy = [this, alive](const QImage& shown) {
        if (!alive.expired()) {
            services_.exportService.copyImageToPasteboard(fromQImage(shown));
            RuntimeLogger::log("pinned screenshot copied");
        }
    };
    callbacks.annotate = [this, alive](const QImage& shown) {
        if (!alive.expired()) {
            annotate(shown);
        }
    };
    callbacks.selected = [this, alive, raw] {
        if (!alive.expired()) {
            selected_ = raw;
        }
    };
    callbacks.closed = [this, alive, raw] {
        if (!alive.expired()) {
            imageClosed(raw);
        }
    };
    raw->setCallbacks(std::move(callbacks));
    images_.push_back(std::move(window));
    raw->show();
    raw->raise();
    if (onChanged) {
        onChanged();
    }
}

void QtPinnedWindows::pinText(const std::string& text, const std::optional<DisplayScreen>& screen) {
    const QRect area = screen ? QtDesktopGeometry::globalRect(screen->frame) : screenUnderPointer()->availableGeometry();
    std::weak_ptr<bool> alive = alive_;
    auto window = std::make_unique<PinnedTextWindow>(text, area, services_.model.preferences(), services_.localization);
    PinnedTextWindow* raw = window.get();
    PinnedTextWindow::Callbacks callbacks;
    callbacks.copy = [this, alive](const std::string& chosen) {
        if (!alive.expired()) {
            services_.exportService.copyTextToPasteboard(chosen);
        }
    };
    callbacks.closed = [this, alive, raw] {
        if (!alive.expired()) {
            textClosed(raw);
        }
    };
    raw->setCallbacks(std::move(callbacks));
    texts_.push_back(std::move(window));
    raw->show();
    raw->raise();
}

void QtPinnedWindows::closeSelectedOrMostRecentImage() {
    PinnedScreenshotWindow* target = selected_ ? selected_ : (images_.empty() ? nullptr : images_.back().get());
    if (target) {
        target->closePin("escape");
    }
}

void QtPinnedWindows::imageClosed(PinnedScreenshotWindow* window) {
    if (selected_ == window) {
        selected_ = nullptr;
    }
    release(images_, window, services_.mainQueue);
    if (onChanged) {
        onChanged();
    }
}

void QtPinnedWindows::textClosed(PinnedTextWindow* window) {
    release(texts_, window, services_.mainQueue);
}

void QtPinnedWindows::annotate(const QImage& image) {
    if (onAnnotate) {
        onAnnotate(fromQImage(image));
    } else {
        RuntimeLogger::log("pinned screenshot annotate unavailable");
    }
}

} // namespace brisklet
