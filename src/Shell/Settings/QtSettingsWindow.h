#pragma once

#include "ZelvorApp/Control/Ports/AppWindowPort.h"
#include "ZelvorApp/Settings/SettingsViewModel.h"

#include <memory>

namespace brisklet {

class AppModel;
class DefaultsStore;
class KeyboardGrab;
class LocalizationStore;
class SettingsWindow;

/// The settings window as the controller opens it: built on first use, shown where and as it was
/// left (frame and category).
class QtSettingsWindow final : public AppWindowPort {
public:
    static constexpr const char* geometryKey = "brisklet.settingsWindow.geometry";
    static constexpr const char* categoryKey = "brisklet.settingsWindow.category";

    struct Dependencies {
        AppModel& model;
        LocalizationStore& localization;
        DefaultsStore& defaults;
        KeyboardGrab* keyboard = nullptr;
        SettingsViewModel::Services services;
    };

    explicit QtSettingsWindow(Dependencies dependencies);
    ~QtSettingsWindow() override;
    QtSettingsWindow(const QtSettingsWindow&) = delete;
    QtSettingsWindow& operator=(const QtSettingsWindow&) = delete;

    void present() override;
    bool isVisible() const override;
    void hide() override;
    void show() override;

    /// Null until first presented.
    SettingsWindow* window() const { return window_.get(); }

private:
    void ensureWindow();
    void remember();

    Dependencies deps_;
    std::unique_ptr<SettingsViewModel> model_;
    std::unique_ptr<SettingsWindow> window_;
};

/// Opens a directory (a path) or a web address with the desktop's handler.
void openWithDesktop(const std::string& target);

} // namespace brisklet
