#include "Shell/Longshot/LongshotPreviewWindow.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Shell/QtStrings.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Longshot/LongshotPreviewLayout.h"
#include "ZelvorApp/Longshot/LongshotPreviewModel.h"

#include <QPainter>

namespace brisklet {

namespace {

constexpr int padding = 12;
constexpr int titleHeight = 22;
constexpr int footerHeight = 22;

} // namespace

LongshotPreviewWindow::LongshotPreviewWindow(const LocalizationStore& localization, VisualAppearanceMode appearance)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput),
      localization_(localization), appearance_(ShellAppearance::resolve(appearance)) {
    setProperty("briskletWindowRole", QStringLiteral("longshotPreview"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(qt(localization_.text(L10nKey::longshotPreviewTitle)));
    setFixedSize(static_cast<int>(LongshotPreviewLayout::contentSize.width),
                 static_cast<int>(LongshotPreviewLayout::contentSize.height));
}

void LongshotPreviewWindow::render(const LongshotPreviewModel& model) {
    image_ = model.image() ? toQImage(*model.image()) : QImage();
    counts_ = qt(localization_.format(L10nKey::longshotFrameCount, {model.frameCount()}) + "  ·  " +
                 localization_.format(L10nKey::longshotPixelHeight, {model.pixelHeight()}));
    update();
}

void LongshotPreviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), appearance_.window);
    painter.setPen(QPen(appearance_.border, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    QFont bold = font();
    bold.setWeight(QFont::DemiBold);
    painter.setFont(bold);
    painter.setPen(appearance_.text);
    painter.drawText(QRect(padding, 4, width() - 2 * padding, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     qt(localization_.text(L10nKey::longshotPreviewTitle)));

    const QRect well(padding, 4 + titleHeight, width() - 2 * padding, height() - titleHeight - footerHeight - 12);
    painter.fillRect(well, appearance_.surface);
    painter.setPen(QPen(appearance_.border, 1));
    painter.drawRect(well.adjusted(0, 0, -1, -1));
    if (!image_.isNull()) {
        // Scaled to fit the well, never enlarged; tall captures keep their top in view.
        const QSize fitted =
            image_.size().scaled(well.size() - QSize(8, 8), Qt::KeepAspectRatio).boundedTo(image_.size());
        const QRect target(well.x() + (well.width() - fitted.width()) / 2, well.y() + 4, fitted.width(),
                           fitted.height());
        painter.drawImage(target, image_);
    } else {
        painter.setFont(font());
        painter.setPen(appearance_.secondaryText);
        painter.drawText(well.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                         qt(localization_.text(L10nKey::longshotScrollHint)));
    }
    painter.setFont(font());
    painter.setPen(appearance_.secondaryText);
    painter.drawText(QRect(padding, height() - footerHeight - 6, width() - 2 * padding, footerHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, counts_);
}

} // namespace brisklet
