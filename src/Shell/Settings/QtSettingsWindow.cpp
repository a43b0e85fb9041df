#include "Shell/Settings/QtSettingsWindow.h"

#include "Platform/DefaultsStore.h"
#include "Shell/Settings/SettingsWindow.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QUrl>

namespace brisklet {

QtSettingsWindow::QtSettingsWindow(Dependencies dependencies) : deps_(std::move(dependencies)) {}

QtSettingsWindow::~QtSettingsWindow() {
    if (window_) {
        remember();
        window_->onHidden = {};
    }
}

void QtSettingsWindow::ensureWindow() {
    if (window_) {
        return;
    }
    model_ = std::make_unique<SettingsViewModel>(deps_.model, deps_.localization, deps_.services);
    if (const auto stored = deps_.defaults.string(categoryKey)) {
        for (const SettingsCategory category : allSettingsCategories()) {
            if (settingsCategoryName(category) == *stored) {
                model_->selectCategory(category);
            }
        }
    }
    window_ = std::make_unique<SettingsWindow>(*model_, deps_.model, deps_.localization, deps_.keyboard);
    if (const auto geometry = deps_.defaults.data(geometryKey)) {
        window_->restoreGeometry(QByteArray::fromStdString(*geometry));
    }
    window_->onHidden = [this] { remember(); };
}

void QtSettingsWindow::remember() {
    deps_.defaults.setData(geometryKey, window_->saveGeometry().toStdString());
    deps_.defaults.setString(categoryKey, settingsCategoryName(model_->selectedCategory()));
}

void QtSettingsWindow::present() {
    ensureWindow();
    window_->QWidget::show();
    window_->raise();
    window_->activateWindow();
    RuntimeLogger::log("settings window presented");
}

bool QtSettingsWindow::isVisible() const {
    return window_ && window_->isVisible();
}

void QtSettingsWindow::hide() {
    if (window_) {
        window_->hide();
    }
}

void QtSettingsWindow::show() {
    if (window_) {
        window_->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window_->QWidget::show();
        window_->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

void openWithDesktop(const std::string& target) {
    const QString text = QString::fromStdString(target);
    const QUrl url = text.contains(QStringLiteral("://")) ? QUrl(text) : QUrl::fromLocalFile(text);
    if (!QDesktopServices::openUrl(url)) {
        RuntimeLogger::log("settings open failed target=" + target);
    }
}

} // namespace brisklet
