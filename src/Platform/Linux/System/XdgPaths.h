#pragma once

#include "Platform/Paths.h"

#include <optional>

namespace brisklet {

/// XDG base directories. The overrides stand in for $XDG_CONFIG_HOME and $XDG_DATA_HOME so tests
/// and demos never touch a user's real files.
class XdgPaths final : public Paths {
public:
    struct Overrides {
        std::optional<std::filesystem::path> configDirectory;
        std::optional<std::filesystem::path> dataDirectory;
    };

    explicit XdgPaths(Overrides overrides = {});

    std::filesystem::path applicationSupportDirectory() const override;
    std::filesystem::path configDirectory() const override;
    std::filesystem::path temporaryDirectory() const override;
    std::filesystem::path homeDirectory() const override;

private:
    Overrides overrides_;
};

} // namespace brisklet
