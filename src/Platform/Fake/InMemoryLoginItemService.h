#pragma once

#include "Platform/LoginItemService.h"

#include <optional>

namespace brisklet {

/// A login item kept in memory; a test can make the next change fail.
class InMemoryLoginItemService final : public LoginItemService {
public:
    Status<std::string> registerMainApp() override { return change(true); }
    Status<std::string> unregisterMainApp() override { return change(false); }
    bool isRegistered() const override { return registered_; }

    std::optional<std::string> failure;
    int changes = 0;

private:
    Status<std::string> change(bool registered) {
        ++changes;
        if (failure) {
            return Status<std::string>::failure(*failure);
        }
        registered_ = registered;
        return succeeded<std::string>();
    }
    bool registered_ = false;
};

} // namespace brisklet
