#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// `adjustingSelection` while the captured rectangle can still be moved and resized over the
/// frozen screen; `annotating` once a tool has been chosen.
enum class EditorPhase { adjustingSelection, annotating };

/// Annotation gestures are accepted only in `annotation`; the two text modes own the pointer.
enum class EditorInteractionMode { annotation, classicOCR, liveText };

/// How the editor was opened: plain, straight into text recognition, or into translation.
enum class ScreenshotEditorInitialInteractionMode { normal, textRecognition, classicOCR, translate };

template <> struct EnumTraits<EditorPhase> {
    static constexpr std::array<std::pair<EditorPhase, std::string_view>, 2> names{{
        {EditorPhase::adjustingSelection, "adjustingSelection"},
        {EditorPhase::annotating, "annotating"},
    }};
};

template <> struct EnumTraits<EditorInteractionMode> {
    static constexpr std::array<std::pair<EditorInteractionMode, std::string_view>, 3> names{{
        {EditorInteractionMode::annotation, "annotation"},
        {EditorInteractionMode::classicOCR, "classicOCR"},
        {EditorInteractionMode::liveText, "liveText"},
    }};
};

template <> struct EnumTraits<ScreenshotEditorInitialInteractionMode> {
    static constexpr std::array<std::pair<ScreenshotEditorInitialInteractionMode, std::string_view>, 4> names{{
        {ScreenshotEditorInitialInteractionMode::normal, "normal"},
        {ScreenshotEditorInitialInteractionMode::textRecognition, "textRecognition"},
        {ScreenshotEditorInitialInteractionMode::classicOCR, "classicOCR"},
        {ScreenshotEditorInitialInteractionMode::translate, "translate"},
    }};
};

} // namespace brisklet
