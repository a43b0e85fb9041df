#pragma once

#include "Platform/Workspace.h"
#include "ZelvorApp/Capture/CapturedWindowInfo.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageResult.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriteError.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotCapture.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <optional>
#include <string>

namespace brisklet {

class Clock;
class KnowledgePackageWriter;
class SuperScreenshotContextCollector;
class SuperScreenshotPackageRecorder;
class VisualMemoryTextRecognition;

/// One captured super screenshot, as the capture hands it over.
struct SuperScreenshotRequest {
    Image image;
    SuperScreenshotCapture capture;
    /// The captured window (window captures only).
    std::optional<CapturedWindowInfo> window;
    /// The application of the window, or the front application for a region.
    std::optional<RunningApplication> application;
    /// The localised name used when a region has no named application (windowPickerUnknownApp).
    std::string unknownAppName;
};

/// Turns a captured image into a knowledge package and records it in the visual memory: page
/// metadata, accessibility text, text recognition, then the package files. Synchronous and
/// slow (recognition, PNG encoding): run it on a background queue. The library item is stored
/// on the main queue by the recorder.
class SuperScreenshotFlow {
public:
    using Outcome = Result<KnowledgePackageResult, KnowledgePackageWriteError>;

    SuperScreenshotFlow(SuperScreenshotContextCollector& context, VisualMemoryTextRecognition& textRecognition,
                        const KnowledgePackageWriter& writer, SuperScreenshotPackageRecorder& recorder,
                        const Clock& clock);

    /// Nothing is recorded when the package could not be written.
    Outcome run(const SuperScreenshotRequest& request);

private:
    std::string recognizedText(const Image& image);

    SuperScreenshotContextCollector& context_;
    VisualMemoryTextRecognition& textRecognition_;
    const KnowledgePackageWriter& writer_;
    SuperScreenshotPackageRecorder& recorder_;
    const Clock& clock_;
};

} // namespace brisklet
