#include "Shell/QtWindowPicker.h"

#include "Shell/QtStrings.h"
#include "Platform/Workspace.h"
#include "Shell/ShellAppearance.h"
#include "Shell/WindowPickerWindow.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Capture/WindowPickerViewModel.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHash>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace brisklet {

namespace {

/// The title goes last: it may hold spaces, and the rest of the line is all of it.
std::string rowDescription(const CapturedWindowInfo& window) {
    return "id=" + std::to_string(window.id) + " owner=" + window.ownerName + " title=" + window.title;
}

QRect qRect(const Rect& bounds) {
    return QRectF(bounds.minX(), bounds.minY(), bounds.width(), bounds.height()).toAlignedRect();
}

Rect rect(const QRect& frame) {
    return Rect{{static_cast<double>(frame.x()), static_cast<double>(frame.y())},
                {static_cast<double>(frame.width()), static_cast<double>(frame.height())}};
}

} // namespace

QtWindowPicker::QtWindowPicker(const AppModel& model, const LocalizationStore& localization,
                               const WindowEnumerator* windows, const Workspace& workspace)
    : appModel_(model), localization_(localization), windows_(windows), workspace_(workspace) {}

QtWindowPicker::~QtWindowPicker() {
    refreshTimer_.reset();
    // Not inside any of the window's handlers now: both can go at once.
    window_.reset();
    model_.reset();
}

void QtWindowPicker::present(const std::vector<CapturedWindowInfo>& windows, Handlers handlers) {
    if (window_) {
        // Asked again while open (the hotkey pressed twice): the open picker is the answer.
        RuntimeLogger::log("window picker raised reason=alreadyShown");
        model_->setWindows(windows);
        window_->raise();
        window_->activateWindow();
        return;
    }
    show(windows, std::move(handlers));
}

void QtWindowPicker::show(const std::vector<CapturedWindowInfo>& windows, Handlers handlers) {
    std::weak_ptr<bool> alive = alive_;
    WindowPickerViewModel::Handlers modelHandlers;
    modelHandlers.onPick = [this, alive, onPick = std::move(handlers.onPick)](CapturedWindowInfo window) {
        if (alive.expired()) {
            return;
        }
        RuntimeLogger::log("window picker picked " + rowDescription(window));
        dismiss();
        if (onPick) {
            onPick(std::move(window));
        }
    };
    modelHandlers.onCancel = [this, alive, onCancel = std::move(handlers.onCancel)] {
        if (alive.expired()) {
            return;
        }
        RuntimeLogger::log("window picker cancelled");
        dismiss();
        if (onCancel) {
            onCancel();
        }
    };
    model_ = std::make_unique<WindowPickerViewModel>(windows, std::move(modelHandlers));

    WindowPickerWindow::Texts texts;
    const bool forPackage = handlers.purpose == Purpose::superScreenshot;
    texts.title = qt(localization_.text(forPackage ? L10nKey::windowPickerSuperTitle : L10nKey::windowPickerTitle));
    texts.heading =
        qt(localization_.text(forPackage ? L10nKey::windowPickerSuperHeading : L10nKey::windowPickerHeading));
    texts.description = qt(localization_.text(L10nKey::windowPickerDescription));
    texts.emptyList = qt(localization_.text(L10nKey::alertNoRecordableWindowMessage));
    texts.cancel = qt(localization_.text(L10nKey::windowPickerCancel));
    texts.startRecording =
        qt(localization_.text(forPackage ? L10nKey::windowPickerSuperCapture : L10nKey::windowPickerStartRecording));
    if (forPackage) {
        texts.startSymbol = QStringLiteral("sparkles.rectangle.stack");
    }
    const ShellAppearance appearance = ShellAppearance::resolve(appModel_.preferences().visualAppearanceMode);
    window_ = std::make_unique<WindowPickerWindow>(*model_, texts, appearance);
    model_->onChange = [window = window_.get()] { window->refresh(); };

    // Before the picker maps, so none of the pictures has the picker in it.
    std::vector<std::int64_t> all;
    for (const CapturedWindowInfo& window : windows) {
        all.push_back(window.id);
    }
    takeThumbnails(all);

    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    QRect frame(QPoint(0, 0), window_->size());
    frame.moveCenter(screen->availableGeometry().center());
    window_->move(frame.topLeft());
    window_->show();
    window_->raise();
    window_->activateWindow();
    RuntimeLogger::log("window picker shown count=" + std::to_string(windows.size()));
    for (const CapturedWindowInfo& window : windows) {
        RuntimeLogger::log("window picker row " + rowDescription(window));
    }

    refreshTimer_ = std::make_unique<QTimer>();
    refreshTimer_->setInterval(refreshIntervalMilliseconds);
    QObject::connect(refreshTimer_.get(), &QTimer::timeout, refreshTimer_.get(), [this] { refresh(); });
    refreshTimer_->start();
}

