// A window that takes drops, for the end-to-end tests of dragging out of the application: every
// drop prints one line per file address ("file /path") and, when a PNG came along, its size in
// bytes ("png N").
//
// Usage: e2e-drop-target TITLE WIDTH HEIGHT X Y

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class DropTarget final : public QWidget {
protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasUrls()) {
            event->acceptProposedAction();
        }
    }
    void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent* event) override {
        for (const QUrl& url : event->mimeData()->urls()) {
            std::printf("file %s\n", qPrintable(url.toLocalFile()));
        }
        if (event->mimeData()->hasFormat(QStringLiteral("image/png"))) {
            std::printf("png %lld\n", static_cast<long long>(event->mimeData()->data(QStringLiteral("image/png")).size()));
        }
        std::fflush(stdout);
        event->acceptProposedAction();
    }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0xf0, 0xe0, 0x90)); }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: e2e-drop-target TITLE WIDTH HEIGHT X Y\n");
        return 2;
    }
    // A real X11 window, whatever platform the test run chose for the widget tests.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    DropTarget window;
    window.setAcceptDrops(true);
    window.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    window.setGeometry(std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[2]), std::atoi(argv[3]));
    window.show();
    std::printf("mapped\n");
    std::fflush(stdout);
    return application.exec();
}
