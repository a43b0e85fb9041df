#include "Shell/Library/TagFlowWidget.h"

#include <QToolButton>

#include <algorithm>

namespace brisklet {

void TagFlowWidget::setTags(const std::vector<std::pair<QString, QString>>& tagsAndTooltips, const QIcon& removeIcon,
                            std::function<void(const QString&)> onRemove) {
    for (QToolButton* chip : chips_) {
        chip->hide();
        chip->deleteLater();
    }
    chips_.clear();
    for (const auto& [tag, tooltip] : tagsAndTooltips) {
        auto* chip = new QToolButton(this);
        chip->setProperty("chip", true);
        chip->setText(QStringLiteral("#") + tag);
        chip->setIcon(removeIcon);
        chip->setIconSize(QSize(10, 10));
        chip->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        chip->setLayoutDirection(Qt::RightToLeft);
        chip->setToolTip(tooltip);
        chip->setObjectName(QStringLiteral("tag:") + tag);
        QObject::connect(chip, &QToolButton::clicked, this, [onRemove, tag] { onRemove(tag); });
        chip->show();
        chips_.push_back(chip);
    }
    arrange(width(), true);
    updateGeometry();
}

QStringList TagFlowWidget::tagNames() const {
    QStringList names;
    for (const QToolButton* chip : chips_) {
        names.push_back(chip->text().mid(1));
    }
    return names;
}

int TagFlowWidget::arrange(int width, bool apply) const {
    int x = 0;
    int y = 0;
    int rowHeight = 0;
    for (QToolButton* chip : chips_) {
        const QSize size = chip->sizeHint();
        if (x > 0 && x + size.width() > width) {
            x = 0;
            y += rowHeight + 6;
            rowHeight = 0;
        }
        if (apply) {
            chip->setGeometry(x, y, std::min(size.width(), std::max(width, 1)), size.height());
        }
        x += size.width() + 6;
        rowHeight = std::max(rowHeight, size.height());
    }
    return y + rowHeight;
}

int TagFlowWidget::heightForWidth(int width) const { return arrange(width, false); }

void TagFlowWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange(width(), true);
}

} // namespace brisklet
