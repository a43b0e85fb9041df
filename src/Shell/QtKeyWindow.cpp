#include "Shell/QtKeyWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace brisklet {

namespace {

KeyWindowSnapshot::Window windowKind(const QWidget* window) {
    using Window = KeyWindowSnapshot::Window;
    const QString role = window->property("briskletWindowRole").toString();
    if (role == QLatin1String("settings")) {
        return Window::settings;
    }
    if (role == QLatin1String("visualLibrary")) {
        return Window::visualLibrary;
    }
    if (role == QLatin1String("statusPopover")) {
        return Window::statusPopover;
    }
    if (role == QLatin1String("dragRecoveryPanel")) {
        return Window::dragRecoveryPanel;
    }
    return Window::other;
}

KeyWindowSnapshot::FocusedText focusedText(const QWidget* focus) {
    using Text = KeyWindowSnapshot::FocusedText;
    if (const auto* line = qobject_cast<const QLineEdit*>(focus)) {
        // A one-line field is the field editor: even read-only, typing there is not a hotkey.
        return line->isReadOnly() ? Text::readOnlyField : Text::editable;
    }
    if (const auto* text = qobject_cast<const QTextEdit*>(focus)) {
        return text->isReadOnly() ? Text::readOnly : Text::editable;
    }
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(focus)) {
        return plain->isReadOnly() ? Text::readOnly : Text::editable;
    }
    return Text::none;
}

} // namespace

KeyWindowSnapshot QtKeyWindow::snapshot() {
    const QWidget* active = QApplication::activeWindow();
    if (!active) {
        return {};
    }
    return {true, windowKind(active), focusedText(QApplication::focusWidget())};
}

} // namespace brisklet
