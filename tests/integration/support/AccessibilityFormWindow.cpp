// A small form on the accessibility bus for the snapshot integration tests: two labels, a field
// with text and a password field holding a secret. It prints "mapped" once the window is shown.
// With LABELS, that many more labels follow in groups of 50 (a large tree for the benchmark).
//
// Usage: accessibility-form-window TITLE SECRET [LABELS]

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: accessibility-form-window TITLE SECRET [LABELS]\n");
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
    const int labels = argc == 4 ? std::atoi(argv[3]) : 0;
    // Groups of 50, so no element has more children than a snapshot follows.
    constexpr int perGroup = 50;
    auto* groups = new QGridLayout;
    layout->addLayout(groups);
    for (int first = 0; first < labels; first += perGroup) {
        auto* group = new QWidget(&window);
        auto* grid = new QGridLayout(group);
        grid->setSpacing(0);
        for (int i = first; i < std::min(labels, first + perGroup); ++i) {
            auto* label = new QLabel(QStringLiteral("Item %1").arg(i), group);
            label->setStyleSheet(QStringLiteral("font-size: 7px"));
            grid->addWidget(label, (i - first) / 10, (i - first) % 10);
        }
        groups->addWidget(group, first / perGroup / 4, first / perGroup % 4);
    }
    if (labels > 0) {
        window.setGeometry(0, 0, 1900, 1060);
    } else {
        window.setGeometry(40, 60, 360, 200);
    }
    window.show();
    std::printf("mapped\n");
    std::fflush(stdout);
    return application.exec();
}
