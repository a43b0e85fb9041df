#pragma once

#include "ZelvorApp/Editor/EditorHotkeyAction.h"

namespace brisklet {

/// What a plain editor key does once the configurable editor hotkeys have had their turn.
enum class EditorKeyCommand {
    none,
    escape,             ///< cancel the eyedropper, else end the text edit, else cancel the editor
    save,               ///< Return
    deleteSelection,    ///< Delete or Forward Delete
    undo,               ///< Command-Z
    copyRecognizedText, ///< Command-C (only acts while recognised text is selected)
};

namespace EditorKeyboardRouter {

EditorKeyCommand command(const EditorKeyEvent& event);

} // namespace EditorKeyboardRouter

} // namespace brisklet
