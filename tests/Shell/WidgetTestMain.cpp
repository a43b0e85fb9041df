#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

// Widgets need a running QApplication; the offscreen platform gives one without a display.
int main(int argc, char** argv) {
    setenv("TZ", "UTC", 1);
    tzset();
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    // The icons live in the shell library's resources, which a static library must register.
    Q_INIT_RESOURCE(brisklet);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
