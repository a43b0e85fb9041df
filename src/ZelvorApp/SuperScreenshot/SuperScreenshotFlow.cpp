#include "ZelvorApp/SuperScreenshot/SuperScreenshotFlow.h"

#include "Platform/Clock.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Memory/VisualMemoryTextRecognition.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriter.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextCollector.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotPackageRecorder.h"

namespace brisklet {

SuperScreenshotFlow::SuperScreenshotFlow(SuperScreenshotContextCollector& context,
                                         VisualMemoryTextRecognition& textRecognition,
                                         const KnowledgePackageWriter& writer, SuperScreenshotPackageRecorder& recorder,
                                         const Clock& clock)
    : context_(context), textRecognition_(textRecognition), writer_(writer), recorder_(recorder), clock_(clock) {}

std::string SuperScreenshotFlow::recognizedText(const Image& image) {
    auto recognized = textRecognition_.recognizeText(image);
    if (!recognized) {
        // The package is still worth having: the picture and the accessibility text remain.
        RuntimeLogger::log("super screenshot text recognition failed");
        return {};
    }
    return std::move(recognized).value().plainText;
}

SuperScreenshotFlow::Outcome SuperScreenshotFlow::run(const SuperScreenshotRequest& request) {
    SuperScreenshotContext context = context_.collect(request.window, request.application, request.unknownAppName);
    KnowledgePackageContent content;
    content.capture = request.capture;
    content.source = context.source;
    content.browserMetadata = context.pageMetadata;
    content.ocrText = recognizedText(request.image);
    content.accessibility = std::move(context.accessibility);
    content.createdAt = clock_.now();
    auto written = writer_.write(request.image, content);
    if (!written) {
        RuntimeLogger::log("super screenshot failed error=" + written.error().description());
        return written;
    }
    const KnowledgePackageResult& package = written.value();
    recorder_.record({package, content.ocrText, content.accessibility.text, content.source, content.browserMetadata});
    RuntimeLogger::log("super screenshot recorded package=" + package.packageDirectory.string());
    return written;
}

} // namespace brisklet
