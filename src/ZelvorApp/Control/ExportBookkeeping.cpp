#include "ZelvorApp/Control/ExportBookkeeping.h"

#include "Platform/Clock.h"
#include "Platform/MainQueue.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/FloatingThumbnailPresentationPolicy.h"
#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Control/Ports/FloatingThumbnailPort.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Memory/VisualMemoryRecordingService.h"
#include "ZelvorApp/Memory/VisualMemorySourceCollector.h"
#include "ZelvorCore/Stores/RecentExportStore.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

namespace brisklet {

namespace fs = std::filesystem;

ExportBookkeeping::ExportBookkeeping(AppEnvironment& environment, AppModel& model, RecentExportStore& recentStore)
    : env_(environment), model_(model), recentStore_(recentStore), alive_(std::make_shared<bool>(true)) {}

ExportBookkeeping::~ExportBookkeeping() = default;

void ExportBookkeeping::notePendingSource(ExportKind kind, const VisualMemorySource& source) {
    pendingSources_[kind] = source;
}

void ExportBookkeeping::notePendingThumbnailContext(ExportKind kind,
                                                    const FloatingThumbnailPresentationContext& context) {
    pendingThumbnailContexts_[kind] = context;
}

FloatingThumbnailPresentationContext ExportBookkeeping::takePendingThumbnailContext(ExportKind kind) {
    const auto found = pendingThumbnailContexts_.find(kind);
    if (found == pendingThumbnailContexts_.end()) {
        return {};
    }
    const FloatingThumbnailPresentationContext context = found->second;
    pendingThumbnailContexts_.erase(found);
    return context;
}

VisualMemorySource ExportBookkeeping::takePendingSource(ExportKind kind) {
    if (const auto found = pendingSources_.find(kind); found != pendingSources_.end()) {
        VisualMemorySource source = found->second;
        pendingSources_.erase(found);
        return source;
    }
    return env_.services.sources.currentSource();
}

bool ExportBookkeeping::takeForceFlag() {
    const bool force = forcesNextScreenshotRecording_;
    forcesNextScreenshotRecording_ = false;
    return force;
}

ExportedAsset ExportBookkeeping::recordRecentExport(const fs::path& url, ExportKind kind) {
    ExportedAsset asset{url, kind, env_.services.clock.now(), std::nullopt};
    std::error_code error;
    if (const auto size = fs::file_size(url, error); !error) {
        asset.byteCount = static_cast<std::int64_t>(size);
    }
    model_.setRecentExports(recentStore_.record(asset));
    return asset;
}

void ExportBookkeeping::recordVisualMemory(const ExportedAsset& asset, const VisualMemorySource& source, bool force) {
    if (!force && !savesToVisualMemory(asset.kind, model_.preferences())) {
        return;
    }
    env_.services.visualMemory.record(asset.url, asset.kind, source, force);
}

void ExportBookkeeping::handleExportOutcome(const ExportOutcome& outcome, ExportKind kind) {
    const bool force = kind == ExportKind::screenshot && takeForceFlag();
    if (!outcome) {
        takePendingSource(kind);
        takePendingThumbnailContext(kind);
        presentFailure(outcome.error());
        return;
    }
    const ExportedAsset asset = recordRecentExport(outcome.value(), kind);
    const VisualMemorySource source = takePendingSource(kind);
    recordVisualMemory(asset, source, force);
    model_.setLastMessage(env_.services.localization.format(L10nKey::messageExportSaved,
                                                            {asset.url.filename().string()}));
    presentSuccess(asset, source, takePendingThumbnailContext(kind), force);
    model_.setState(AppViewState::idle);
}

void ExportBookkeeping::presentSuccess(const ExportedAsset& asset, const VisualMemorySource& source,
                                       const FloatingThumbnailPresentationContext& context, bool force) {
    model_.setState(AppViewState::exportSuccess);
    switch (FloatingThumbnailPresentationPolicy::presentation(asset.kind, model_.preferences(), force)) {
    case ExportPresentation::thumbnail:
        if (env_.ports.floatingThumbnails) {
            env_.ports.floatingThumbnails->present(asset, source, context);
        } else {
            RuntimeLogger::log("floating thumbnails unavailable url=" + asset.url.string());
        }
        break;
    case ExportPresentation::alert:
        showExportAlert(asset);
        break;
    case ExportPresentation::nothing:
        break;
    }
}

void ExportBookkeeping::showExportAlert(const ExportedAsset& asset) {
    const LocalizationStore& text = env_.services.localization;
    const bool isGIF = asset.kind == ExportKind::gif;
    AlertRequest alert;
    alert.title = text.text(L10nKey::alertExportSuccessTitle);
    alert.message = text.format(L10nKey::alertExportSuccessMessage, {asset.url.filename().string()});
    alert.buttons = {text.text(L10nKey::alertOpenFile), text.text(L10nKey::settingsOpenDirectory),
                     text.text(isGIF ? L10nKey::alertCopyFile : L10nKey::alertDeleteFile),
                     text.text(L10nKey::genericClose)};
    std::weak_ptr<bool> alive = alive_;
    env_.ports.alerts.present(alert, [this, alive, asset, isGIF](int button) {
        if (alive.expired()) {
            return;
        }
        switch (button) {
        case 0:
            env_.ports.host.openFile(asset.url);
            break;
        case 1:
            env_.ports.host.revealInFileViewer(asset.url);
            break;
        case 2:
            if (isGIF) {
                env_.services.exportService.copyFileToPasteboard(asset.url);
            } else {
                std::error_code error;
                fs::remove(asset.url, error);
                model_.setRecentExports(recentStore_.remove(asset.url));
                model_.setVisualMemoryItems(env_.services.visualMemoryStore.remove(asset.url));
                RuntimeLogger::log("export alert deleted url=" + asset.url.string());
            }
            break;
        default:
            break;
        }
    });
}

void ExportBookkeeping::presentFailure(const AppFlowError& error) {
    const LocalizationStore& text = env_.services.localization;
    RuntimeLogger::log("export failed error=" + logDescription(error));
    AlertRequest alert;
    alert.title = text.text(L10nKey::alertExportFailed);
    alert.message = userMessage(error, text);
    alert.buttons = {text.text(L10nKey::genericOK)};
    alert.style = AlertRequest::Style::warning;
    env_.ports.alerts.present(alert, [](int) {});
    model_.setState(AppViewState::exportFailure);
    std::weak_ptr<bool> alive = alive_;
    env_.services.mainQueue.postAfter(failureResetSeconds, [this, alive] {
        if (!alive.expired() && model_.state() == AppViewState::exportFailure) {
            model_.setState(AppViewState::idle);
        }
    });
}

} // namespace brisklet
