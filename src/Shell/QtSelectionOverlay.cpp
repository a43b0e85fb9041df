#include "Shell/QtSelectionOverlay.h"

#include "Platform/DisplayServer.h"
#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/MainQueue.h"
#include "Shell/SelectionOverlayWindow.h"
#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Hotkeys/HotkeyDesktopText.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Selection/RememberedSelectionPolicy.h"
#include "ZelvorApp/Selection/SelectionOverlayViewModel.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace brisklet {

namespace {

/// A Qt screen's frame in the global desktop space (bottom-left of the primary screen, y up).
Rect globalFrame(const QScreen* screen) {
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    const QRect g = screen->geometry();
    return Rect{{static_cast<double>(g.x() - primary.x()),
                 static_cast<double>(primary.y() + primary.height() - g.y() - g.height())},
                {static_cast<double>(g.width()), static_cast<double>(g.height())}};
}

QScreen* targetScreen(const SelectionOverlayConfiguration& configuration) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (configuration.preferredScreenFrame) {
        std::vector<Rect> frames;
        for (const QScreen* screen : screens) {
            frames.push_back(globalFrame(screen));
        }
        if (const auto best = SelectionOverlayTargetScreenPolicy::bestFrame(*configuration.preferredScreenFrame, frames)) {
            for (QScreen* screen : screens) {
                if (globalFrame(screen) == *best) {
                    return screen;
                }
            }
        }
    }
    if (QScreen* under = QGuiApplication::screenAt(QCursor::pos())) {
        return under;
    }
    return QGuiApplication::primaryScreen();
}

DisplayScreen displayScreenFor(const QScreen* screen, const DisplayServer& displays) {
    const Rect frame = globalFrame(screen);
    for (const DisplayScreen& candidate : displays.screens()) {
        if (candidate.frame == frame) {
            return candidate;
        }
    }
    DisplayScreen made;
    made.name = screen->name().toStdString();
    made.frame = frame;
    made.visibleFrame = frame;
    made.scale = screen->devicePixelRatio();
    made.isPrimary = screen == QGuiApplication::primaryScreen();
    return made;
}

std::string boolText(bool value) {
    return value ? "true" : "false";
}

} // namespace

QtSelectionOverlay::QtSelectionOverlay(const DisplayServer& displays, ExportService& exportService,
                                       MainQueue& mainQueue, const LocalizationStore& localization)
    : displays_(displays), exportService_(exportService), mainQueue_(mainQueue), localization_(localization) {}

QtSelectionOverlay::~QtSelectionOverlay() {
    dismiss();
}

void QtSelectionOverlay::dismiss() {
    if (window_) {
        window_->hide();
        // The window may be inside one of its own event handlers; it goes on the next turn.
        window_.release()->deleteLater();
    }
    if (model_) {
        SelectionOverlayViewModel* model = model_.release();
        mainQueue_.post([model] { delete model; });
    }
}

void QtSelectionOverlay::close(std::string_view reason) {
    RuntimeLogger::log("closeActiveSelection reason=" + std::string(reason));
    dismiss();
}

