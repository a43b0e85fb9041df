#pragma once

#include "ZelvorApp/Control/Ports/ApplicationHost.h"

#include <functional>

namespace brisklet {

/// The Qt application as the controller sees it.
class QtApplicationHost final : public ApplicationHost {
public:
    /// `requestQuit` ends the event loop (the tear-down runs after it).
    explicit QtApplicationHost(std::function<void()> requestQuit);

    ActivationPolicy activationPolicy() const override { return policy_; }
    void setActivationPolicy(ActivationPolicy policy) override;
    void activate() override;
    void terminate() override;
    bool loadApplicationIcon() override;
    bool hasVisibleWindow() const override;
    std::int32_t currentProcessIdentifier() const override;
    std::optional<std::filesystem::path> currentExecutable() const override;
    std::vector<RunningProcess> runningProcesses() const override;
    std::optional<std::string> currentSession() const override;
    void openFile(const std::filesystem::path& file) override;
    void revealInFileViewer(const std::filesystem::path& file) override;

private:
    std::function<void()> requestQuit_;
    ActivationPolicy policy_ = ActivationPolicy::accessory;
};

} // namespace brisklet
