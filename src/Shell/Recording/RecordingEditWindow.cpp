#include "Shell/Recording/RecordingEditWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace brisklet {

void RecordingEditWindow::dismiss() {
    dismissed_ = true;
    hide();
}

void RecordingEditWindow::requestExport() {
    if (canExport() && onExport) {
        onExport();
    }
}

void RecordingEditWindow::requestCancel() {
    if (onCancel) {
        onCancel();
    }
}

void RecordingEditWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        requestExport();
        return;
    case Qt::Key_Escape:
        requestCancel();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void RecordingEditWindow::closeEvent(QCloseEvent* event) {
    // The title bar's close button discards the recording like Cancel; the owner hides the
    // window itself when it is done.
    if (!dismissed_) {
        event->ignore();
        requestCancel();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace brisklet
