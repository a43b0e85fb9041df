#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace brisklet {

class AlertPresenter;
class AppController;
class AppModel;
class AppWindowPort;
class ApplicationHost;
class DefaultsStore;
class LibraryThumbnailCache;
class LocalizationStore;
class SerialQueue;
class VisualMemoryImageMetrics;
class VisualMemoryLibraryViewModel;
class VisualMemoryLibraryWindow;

/// The library window with everything behind it: its view model, the picture cache, the card
/// proportions warmed in the background, and what its buttons do in the controller.
class QtVisualMemoryLibrary {
public:
    struct Dependencies {
        AppModel& model;
        LocalizationStore& localization;
        DefaultsStore& defaults;
        AlertPresenter& alerts;
        ApplicationHost& host;
        VisualMemoryImageMetrics& metrics;
        /// Where the proportions are read at start-up (off the main thread).
        SerialQueue& backgroundQueue;
        /// Runs a task on the main queue (the warm-up reports back there).
        std::function<void(std::function<void()>)> postToMain;
        std::filesystem::path homeDirectory;
    };

    QtVisualMemoryLibrary(Dependencies dependencies, std::function<AppController*()> controller);
    ~QtVisualMemoryLibrary();
    QtVisualMemoryLibrary(const QtVisualMemoryLibrary&) = delete;
    QtVisualMemoryLibrary& operator=(const QtVisualMemoryLibrary&) = delete;

    AppWindowPort& port();
    VisualMemoryLibraryWindow& window() { return *window_; }
    VisualMemoryLibraryViewModel& viewModel() { return *viewModel_; }
    /// Reads every card's proportion in the background, once the library is loaded.
    void prewarm();

private:
    void perform(int action, const VisualMemoryItem& item);
    void exportToObsidian(const VisualMemoryItem& item);
    void confirmDelete(int count, std::function<void(bool)> answer);

    Dependencies deps_;
    std::function<AppController*()> controller_;
    std::unique_ptr<LibraryThumbnailCache> thumbnails_;
    std::unique_ptr<VisualMemoryLibraryViewModel> viewModel_;
    std::unique_ptr<VisualMemoryLibraryWindow> window_;
    int localizationObserver_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
