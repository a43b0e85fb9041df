#include "Shell/TrayShell.h"

#include "Platform/Linux/X11/X11GlobalHotkeyService.h"
#include "Shell/MainPanelWidget.h"
#include "Shell/MainPanelWindow.h"
#include "Shell/QtKeyWindow.h"
#include "Shell/QtStatusItemView.h"
#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Control/AppController.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Hotkeys/GlobalHotkeyTable.h"
#include "ZelvorApp/Hotkeys/HotkeyManager.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Panel/MainPanelViewModel.h"
#include "ZelvorApp/StatusBar/StatusBarContextMenuActions.h"
#include "ZelvorApp/StatusBar/StatusBarContextMenuModelBuilder.h"
#include "ZelvorApp/StatusBar/StatusBarController.h"

#include <QSocketNotifier>
#include <QTimer>

namespace brisklet {

TrayShell::TrayShell(const std::string& displayName, MainQueue& mainQueue, const Clock& clock, AppModel& model,
                     LocalizationStore& localization)
    : model_(model), localization_(localization) {
    hotkeyService_ = X11GlobalHotkeyService::open(displayName);
    if (hotkeyService_) {
        hotkeyNotifier_ = std::make_unique<QSocketNotifier>(hotkeyService_->fileDescriptor(), QSocketNotifier::Read);
        QObject::connect(hotkeyNotifier_.get(), &QSocketNotifier::activated, hotkeyNotifier_.get(),
                         [service = hotkeyService_.get()] { service->processPendingEvents(); });
        hotkeys_ = std::make_unique<HotkeyManager>(*hotkeyService_, mainQueue, clock);
    } else {
        RuntimeLogger::log("hotkey display connection failed display=" + displayName);
    }
    panelModel_ = std::make_unique<MainPanelViewModel>(model, mainQueue, MainPanelViewModel::Actions{});
    panelContent_ = std::make_unique<MainPanelWidget>(*panelModel_, model, localization);
    panelWindow_ = std::make_unique<MainPanelWindow>(*panelContent_);
    statusView_ = std::make_unique<QtStatusItemView>(*panelWindow_);
    statusBar_ = std::make_unique<StatusBarController>(*statusView_, mainQueue);
    trayAvailable_ = QtStatusItemView::trayAvailable();
    panelModel_->setOnChange([this] {
        const VisualAppearanceMode mode = model_.preferences().visualAppearanceMode;
        if (mode != appliedAppearance_) {
            appliedAppearance_ = mode;
            ShellAppearance::applyToApplication(mode);
        }
        if (panelWindow_->QWidget::isVisible()) {
            panelContent_->refresh();
        }
    });
}

TrayShell::~TrayShell() {
    // The panel's content is owned here, not by the window: take it out before either goes.
    if (panelContent_) {
        panelContent_->setParent(nullptr);
    }
}

void TrayShell::fillPorts(AppPorts& ports) {
    ports.hotkeys = hotkeys_.get();
    ports.statusItem = trayAvailable_ ? statusBar_.get() : nullptr;
    ports.mainPanelWindow = panelWindow_.get();
    if (!trayAvailable_) {
        RuntimeLogger::log("status item unavailable reason=noTrayHost; main panel opens as a window");
    }
}

bool TrayShell::deliverTypedHotkey(const std::string& token, int modifiers) {
    if (!controller_) {
        return false;
    }
    const auto action = GlobalHotkeyTable::actionFor({token, {modifiers}}, model_.preferences());
    if (!action) {
        return false;
    }
    RuntimeLogger::log("hotkey typed in own window action=" + std::string(toString(*action)));
    AppController* controller = controller_;
    // After the key event: the action may close the window that is handling it.
    QTimer::singleShot(0, [controller, action = *action] { controller->handleHotkey(action); });
    return true;
}

void TrayShell::attach(AppController& controller, ApplicationHost& host) {
    controller_ = &controller;
    if (hotkeys_) {
        hotkeys_->setTarget({[&controller](GlobalHotkeyAction action) { controller.handleHotkey(action); },
                             [&controller] { controller.handlePinnedScreenshotEscape(); }, [] { return QtKeyWindow::snapshot(); }});
    }
    AppModel& model = model_;
    LocalizationStore& localization = localization_;
    statusBar_->setTarget({[&model] { return model.state(); }, [&controller] { return controller.bringEditorToFront(); },
                           [&controller] { controller.stopCapture(); }, [&controller] { controller.stopCapture(); },
                           [&model, &localization] {
                               return StatusBarContextMenuModelBuilder(model.state(), model.preferences(), localization)
                                   .items();
                           },
                           [&controller, &host](StatusBarContextMenuAction action) {
                               StatusBarContextMenuActions::perform(action, controller, host);
                           }});
    if (trayAvailable_) {
        statusView_->attach(*statusBar_);
        panelContent_->onDragBegin = [statusBar = statusBar_.get()] { return statusBar->beginVisualMemoryDrag(); };
        panelContent_->onDragEnd = [statusBar = statusBar_.get()] { statusBar->endVisualMemoryDrag(); };
    }
    using RowAction = MainPanelViewModel::RowAction;
    StatusBarController* statusBar = statusBar_.get();
    MainPanelWindow* window = panelWindow_.get();
    const bool tray = trayAvailable_;
    // Captures close the panel first, so it is not in the picture.
    const auto closingPanel = [statusBar, window, tray](std::function<void()> action) {
        if (tray) {
            statusBar->closePopover(std::move(action));
        } else {
            window->QWidget::hide();
            action();
        }
    };
    panelModel_->setActions(
        {[&controller, closingPanel](MainMenuActionGlyph glyph) {
             closingPanel([&controller, glyph] {
                 switch (glyph) {
                 case MainMenuActionGlyph::screenshot:
                     controller.startScreenshot(ScreenshotEditorInitialInteractionMode::normal,
                                                controller.preferredToolbar());
                     break;
                 case MainMenuActionGlyph::gifRegion:
                     controller.startGIFRegion();
                     break;
                 case MainMenuActionGlyph::longshot:
                     controller.startLongshot();
                     break;
                 case MainMenuActionGlyph::gifWindow:
                     controller.startGIFWindow();
                     break;
                 }
             });
         },
         [&controller, closingPanel](RowAction action, const VisualMemoryItem& item) {
             switch (action) {
             case RowAction::open:
                 closingPanel([&controller, item] { controller.openVisualMemoryItem(item); });
                 break;
             case RowAction::annotate:
                 closingPanel([&controller, item] { controller.annotateVisualMemoryItem(item); });
                 break;
             case RowAction::copy:
                 controller.copyVisualMemoryItem(item);
                 break;
             case RowAction::favorite:
                 controller.toggleVisualMemoryFavorite(item);
                 break;
             case RowAction::pin:
                 controller.toggleVisualMemoryPinned(item);
                 break;
             case RowAction::remove:
                 controller.deleteVisualMemoryItem(item);
                 break;
             }
         },
         [&controller] { controller.openVisualLibrary(); },
         [&controller, closingPanel] { closingPanel([&controller] { controller.openSettings(); }); }});
}

KeyboardGrab* TrayShell::keyboardGrab() const {
    return hotkeyService_.get();
}

} // namespace brisklet
