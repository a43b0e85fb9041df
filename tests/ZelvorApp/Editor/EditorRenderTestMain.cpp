#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

// Drawing text needs fonts, and Qt gives fonts only to a running QGuiApplication. The offscreen
// platform provides one without a display.
int main(int argc, char** argv) {
    setenv("TZ", "UTC", 1);
    tzset();
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
