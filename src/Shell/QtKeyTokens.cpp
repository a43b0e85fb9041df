#include "Shell/QtKeyTokens.h"

#include "ZelvorCore/Models/HotkeyConfiguration.h"

#include <array>
#include <utility>

namespace brisklet::QtKeyTokens {

namespace {

constexpr std::array<std::pair<int, const char*>, 14> namedKeys{{
    {Qt::Key_Return, "RETURN"},
    {Qt::Key_Enter, "ENTER"},
    {Qt::Key_Escape, "ESC"},
    {Qt::Key_Tab, "TAB"},
    {Qt::Key_Space, "SPACE"},
    {Qt::Key_Backspace, "DELETE"},
    {Qt::Key_Delete, "FORWARD_DELETE"},
    {Qt::Key_Left, "LEFT"},
    {Qt::Key_Right, "RIGHT"},
    {Qt::Key_Up, "UP"},
    {Qt::Key_Down, "DOWN"},
    {Qt::Key_Print, "PRINT"},
    {Qt::Key_Home, "HOME"},
    {Qt::Key_End, "END"},
}};

} // namespace

std::string token(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return std::string(1, static_cast<char>('A' + (key - Qt::Key_A)));
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return std::string(1, static_cast<char>('0' + (key - Qt::Key_0)));
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F20) {
        return "F" + std::to_string(key - Qt::Key_F1 + 1);
    }
    for (const auto& [qtKey, name] : namedKeys) {
        if (qtKey == key) {
            return name;
        }
    }
    return {};
}

int modifierBits(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    bits |= (modifiers & Qt::ControlModifier) ? HotkeyModifiers::command : 0;
    bits |= (modifiers & Qt::AltModifier) ? HotkeyModifiers::option : 0;
    bits |= (modifiers & Qt::ShiftModifier) ? HotkeyModifiers::shift : 0;
    bits |= (modifiers & Qt::MetaModifier) ? HotkeyModifiers::control : 0;
    return bits;
}

} // namespace brisklet::QtKeyTokens
