#include "Shell/Library/QtVisualMemoryLibrary.h"

#include "Platform/Clock.h"
#include "Platform/SerialQueue.h"
#include "Shell/Library/LibraryThumbnailCache.h"
#include "Shell/Library/VisualMemoryLibraryWindow.h"
#include "Shell/QtStrings.h"
#include "ZelvorApp/Control/AppController.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Library/VisualMemoryImageMetrics.h"
#include "ZelvorApp/Library/VisualMemoryLibraryViewModel.h"
#include "ZelvorApp/Memory/ObsidianExportService.h"

#include <QFileDialog>

#include <chrono>

namespace brisklet {

namespace {

using Action = VisualMemoryLibraryViewModel::ItemAction;

} // namespace

QtVisualMemoryLibrary::QtVisualMemoryLibrary(Dependencies dependencies, std::function<AppController*()> controllerSource)
    : deps_(std::move(dependencies)), controller_(std::move(controllerSource)) {
    thumbnails_ = std::make_unique<LibraryThumbnailCache>();
    VisualMemoryLibraryViewModel::Actions actions;
    actions.itemAction = [this](Action action, const VisualMemoryItem& item) { perform(static_cast<int>(action), item); };
    actions.deleteItems = [this](const std::vector<VisualMemoryItem>& items) {
        if (AppController* controller = controller_()) {
            for (const VisualMemoryItem& item : items) {
                controller->deleteVisualMemoryItem(item);
            }
        }
    };
    actions.addTag = [this](const VisualMemoryItem& item, const std::string& tag) {
        if (AppController* controller = controller_()) {
            controller->addVisualMemoryTag(item, tag);
        }
    };
    actions.removeTag = [this](const VisualMemoryItem& item, const std::string& tag, bool manual) {
        if (AppController* controller = controller_()) {
            controller->removeVisualMemoryTag(item, tag, manual);
        }
    };
    actions.confirmDelete = [this](int count, std::function<void(bool)> answer) { confirmDelete(count, std::move(answer)); };
    viewModel_ = std::make_unique<VisualMemoryLibraryViewModel>(deps_.model, deps_.metrics, &deps_.defaults,
                                                                std::move(actions));
    // Nothing to show until the window opens: the library's start-up load costs nothing here.
    viewModel_->setActive(false);
    window_ = std::make_unique<VisualMemoryLibraryWindow>(*viewModel_, *thumbnails_, deps_.localization, deps_.model,
                                                          &deps_.defaults);
    VisualMemoryLibraryWindow* window = window_.get();
    viewModel_->setOnChange([window] {
        // A hidden window catches up when it is shown again.
        if (window->QWidget::isVisible()) {
            window->refresh();
        }
    });
    thumbnails_->onLoaded = [window] {
        if (window->QWidget::isVisible()) {
            window->refresh();
        }
    };
    localizationObserver_ = deps_.localization.addObserver([window](const LocalizationStore&) { window->retranslate(); });
}

QtVisualMemoryLibrary::~QtVisualMemoryLibrary() {
    *alive_ = false;
    deps_.localization.removeObserver(localizationObserver_);
}

AppWindowPort& QtVisualMemoryLibrary::port() { return *window_; }

void QtVisualMemoryLibrary::prewarm() {
    std::vector<VisualMemoryItem> items = deps_.model.visualMemoryItems();
    VisualMemoryImageMetrics& metrics = deps_.metrics;
    auto post = deps_.postToMain;
    std::weak_ptr<bool> alive = alive_;
    deps_.backgroundQueue.async([items = std::move(items), &metrics, post, alive] {
        const auto started = std::chrono::steady_clock::now();
        const std::size_t read = metrics.prewarm(items);
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
        post([count = items.size(), read, elapsed, alive] {
            if (alive.expired()) {
                return;
            }
            RuntimeLogger::log("visualMemory aspect ratios prewarmed items=" + std::to_string(count) +
                               " elapsedMs=" + std::to_string(elapsed) + " read=" + std::to_string(read));
        });
    });
}

void QtVisualMemoryLibrary::perform(int rawAction, const VisualMemoryItem& item) {
    AppController* controller = controller_();
    if (!controller) {
        return;
    }
    switch (static_cast<Action>(rawAction)) {
    case Action::open:
        controller->openVisualMemoryItem(item);
        break;
    case Action::reveal:
        RuntimeLogger::log("visualMemory reveal id=" + item.id);
        deps_.host.revealInFileViewer(item.url);
        break;
    case Action::annotate:
        controller->annotateVisualMemoryItem(item);
        break;
    case Action::copy:
        controller->copyVisualMemoryItem(item);
        break;
    case Action::copyText:
        controller->copyOCR(item);
        break;
    case Action::favorite:
        controller->toggleVisualMemoryFavorite(item);
        break;
    case Action::pin:
        controller->toggleVisualMemoryPinned(item);
        break;
    case Action::exportObsidian:
        exportToObsidian(item);
        break;
    }
}

void QtVisualMemoryLibrary::exportToObsidian(const VisualMemoryItem& item) {
    VisualMemoryLibraryWindow* window = window_.get();
    const LocalizationStore& text = deps_.localization;
    bool chose = false;
    const ObsidianExportService exporter(deps_.homeDirectory, [window, &text, &chose]() -> std::optional<std::filesystem::path> {
        const QString folder = QFileDialog::getExistingDirectory(window, qt(text.text(L10nKey::visualActionExportObsidian)));
        if (folder.isEmpty()) {
            return std::nullopt;
        }
        chose = true;
        return std::filesystem::path(folder.toStdString());
    });
    const auto preferred = deps_.model.preferences().obsidianExportDirectory;
    const auto note = exporter.exportItem(item, preferred);
    if (!note) {
        if (note.error().code == ObsidianExportError::Code::cancelled) {
            return;
        }
        RuntimeLogger::log("visualMemory obsidian export failed id=" + item.id + " error=" + note.error().description);
        deps_.alerts.present({text.text(L10nKey::visualActionExportObsidian),
                              text.format(L10nKey::visualObsidianExportFailed, {note.error().description}),
                              {text.text(L10nKey::genericOK)}, AlertRequest::Style::warning},
                             [](int) {});
        return;
    }
    RuntimeLogger::log("visualMemory obsidian exported id=" + item.id + " note=" + note.value().string());
    if (chose) {
        // The folder chosen once is where the next notes go.
        if (AppController* controller = controller_()) {
            const std::string directory = note.value().parent_path().string();
            controller->updatePreferences([directory](AppPreferences& preferences) {
                preferences.obsidianExportDirectory = directory;
            });
        }
    }
}

void QtVisualMemoryLibrary::confirmDelete(int count, std::function<void(bool)> answer) {
    const LocalizationStore& text = deps_.localization;
    deps_.alerts.present({text.text(L10nKey::visualDeleteConfirmTitle),
                          text.format(L10nKey::visualDeleteConfirmMessage, {count}),
                          {text.text(L10nKey::genericDelete), text.text(L10nKey::genericCancel)},
                          AlertRequest::Style::warning},
                         [answer = std::move(answer), alive = std::weak_ptr<bool>(alive_)](int response) {
                             if (!alive.expired()) {
                                 answer(response == 0);
                             }
                         });
}

} // namespace brisklet
