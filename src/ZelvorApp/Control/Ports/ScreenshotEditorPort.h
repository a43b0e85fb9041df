#pragma once

#include "Platform/DisplayServer.h"
#include "ZelvorApp/Background/BackgroundWindowModes.h"
#include "ZelvorApp/Editor/EditorModes.h"
#include "ZelvorApp/Editor/ScreenshotCopyPayload.h"
#include "ZelvorApp/Editor/ScreenshotEditorEnvironment.h"
#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

#include <functional>
#include <optional>

namespace brisklet {

/// Which of the two toolbar builds the editor uses. Both exist so a stored choice keeps meaning;
/// on this desktop they build the same toolbar.
enum class ScreenshotToolbarImplementation { appKit, declarative };

/// The screenshot editor window, as the controller drives it.
class ScreenshotEditorPort {
public:
    struct Request {
        Image image;
        /// Global desktop points: where the image stands on screen.
        Rect selectionRect;
        DisplayScreen screen;
        ScreenshotEditorInitialInteractionMode mode = ScreenshotEditorInitialInteractionMode::normal;
        ScreenshotToolbarImplementation toolbar = ScreenshotToolbarImplementation::declarative;
        /// The editor is showing a placeholder until the deferred capture arrives.
        bool awaitsDeferredImage = false;
        /// The frozen screen the image was cut from, shown around it while editing.
        std::optional<Image> screenSnapshot;
        /// A window picked with a click, or a dragged region: the background's window frames
        /// and window-only looks apply to the former.
        BackgroundCaptureContext captureContext = BackgroundCaptureContext::region;
    };
    struct Handlers {
        std::function<void(ScreenshotSaveResult)> onFinish;
        std::function<void(ScreenshotCopyPayload)> onCopy;
        std::function<void(Image, Rect)> onPin;
        std::function<void()> onCancel;
        /// The editor's own hotkeys became active (true) or inactive (false).
        std::function<void(bool)> onHotkeyScopeChanged;
    };

    virtual ~ScreenshotEditorPort() = default;
    virtual bool isOpen() const = 0;
    /// Opens the window; exactly one of the four outcome handlers runs later.
    virtual void open(Request request, Handlers handlers) = 0;
    /// Replaces the placeholder of an editor that awaits its image.
    virtual void replaceImage(Image image) = 0;
    /// Drops the open editor and its contents without calling any handler.
    virtual void discard() = 0;
    /// Closes the window after an outcome was reported.
    virtual void close() = 0;
    /// Where the window ended up and whether it is visible, for the log.
    virtual Rect frame() const = 0;
    virtual bool isVisible() const = 0;
    /// Raises the open editor's windows above everything and gives them the keyboard.
    virtual void bringToFront() = 0;
};

} // namespace brisklet
