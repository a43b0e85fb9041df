#include "ZelvorApp/Editor/ScreenshotEditorOutcomes.h"

#include "Platform/Clock.h"
#include "Platform/ImageCodec.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Editor/ScreenshotPngWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/FileNameBuilder.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

long long wholeMs(double seconds) {
    return std::max<long long>(0, static_cast<long long>(std::trunc(seconds * 1000)));
}

std::string sizeText(const Image& image) {
    return toString(Size{static_cast<double>(image.width()), static_cast<double>(image.height())});
}

} // namespace

std::string ScreenshotEditorFailure::description() const {
    if (const auto* error = std::get_if<ScreenshotEditorError>(&cause)) {
        return std::string(toString(*error));
    }
    return std::get<std::error_code>(cause).message();
}

ScreenshotEditorOutcomes::ScreenshotEditorOutcomes(ScreenshotEditorServices services,
                                                   ScreenshotEditorCallbacks callbacks,
                                                   const ScreenshotEditorHooks& hooks)
    : services_(services), callbacks_(std::move(callbacks)), hooks_(hooks) {}

Result<Image, ScreenshotEditorError> ScreenshotEditorOutcomes::finalImage(const EditorRenderInput& input) const {
    auto flattened = services_.renderer.flatten(input.baseImage, input.annotations, input.options);
    if (!flattened || !hooks_.composeBackground) {
        return flattened;
    }
    return hooks_.composeBackground(flattened.value());
}

void ScreenshotEditorOutcomes::close() {
    finished_ = true;
    if (hooks_.tearDown) {
        hooks_.tearDown();
    }
}

void ScreenshotEditorOutcomes::save(const EditorRenderInput& input, const std::filesystem::path& exportDirectory) {
    if (finished_) {
        return;
    }
    const auto image = finalImage(input);
    if (!image) {
        close();
        if (callbacks_.onFinish) {
            callbacks_.onFinish(ScreenshotSaveResult::failure({image.error()}));
        }
        return;
    }
    const auto written =
        ScreenshotPngWriter::writeNew(services_.codec, services_.clock, image.value(), exportDirectory);
    // Saving also copies, and on a failed write the copy is what keeps the user's work.
    services_.exportService.copyImageToPasteboard(image.value());
    close();
    if (!written) {
        RuntimeLogger::log("screenshot editor save failed error=" + written.error().description() +
                           " imageKeptOnPasteboard=true");
    }
    if (callbacks_.onFinish) {
        callbacks_.onFinish(written);
    }
}

void ScreenshotEditorOutcomes::copy(const EditorRenderInput& input, const std::filesystem::path& exportDirectory,
                                    bool keepsFile, double startedAt, double selectionSeconds) {
    if (finished_) {
        return;
    }
    const Clock& clock = services_.clock;
    const double renderStart = clock.monotonicSeconds();
    const auto image = finalImage(input);
    if (!image) {
        RuntimeLogger::log("screenshot copy failed error=" + std::string(toString(image.error())));
        return;
    }
    const double pasteboardStart = clock.monotonicSeconds();
    services_.exportService.copyImageToPasteboard(image.value());
    const double pasteboardEnd = clock.monotonicSeconds();

    ScreenshotCopyPayload payload{image.value(), std::nullopt};
    if (keepsFile) {
        const auto name = FileNameBuilder::makeFileURL(ExportKind::screenshot, exportDirectory, clock.now());
        if (name) {
            payload.persistenceURL = name.value();
        } else {
            RuntimeLogger::log("screenshot copy persistence url failed error=" + name.error().message());
        }
    }
    RuntimeLogger::log("screenshot copy prepared image=" + sizeText(payload.image) +
                       " selectionMs=" + std::to_string(wholeMs(selectionSeconds)) +
                       " renderMs=" + std::to_string(wholeMs(pasteboardStart - renderStart)) +
                       " pasteboardMs=" + std::to_string(wholeMs(pasteboardEnd - pasteboardStart)) +
                       " totalMs=" + std::to_string(wholeMs(clock.monotonicSeconds() - startedAt)) +
                       " persist=" + (payload.persistenceURL ? "true" : "false"));
    close();
    if (callbacks_.onCopy) {
        callbacks_.onCopy(std::move(payload));
    }
}

void ScreenshotEditorOutcomes::pin(const EditorRenderInput& input) {
    if (finished_) {
        return;
    }
    const auto image = finalImage(input);
    if (!image) {
        RuntimeLogger::log("screenshot pin failed error=" + std::string(toString(image.error())));
        return;
    }
    const Rect frame = hooks_.renderedContentScreenFrame ? hooks_.renderedContentScreenFrame() : Rect{};
    close();
    if (callbacks_.onPin) {
        callbacks_.onPin(image.value(), frame);
    }
}

void ScreenshotEditorOutcomes::cancel() {
    if (finished_) {
        return;
    }
    close();
    if (callbacks_.onCancel) {
        callbacks_.onCancel();
    }
}

} // namespace brisklet
