#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class QToolButton;

namespace brisklet {

/// Tag chips laid out in rows that wrap at the panel's width.
class TagFlowWidget final : public QWidget {
public:
    explicit TagFlowWidget(QWidget* parent = nullptr) : QWidget(parent) {}
    void setTags(const std::vector<std::pair<QString, QString>>& tagsAndTooltips, const QIcon& removeIcon,
                 std::function<void(const QString&)> onRemove);
    QStringList tagNames() const;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override { return {240, heightForWidth(240)}; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int arrange(int width, bool apply) const;
    std::vector<QToolButton*> chips_;
};

} // namespace brisklet
