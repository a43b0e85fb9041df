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
    callbacks.annotate = [this, alive, raw](const QImage&) {
        if (!alive.expired()) {
            annotate(raw);
        }
    };
    callbacks.save = [this, alive](const QImage& shown) {
        if (!alive.expired() && onSave) {
            onSave(fromQImage(shown));
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
    ids_.emplace_back(raw, "pin-" + std::to_string(nextID_++));
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

int QtPinnedWindows::pinnedImageCount() const {
    return static_cast<int>(std::count_if(images_.begin(), images_.end(), [](const auto& w) { return !w->isHidden(); }));
}

void QtPinnedWindows::closeSelectedOrMostRecentImage() {
    PinnedScreenshotWindow* target = selected_ && !selected_->isHidden() ? selected_ : nullptr;
    for (auto it = images_.rbegin(); !target && it != images_.rend(); ++it) {
        if (!(*it)->isHidden()) {
            target = it->get();
        }
    }
    if (target) {
        target->closePin("escape");
    }
}

std::string QtPinnedWindows::idOf(const PinnedScreenshotWindow* window) const {
    const auto found = std::find_if(ids_.begin(), ids_.end(), [window](const auto& entry) { return entry.first == window; });
    return found == ids_.end() ? std::string() : found->second;
}

PinnedScreenshotWindow* QtPinnedWindows::find(const std::string& id) const {
    const auto found = std::find_if(ids_.begin(), ids_.end(), [&id](const auto& entry) { return entry.second == id; });
    if (found == ids_.end()) {
        return nullptr;
    }
    for (const auto& window : images_) {
        if (window.get() == found->first) {
            return window.get();
        }
    }
    return nullptr;
}

void QtPinnedWindows::setImageHidden(const std::string& id, bool hidden) {
    PinnedScreenshotWindow* window = find(id);
    if (!window || window->isHidden() == hidden) {
        return;
    }
    window->setVisible(!hidden);
    if (!hidden) {
        window->raise();
    }
    if (onChanged) {
        onChanged();
    }
}

void QtPinnedWindows::replaceImage(const std::string& id, const Image& image) {
    PinnedScreenshotWindow* window = find(id);
    if (!window) {
        return;
    }
    QImage picture = toQImage(image);
    const QScreen* screen = window->screen() ? window->screen() : screenUnderPointer();
    const double ratio = screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1;
    const QSize points(static_cast<int>(std::lround(picture.width() / ratio)),
                       static_cast<int>(std::lround(picture.height() / ratio)));
    window->replaceImage(std::move(picture), points);
    setImageHidden(id, false);
}

void QtPinnedWindows::imageClosed(PinnedScreenshotWindow* window) {
    if (selected_ == window) {
        selected_ = nullptr;
    }
    std::erase_if(ids_, [window](const auto& entry) { return entry.first == window; });
    release(images_, window, services_.mainQueue);
    if (onChanged) {
        onChanged();
    }
}

void QtPinnedWindows::textClosed(PinnedTextWindow* window) {
    release(texts_, window, services_.mainQueue);
}

void QtPinnedWindows::annotate(PinnedScreenshotWindow* window) {
    if (onAnnotate) {
        // The controller hides the pin while the editor has its picture and shows it again after.
        onAnnotate(idOf(window), fromQImage(window->image()));
    } else {
        RuntimeLogger::log("pinned screenshot annotate unavailable");
    }
}

} // namespace brisklet