void QtSelectionOverlay::present(const SelectionOverlayConfiguration& configuration, Handlers handlers) {
    if (window_) {
        RuntimeLogger::log("selection begin ignored reason=activeOverlay");
        return;
    }
    QScreen* screen = targetScreen(configuration);
    const DisplayScreen display = displayScreenFor(screen, displays_);
    RuntimeLogger::log("selection target screen frame=" + toString(display.frame) + " frontmostWindows=0 preferredApp=" +
                       configuration.preferredScreenAppName.value_or("nil"));
    // X11 cannot leave one window out of a capture, so the screen is photographed before the
    // overlay maps; the overlay then shows that photograph, frozen.
    const QImage snapshot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    RuntimeLogger::log("selection pre-overlay snapshot required=true succeeded=" + boolText(!snapshot.isNull()));

    const QRect geometry = screen->geometry();
    const Rect viewBounds{{0, 0}, {static_cast<double>(geometry.width()), static_cast<double>(geometry.height())}};
    SelectionOverlayViewModel::Options options;
    options.autoConfirmOnMouseUp = configuration.autoConfirmOnMouseUp;
    options.showsActionButtons = configuration.showsActionButtons;
    SelectionOverlayWindow::Look look;
    look.prompt = QString::fromStdString(configuration.prompt);
    look.showsCrosshair = configuration.showsCrosshair;
    look.showsMagnifier = configuration.showsMagnifier;
    look.dark = ShellAppearance::resolve(configuration.appearanceMode).dark;
    look.confirmTitle = QString::fromStdString(configuration.confirmTitle);
    look.cancelTitle = QString::fromStdString(configuration.cancelTitle);
    if (const auto& hotkey = configuration.fullScreenSelectionHotkey; hotkey && !normalizedHotkeyToken(hotkey->key).empty()) {
        options.hasFullScreenHotkey = true;
        options.fullScreenShortcutText = hotkey->displayValue();
        look.fullScreenToken = normalizedHotkeyToken(hotkey->key);
        look.fullScreenModifiers = hotkey->modifiers.rawValue;
        look.fullScreenHint = QString::fromStdString(
            localization_.format(L10nKey::overlayFullScreenShortcutHint, {HotkeyDesktopText::text(*hotkey)}));
    }
    options.scale = screen->devicePixelRatio();
    const Rect initial = RememberedSelectionPolicy::initialSelectionRect(configuration.rememberedSelection,
                                                                         display.displayID, display.frame, viewBounds);
    model_ = std::make_unique<SelectionOverlayViewModel>(options, viewBounds, initial, mainQueue_);
    window_ = std::make_unique<SelectionOverlayWindow>(*model_, snapshot, geometry, look);

    std::weak_ptr<bool> alive = alive_;
    const bool waitForClean = configuration.waitForCleanSnapshotBeforeConfirm;
    model_->onConfirm = [this, alive, handlers, display, snapshot, waitForClean](Rect viewRect) {
        if (alive.expired()) {
            return;
        }
        RuntimeLogger::log("selection confirm action=completeWithAvailableSnapshot waitForClean=" + boolText(waitForClean) +
                           " hasSnapshot=" + boolText(!snapshot.isNull()) + " hasCached=false hasPreOverlaySnapshot=" +
                           boolText(!snapshot.isNull()) + " inFlight=false hiddenWindows=0");
        ScreenSelectionResult result;
        result.rect = Rect{{viewRect.minX() + display.frame.minX(), viewRect.minY() + display.frame.minY()}, viewRect.size};
        result.screen = display;
        if (!snapshot.isNull()) {
            result.screenSnapshotImage = fromQImage(snapshot);
        }
        dismiss();
        if (handlers.onSelect) {
            handlers.onSelect(std::move(result));
        }
    };
    model_->onCancel = [this, alive, handlers] {
        if (alive.expired()) {
            return;
        }
        RuntimeLogger::log("selection cancelled by user");
        dismiss();
        mainQueue_.post([handlers] {
            if (handlers.onCancel) {
                handlers.onCancel();
            }
        });
    };
    model_->onCopyColor = [this, alive](MagnifierColorFormat format) {
        if (alive.expired() || !window_) {
            return;
        }
        const auto sample = window_->sampleUnderPointer();
        if (!sample) {
            QApplication::beep();
            return;
        }
        exportService_.copyTextToPasteboard(sample->clipboardText(format));
        RuntimeLogger::log("selection color copied value=" + sample->clipboardText(format));
    };
    window_->onOtherCombination = [this, alive](const std::string& token, int modifiers) {
        return !alive.expired() && onKeyCombination && onKeyCombination(token, modifiers);
    };
    window_->show();
    RuntimeLogger::log("selection overlay frame requested=" + toString(display.frame) + " actual=" + toString(display.frame) +
                       " visible=" + toString(display.visibleFrame));
    RuntimeLogger::log("selection overlay show skippedAppActivation=false skippedMakeKey=false level=bypassWindowManager");
}

} // namespace brisklet
