// A window with one text field whose text is partly selected, seen through the accessibility
// bus, for the end-to-end tests that read another application's selected text. It prints
// "mapped" once shown and "selected START LENGTH" once the field has focus and its selection.
//
// Usage: e2e-text-field-target TITLE TEXT START LENGTH X Y

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: e2e-text-field-target TITLE TEXT START LENGTH X Y\n");
        return 2;
    }
    // A real X11 window whose widgets are on the accessibility bus whether or not a screen
    // reader asked for them.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    auto* field = new QLineEdit(QString::fromUtf8(argv[2]), &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(field);
    layout->addStretch();
    window.setGeometry(std::atoi(argv[5]), std::atoi(argv[6]), 420, 120);
    const int start = std::atoi(argv[3]);
    const int length = std::atoi(argv[4]);
    window.show();
    std::printf("mapped\n");
    std::fflush(stdout);
    // Selected once the window is active, so the field holds the focus the selection is read from.
    auto select = [&] {
        field->setFocus(Qt::OtherFocusReason);
        field->setSelection(start, length);
        std::printf("selected %d %d\n", start, length);
        std::fflush(stdout);
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (window.isActiveWindow()) {
            poll.stop();
            select();
        }
    });
    poll.start(50);
    return application.exec();
}
