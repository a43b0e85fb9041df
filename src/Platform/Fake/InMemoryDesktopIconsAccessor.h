#pragma once

#include "Platform/DesktopIconsAccessor.h"

namespace brisklet {

/// The desktop-icon setting in memory, counting writes and restarts.
class InMemoryDesktopIconsAccessor final : public DesktopIconsAccessor {
public:
    bool isSupported() const override { return supported; }
    std::optional<bool> createDesktop() const override { return supported ? value : std::nullopt; }
    bool setCreateDesktop(bool shown) override {
        value = shown;
        ++writes;
        return true;
    }
    Status<std::string> restartDesktop() override {
        ++restarts;
        return restartError ? Status<std::string>::failure(*restartError) : succeeded<std::string>();
    }

    bool supported = true;
    std::optional<bool> value;
    std::optional<std::string> restartError;
    int writes = 0;
    int restarts = 0;
};

} // namespace brisklet
