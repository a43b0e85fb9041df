#pragma once

#include "Platform/Paths.h"

namespace brisklet {

/// Every location inside one fresh temporary directory, removed with the object.
class TemporaryPaths final : public Paths {
public:
    TemporaryPaths();
    ~TemporaryPaths() override;
    TemporaryPaths(const TemporaryPaths&) = delete;
    TemporaryPaths& operator=(const TemporaryPaths&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path applicationSupportDirectory() const override { return root_ / "data"; }
    std::filesystem::path configDirectory() const override { return root_ / "config"; }
    std::filesystem::path temporaryDirectory() const override { return root_ / "tmp"; }
    std::filesystem::path homeDirectory() const override { return root_ / "home"; }

private:
    std::filesystem::path root_;
};

} // namespace brisklet
