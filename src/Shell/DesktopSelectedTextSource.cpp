#include "Shell/DesktopSelectedTextSource.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QClipboard>
#include <QGuiApplication>

#include <string>
#include <utility>

namespace brisklet {

DesktopSelectedTextSource::DesktopSelectedTextSource(const AccessibilityTextReader& accessibility,
                                                     PrimarySelection primarySelection)
    : accessibility_(accessibility), primarySelection_(std::move(primarySelection)) {}

std::optional<std::string> DesktopSelectedTextSource::focusedElementSelectedText() const {
    AccessibleSelection selection = accessibility_.focusedSelection();
    if (selection.outcome == AccessibleSelection::Outcome::found && !selection.text.empty()) {
        return std::move(selection.text);
    }
    // The controller logs which source it used; this tells why the accessibility layer had
    // nothing, which the controller cannot know.
    RuntimeLogger::log("pin text accessibility none reason=" + std::string(toString(selection.outcome)) +
                       " visited=" + std::to_string(selection.visited));
    return std::nullopt;
}

std::optional<std::string> DesktopSelectedTextSource::frontmostApplicationSelectedText() const {
    return primarySelection_ ? primarySelection_() : std::nullopt;
}

std::optional<std::string> DesktopSelectedTextSource::clipboardPrimarySelection() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || !clipboard->supportsSelection()) {
        return std::nullopt;
    }
    const QString text = clipboard->text(QClipboard::Selection);
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return text.toStdString();
}

} // namespace brisklet
