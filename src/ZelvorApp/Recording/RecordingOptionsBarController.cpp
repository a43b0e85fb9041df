#include "ZelvorApp/Recording/RecordingOptionsBarController.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/RecordingOptionsBarLayout.h"

namespace brisklet {

RecordingOptionsBarController::RecordingOptionsBarController(Rect selectionRect, Rect screenFrame,
                                                             RecordingOptions options,
                                                             VisualAppearanceMode appearanceMode,
                                                             std::function<void(RecordingOptions)> onStart,
                                                             std::function<void()> onCancel)
    : selectionRect_(selectionRect), screenFrame_(screenFrame), model_(options), appearanceMode_(appearanceMode),
      onStart_(std::move(onStart)), onCancel_(std::move(onCancel)) {}

Rect RecordingOptionsBarController::windowRect() const {
    return RecordingOptionsBarLayout::windowRect(selectionRect_, screenFrame_);
}

void RecordingOptionsBarController::presented() const {
    RuntimeLogger::log(presentedLogLine);
}

void RecordingOptionsBarController::start() {
    if (answered_) {
        return;
    }
    answered_ = true;
    // The handler usually closes the bar and destroys this controller: copy what it needs first.
    auto onStart = onStart_;
    const RecordingOptions options = model_.options();
    if (onStart) {
        onStart(options);
    }
}

void RecordingOptionsBarController::cancel() {
    if (answered_) {
        return;
    }
    answered_ = true;
    auto onCancel = onCancel_;
    if (onCancel) {
        onCancel();
    }
}

bool RecordingOptionsBarController::handleKey(std::string_view token) {
    if (token == "RETURN" || token == "ENTER") {
        start();
        return true;
    }
    if (token == "ESC" || token == "ESCAPE") {
        cancel();
        return true;
    }
    return false;
}

} // namespace brisklet
