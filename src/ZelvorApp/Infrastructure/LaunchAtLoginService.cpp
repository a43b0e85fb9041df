#include "ZelvorApp/Infrastructure/LaunchAtLoginService.h"

#include "Platform/LoginItemService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

bool LaunchAtLoginService::sync(bool enabled) {
    const Status<std::string> result = enabled ? items_.registerMainApp() : items_.unregisterMainApp();
    if (!result) {
        RuntimeLogger::log(std::string("launch at login sync failed enabled=") + (enabled ? "true" : "false") +
                           " error=" + result.error());
        return false;
    }
    return true;
}

} // namespace brisklet