void QtWindowPicker::refresh() {
    if (!model_ || !window_) {
        return;
    }
    if (windows_) {
        const std::vector<std::int64_t> before = [this] {
            std::vector<std::int64_t> ids;
            for (const CapturedWindowInfo& window : model_->windows()) {
                ids.push_back(window.id);
            }
            return ids;
        }();
        model_->setWindows(windows_->windows(workspace_.currentProcessIdentifier()));
        std::size_t appeared = 0;
        for (const CapturedWindowInfo& window : model_->windows()) {
            if (std::find(before.begin(), before.end(), window.id) == before.end()) {
                RuntimeLogger::log("window picker row " + rowDescription(window));
                ++appeared;
            }
        }
        if (appeared > 0 || before.size() != model_->windows().size()) {
            RuntimeLogger::log("window picker list changed count=" + std::to_string(model_->windows().size()));
        }
    }
    takeThumbnails(model_->windowsClearOf(rect(window_->frameGeometry())));
}

void QtWindowPicker::takeThumbnails(const std::vector<std::int64_t>& ids) {
    // One photograph per screen, however many windows are on it; each row's picture is cut out.
    QHash<QScreen*, QPixmap> shots;
    const QSize tileSize = WindowPickerWindow::thumbnailSize * window_->devicePixelRatioF();
    for (const CapturedWindowInfo& window : model_->windows()) {
        if (std::find(ids.begin(), ids.end(), window.id) == ids.end()) {
            continue;
        }
        const QRect bounds = qRect(window.bounds);
        QScreen* screen = QGuiApplication::screenAt(bounds.center());
        if (!screen) {
            continue;
        }
        auto shot = shots.find(screen);
        if (shot == shots.end()) {
            shot = shots.insert(screen, screen->grabWindow(0));
        }
        if (shot->isNull()) {
            continue;
        }
        const QRect geometry = screen->geometry();
        const qreal scale = static_cast<qreal>(shot->width()) / geometry.width();
        const QRectF local = QRectF(bounds.translated(-geometry.topLeft()));
        const QRect part = QRectF(local.x() * scale, local.y() * scale, local.width() * scale, local.height() * scale)
                               .toAlignedRect() &
                           shot->rect();
        if (part.isEmpty()) {
            continue;
        }
        window_->setThumbnail(window.id,
                              shot->copy(part).scaled(tileSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
}

void QtWindowPicker::close() {
    if (window_) {
        RuntimeLogger::log("window picker closed");
        dismiss();
    }
}

void QtWindowPicker::dismiss() {
    refreshTimer_.reset();
    if (!window_) {
        return;
    }
    window_->hide();
    // Usually called from inside one of the window's handlers, through the model: both go on the
    // next turn, the model after the window that refers to it.
    WindowPickerWindow* window = window_.release();
    WindowPickerViewModel* model = model_.release();
    model->onChange = nullptr;
    QObject::connect(window, &QObject::destroyed, [model] { delete model; });
    window->deleteLater();
}

} // namespace brisklet
