#pragma once

#include <Qt>

#include <string>

class QKeyEvent;

namespace brisklet {

/// Key events in the words the hotkey tables use, so windows that hold the keyboard (the
/// selection overlay, the editor) can recognise configured combinations.
namespace QtKeyTokens {

/// "A", "4", "F13", "RETURN", "ESC", "LEFT", ... for `key`; empty for keys no hotkey can use.
std::string token(int key);
/// The hotkey modifier bits of `modifiers` (Ctrl counts as the command key).
int modifierBits(Qt::KeyboardModifiers modifiers);

} // namespace QtKeyTokens

} // namespace brisklet
