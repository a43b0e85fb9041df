#pragma once

namespace brisklet {

class LoginItemService;

/// Keeps the login item in line with the user's choice.
class LaunchAtLoginService {
public:
    explicit LaunchAtLoginService(LoginItemService& items) : items_(items) {}
    /// Registers or unregisters; false (and a log line) when the desktop refused.
    bool sync(bool enabled);

private:
    LoginItemService& items_;
};

} // namespace brisklet
