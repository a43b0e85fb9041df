#include "ZelvorApp/Editor/EditorKeyboardRouter.h"

namespace brisklet::EditorKeyboardRouter {

EditorKeyCommand command(const EditorKeyEvent& event) {
    const std::string token = normalizedHotkeyToken(event.token);
    const int modifiers = event.modifiers.rawValue;
    if (token == "ESC") {
        return EditorKeyCommand::escape;
    }
    // Command with these keys means something else (line start, word deletion), so only the
    // bare keys act here.
    const bool noShortcutModifier =
        !event.modifiers.contains(HotkeyModifiers::command) && !event.modifiers.contains(HotkeyModifiers::control);
    if ((token == "RETURN" || token == "ENTER") && noShortcutModifier) {
        return EditorKeyCommand::save;
    }
    if ((token == "DELETE" || token == "FORWARD_DELETE") && noShortcutModifier) {
        return EditorKeyCommand::deleteSelection;
    }
    if (token == "Z" && modifiers == HotkeyModifiers::command) {
        return EditorKeyCommand::undo;
    }
    if (token == "C" && modifiers == HotkeyModifiers::command) {
        return EditorKeyCommand::copyRecognizedText;
    }
    return EditorKeyCommand::none;
}

} // namespace brisklet::EditorKeyboardRouter
