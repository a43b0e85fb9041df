#pragma once

// Recording fakes of the controller's user-interface ports: each remembers what it was asked and
// lets the test play the user's part (confirm a selection, press Save, close an alert).

#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Control/Ports/AppWindowPort.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Control/Ports/FloatingThumbnailPort.h"
#include "ZelvorApp/Control/Ports/HotkeyManagerPort.h"
#include "ZelvorApp/Control/Ports/PinnedWindowsPort.h"
#include "ZelvorApp/Control/Ports/ScreenshotEditorPort.h"
#include "ZelvorApp/Control/Ports/SelectedTextSource.h"
#include "ZelvorApp/Control/Ports/SelectionOverlayPort.h"
#include "ZelvorApp/Control/Ports/StatusItemPort.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brisklet::control_testing {

class RecordingOverlay final : public SelectionOverlayPort {
public:
    void present(const SelectionOverlayConfiguration& configuration, Handlers handlers) override {
        configurations.push_back(configuration);
        handlers_ = std::move(handlers);
        open_ = true;
    }
    bool hasActiveSelection() const override { return open_; }
    void close(std::string_view reason) override {
        closeReasons.emplace_back(reason);
        open_ = false;
    }
    void select(ScreenSelectionResult result) {
        open_ = false;
        handlers_.onSelect(std::move(result));
    }
    void cancel() {
        open_ = false;
        handlers_.onCancel();
    }

    std::vector<SelectionOverlayConfiguration> configurations;
    std::vector<std::string> closeReasons;

private:
    Handlers handlers_;
    bool open_ = false;
};

class RecordingEditor final : public ScreenshotEditorPort {
public:
    bool isOpen() const override { return open_; }
    void open(Request request, Handlers handlers) override {
        requests.push_back(request);
        handlers_ = std::move(handlers);
        open_ = true;
    }
    void replaceImage(Image image) override { replacedImages.push_back(std::move(image)); }
    void discard() override {
        ++discards;
        open_ = false;
    }
    void close() override {
        ++closes;
        open_ = false;
    }
    Rect frame() const override { return requests.empty() ? Rect{} : requests.back().selectionRect; }
    bool isVisible() const override { return open_; }
    void bringToFront() override { ++broughtToFront; }
    int broughtToFront = 0;

    Handlers& handlers() { return handlers_; }

    std::vector<Request> requests;
    std::vector<Image> replacedImages;
    int discards = 0;
    int closes = 0;

private:
    Handlers handlers_;
    bool open_ = false;
};

class RecordingThumbnails final : public FloatingThumbnailPort {
public:
    void present(const ExportedAsset& asset, const VisualMemorySource&,
                 const FloatingThumbnailPresentationContext& context) override {
        presented.push_back(asset);
        contexts.push_back(context);
    }
    bool presentQuickScreenshot(const Image& image) override {
        quickImages.push_back(image);
        return quickSucceeds;
    }
    bool suspend() override {
        ++suspends;
        const bool hid = visible;
        visible = false;
        return hid;
    }
    void resume() override { ++resumes; }
    void dismissAll() override { ++dismissals; }
    void configure(FloatingThumbnailPosition position, double delay) override {
        configurations.emplace_back(position, delay);
    }
    void removeTemporaryFiles(double ageSeconds) override { cleanupAges.push_back(ageSeconds); }
    void remove(const std::string& id) override { removedIDs.push_back(id); }
    void resumeDismissal(const std::string& id) override { resumedIDs.push_back(id); }

    std::vector<ExportedAsset> presented;
    std::vector<FloatingThumbnailPresentationContext> contexts;
    std::vector<Image> quickImages;
    std::vector<std::pair<FloatingThumbnailPosition, double>> configurations;
    std::vector<double> cleanupAges;
    std::vector<std::string> removedIDs;
    std::vector<std::string> resumedIDs;
    bool quickSucceeds = true;
    bool visible = false;
    int suspends = 0;
    int resumes = 0;
    int dismissals = 0;
};

class RecordingPinnedWindows final : public PinnedWindowsPort {
public:
    void pinImage(const Image& image, const Rect& frame, PinnedMouseDoubleClickAction) override {
        images.emplace_back(image, frame);
    }
    void pinText(const std::string& text, const std::optional<DisplayScreen>&) override { texts.push_back(text); }
    int pinnedImageCount() const override { return static_cast<int>(images.size()); }
    void closeSelectedOrMostRecentImage() override {
        if (!images.empty()) {
            images.pop_back();
            ++closedImages;
        }
    }
    void setImageHidden(const std::string& id, bool hidden) override { visibility.emplace_back(id, hidden); }
    void replaceImage(const std::string& id, const Image& image) override { replacements.emplace_back(id, image); }
    int closedImages = 0;

