#pragma once

#include "Platform/AnnotationRenderer.h"
#include "ZelvorApp/Editor/ScreenshotEditorEnvironment.h"

#include <filesystem>
#include <span>

namespace brisklet {

/// What the final image is made of.
struct EditorRenderInput {
    const Image& baseImage;
    std::span<const AnnotationItem> annotations;
    AnnotationRenderOptions options;
};

/// The four ways an editor ends (save, copy, pin, cancel), each reported exactly once. A copy or
/// pin whose image cannot be rendered keeps the editor open so nothing is lost.
class ScreenshotEditorOutcomes {
public:
    ScreenshotEditorOutcomes(ScreenshotEditorServices services, ScreenshotEditorCallbacks callbacks,
                             const ScreenshotEditorHooks& hooks);

    bool hasFinished() const { return finished_; }

    /// Flattened annotations, then the background when one is on.
    Result<Image, ScreenshotEditorError> finalImage(const EditorRenderInput& input) const;

    /// Writes a new PNG in `exportDirectory` (never over an existing file), puts the image on the
    /// clipboard, closes and reports the file. On failure it reports the error instead; an image
    /// that rendered but could not be written is still put on the clipboard so the work survives.
    void save(const EditorRenderInput& input, const std::filesystem::path& exportDirectory);
    /// Puts the image on the clipboard, closes and reports it; with `keepsFile` a file name in
    /// `exportDirectory` is chosen for the background write. `startedAt` (monotonic seconds) and
    /// `selectionSeconds` (the time spent re-cutting the image) feed the timing log line.
    void copy(const EditorRenderInput& input, const std::filesystem::path& exportDirectory, bool keepsFile,
              double startedAt, double selectionSeconds);
    /// Closes and hands the image and its on-screen frame over for pinning.
    void pin(const EditorRenderInput& input);
    /// Closes and reports the cancellation.
    void cancel();

private:
    void close();

    ScreenshotEditorServices services_;
    ScreenshotEditorCallbacks callbacks_;
    const ScreenshotEditorHooks& hooks_;
    bool finished_ = false;
};

} // namespace brisklet
