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
};

/// Runs a command with `input` on its standard input and collects its output; a command still
/// running after `timeoutSeconds` is killed together with everything it started.
class PipeProcessRunner {
public:
    PipeProcessRunner() = delete;

    /// `arguments[0]` is looked up on PATH.
    static ProcessOutcome run(const std::vector<std::string>& arguments, std::string_view input, double timeoutSeconds);
};

} // namespace brisklet
