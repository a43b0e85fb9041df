#include "Shell/QtScreenshotEditor.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "Platform/Clock.h"
#include "Platform/MainQueue.h"
#include "Shell/Editor/EditorBackgroundSession.h"
#include "Shell/Editor/EditorTextSession.h"
#include "Shell/Editor/EditorToolbar.h"
#include "Shell/Editor/ScreenshotEditorWindow.h"
#include "Shell/QtDesktopGeometry.h"
#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Editor/ScreenshotEditorModel.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace brisklet {

namespace {

using QtDesktopGeometry::desktopRect;

/// The Qt screen the selection stands on: the one with the request's frame, else the one holding
/// the selection's centre, else the primary one.
QScreen* screenFor(const ScreenshotEditorPort::Request& request) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (QtDesktopGeometry::screenFrame(screen) == request.screen.frame) {
            return screen;
        }
    }
    const Point centre{request.selectionRect.midX(), request.selectionRect.midY()};
    for (QScreen* screen : screens) {
        if (QtDesktopGeometry::screenFrame(screen).contains(centre)) {
            return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

/// A desktop rectangle (y up) in the view of `screenFrame` (y down from its top).
Rect viewRect(const Rect& desktop, const Rect& screenFrame) {
    return Rect{{desktop.minX() - screenFrame.minX(), screenFrame.maxY() - desktop.maxY()}, desktop.size};
}

} // namespace

QtScreenshotEditor::QtScreenshotEditor(Services services) : services_(std::move(services)) {}

QtScreenshotEditor::~QtScreenshotEditor() {
    destroy();
}

ScreenshotEditorCallbacks QtScreenshotEditor::callbacksFor(const Handlers& handlers) {
    ScreenshotEditorCallbacks callbacks;
    callbacks.onUpdateBackgroundPreferences = services_.updatePreferences;
    callbacks.onFinish = handlers.onFinish;
    callbacks.onCopy = handlers.onCopy;
    callbacks.onPin = handlers.onPin;
    callbacks.onCancel = handlers.onCancel;
    return callbacks;
}

ScreenshotEditorHooks QtScreenshotEditor::hooks() {
    ScreenshotEditorHooks hooks;
    std::weak_ptr<bool> alive = alive_;
    hooks.tearDown = [this, alive] {
        if (!alive.expired()) {
            hideWindow();
        }
    };
    hooks.renderedContentScreenFrame = [this, alive] {
        if (alive.expired() || !window_) {
            return request_.selectionRect;
        }
        return desktopRect(window_->contentScreenFrame());
    };
    hooks.focusEditor = [this, alive] {
        if (!alive.expired() && window_) {
            window_->focusPicture();
        }
    };
    hooks.hasRecognizedTextSelection = [this, alive] {
        return !alive.expired() && textSession_ && textSession_->hasSelection();
    };
    hooks.copyRecognizedTextSelection = [this, alive] {
        if (!alive.expired() && textSession_) {
            textSession_->copySelection();
        }
    };
    hooks.clearRecognizedTextSelection = [this, alive] {
        if (!alive.expired() && textSession_) {
            textSession_->clearSelection();
        }
    };
    hooks.toggleTextRecognition = [this, alive] {
        if (!alive.expired() && textSession_) {
            textSession_->toggleTextRecognition();
        }
    };
    hooks.translateRecognizedText = [this, alive] {
        if (!alive.expired() && textSession_ && services_.translation) {
            textSession_->translate();
        }
    };
    hooks.composeBackground = [this, alive](const Image& flattened) {
        if (alive.expired() || !backgroundSession_) {
            return Result<Image, ScreenshotEditorError>::success(flattened);
        }
        return backgroundSession_->compose(flattened);
    };
    hooks.isEyedropperActive = [this, alive] {
        return !alive.expired() && backgroundSession_ && backgroundSession_->isEyedropperActive();
    };
    hooks.cancelEyedropper = [this, alive] {
        if (!alive.expired() && backgroundSession_) {
            backgroundSession_->cancelEyedropper();
        }
    };
    return hooks;
}

void QtScreenshotEditor::open(Request request, Handlers handlers) {
    const double openedAt = services_.clock.monotonicSeconds();
    destroy();
    QScreen* screen = screenFor(request);
    const QRect geometry = screen->geometry();
    const Rect screenFrame = QtDesktopGeometry::screenFrame(screen);
    const AppPreferences& preferences = services_.model.preferences();

    ScreenshotEditorSetup setup;
    setup.baseImage = request.image;
    setup.screenSnapshot = request.screenSnapshot;
    setup.viewBounds = Rect{{0, 0}, {static_cast<double>(geometry.width()), static_cast<double>(geometry.height())}};
    setup.selectionRect = viewRect(request.selectionRect, screenFrame);
    setup.snapshotPixelsPerPoint = screen->devicePixelRatio();
    setup.preferences = preferences;
    setup.initialMode = request.mode;
    // Straight after the overlay the region can still be moved and resized over the frozen
    // screen, until a tool, the background or a text mode is chosen; launches into a text mode
    // work on the region as it was confirmed.
    setup.startsAdjustingSelection =
        request.screenSnapshot.has_value() && request.mode == ScreenshotEditorInitialInteractionMode::normal;
    const Rect displayed = setup.selectionRect;
    const double scale = request.image.width() > 0 ? displayed.width() / request.image.width() : 1;

    model_ = std::make_unique<ScreenshotEditorModel>(
        std::move(setup),
        ScreenshotEditorServices{services_.renderer, services_.codec, services_.exportService, services_.clock},
        callbacksFor(handlers), hooks());
    model_->setViewport(displayed, scale);

    QImage background;
    if (request.screenSnapshot) {
        background = toQImage(*request.screenSnapshot).convertToFormat(QImage::Format_RGB32);
    }
    ScreenshotEditorWindow::Look look;
    look.dark = ShellAppearance::resolve(preferences.visualAppearanceMode).dark;
    window_ = std::make_unique<ScreenshotEditorWindow>(*model_, services_.renderer, std::move(background), geometry, look);
    std::weak_ptr<bool> alive = alive_;
    window_->onOtherCombination = [this, alive](const std::string& token, int modifiers) {
        return !alive.expired() && onKeyCombination && onKeyCombination(token, modifiers);
    };
    window_->onFirstPaint = [this, alive, openedAt] {
        if (!alive.expired()) {
            RuntimeLogger::log("screenshot editor first paint ms=" +
                               std::to_string(std::lround((services_.clock.monotonicSeconds() - openedAt) * 1000)));
        }
    };
    attachToolbar(preferences, look.dark);
    attachTextSession(look.dark);
    attachBackgroundSession(preferences, look.dark, request.captureContext);
    request_ = std::move(request);
    hotkeyScope_ = handlers.onHotkeyScopeChanged;
    window_->showFullScreen();
    window_->refresh();
    model_->editorDidAppear();
    if (hotkeyScope_) {
        hotkeyScope_(true);
    }
    RuntimeLogger::log("screenshot editor window shown screen=" + toString(screenFrame) +
                       " image=" + std::to_string(request_.image.width()) + "x" + std::to_string(request_.image.height()));
    if (textSession_) {
        textSession_->openIn(request_.mode);
    }
    if (backgroundSession_) {
        backgroundSession_->open();
    }
}

void QtScreenshotEditor::attachBackgroundSession(const AppPreferences& preferences, bool dark,
                                                 BackgroundCaptureContext context) {
    if (!services_.background) {
        return;
    }
    EditorBackgroundSession::Services background{*services_.background, services_.wallpapers, services_.localization,
                                                 services_.updatePreferences};
    backgroundSession_ = std::make_unique<EditorBackgroundSession>(std::move(background), preferences, *model_,
                                                                   *window_, toolbar_, dark, context);
}

void QtScreenshotEditor::attachTextSession(bool dark) {
    if (!services_.textRecognition) {
        return;
    }
    EditorTextSession::Services text{*services_.textRecognition, services_.translation, services_.exportService,
                                     services_.localization, services_.model.preferences().translationTargetLanguage,
                                     services_.updatePreferences};
    textSession_ = std::make_unique<EditorTextSession>(std::move(text), *model_, *window_, toolbar_, dark);
}

void QtScreenshotEditor::attachToolbar(const AppPreferences& preferences, bool dark) {
    // Every other button falls back to the model's own action.
    EditorToolbarActions actions;
    std::weak_ptr<bool> alive = alive_;
    actions.selectTool = [this, alive](std::optional<AnnotationTool> tool) {
        if (alive.expired() || !model_) {
            return;
        }
        // Picking a tool means drawing again: the words give the picture back.
        if (textSession_) {
            textSession_->leaveTextMode();
        }
        model_->selectTool(tool);
    };
    actions.toggleTextRecognition = hooks().toggleTextRecognition;
    actions.translate = hooks().translateRecognizedText;
    actions.toggleBackground = [this, alive] {
        if (!alive.expired() && backgroundSession_) {
            backgroundSession_->toggle();
        }
    };
    toolbar_ = new EditorToolbar(*model_, services_.localization, dark, std::move(actions), window_.get());
    toolbar_->setHotkeyPreferences(preferences);
    EditorToolbarContext context;
    context.backgroundAvailable = services_.background != nullptr;
    context.textRecognitionAvailable = services_.textRecognition != nullptr;
    context.translationAvailable = services_.textRecognition != nullptr && services_.translation != nullptr;
    context.pinAvailable = services_.pinsAvailable;
    toolbar_->setContext(context);
    ScreenshotEditorWindow* window = window_.get();
    toolbar_->onModelChanged = [window] { window->update(); };
    toolbar_->show();
    window_->setToolbar(toolbar_);
}

void QtScreenshotEditor::replaceImage(Image image) {
    if (!model_ || !window_) {
        return;
    }
    model_->replaceBaseImage(std::move(image));
    window_->imageReplaced();
    if (backgroundSession_) {
        backgroundSession_->imageReplaced();
    }
}

void QtScreenshotEditor::hideWindow() {
    if (window_) {
        window_->hide();
    }
}

void QtScreenshotEditor::destroy() {
    if (window_) {
        window_->hide();
        // The window may be inside one of its own event handlers (a key that saved); all go on
        // the next turn, the text session first since it works on the window, then the window
        // since it paints from the model.
        EditorTextSession* text = textSession_.release();
        EditorBackgroundSession* background = backgroundSession_.release();
        ScreenshotEditorWindow* window = window_.release();
        ScreenshotEditorModel* model = model_.release();
        services_.mainQueue.post([text, background, window, model] {
            delete text;
            delete background;
            delete window;
            delete model;
        });
    } else if (model_) {
        ScreenshotEditorModel* model = model_.release();
        services_.mainQueue.post([model] { delete model; });
    }
    toolbar_ = nullptr;
}

void QtScreenshotEditor::discard() {
    RuntimeLogger::log("screenshot editor discarded");
    destroy();
}

void QtScreenshotEditor::close() {
    // The controller ends the editor's hotkey scope itself before it closes us.
    hotkeyScope_ = nullptr;
    destroy();
}

Rect QtScreenshotEditor::frame() const {
    if (!window_) {
        return {};
    }
    return desktopRect(window_->geometry());
}

bool QtScreenshotEditor::isVisible() const {
    return window_ && window_->isVisible();
}

void QtScreenshotEditor::bringToFront() {
    if (window_) {
        window_->raise();
        window_->activateWindow();
        window_->focusPicture();
    }
}

} // namespace brisklet
