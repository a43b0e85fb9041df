// A small form on the accessibility bus for the snapshot integration tests: two labels, a field
// with text and a password field holding a secret. It prints "mapped" once the window is shown.
//
// Usage: accessibility-form-window TITLE SECRET

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: accessibility-form-window TITLE SECRET\n");
        return 2;
    }
    // A real X11 window whose widgets are on the accessibility bus whether or not a screen
    // reader asked for them.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Quarterly revenue report"), &window));
    layout->addWidget(new QLabel(QStringLiteral("Prepared by the finance team"), &window));
    layout->addWidget(new QLineEdit(QStringLiteral("Forecast draft for March"), &window));
    auto* password = new QLineEdit(QString::fromLocal8Bit(argv[2]), &window);
    // No name that says "password": the field must be known as one by its role alone.
    password->setEchoMode(QLineEdit::Password);
    layout->addWidget(password);
    window.setGeometry(40, 60, 360, 200);
    window.show();
    std::printf("mapped\n");
    std::fflush(stdout);
    return application.exec();
}
