#include "Platform/Linux/Desktop/DesktopCommand.h"

#include "Platform/Linux/System/PipeProcessRunner.h"

namespace brisklet {

namespace {
/// Settings tools print a line or two; anything longer is not an answer we can use.
constexpr std::size_t maximumOutputBytes = 64 * 1024;
} // namespace

std::optional<std::string> runDesktopCommand(const std::vector<std::string>& arguments, double timeoutSeconds) {
    if (arguments.empty()) {
        return std::nullopt;
    }
    ProcessOutcome outcome = PipeProcessRunner(maximumOutputBytes).run(arguments, {}, timeoutSeconds);
    if (!outcome.succeeded()) {
        return std::nullopt;
    }
    return std::move(outcome.standardOutput);
}

} // namespace brisklet
