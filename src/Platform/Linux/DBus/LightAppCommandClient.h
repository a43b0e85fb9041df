#pragma once

#include <string>

namespace brisklet {

/// The command channel's sending end for `brisklet` itself: one RunAction call to the running
/// instance through libdbus, so a desktop shortcut's `brisklet action NAME` costs neither Qt nor
/// the engine. It only tells whether the action surely ran, surely did not, or may still run;
/// saying why is left to the engine's AppCommandClient.
class LightAppCommandClient {
public:
    enum class Outcome {
        /// The running instance answered that it ran the action.
        ran,
        /// Nothing ran: no session bus, no instance, a name the instance does not know, a call it refused.
        notRun,
        /// An instance took the call but gave no answer in time; it may still run the action.
        unanswered,
    };

    /// As long as the engine's client waits, so that both paths give up alike.
    static constexpr int defaultTimeoutMs = 5000;

    static Outcome runAction(const std::string& action, int timeoutMs = defaultTimeoutMs);
};

} // namespace brisklet
