#pragma once

#include "ZelvorCore/Foundation/Result.h"

#include <string>

namespace brisklet {

/// Starting the application when the user logs in.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;
    /// Registers the application; the error says why it could not.
    virtual Status<std::string> registerMainApp() = 0;
    /// Removes our registration; never touches an entry of someone else.
    virtual Status<std::string> unregisterMainApp() = 0;
    virtual bool isRegistered() const = 0;
};

} // namespace brisklet
