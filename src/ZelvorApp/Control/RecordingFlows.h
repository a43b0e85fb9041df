#pragma once

#include "ZelvorApp/Control/ExportBookkeeping.h"
#include "ZelvorApp/Control/SelectionOverlayTypes.h"
#include "ZelvorApp/Infrastructure/DesktopVisibilityController.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Models/RecordingOptions.h"

#include <functional>
#include <memory>
#include <optional>

namespace brisklet {

class AppModel;
class CaptureGates;
class CaptureSessionPort;
class StatusPopoverGate;
struct AppEnvironment;

/// Scrolling captures and GIF / video recordings: from the overlay (or the window picker) to a
/// running capture session, and from its finished file to the export bookkeeping.
class RecordingFlows {
public:
    /// Changes the stored preferences (the options confirmed at the bar become the next defaults).
    using PreferencesUpdate = std::function<void(const std::function<void(AppPreferences&)>&)>;

    RecordingFlows(AppEnvironment& environment, AppModel& model, CaptureGates& gates, ExportBookkeeping& bookkeeping,
                   StatusPopoverGate& popover, PreferencesUpdate updatePreferences = {});
    ~RecordingFlows();

    void startLongshot();
    void startGIFRegion();
    void startGIFWindow();
    void pause();
    void resume();
    void stop();
    void cancel();
    bool isVideoRecordingActive() const { return activeFormat_ != RecordingOutputFormat::gif; }
    bool isCapturing() const;

    /// A session finished (or failed) producing its file.
    void sessionFinished(const ExportOutcome& outcome, ExportKind kind);
    /// The recorder's progress, published for the panel and the bars.
    void gifProgress(double elapsedSeconds, double maxDurationSeconds);

private:
    enum class Flow { longshot, gifRegion };

    bool passGates();
    void begin(Flow flow);
    void selected(Flow flow, const ScreenSelectionResult& result);
    void startRecording(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options);
    void abandon(const std::string& unavailable);
    void endDesktopAutoHide();
    CaptureSessionPort* activeSession() const;

    AppEnvironment& env_;
    AppModel& model_;
    CaptureGates& gates_;
    ExportBookkeeping& bookkeeping_;
    StatusPopoverGate& popover_;
    PreferencesUpdate updatePreferences_;
    std::optional<DesktopVisibilityController::SessionToken> desktopToken_;
    RecordingOutputFormat activeFormat_ = RecordingOutputFormat::gif;
    std::optional<Flow> activeFlow_;
    std::shared_ptr<bool> alive_;
};

} // namespace brisklet
