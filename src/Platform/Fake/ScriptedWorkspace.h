#pragma once

#include "Platform/Workspace.h"

#include <mutex>

namespace brisklet {

/// A desktop whose front application, window title and page address the test sets;
/// `activate` brings an application to the front and reports it like the desktop would.
class ScriptedWorkspace final : public Workspace {
public:
    explicit ScriptedWorkspace(std::int32_t ownProcessIdentifier = 4242) : ownPid_(ownProcessIdentifier) {}

    std::optional<RunningApplication> frontmostApplication() const override;
    std::optional<std::string> frontmostWindowTitle() const override;
    std::optional<std::string> frontmostBrowserURL() const override;
    std::int32_t currentProcessIdentifier() const override { return ownPid_; }
    void startObservingActivations(ActivationHandler handler) override;
    void stopObservingActivations() override;

    /// Brings `app` to the front and reports the activation when someone observes.
    void activate(const RunningApplication& app, std::optional<std::string> windowTitle = std::nullopt);
    /// Changes the front application silently (no activation reported).
    void setFrontmost(std::optional<RunningApplication> app);
    void setBrowserURL(std::optional<std::string> url);
    bool isObserving() const;

private:
    std::int32_t ownPid_;
    mutable std::mutex mutex_;
    std::optional<RunningApplication> frontmost_;
    std::optional<std::string> windowTitle_;
    std::optional<std::string> browserURL_;
    ActivationHandler handler_;
};

} // namespace brisklet
