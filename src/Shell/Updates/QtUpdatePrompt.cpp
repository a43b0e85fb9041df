#include "Shell/Updates/QtUpdatePrompt.h"

#include "Shell/ShellAppearance.h"
#include "Shell/Updates/UpdateWindow.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Updater/UpdateWindowModel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace brisklet {

struct QtUpdatePrompt::Presentation {
    std::unique_ptr<UpdateWindowModel> model;
    std::unique_ptr<UpdateWindow> window;
    VisualAppearanceMode appearance = VisualAppearanceMode::system;
};

QtUpdatePrompt::QtUpdatePrompt(Services services) : services_(std::move(services)) {
    observer_ = services_.model.addObserver([this](const AppModel&) { statusChanged(); });
}

QtUpdatePrompt::~QtUpdatePrompt() {
    services_.model.removeObserver(observer_);
    if (presentation_) {
        presentation_->window->onFinished = nullptr;
    }
}

void QtUpdatePrompt::present(const PendingUpdatePrompt& prompt, const std::string& currentVersion,
                             std::function<void(UpdatePromptDecision)> decide) {
    auto presentation = std::make_unique<Presentation>();
    presentation->model =
        std::make_unique<UpdateWindowModel>(services_.localization, prompt, currentVersion, std::move(decide));
    presentation->appearance = services_.model.preferences().visualAppearanceMode;
    presentation->window =
        std::make_unique<UpdateWindow>(*presentation->model, ShellAppearance::resolve(presentation->appearance));
    UpdateWindow* window = presentation->window.get();
    window->onCancel = services_.cancelDownload;
    window->onFinished = [this] { finished(); };
    if (presentation_) {
        presentation_->window->onFinished = nullptr;
        presentation_->window->close();
    }
    presentation_ = std::move(presentation);
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos()); screen) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

bool QtUpdatePrompt::isVisible() const {
    return presentation_ && presentation_->window->isVisible();
}

UpdateWindow* QtUpdatePrompt::window() const {
    return presentation_ ? presentation_->window.get() : nullptr;
}

void QtUpdatePrompt::statusChanged() {
    if (!presentation_) {
        return;
    }
    const VisualAppearanceMode appearance = services_.model.preferences().visualAppearanceMode;
    if (appearance != presentation_->appearance) {
        presentation_->appearance = appearance;
        presentation_->window->setAppearance(ShellAppearance::resolve(appearance));
    }
    if (!presentation_->model->hasDecided()) {
        return;
    }
    if (presentation_->model->follow(services_.model.updaterStatus())) {
        presentation_->window->refresh();
    } else {
        presentation_->window->close();
    }
}

void QtUpdatePrompt::finished() {
    // Deleted later: the window may be closing from inside one of its own signals.
    // The model lives as long as the window that draws it.
    if (presentation_) {
        presentation_->window->onFinished = nullptr;
        UpdateWindow* window = presentation_->window.release();
        QObject::connect(window, &QObject::destroyed,
                         [model = std::shared_ptr<UpdateWindowModel>(std::move(presentation_->model))] {});
        window->deleteLater();
        presentation_.reset();
    }
}

} // namespace brisklet
