#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// What running a command produced.
struct ProcessOutcome {
    bool launched = false;
    bool timedOut = false;
    /// The exit status, or -1 when the process did not exit normally.
    int exitCode = -1;
    std::string standardOutput;
    std::string standardError;

    bool succeeded() const { return launched && !timedOut && exitCode == 0; }
};

/// Runs helper programs (the translator, desktop settings tools, the fallback screenshot tool).
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;

    /// Runs `arguments` (`arguments[0]` looked up on PATH) with `input` on its standard input and
    /// collects its output; a command still running after `timeoutSeconds` is killed together with
    /// everything it started. Blocks the calling thread.
    virtual ProcessOutcome run(const std::vector<std::string>& arguments, std::string_view input,
                               double timeoutSeconds) const = 0;
};

} // namespace brisklet
