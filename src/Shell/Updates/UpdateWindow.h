#pragma once

#include "Shell/ShellAppearance.h"

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTextBrowser;

namespace brisklet {

class UpdateWindowModel;

/// The update offer: the new and the running version, the release notes and the three answers;
/// after "Install Update" the download's progress with Cancel, and a failure's message.
class UpdateWindow final : public QWidget {
public:
    UpdateWindow(UpdateWindowModel& model, ShellAppearance appearance, QWidget* parent = nullptr);

    /// Runs for Cancel while downloading.
    std::function<void()> onCancel;
    /// Runs when the window has left the screen for good.
    std::function<void()> onFinished;

    /// Shows the model's stage and texts again.
    void refresh();
    void setAppearance(const ShellAppearance& appearance);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildButtons();
    void answer(int decision);

    UpdateWindowModel& model_;
    ShellAppearance appearance_;
    QLabel* title_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* notesTitle_ = nullptr;
    QTextBrowser* notes_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QPushButton* skip_ = nullptr;
    QPushButton* later_ = nullptr;
    QPushButton* install_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* close_ = nullptr;
};

} // namespace brisklet
