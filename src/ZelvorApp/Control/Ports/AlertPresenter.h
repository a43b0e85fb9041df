#pragma once

#include <functional>
#include <string>
#include <vector>

namespace brisklet {

/// One alert: a title, a message and its buttons, first button first.
struct AlertRequest {
    enum class Style { informational, warning, critical };
    std::string title;
    std::string message;
    std::vector<std::string> buttons;
    Style style = Style::informational;

    bool operator==(const AlertRequest&) const = default;
};

/// Shows alerts without blocking the main queue: timers and input go on while one is open.
class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    /// `onResponse` receives the index of the chosen button (or -1 when the alert was closed
    /// without one), on the main queue.
    virtual void present(const AlertRequest& alert, std::function<void(int)> onResponse) = 0;
};

} // namespace brisklet
