#pragma once

#include <QWidget>

#include <functional>

namespace brisklet {

/// What the windows between a finished recording and its file share: Export (button or Return)
/// while the window allows it, Cancel (button, Escape, or the title bar's close box), and a
/// dismissal by the owner that asks nothing.
class RecordingEditWindow : public QWidget {
public:
    /// Export was asked for while the window allows it.
    std::function<void()> onExport;
    /// Cancel was asked for (button, Escape or closing the window).
    std::function<void()> onCancel;

    /// Hides the window without asking to cancel (the owner is done with it).
    virtual void dismiss();

protected:
    /// A decorated tool window (out of the taskbar) with a title and a close box only.
    RecordingEditWindow() : QWidget(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {}

    /// Whether Export does anything now (not while an export runs, for instance).
    virtual bool canExport() const = 0;
    void requestExport();
    void requestCancel();
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool dismissed_ = false;
};

} // namespace brisklet
