#pragma once

#include "ZelvorCore/Models/AppLanguage.h"

#include <memory>
#include <string>

class QSocketNotifier;

namespace brisklet {

class AppController;
class AppModel;
class ApplicationHost;
class Clock;
class HotkeyManager;
class KeyboardGrab;
class LocalizationStore;
class MainPanelViewModel;
class MainPanelWidget;
class MainPanelWindow;
class MainQueue;
class QtStatusItemView;
class StatusBarController;
class X11GlobalHotkeyService;
struct AppPorts;

/// The application's permanent presence: global hotkeys on the X display, the tray icon with
/// its menu, and the main panel. Built before the controller, attached to it once it exists.
class TrayShell {
public:
    TrayShell(const std::string& displayName, MainQueue& mainQueue, const Clock& clock, AppModel& model,
              LocalizationStore& localization);
    ~TrayShell();
    TrayShell(const TrayShell&) = delete;
    TrayShell& operator=(const TrayShell&) = delete;

    /// Hands the hotkeys, the status item (only where a tray shows it) and the panel window to
    /// the controller's ports.
    void fillPorts(AppPorts& ports);
    void attach(AppController& controller, ApplicationHost& host);
    /// A combination typed inside one of our own windows that holds the keyboard: runs the
    /// global hotkey it names, as the key grab would have. True when it named one.
    bool deliverTypedHotkey(const std::string& token, int modifiers);
    /// The whole keyboard of the display, for recording a new combination; null without a display.
    KeyboardGrab* keyboardGrab() const;

private:
    std::unique_ptr<X11GlobalHotkeyService> hotkeyService_;
    std::unique_ptr<QSocketNotifier> hotkeyNotifier_;
    std::unique_ptr<HotkeyManager> hotkeys_;
    std::unique_ptr<MainPanelViewModel> panelModel_;
    std::unique_ptr<MainPanelWidget> panelContent_;
    std::unique_ptr<MainPanelWindow> panelWindow_;
    std::unique_ptr<QtStatusItemView> statusView_;
    std::unique_ptr<StatusBarController> statusBar_;
    AppModel& model_;
    LocalizationStore& localization_;
    bool trayAvailable_ = false;
    AppController* controller_ = nullptr;
    VisualAppearanceMode appliedAppearance_ = VisualAppearanceMode::system;
};

} // namespace brisklet
