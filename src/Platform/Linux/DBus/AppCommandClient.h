#pragma once

#include <string>
#include <vector>

namespace brisklet {

/// The sending end of the command channel (`brisklet action`, a second start). Needs a
/// QCoreApplication.
class AppCommandClient {
public:
    enum class Delivery { delivered, unknownAction, noInstance, noSessionBus, failed };

    static bool hasSessionBus();
    static bool isInstanceRunning();
    static Delivery sendAction(const std::string& action, int timeoutMs = 5000);
    static Delivery handOver(const std::vector<std::string>& arguments, int timeoutMs = 5000);
    /// Polls for the bus name until it appears or `timeoutSeconds` pass.
    static bool waitForInstance(double timeoutSeconds);
};

} // namespace brisklet
