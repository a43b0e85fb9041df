#pragma once

#include "Platform/ProcessRunner.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace brisklet {

/// A process runner whose commands the test answers: `respond` sees each command line and
/// returns its outcome (a command it does not know should come back not launched). Every call
/// is recorded.
class ScriptedProcessRunner final : public ProcessRunner {
public:
    using Responder = std::function<ProcessOutcome(const std::vector<std::string>& arguments)>;

    explicit ScriptedProcessRunner(Responder respond) : respond_(std::move(respond)) {}

    ProcessOutcome run(const std::vector<std::string>& arguments, std::string_view, double) const override {
        const std::lock_guard lock(mutex_);
        calls_.push_back(arguments);
        return respond_(arguments);
    }

    std::vector<std::vector<std::string>> calls() const {
        const std::lock_guard lock(mutex_);
        return calls_;
    }

    /// A command that ran and printed `output`.
    static ProcessOutcome exited(int exitCode, std::string output = {}, std::string error = {}) {
        return ProcessOutcome{true, false, exitCode, std::move(output), std::move(error)};
    }
    /// A command that is not installed.
    static ProcessOutcome notFound() { return ProcessOutcome{false, false, -1, {}, "No such file or directory"}; }

private:
    Responder respond_;
    mutable std::mutex mutex_;
    mutable std::vector<std::vector<std::string>> calls_;
};

} // namespace brisklet
