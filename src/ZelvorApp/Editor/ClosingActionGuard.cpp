#include "ZelvorApp/Editor/ClosingActionGuard.h"

#include "Platform/Clock.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace brisklet {

void ClosingActionGuard::markAppeared() {
    appearedAt_ = clock_.monotonicSeconds();
}

bool ClosingActionGuard::allowsClosingActionFromUserInput(std::string_view source, EditorPhase phase,
                                                          bool activeMouseGesture) const {
    const double elapsed = appearedAt_ ? clock_.monotonicSeconds() - *appearedAt_ : 0;
    if (!appearedAt_ || elapsed < initialSuppressionSeconds) {
        RuntimeLogger::log("screenshot editor suppressed initial closing action source=" + std::string(source));
        return false;
    }
    const bool fromKeyboard = source == "keyDown" || source == "hotkey";
    if (fromKeyboard && activeMouseGesture) {
        const auto elapsedMs = std::max<long long>(0, static_cast<long long>(std::trunc(elapsed * 1000)));
        RuntimeLogger::log("screenshot editor suppressed keyboard closing action source=" + std::string(source) +
                           " elapsedMs=" + std::to_string(elapsedMs) + " phase=" + std::string(toString(phase)) +
                           " activeMouseGesture=true");
        return false;
    }
    return true;
}

} // namespace brisklet