    std::vector<std::pair<Image, Rect>> images;
    std::vector<std::pair<std::string, bool>> visibility;
    std::vector<std::pair<std::string, Image>> replacements;
    std::vector<std::string> texts;
};

class RecordingStatusItem final : public StatusItemPort {
public:
    void updateIcon(AppViewState state, bool) override { iconStates.push_back(state); }
    bool isPopoverShown() const override { return popoverShown; }
    bool isDragRecoveryPanelVisible() const override { return false; }
    void setPopoverSuppressed(bool suppressed) override { suppressions.push_back(suppressed); }
    void closePopover(std::function<void()> onClosed) override {
        popoverShown = false;
        pendingClose = std::move(onClosed);
    }
    void showPopover() override {
        popoverShown = true;
        ++popoverShows;
    }
    /// The popover's close animation ended.
    void finishClosing() {
        if (auto close = std::exchange(pendingClose, nullptr)) {
            close();
        }
    }

    std::vector<AppViewState> iconStates;
    std::vector<bool> suppressions;
    std::function<void()> pendingClose;
    bool popoverShown = false;
    int popoverShows = 0;
};

class RecordingHotkeys final : public HotkeyManagerPort {
public:
    void reload(const AppPreferences&) override { ++reloads; }
    void suspend(const std::set<GlobalHotkeyAction>& allowed) override {
        suspended = true;
        allowedWhileSuspended = allowed;
    }
    void resume() override { suspended = false; }
    void setPinnedScreenshotEscapeHotkeyActive(bool active) override { escapeActive = active; }
    void unregisterAll() override { ++unregistrations; }

    int reloads = 0;
    int unregistrations = 0;
    bool suspended = false;
    bool escapeActive = false;
    std::set<GlobalHotkeyAction> allowedWhileSuspended;
};

class RecordingWindow final : public AppWindowPort {
public:
    void present() override {
        ++presents;
        visible = true;
    }
    bool isVisible() const override { return visible; }
    void hide() override {
        ++hides;
        visible = false;
    }
    void show() override {
        ++shows;
        visible = true;
    }
    bool visible = false;
    int presents = 0;
    int hides = 0;
    int shows = 0;
};

class RecordingAlerts final : public AlertPresenter {
public:
    void present(const AlertRequest& alert, std::function<void(int)> onResponse) override {
        alerts.push_back(alert);
        responses.push_back(std::move(onResponse));
    }
    /// The user pressed button `index` of the newest alert.
    void answer(int index) {
        auto respond = std::move(responses.back());
        responses.pop_back();
        respond(index);
    }
    std::vector<AlertRequest> alerts;
    std::vector<std::function<void(int)>> responses;
};

class RecordingHost final : public ApplicationHost {
public:
    ActivationPolicy activationPolicy() const override { return policy; }
    void setActivationPolicy(ActivationPolicy value) override {
        policy = value;
        policies.push_back(value);
    }
    void activate() override { ++activations; }
    void terminate() override { ++terminations; }
    bool loadApplicationIcon() override { return iconLoads; }
    bool hasVisibleWindow() const override { return visibleWindow; }
    std::int32_t currentProcessIdentifier() const override { return 100; }
    std::optional<std::filesystem::path> currentExecutable() const override { return executable; }
    std::vector<RunningProcess> runningProcesses() const override { return processes; }
    std::optional<std::string> currentSession() const override { return session; }
    void openFile(const std::filesystem::path& file) override { opened.push_back(file); }
    void revealInFileViewer(const std::filesystem::path& file) override { revealed.push_back(file); }

    ActivationPolicy policy = ActivationPolicy::accessory;
    std::vector<ActivationPolicy> policies;
    std::optional<std::filesystem::path> executable = std::filesystem::path("/usr/bin/brisklet-engine");
    std::vector<RunningProcess> processes;
    std::optional<std::string> session = std::string(":9|bus");
    std::vector<std::filesystem::path> opened;
    std::vector<std::filesystem::path> revealed;
    bool iconLoads = true;
    bool visibleWindow = false;
    int activations = 0;
    int terminations = 0;
};

class ScriptedSelectedText final : public SelectedTextSource {
public:
    std::optional<std::string> focusedElementSelectedText() const override { return focused; }
    std::optional<std::string> frontmostApplicationSelectedText() const override { return frontmost; }
    std::optional<std::string> focused;
    std::optional<std::string> frontmost;
};

} // namespace brisklet::control_testing
