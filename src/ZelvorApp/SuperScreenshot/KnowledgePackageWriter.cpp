#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriter.h"

#include "Platform/ImageCodec.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageNaming.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextFormatter.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <cerrno>
#include <sys/stat.h>
#include <vector>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

using Step = KnowledgePackageWriteError::Step;

// Same-second packages of one title: far more than anyone takes, few enough to fail fast on a
// directory that refuses every name.
constexpr int maxNameAttempts = 10'000;

KnowledgePackageWriteError fileError(Step step, const fs::path& path, std::error_code code) {
    return KnowledgePackageWriteError{step, path, code, std::nullopt};
}

} // namespace

KnowledgePackageWriter::KnowledgePackageWriter(fs::path rootDirectory, const ImageCodec& codec)
    : rootDirectory_(std::move(rootDirectory)), codec_(codec) {}

fs::path KnowledgePackageWriter::packagesDirectory() const {
    return rootDirectory_ / "Packages";
}

KnowledgePackageMetadata KnowledgePackageWriter::metadata(const KnowledgePackageContent& content) {
    KnowledgePackageMetadata metadata;
    metadata.createdAt = content.createdAt;
    metadata.capture = content.capture;
    metadata.source = content.source;
    metadata.browser = content.browserMetadata;
    metadata.text.ocrLength = static_cast<int>(memorytext::characterCount(content.ocrText));
    metadata.text.accessibilityTextLength = static_cast<int>(memorytext::characterCount(content.accessibility.text));
    metadata.text.accessibilityNodeCount = content.accessibility.nodeCount;
    metadata.text.accessibilityTextWasTruncated = content.accessibility.wasTruncated;
    return metadata;
}

KnowledgePackageWriter::DirectoryResult
KnowledgePackageWriter::createPackageDirectory(const std::string& baseName) const {
    const fs::path parent = packagesDirectory();
    std::error_code error;
    fs::create_directories(parent, error);
    if (error) {
        return DirectoryResult::failure(fileError(Step::createDirectory, parent, error));
    }
    for (int attempt = 1; attempt <= maxNameAttempts; ++attempt) {
        const fs::path candidate = parent / (attempt == 1 ? baseName : baseName + "-" + std::to_string(attempt));
        // mkdir either creates the directory for us alone or fails: two captures racing for one
        // name never share a directory.
        if (::mkdir(candidate.c_str(), 0755) == 0) {
            return DirectoryResult::success(candidate);
        }
        const int reason = errno;
        if (reason != EEXIST) {
            return DirectoryResult::failure(
                fileError(Step::createDirectory, candidate, {reason, std::generic_category()}));
        }
    }
    return DirectoryResult::failure(
        fileError(Step::createDirectory, parent / baseName, std::make_error_code(std::errc::file_exists)));
}

std::optional<KnowledgePackageWriteError>
KnowledgePackageWriter::writeFiles(const Image& image, const KnowledgePackageResult& package) const {
    auto png = codec_.encode(image, ImageFormat::png);
    if (!png) {
        return KnowledgePackageWriteError{Step::encodeScreenshot, package.screenshotURL, {}, png.error()};
    }
    const std::string metadataJson = encodeKnowledgePackageMetadata(package.metadata);
    std::vector<fs::path> written;
    const auto removeWritten = [&written] {
        std::error_code ignored;
        for (const auto& file : written) {
            fs::remove(file, ignored);
        }
    };
    const struct {
        Step step;
        const fs::path& path;
        std::string_view bytes;
    } files[] = {
        {Step::writeScreenshot, package.screenshotURL, png.value()},
        {Step::writeContext, package.contextURL, package.contextText},
        {Step::writeMetadata, package.metadataURL, metadataJson},
    };
    for (const auto& file : files) {
        if (const std::error_code error = writeNewFileAtomically(file.path, file.bytes)) {
            removeWritten();
            return fileError(file.step, file.path, error);
        }
        written.push_back(file.path);
    }
    return std::nullopt;
}

Result<KnowledgePackageResult, KnowledgePackageWriteError>
KnowledgePackageWriter::write(const Image& image, const KnowledgePackageContent& content) const {
    using R = Result<KnowledgePackageResult, KnowledgePackageWriteError>;
    const std::string baseName = KnowledgePackageNaming::directoryBaseName(
        content.createdAt, KnowledgePackageNaming::directoryTitle(content.source, content.browserMetadata));
    auto directory = createPackageDirectory(baseName);
    if (!directory) {
        return R::failure(directory.error());
    }
    KnowledgePackageResult package;
    package.packageDirectory = directory.value();
    package.metadata = metadata(content);
    package.screenshotURL = package.packageDirectory / package.metadata.files.screenshot;
    package.contextURL = package.packageDirectory / package.metadata.files.contextMarkdown;
    package.metadataURL = package.packageDirectory / package.metadata.files.metadata;
    package.contextText = SuperScreenshotContextFormatter::format(
        KnowledgePackageNaming::packageTitle(content.source, content.browserMetadata), content.source, content.ocrText,
        content.accessibility.text, content.browserMetadata);
    if (auto error = writeFiles(image, package)) {
        std::error_code ignored;
        fs::remove(package.packageDirectory, ignored); // only when empty: what others put there stays
        return R::failure(std::move(*error));
    }
    return R::success(std::move(package));
}

} // namespace brisklet
