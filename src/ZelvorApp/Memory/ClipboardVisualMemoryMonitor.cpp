#include "ZelvorApp/Memory/ClipboardVisualMemoryMonitor.h"

#include "Platform/ImageCodec.h"
#include "Platform/MainQueue.h"
#include "Platform/Pasteboard.h"
#include "Platform/PasteboardPayloadReader.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Memory/ContentDigest.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <array>
#include <fstream>

namespace brisklet {

namespace {

namespace fs = std::filesystem;

// A copied file larger than this is not read into memory as an image.
constexpr std::uintmax_t maximumImageFileBytes = std::uintmax_t{256} << 20;

constexpr std::array<std::string_view, 11> imageExtensions{"png", "jpg",  "jpeg", "gif",  "tif", "tiff",
                                                           "bmp", "webp", "heic", "heif", "ico"};

bool hasImageExtension(const fs::path& file) {
    std::string extension = memorytext::lowercased(file.extension().string());
    if (!extension.empty() && extension.front() == '.') {
        extension.erase(0, 1);
    }
    return std::find(imageExtensions.begin(), imageExtensions.end(), extension) != imageExtensions.end();
}

std::optional<std::string> readSmallFile(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error || size > maximumImageFileBytes) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

} // namespace

ClipboardVisualMemoryMonitor::ClipboardVisualMemoryMonitor(Pasteboard& pasteboard,
                                                           const PasteboardPayloadReader* payloads,
                                                           AppClipboardWriteTracker& tracker, MainQueue& mainQueue,
                                                           const ImageCodec& codec)
    : pasteboard_(pasteboard), payloads_(payloads), tracker_(tracker), mainQueue_(mainQueue), codec_(codec),
      lastChangeCount_(pasteboard.changeCount()) {}

ClipboardVisualMemoryMonitor::~ClipboardVisualMemoryMonitor() {
    stop();
}

void ClipboardVisualMemoryMonitor::start() {
    if (timerToken_) {
        return;
    }
    timerToken_ = std::make_shared<bool>(true);
    scheduleTick();
}

void ClipboardVisualMemoryMonitor::stop() {
    timerToken_.reset();
}

void ClipboardVisualMemoryMonitor::scheduleTick() {
    // The queued tick holds the token weakly: once the monitor stops or is destroyed, a tick that
    // is still queued does nothing and schedules nothing.
    mainQueue_.postAfter(pollIntervalSeconds, [this, token = std::weak_ptr<bool>(timerToken_)] {
        if (token.expired()) {
            return;
        }
        poll();
        if (!token.expired()) {
            scheduleTick();
        }
    });
}

void ClipboardVisualMemoryMonitor::poll() {
    const std::int64_t changeCount = pasteboard_.changeCount();
    if (changeCount == lastChangeCount_) {
        return;
    }
    lastChangeCount_ = changeCount;
    if (tracker_.consume(changeCount)) {
        return;
    }
    if (auto payload = imagePayload()) {
        std::string digest = fnv1a64Hex(payload->data);
        if (digest == lastImageDigest_) {
            return;
        }
        lastImageDigest_ = std::move(digest);
        // Something else was copied in between, so the same text later is a new copy again.
        lastText_.reset();
        if (onImageCopied) {
            onImageCopied(payload->image, payload->data);
        }
        return;
    }
    // Whatever came instead of an image ends the run of identical image copies.
    lastImageDigest_.reset();
    const auto raw = pasteboard_.readText();
    if (!raw) {
        return;
    }
    std::string text = normalizedCopiedText(*raw);
    if (memorytext::characterCount(text) < minimumTextCharacters || text == lastText_) {
        return;
    }
    lastText_ = text;
    if (onTextCopied) {
        onTextCopied(text);
    }
}

std::optional<ClipboardVisualMemoryMonitor::ImagePayload>
ClipboardVisualMemoryMonitor::decodedPayload(std::string data) const {
    auto image = codec_.decode(data);
    if (!image || image.value().isEmpty()) {
        return std::nullopt;
    }
    return ImagePayload{std::move(image).value(), std::move(data)};
}

std::optional<ClipboardVisualMemoryMonitor::ImagePayload> ClipboardVisualMemoryMonitor::imageFilePayload() const {
    for (const auto& file : payloads_->fileURLs()) {
        if (!hasImageExtension(file)) {
            continue;
        }
        if (auto bytes = readSmallFile(file)) {
            if (auto payload = decodedPayload(std::move(*bytes))) {
                return payload;
            }
        }
    }
    return std::nullopt;
}

std::optional<ClipboardVisualMemoryMonitor::ImagePayload> ClipboardVisualMemoryMonitor::imagePayload() const {
    if (payloads_ != nullptr) {
        for (const std::string_view type : {"image/png", "image/tiff"}) {
            if (auto bytes = payloads_->data(type)) {
                if (auto payload = decodedPayload(std::move(*bytes))) {
                    return payload;
                }
            }
        }
    }
    if (auto image = pasteboard_.readImage(); image && !image->isEmpty()) {
        if (auto png = codec_.encode(*image, ImageFormat::png)) {
            return ImagePayload{std::move(*image), std::move(png).value()};
        }
    }
    if (payloads_ != nullptr) {
        return imageFilePayload();
    }
    return std::nullopt;
}

std::string ClipboardVisualMemoryMonitor::normalizedCopiedText(std::string_view text) {
    const std::string unixLines = memorytext::replacingAll(memorytext::replacingAll(text, "\r\n", "\n"), "\r", "\n");
    return memorytext::trimmed(unixLines);
}

} // namespace brisklet
