#pragma once

#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Memory/VisualMemoryAnalyzer.h"
#include "ZelvorApp/Memory/VisualMemoryTextRecognition.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"
#include "support/CapturedLog.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace brisklet::memory_testing {

using testing::CapturedLog;

namespace fs = std::filesystem;

/// Writes `bytes` bytes (or the given text) to `file`, creating its directory.
inline fs::path writeFile(const fs::path& file, std::size_t bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << std::string(bytes, 'x');
    return file;
}

inline fs::path writeText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

inline std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

/// An item for `url` created at `seconds` (since 1970).
inline VisualMemoryItem item(const fs::path& url, double seconds, ExportKind kind = ExportKind::screenshot) {
    VisualMemoryItem result = VisualMemoryItem::forFile(url, kind, Date{seconds});
    result.summary = url.filename().string();
    return result;
}

/// Text recognition that answers from a script keyed by the picture's width.
class FakeTextRecognition final : public VisualMemoryTextRecognition {
public:
    std::map<int, VisualMemoryRecognizedText> byWidth;
    bool fails = false;
    int calls = 0;

    Result<VisualMemoryRecognizedText, VisualMemoryTextRecognitionError> recognizeText(const Image& image) override {
        ++calls;
        using R = Result<VisualMemoryRecognizedText, VisualMemoryTextRecognitionError>;
        if (fails) {
            return R::failure(VisualMemoryTextRecognitionError::recognitionFailed);
        }
        const auto found = byWidth.find(image.width());
        return R::success(found == byWidth.end() ? VisualMemoryRecognizedText{} : found->second);
    }
};

/// An analyser whose answer the test decides; records what it was asked.
class FakeAnalyzer final : public VisualMemoryAnalyzer {
public:
    std::function<Result<VisualMemoryAnalysis, VisualMemoryAnalysisError>(const fs::path&, ExportKind)> answer;
    std::vector<fs::path> requests;

    Result<VisualMemoryAnalysis, VisualMemoryAnalysisError> analyze(const fs::path& url, ExportKind kind,
                                                                    const VisualMemorySource&) override {
        requests.push_back(url);
        if (answer) {
            return answer(url, kind);
        }
        VisualMemoryAnalysis analysis;
        analysis.summary = "Analysed " + url.filename().string();
        analysis.tags = {"analysed"};
        analysis.ocrText = "# text of " + url.filename().string();
        return Result<VisualMemoryAnalysis, VisualMemoryAnalysisError>::success(analysis);
    }
};

} // namespace brisklet::memory_testing
