#include "Platform/Linux/Qt/QtPasteboard.h"

#include "Platform/Linux/Qt/QtImageConversion.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace brisklet {

QtPasteboard::QtPasteboard() {
    connection_ =
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [this] { changeCount_.fetch_add(1); });
}

QtPasteboard::~QtPasteboard() {
    QObject::disconnect(connection_);
}

void QtPasteboard::clearContents() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void QtPasteboard::writeImage(const Image& image) {
    auto* mime = new QMimeData;
    mime->setImageData(toQImage(image));
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}

void QtPasteboard::writeFileURL(const std::filesystem::path& file) {
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}

void QtPasteboard::writeText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text), QClipboard::Clipboard);
}

std::optional<std::string> QtPasteboard::readText() const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (mime == nullptr || !mime->hasText()) {
        return std::nullopt;
    }
    return mime->text().toStdString();
}

std::optional<Image> QtPasteboard::readImage() const {
    const QImage image = QGuiApplication::clipboard()->image(QClipboard::Clipboard);
    if (image.isNull()) {
        return std::nullopt;
    }
    return fromQImage(image);
}

} // namespace brisklet
