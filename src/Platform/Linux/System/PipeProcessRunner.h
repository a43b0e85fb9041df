#pragma once

#include "Platform/ProcessRunner.h"

#include <cstddef>
#include <limits>

namespace brisklet {

/// Runs commands through pipes, each in its own process group so a timeout stops whatever the
/// command started as well.
class PipeProcessRunner final : public ProcessRunner {
public:
    /// Output beyond `outputLimit` bytes per stream is read and dropped, so a command that floods
    /// its output cannot fill memory while it runs.
    explicit PipeProcessRunner(std::size_t outputLimit = std::numeric_limits<std::size_t>::max())
        : outputLimit_(outputLimit) {}

    ProcessOutcome run(const std::vector<std::string>& arguments, std::string_view input,
                       double timeoutSeconds) const override;

private:
    std::size_t outputLimit_;
};

} // namespace brisklet
