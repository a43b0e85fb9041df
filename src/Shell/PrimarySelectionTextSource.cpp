#include "Shell/PrimarySelectionTextSource.h"

#include <QClipboard>
#include <QGuiApplication>

namespace brisklet {

std::optional<std::string> PrimarySelectionTextSource::frontmostApplicationSelectedText() const {
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
