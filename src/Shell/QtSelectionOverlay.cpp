#include "Shell/QtSelectionOverlay.h"

#include "Platform/DisplayServer.h"
#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/MainQueue.h"
#include "Platform/RectangleDetector.h"
#include "ZelvorApp/Capture/CapturedWindowInfo.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "Shell/SelectionOverlayWindow.h"
#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Hotkeys/HotkeyDesktopText.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Selection/RememberedSelectionPolicy.h"
#include "ZelvorApp/Selection/SelectionOverlayViewModel.h"
#include "ZelvorApp/Selection/SelectionSnapDetector.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThreadPool>

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

/// A Qt screen's frame in the window server's space (top-left of the primary screen, y down).
Rect windowServerFrame(const QScreen* screen) {
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    const QRect g = screen->geometry();
    return Rect{{static_cast<double>(g.x() - primary.x()), static_cast<double>(g.y() - primary.y())},
                {static_cast<double>(g.width()), static_cast<double>(g.height())}};
}

/// The overlay shows the photograph in the backing store's own format, so painting it is a copy.
QImage displayable(const Image& image) {
    const QImage wrapped(image.row(0), image.width(), image.height(), static_cast<qsizetype>(image.bytesPerRow()),
                         QImage::Format_RGBA8888);
    return wrapped.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QtSelectionOverlay::QtSelectionOverlay(const DisplayServer& displays, ScreenCaptureService& capture,
                                       ExportService& exportService, MainQueue& mainQueue,
                                       const LocalizationStore& localization, SnapSources snapSources)
    : displays_(displays), capture_(capture), exportService_(exportService), mainQueue_(mainQueue), localization_(localization),
      snapSources_(std::move(snapSources)) {}

QtSelectionOverlay::~QtSelectionOverlay() {
    dismiss();
    // A detection still running uses the detector and the main queue, which go away with us.
    QThreadPool::globalInstance()->waitForDone();
}

bool QtSelectionOverlay::hasActiveSelection() const {
    return window_ && window_->isPresenting();
}

void QtSelectionOverlay::dismiss() {
    session_.reset();
    if (window_) {
        window_->dismiss();
    }
    if (model_) {
        // The model may be inside one of its own callbacks; it goes on the next turn.
        SelectionOverlayViewModel* model = model_.release();
        mainQueue_.post([model] { delete model; });
    }
}

void QtSelectionOverlay::makeWindow() {
    if (window_) {
        return;
    }
    window_ = std::make_unique<SelectionOverlayWindow>();
    std::weak_ptr<bool> alive = alive_;
    window_->onOtherCombination = [this, alive](const std::string& token, int modifiers) {
        return !alive.expired() && onKeyCombination && onKeyCombination(token, modifiers);
    };
}

void QtSelectionOverlay::prepare() {
    if (hasActiveSelection()) {
        return;
    }
    makeWindow();
    window_->prepare();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (const auto snapshot = photograph(screen, displayScreenFor(screen, displays_))) {
        displayable(*snapshot);
    }
    RuntimeLogger::log("selection overlay prepared");
}

void QtSelectionOverlay::close(std::string_view reason) {
    RuntimeLogger::log("closeActiveSelection reason=" + std::string(reason));
    dismiss();
}

std::shared_ptr<const Image> QtSelectionOverlay::photograph(QScreen* screen, const DisplayScreen& display) const {
    if (auto context = ScreenCaptureService::makeContext(display, displays_.screens())) {
        if (std::optional<Image> image = capture_.captureDisplayImage(context.value(), {})) {
            return std::make_shared<const Image>(std::move(*image));
        }
    }
    const QImage grabbed = screen->grabWindow(0).toImage();
    if (grabbed.isNull()) {
        return nullptr;
    }
    return std::make_shared<const Image>(fromQImage(grabbed));
}

namespace {

SelectionOverlayWindow::Look lookFor(const SelectionOverlayConfiguration& configuration,
                                     const LocalizationStore& localization) {
    SelectionOverlayWindow::Look look;
    look.prompt = QString::fromStdString(configuration.prompt);
    look.showsCrosshair = configuration.showsCrosshair;
    look.showsMagnifier = configuration.showsMagnifier;
    look.dark = ShellAppearance::resolve(configuration.appearanceMode).dark;
    look.confirmTitle = QString::fromStdString(configuration.confirmTitle);
    look.cancelTitle = QString::fromStdString(configuration.cancelTitle);
    look.windowBadge = QString::fromStdString(localization.text(L10nKey::overlayPreviewWindowBadge));
    look.regionBadge = QString::fromStdString(localization.text(L10nKey::overlayPreviewRegionBadge));
    if (const auto& hotkey = configuration.fullScreenSelectionHotkey; hotkey && !normalizedHotkeyToken(hotkey->key).empty()) {
        look.fullScreenToken = normalizedHotkeyToken(hotkey->key);
        look.fullScreenModifiers = hotkey->modifiers.rawValue;
        look.fullScreenHint = QString::fromStdString(
            localization.format(L10nKey::overlayFullScreenShortcutHint, {HotkeyDesktopText::text(*hotkey)}));
    }
    return look;
}

SelectionOverlayViewModel::Options optionsFor(const SelectionOverlayConfiguration& configuration, double scale) {
    SelectionOverlayViewModel::Options options;
    options.autoConfirmOnMouseUp = configuration.autoConfirmOnMouseUp;
    options.showsActionButtons = configuration.showsActionButtons;
    if (const auto& hotkey = configuration.fullScreenSelectionHotkey; hotkey && !normalizedHotkeyToken(hotkey->key).empty()) {
        options.hasFullScreenHotkey = true;
        options.fullScreenShortcutText = hotkey->displayValue();
    }
    options.scale = scale;
    options.smartSnapEnabled = configuration.smartSnapEnabled;
    return options;
}

} // namespace

void QtSelectionOverlay::present(const SelectionOverlayConfiguration& configuration, Handlers handlers) {
    if (hasActiveSelection()) {
        RuntimeLogger::log("selection begin ignored reason=activeOverlay");
        return;
    }
    QScreen* screen = targetScreen(configuration);
    const DisplayScreen display = displayScreenFor(screen, displays_);
    RuntimeLogger::log("selection target screen frame=" + toString(display.frame) + " frontmostWindows=0 preferredApp=" +
                       configuration.preferredScreenAppName.value_or("nil"));
    // X11 cannot leave one window out of a capture, so the screen is photographed before the
    // overlay maps; the overlay then shows that photograph, frozen.
    const std::shared_ptr<const Image> snapshot = photograph(screen, display);
    RuntimeLogger::log("selection pre-overlay snapshot required=true succeeded=" + boolText(snapshot != nullptr));

    const QRect geometry = screen->geometry();
    const Rect viewBounds{{0, 0}, {static_cast<double>(geometry.width()), static_cast<double>(geometry.height())}};
    const Rect initial = RememberedSelectionPolicy::initialSelectionRect(configuration.rememberedSelection,
                                                                         display.displayID, display.frame, viewBounds);
    model_ = std::make_unique<SelectionOverlayViewModel>(optionsFor(configuration, screen->devicePixelRatio()),
                                                         viewBounds, initial, mainQueue_);
    connectModel(handlers, display, snapshot, configuration.waitForCleanSnapshotBeforeConfirm);
    makeWindow();
    window_->present(*model_, snapshot ? displayable(*snapshot) : QImage(), geometry, lookFor(configuration, localization_));
    RuntimeLogger::log("selection overlay frame requested=" + toString(display.frame) + " actual=" + toString(display.frame) +
                       " visible=" + toString(display.visibleFrame));
    RuntimeLogger::log("selection overlay show skippedAppActivation=false skippedMakeKey=false level=bypassWindowManager");
    if (configuration.smartSnapEnabled) {
        detectSnapTargets(screen, snapshot);
    }
}

void QtSelectionOverlay::connectModel(const Handlers& handlers, const DisplayScreen& display,
                                      const std::shared_ptr<const Image>& snapshot, bool waitForClean) {
    std::weak_ptr<bool> alive = alive_;
    model_->onConfirm = [this, alive, handlers, display, snapshot, waitForClean](Rect viewRect,
                                                                                std::optional<std::int64_t> windowID) {
        if (alive.expired()) {
            return;
        }
        RuntimeLogger::log("selection confirm action=completeWithAvailableSnapshot waitForClean=" + boolText(waitForClean) +
                           " hasSnapshot=" + boolText(snapshot != nullptr) + " hasCached=false hasPreOverlaySnapshot=" +
                           boolText(snapshot != nullptr) + " inFlight=false hiddenWindows=0");
        ScreenSelectionResult result;
        result.rect = Rect{{viewRect.minX() + display.frame.minX(), viewRect.minY() + display.frame.minY()}, viewRect.size};
        result.screen = display;
        if (windowID) {
            result.captureSource.windowID = static_cast<std::uint32_t>(*windowID);
        }
        RuntimeLogger::log("selection confirmed rect=" + toString(result.rect) + " source=" +
                           (windowID ? "window(windowID: " + std::to_string(*windowID) + ")" : std::string("region")));
        if (snapshot) {
            result.screenSnapshotImage = *snapshot;
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
}

void QtSelectionOverlay::detectSnapTargets(const QScreen* screen, std::shared_ptr<const Image> snapshot) {
    session_ = std::make_shared<bool>(true);
    std::weak_ptr<bool> session = session_;
    const Rect frame = windowServerFrame(screen);
    const Rect viewBounds{{0, 0}, frame.size};
    // The first paint must not wait for either list: both arrive on later turns.
    const double ratio = screen->devicePixelRatio();
    mainQueue_.post([this, session, frame, ratio] {
        if (session.expired() || !model_ || !snapSources_.windows) {
            return;
        }
        std::vector<CapturedWindowInfo> windows = snapSources_.windows();
        // The window server counts device pixels; Qt's screen frame is in device-independent ones.
        for (CapturedWindowInfo& window : windows) {
            const Rect& b = window.bounds;
            window.bounds = Rect{{b.minX() / ratio, b.minY() / ratio}, {b.width() / ratio, b.height() / ratio}};
        }
        auto candidates = SelectionSnapDetector::windowCandidates(windows, frame);
        RuntimeLogger::log("selection snap windows candidates=" + std::to_string(candidates.size()));
        model_->setWindowCandidates(std::move(candidates));
    });
    if (!snapSources_.rectangles || !snapshot) {
        return;
    }
    const int generation = model_->beginRectangleDetection();
    const RectangleDetector* detector = snapSources_.rectangles;
    MainQueue& mainQueue = mainQueue_;
    QThreadPool::globalInstance()->start([this, session, detector, snapshot, viewBounds, generation, &mainQueue] {
        auto candidates = SelectionSnapDetector::rectangleCandidates(*detector, *snapshot, viewBounds);
        mainQueue.post([this, session, generation, candidates = std::move(candidates)]() mutable {
            if (session.expired() || !model_) {
                return;
            }
            RuntimeLogger::log("selection snap rectangles candidates=" + std::to_string(candidates.size()));
            model_->setRectangleCandidates(generation, std::move(candidates));
        });
    });
}

} // namespace brisklet
