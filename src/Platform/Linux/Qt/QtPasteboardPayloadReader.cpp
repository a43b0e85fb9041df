#include "Platform/Linux/Qt/QtPasteboardPayloadReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace brisklet {

std::optional<std::string> QtPasteboardPayloadReader::data(std::string_view mimeType) const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    const QString type = QString::fromUtf8(mimeType.data(), static_cast<qsizetype>(mimeType.size()));
    if (mime == nullptr || !mime->hasFormat(type)) {
        return std::nullopt;
    }
    const QByteArray bytes = mime->data(type);
    if (bytes.isEmpty()) {
        return std::nullopt;
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::vector<std::filesystem::path> QtPasteboardPayloadReader::fileURLs() const {
    std::vector<std::filesystem::path> files;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (mime == nullptr || !mime->hasUrls()) {
        return files;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            files.emplace_back(url.toLocalFile().toStdString());
        }
    }
    return files;
}

} // namespace brisklet
