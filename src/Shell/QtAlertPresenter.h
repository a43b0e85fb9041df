#pragma once

#include "ZelvorApp/Control/Ports/AlertPresenter.h"

namespace brisklet {

/// Alerts as message boxes that open without a nested event loop, so timers, hotkeys and the
/// command channel keep working while one is shown.
class QtAlertPresenter final : public AlertPresenter {
public:
    void present(const AlertRequest& alert, std::function<void(int)> onResponse) override;
};

} // namespace brisklet
