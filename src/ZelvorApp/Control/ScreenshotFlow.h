#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorApp/Control/HiddenAppWindows.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Control/Ports/ScreenshotEditorPort.h"
#include "ZelvorApp/Control/ReeditedCapture.h"
#include "ZelvorApp/Control/SelectionOverlayTypes.h"
#include "ZelvorApp/Infrastructure/DesktopVisibilityController.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <functional>
#include <memory>
#include <optional>

namespace brisklet {

class AppModel;
class CaptureGates;
class ExportBookkeeping;
class StatusPopoverGate;
struct AppEnvironment;
struct AppPreferences;

/// A region or window screenshot from the overlay to the editor and its four outcomes, and the
/// quick screenshot that goes straight to a floating thumbnail.
class ScreenshotFlow {
public:
    static constexpr double hiddenWindowSettleSeconds = 0.08;

    struct Hooks {
        std::function<void(const std::function<void(AppPreferences&)>&)> updatePreferences;
        /// The editor's hotkey scope became active or inactive; `mode` is how the editor opened.
        std::function<void(bool active, ScreenshotEditorInitialInteractionMode mode)> editorHotkeyScopeChanged;
    };

    ScreenshotFlow(AppEnvironment& environment, AppModel& model, CaptureGates& gates, ExportBookkeeping& bookkeeping,
                   StatusPopoverGate& popover, Hooks hooks);
    ~ScreenshotFlow();

    void startScreenshot(ScreenshotEditorInitialInteractionMode mode, ScreenshotToolbarImplementation toolbar);
    void startFloatingScreenshot();
    /// The screenshot hotkey pressed while the overlay is open.
    void cancelActiveSelection();
    bool isEditorOpen() const;
    /// Opens an existing picture (a library item, a card, a pin) in the editor, centred on the
    /// screen under the pointer. A `reedited` card or pin is replaced by what the editor makes of
    /// it, or restored when the editor is cancelled.
    void annotateImage(Image image, const VisualMemorySource& source,
                       std::optional<ReeditedCapture> reedited = std::nullopt);

private:
    struct Request {
        bool quick = false;
        ScreenshotEditorInitialInteractionMode mode = ScreenshotEditorInitialInteractionMode::normal;
        ScreenshotToolbarImplementation toolbar = ScreenshotToolbarImplementation::declarative;
    };

    void start(Request request);
    void beginSelection(Request request);
    void openOverlay(Request request, VisualMemorySource source, std::optional<Rect> targetScreenFrame);
    SelectionOverlayConfiguration overlayConfiguration(std::optional<Rect> targetScreenFrame) const;
    void selectionCancelled();
    void endSelectionSideEffects();
    void endDesktopAutoHide();
    void selected(Request request, ScreenSelectionResult result);

    using ImageHandler = std::function<void(Result<Image, ScreenCaptureError>)>;
    /// Produces the selection's pixels: the window from the capture service, or the region cut
    /// from the overlay's snapshot. Asynchronous for window captures.
    void produceImage(const ScreenSelectionResult& result, ImageHandler handler);
    void completeQuickScreenshot(const ScreenSelectionResult& result, Result<Image, ScreenCaptureError> image,
                                 double startedAt);
    void presentEditor(Request request, const ScreenSelectionResult& result, Image image, bool deferred,
                       bool fromSelection = true);
    void refreshDeferredImage(const ScreenSelectionResult& result);
    void captureFailed(ScreenCaptureError error);

    void finishEditorSession();
    void onSave(ScreenshotSaveResult result);
    void onCopy(ScreenshotCopyPayload payload);
    void onPin(Image image, Rect frame);
    void onCancel();
    void discardOpenEditor();
    /// The re-edited card or pin comes back as it was.
    void restoreReedited();
    /// The re-edited card leaves (its new version arrives as an export); the pin shows `edited`,
    /// or keeps its picture when there is none.
    void replaceReedited(const Image* edited);

    AppEnvironment& env_;
    AppModel& model_;
    CaptureGates& gates_;
    ExportBookkeeping& bookkeeping_;
    StatusPopoverGate& popover_;
    Hooks hooks_;
    HiddenAppWindows hiddenWindows_;
    std::optional<DesktopVisibilityController::SessionToken> desktopToken_;
    std::optional<ActivationPolicy> policyBeforeEditor_;
    ScreenshotEditorInitialInteractionMode editorMode_ = ScreenshotEditorInitialInteractionMode::normal;
    bool editorOpen_ = false;
    std::optional<ReeditedCapture> reedited_;
    /// Bumped whenever a selection or an editor is replaced, so late captures are dropped.
    unsigned generation_ = 0;
    std::shared_ptr<bool> alive_;
};

} // namespace brisklet
