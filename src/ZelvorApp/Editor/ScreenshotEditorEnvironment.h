#pragma once

#include "ZelvorApp/Editor/AnnotationStyleController.h"
#include "ZelvorApp/Editor/ScreenshotCopyPayload.h"
#include "ZelvorApp/Editor/ScreenshotEditorError.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <variant>

namespace brisklet {

class AnnotationRenderer;
class Clock;
class ExportService;
class ImageCodec;

/// Why Save produced no file: a rendering or encoding failure, or a file-system error (for
/// example an export directory that cannot be created).
struct ScreenshotEditorFailure {
    std::variant<ScreenshotEditorError, std::error_code> cause;

    /// "renderFailed", "encodeUnavailable", "encodeFailed", or the file system's message.
    std::string description() const;
    bool operator==(const ScreenshotEditorFailure&) const = default;
};

using ScreenshotSaveResult = Result<std::filesystem::path, ScreenshotEditorFailure>;

/// How the editor reports to the application. Each outcome is sent at most once.
struct ScreenshotEditorCallbacks {
    /// Changes and saves the preferences (style choices, backgrounds).
    PreferencesUpdater onUpdateBackgroundPreferences;
    /// Save: the written file, or why there is none.
    std::function<void(ScreenshotSaveResult)> onFinish;
    std::function<void(ScreenshotCopyPayload)> onCopy;
    /// Pin: the final image and the global screen frame its content stands at now.
    std::function<void(Image, Rect)> onPin;
    std::function<void()> onCancel;
};

/// The services the editor works with.
struct ScreenshotEditorServices {
    const AnnotationRenderer& renderer;
    const ImageCodec& codec;
    ExportService& exportService;
    const Clock& clock;
};

/// What the editor window and the features that plug into the editor (backgrounds, text
/// recognition, translation) provide. Every hook is optional.
struct ScreenshotEditorHooks {
    /// Puts the flattened image on the chosen background; absent or empty means no background.
    std::function<Result<Image, ScreenshotEditorError>(const Image& flattened)> composeBackground;
    /// The global screen frame the rendered content currently occupies (for Pin).
    std::function<Rect()> renderedContentScreenFrame;
    /// Stops recognition, translation and live-text work and closes the window.
    std::function<void()> tearDown;
    std::function<bool()> isEyedropperActive;
    std::function<void()> cancelEyedropper;
    /// Gives keyboard focus back to the editor after a text edit ends.
    std::function<void()> focusEditor;
    std::function<bool()> hasRecognizedTextSelection;
    std::function<void()> copyRecognizedTextSelection;
    std::function<void()> clearRecognizedTextSelection;
    std::function<void()> toggleTextRecognition;
    std::function<void()> translateRecognizedText;
};

} // namespace brisklet
