#pragma once

#include "Platform/ProcessRunner.h"

namespace brisklet {

/// Runs commands through pipes, each in its own process group so a timeout stops whatever the
/// command started as well.
class PipeProcessRunner final : public ProcessRunner {
public:
    ProcessOutcome run(const std::vector<std::string>& arguments, std::string_view input,
                       double timeoutSeconds) const override;
};

} // namespace brisklet
