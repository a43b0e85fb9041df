#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

class AppClipboardWriteTracker;
class ImageCodec;
class MainQueue;
class Pasteboard;
class PasteboardPayloadReader;

/// Watches the clipboard for texts and images copied in other applications. Polls the change
/// count every 0.8 s on the main queue and reads the contents only when it moved; skips our own
/// writes and repeats of the last text or image. Main thread only.
class ClipboardVisualMemoryMonitor {
public:
    static constexpr double pollIntervalSeconds = 0.8;
    static constexpr std::size_t minimumTextCharacters = 3;

    using TextHandler = std::function<void(const std::string& text)>;
    /// The decoded image and the bytes it came from (hashed to name its file).
    using ImageHandler = std::function<void(const Image& image, const std::string& data)>;

    struct ImagePayload {
        Image image;
        std::string data;
    };

    /// Content already on the clipboard now is not reported. Without `payloads`, images are read
    /// through `pasteboard` only (and hashed as PNG), and copied files are not seen.
    ClipboardVisualMemoryMonitor(Pasteboard& pasteboard, const PasteboardPayloadReader* payloads,
                                 AppClipboardWriteTracker& tracker, MainQueue& mainQueue, const ImageCodec& codec);
    ~ClipboardVisualMemoryMonitor();
    ClipboardVisualMemoryMonitor(const ClipboardVisualMemoryMonitor&) = delete;
    ClipboardVisualMemoryMonitor& operator=(const ClipboardVisualMemoryMonitor&) = delete;

    TextHandler onTextCopied;
    ImageHandler onImageCopied;

    /// Starts polling; does nothing while already polling.
    void start();
    void stop();
    bool isRunning() const { return timerToken_ != nullptr; }

    /// One look at the clipboard.
    void poll();
    /// The clipboard's image, trying PNG bytes, TIFF bytes, a decoded image and copied image
    /// files, in that order.
    std::optional<ImagePayload> imagePayload() const;
    /// Line ends as "\n", trimmed.
    static std::string normalizedCopiedText(std::string_view text);

private:
    void scheduleTick();
    std::optional<ImagePayload> decodedPayload(std::string data) const;
    std::optional<ImagePayload> imageFilePayload() const;

    Pasteboard& pasteboard_;
    const PasteboardPayloadReader* payloads_;
    AppClipboardWriteTracker& tracker_;
    MainQueue& mainQueue_;
    const ImageCodec& codec_;
    std::shared_ptr<bool> timerToken_;
    std::int64_t lastChangeCount_;
    std::optional<std::string> lastText_;
    std::optional<std::string> lastImageDigest_;
};

} // namespace brisklet
