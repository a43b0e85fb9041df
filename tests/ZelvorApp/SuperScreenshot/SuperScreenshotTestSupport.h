#pragma once

#include "Platform/AccessibilitySnapshotReader.h"
#include "Platform/BrowserMetadataProvider.h"
#include "ZelvorApp/Memory/VisualMemoryTextRecognition.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brisklet::superscreenshot_testing {

namespace fs = std::filesystem;

/// An element with a title and the given children.
inline AccessibilitySnapshotNode node(std::optional<std::string> title,
                                      std::vector<AccessibilitySnapshotNode> children = {}) {
    AccessibilitySnapshotNode result;
    result.role = "label";
    result.title = std::move(title);
    result.children = std::move(children);
    return result;
}

/// A reader that answers with a tree the test gives and remembers what it was asked.
class FakeAccessibilityReader final : public AccessibilitySnapshotReader {
public:
    bool trusted = true;
    /// Whether asking for trust turns it on.
    bool grantsTrust = false;
    std::optional<AccessibilitySnapshotNode> tree;
    int trustRequests = 0;
    struct Request {
        std::int32_t processIdentifier;
        std::optional<std::string> windowTitle;
        AccessibilityWalkLimits limits;
    };
    std::vector<Request> snapshots;

    bool isTrusted() const override { return trusted; }
    bool requestTrust() override {
        ++trustRequests;
        trusted = trusted || grantsTrust;
        return trusted;
    }
    std::optional<AccessibilitySnapshotNode> snapshot(std::int32_t processIdentifier,
                                                      const std::optional<std::string>& windowTitle,
                                                      const AccessibilityWalkLimits& limits) override {
        snapshots.push_back({processIdentifier, windowTitle, limits});
        return tree;
    }
};

/// A browser provider with a canned answer.
class FakeBrowserMetadataProvider final : public BrowserMetadataProvider {
public:
    std::optional<BrowserCaptureMetadata> answer;
    std::vector<RunningApplication> requests;

    std::optional<BrowserCaptureMetadata> metadata(const RunningApplication& application) override {
        requests.push_back(application);
        return answer;
    }
};

/// Text recognition with a canned answer.
class FakeTextRecognition final : public VisualMemoryTextRecognition {
public:
    std::string plainText;
    bool fails = false;
    int calls = 0;

    Result<VisualMemoryRecognizedText, VisualMemoryTextRecognitionError> recognizeText(const Image&) override {
        ++calls;
        using R = Result<VisualMemoryRecognizedText, VisualMemoryTextRecognitionError>;
        if (fails) {
            return R::failure(VisualMemoryTextRecognitionError::recognitionFailed);
        }
        return R::success({plainText, plainText});
    }
};

inline std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

/// The entries of `directory`, by file name; empty when it does not exist.
inline std::vector<std::string> entryNames(const fs::path& directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace brisklet::superscreenshot_testing
