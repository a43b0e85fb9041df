#pragma once

#include "ZelvorApp/StatusBar/StatusBarContextMenuItem.h"

namespace brisklet {

class AppController;
class ApplicationHost;

/// What each context-menu item does: every one ends in a controller action.
struct StatusBarContextMenuActions {
    static void perform(StatusBarContextMenuAction action, AppController& controller, ApplicationHost& host);
};

} // namespace brisklet
