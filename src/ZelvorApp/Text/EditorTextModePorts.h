#pragma once

#include "ZelvorApp/Editor/EditorModes.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <functional>
#include <string>

namespace brisklet {

/// The view that takes keyboard focus in a text mode.
enum class EditorTextResponder { liveTextOverlayView, liveTextImageView, editorView };

/// The editor window as its text modes need it; implemented by the editor window.
class EditorTextModeHost {
public:
    virtual ~EditorTextModeHost() = default;

    /// Commits a text edit in progress, drops the tool, the annotation selection and the gesture,
    /// remembers the current phase (re-cutting the image first when the selection changed) and
    /// switches to annotating.
    virtual void prepareForSecondaryTextMode() = 0;
    /// Returns to the phase remembered by `prepareForSecondaryTextMode`.
    virtual void restorePhaseBeforeTextMode() = 0;
    /// Gives keyboard focus to `responder` and refreshes the cursor rectangles.
    virtual void focus(EditorTextResponder responder) = 0;
    /// Something the text panel, status label or toolbar shows has changed.
    virtual void textStateDidChange() = 0;
};

/// Where the editor's recognisable image comes from.
class EditorOCRImageSource {
public:
    struct Recapture {
        Image image;
        int hiddenWindowCount = 0;
    };
    virtual ~EditorOCRImageSource() = default;

    /// Captures again the screen area the editor displays, with the editor's own windows hidden.
    /// The error is the capture error's localised description.
    virtual Result<Recapture, std::string> recaptureDisplayedArea() = 0;
    /// The image the editor was opened with.
    virtual Image baseImage() const = 0;
};

/// The platform's live-text overlay, where one exists.
class LiveTextAnalysisPort {
public:
    using AnalysisCompletion = std::function<void(Status<std::string>)>;
    virtual ~LiveTextAnalysisPort() = default;

    /// Whether this machine offers image analysis with a live-text overlay.
    virtual bool isImageAnalysisSupported() const = 0;
    /// Analyses `image` for text (orientation up) and installs the overlay; the completion runs on
    /// the main queue with nothing or the failure's description.
    virtual void analyze(const Image& image, AnalysisCompletion completion) = 0;
    /// Removes the overlay and forgets the analysis.
    virtual void clear() = 0;
    virtual bool isOverlayInstalled() const = 0;
    /// The overlay's selected text, else its whole text; empty without an analysis.
    virtual std::string text() const = 0;
};

/// Live text on a system without it: the editor then always uses its own recognition.
class UnsupportedLiveText final : public LiveTextAnalysisPort {
public:
    bool isImageAnalysisSupported() const override { return false; }
    void analyze(const Image&, AnalysisCompletion completion) override {
        completion(Status<std::string>::failure("image analysis is not available on this system"));
    }
    void clear() override {}
    bool isOverlayInstalled() const override { return false; }
    std::string text() const override { return {}; }
};

} // namespace brisklet
