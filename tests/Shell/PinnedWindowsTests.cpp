#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Shell/Pinned/PinnedScreenshotWindow.h"
#include "Shell/Pinned/PinnedTextWindow.h"
#include "Shell/Pinned/QtPinnedWindows.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Editor/EditorTestSupport.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace brisklet {
namespace {

/// The pinned windows over an in-memory clipboard, with the application's default preferences.
class PinnedWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        pins.onChanged = [this] { ++changes; };
        pins.onAnnotate = [this](const std::string& id, Image image) {
            annotatedIDs.push_back(id);
            annotated.push_back(std::move(image));
        };
    }
    void TearDown() override { mainQueue.drain(); }

    /// A 200 × 100 picture pinned with its top-left at (100, 100) of the primary screen.
    PinnedScreenshotWindow& pinPicture(AppPreferences preferences = AppPreferences::defaults()) {
        model.setPreferences(preferences);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const Rect frame{{100, static_cast<double>(screen.height()) - 200}, {200, 100}};
        pins.pinImage(testing_support::gradientImage(200, 100), frame, preferences.pinnedLeftDoubleClickAction);
        PinnedScreenshotWindow& window = *pins.imageWindows().back();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        return window;
    }
    void wheel(QWidget& window, int delta) {
        const QPointF at(20, 20);
        QWheelEvent event(at, window.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&window, &event);
    }

    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService exportService{pasteboard, tracker};
    AppModel model;
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    QtPinnedWindows pins{{exportService, model, localization, mainQueue}};
    int changes = 0;
    std::vector<Image> annotated;
    std::vector<std::string> annotatedIDs;
};

TEST_F(PinnedWindowsTest, APictureStandsWhereItWasAndTheWheelZoomsIt) {
    PinnedScreenshotWindow& window = pinPicture();
    EXPECT_EQ(window.geometry(), QRect(100, 100, 200, 100)) << "desktop points become the same place on screen";
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(pins.pinnedImageCount(), 1);
    EXPECT_EQ(changes, 1) << "the Escape hotkey follows the count";

    wheel(window, 120);
    EXPECT_EQ(window.geometry().size(), QSize(216, 108));
    EXPECT_EQ(window.geometry().center(), QRect(100, 100, 200, 100).center());
    for (int i = 0; i < 40; ++i) {
        wheel(window, -120);
    }
    EXPECT_EQ(window.geometry().size(), QSize(20, 10)) << "stops at a tenth";

    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(&window, QPoint(45, 25));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(45, 25));
    EXPECT_NE(window.geometry().topLeft(), QRect(100, 100, 200, 100).topLeft()) << "a drag moves it";
}

TEST_F(PinnedWindowsTest, DoubleClicksDoWhatThePreferencesSay) {
    PinnedScreenshotWindow& first = pinPicture();
    QTest::mouseDClick(&first, Qt::RightButton, {}, QPoint(50, 50));
    ASSERT_TRUE(pasteboard.readImage()) << "right: copy and close";
    EXPECT_EQ(pasteboard.readImage()->width(), 200);
    EXPECT_EQ(pins.pinnedImageCount(), 0);

    AppPreferences keep = AppPreferences::defaults();
    keep.pinnedLeftDoubleClickAction = PinnedMouseDoubleClickAction::none;
    PinnedScreenshotWindow& second = pinPicture(keep);
    QTest::mouseDClick(&second, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(pins.pinnedImageCount(), 1) << "none: it stays";
    QTest::mouseDClick(&second, Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_EQ(pins.pinnedImageCount(), 0);
}

TEST_F(PinnedWindowsTest, EscapeClosesTheSelectedPinOrElseTheNewest) {
    PinnedScreenshotWindow& older = pinPicture();
    pinPicture();
    pinPicture();
    ASSERT_EQ(pins.pinnedImageCount(), 3);
    QTest::mousePress(&older, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&older, Qt::LeftButton, {}, QPoint(5, 5));
    const PinnedScreenshotWindow* newest = pins.imageWindows().back().get();
    pins.closeSelectedOrMostRecentImage();
    ASSERT_EQ(pins.pinnedImageCount(), 2);
    EXPECT_EQ(pins.imageWindows().back().get(), newest) << "the pressed one went first";
    pins.closeSelectedOrMostRecentImage();
    ASSERT_EQ(pins.pinnedImageCount(), 1);
    EXPECT_NE(pins.imageWindows().back().get(), newest) << "then the newest";
    mainQueue.drain();
}

TEST_F(PinnedWindowsTest, AReeditedPinHidesThenTakesItsEditedPictureAroundTheSameCentre) {
    PinnedScreenshotWindow& window = pinPicture();
    const std::string id = pins.idOf(&window);
    ASSERT_FALSE(id.empty());
    window.callbacks().annotate(window.image());
    ASSERT_EQ(annotatedIDs, std::vector<std::string>{id}) << "the controller learns which pin is edited";
    EXPECT_EQ(annotated.at(0).width(), 200);

    const int changesBefore = changes;
    pins.setImageHidden(id, true);
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(pins.pinnedImageCount(), 0) << "a hidden pin is out of Escape's reach";
    EXPECT_GT(changes, changesBefore);
    pins.closeSelectedOrMostRecentImage();
    EXPECT_EQ(pins.imageWindows().size(), 1u) << "Escape does not close a pin the editor has";

    pins.replaceImage(id, testing_support::gradientImage(260, 140));
    EXPECT_FALSE(window.isHidden());
    EXPECT_EQ(window.image().width(), 260);
    EXPECT_EQ(window.geometry().size(), QSize(260, 140));
    EXPECT_EQ(window.geometry().center(), QRect(100, 100, 200, 100).center()) << "it stays where it was";
    pins.replaceImage("pin-unknown", testing_support::gradientImage(10, 10));
    EXPECT_EQ(window.image().width(), 260) << "unknown ids are ignored";
}

TEST_F(PinnedWindowsTest, PinnedTextShowsOnTheScreenAndCopiesWhatIsSelected) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    DisplayScreen display;
    display.frame = Rect{{0, 0}, {static_cast<double>(screen.width()), static_cast<double>(screen.height())}};
    pins.pinText("Ship on Friday\nthen rest", display);
    ASSERT_EQ(pins.textWindows().size(), 1u);
    PinnedTextWindow& window = *pins.textWindows().back();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(screen.contains(window.geometry()));
    EXPECT_NEAR(window.geometry().center().x(), screen.center().x(), 2) << "centred on its screen";
    EXPECT_EQ(window.text(), QStringLiteral("Ship on Friday\nthen rest"));

    auto* copy = window.findChild<QToolButton*>(QStringLiteral("pinnedTextCopy"));
    ASSERT_NE(copy, nullptr);
    QTest::mouseClick(copy, Qt::LeftButton);
    EXPECT_EQ(pasteboard.readText(), "Ship on Friday\nthen rest") << "nothing selected: all of it";
    auto* body = window.findChild<QPlainTextEdit*>(QStringLiteral("pinnedTextBody"));
    QTextCursor cursor = body->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    body->setTextCursor(cursor);
    QTest::mouseClick(copy, Qt::LeftButton);
    EXPECT_EQ(pasteboard.readText(), "Ship");

    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("pinnedTextClose")), Qt::LeftButton);
    EXPECT_TRUE(pins.textWindows().empty());
}

} // namespace
} // namespace brisklet
