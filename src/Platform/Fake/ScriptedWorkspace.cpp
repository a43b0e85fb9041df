#include "Platform/Fake/ScriptedWorkspace.h"

namespace brisklet {

std::optional<RunningApplication> ScriptedWorkspace::frontmostApplication() const {
    std::lock_guard lock(mutex_);
    return frontmost_;
}

std::optional<std::string> ScriptedWorkspace::frontmostWindowTitle() const {
    std::lock_guard lock(mutex_);
    return windowTitle_;
}

std::optional<std::string> ScriptedWorkspace::frontmostBrowserURL() const {
    std::lock_guard lock(mutex_);
    return browserURL_;
}

void ScriptedWorkspace::startObservingActivations(ActivationHandler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void ScriptedWorkspace::stopObservingActivations() {
    std::lock_guard lock(mutex_);
    handler_ = nullptr;
}

void ScriptedWorkspace::activate(const RunningApplication& app, std::optional<std::string> windowTitle) {
    ActivationHandler handler;
    {
        std::lock_guard lock(mutex_);
        frontmost_ = app;
        windowTitle_ = std::move(windowTitle);
        handler = handler_;
    }
    if (handler) {
        handler(app);
    }
}

void ScriptedWorkspace::setFrontmost(std::optional<RunningApplication> app) {
    std::lock_guard lock(mutex_);
    frontmost_ = std::move(app);
}

void ScriptedWorkspace::setBrowserURL(std::optional<std::string> url) {
    std::lock_guard lock(mutex_);
    browserURL_ = std::move(url);
}

bool ScriptedWorkspace::isObserving() const {
    std::lock_guard lock(mutex_);
    return static_cast<bool>(handler_);
}

} // namespace brisklet
