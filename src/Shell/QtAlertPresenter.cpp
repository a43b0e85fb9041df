#include "Shell/QtAlertPresenter.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace brisklet {

namespace {

QMessageBox::Icon iconFor(AlertRequest::Style style) {
    switch (style) {
    case AlertRequest::Style::warning:
        return QMessageBox::Warning;
    case AlertRequest::Style::critical:
        return QMessageBox::Critical;
    case AlertRequest::Style::informational:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

void QtAlertPresenter::present(const AlertRequest& alert, std::function<void(int)> onResponse) {
    auto* box = new QMessageBox(iconFor(alert.style), QString::fromStdString(alert.title),
                                QString::fromStdString(alert.message));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    std::vector<QAbstractButton*> buttons;
    for (std::size_t i = 0; i < alert.buttons.size(); ++i) {
        // The first button is the default, as the alerts are written; the rest keep their order.
        const auto role = i == 0 ? QMessageBox::AcceptRole : QMessageBox::ActionRole;
        QPushButton* button = box->addButton(QString::fromStdString(alert.buttons[i]), role);
        if (i == 0) {
            box->setDefaultButton(button);
        }
        buttons.push_back(button);
    }
    QObject::connect(box, &QMessageBox::finished, box, [box, buttons, onResponse = std::move(onResponse)](int) {
        const auto found = std::find(buttons.begin(), buttons.end(), box->clickedButton());
        const int index = found == buttons.end() ? -1 : static_cast<int>(found - buttons.begin());
        if (onResponse) {
            onResponse(index);
        }
    });
    RuntimeLogger::log("alert shown title=" + alert.title);
    box->open();
    box->raise();
}

} // namespace brisklet
