#include "Shell/Longshot/LongshotControlBar.h"
#include "Shell/QtDesktopGeometry.h"
#include "Shell/Recording/BorderHighlightWindow.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

#include <gtest/gtest.h>

namespace brisklet {
namespace {

void sendMouse(QWidget& window, QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons) {
    const QPointF local = window.mapFromGlobal(QPointF(global));
    QMouseEvent event(type, local, QPointF(global), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
}

TEST(BorderHighlightWindowTest, FramesTheRegionFromOutsideAndLetsClicksThrough) {
    const Rect region{{200, 150}, {300, 120}};
    BorderHighlightWindow border(region);
    const QRect frame = QtDesktopGeometry::globalRect(BorderHighlightModel::windowFrame(region));
    EXPECT_EQ(border.geometry(), frame);
    EXPECT_EQ(border.region(), region);
    EXPECT_TRUE(border.windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(border.windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(border.isMovable());
    // Only the 3-point line is the window's: the region's own pixels stay uncovered.
    const QRegion mask = border.mask();
    EXPECT_TRUE(mask.contains(QPoint(1, 1)));
    EXPECT_FALSE(mask.contains(QPoint(4, 4)));
    EXPECT_FALSE(mask.contains(QPoint(frame.width() / 2, frame.height() / 2)));

    // Without a move handler a drag does nothing.
    border.show();
    sendMouse(border, QEvent::MouseButtonPress, frame.topLeft() + QPoint(2, 2), Qt::LeftButton);
    sendMouse(border, QEvent::MouseMove, frame.topLeft() + QPoint(40, 30), Qt::LeftButton);
    EXPECT_EQ(border.geometry(), frame);
}

TEST(BorderHighlightWindowTest, WithAMoveHandlerItTakesTheDragAndReportsTheNewRegion) {
    const Rect region{{200, 150}, {300, 120}};
    BorderHighlightWindow border(region);
    std::vector<Rect> moves;
    border.setOnMove([&moves](const Rect& moved) { moves.push_back(moved); });
    EXPECT_TRUE(border.isMovable());
    EXPECT_FALSE(border.windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_EQ(border.cursor().shape(), Qt::OpenHandCursor);
    EXPECT_TRUE(border.mask().contains(QPoint(5, 5))); // the whole margin can be grabbed
    border.show();

    const QRect frame = border.geometry();
    sendMouse(border, QEvent::MouseButtonPress, frame.topLeft() + QPoint(3, 3), Qt::LeftButton);
    sendMouse(border, QEvent::MouseMove, frame.topLeft() + QPoint(43, 23), Qt::LeftButton);
    sendMouse(border, QEvent::MouseButtonRelease, frame.topLeft() + QPoint(43, 23), Qt::NoButton);
    EXPECT_EQ(border.geometry().topLeft(), frame.topLeft() + QPoint(40, 20));
    ASSERT_EQ(moves.size(), 1u);
    // 40 right and 20 down on the screen is 20 down in the desktop space, whose y grows upwards.
    EXPECT_EQ(moves.back(), (Rect{{240, 130}, {300, 120}}));
    EXPECT_EQ(border.region(), moves.back());

    border.setOnMove({});
    EXPECT_TRUE(border.windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(border.isVisible());
}

class LongshotControlBarTest : public ::testing::Test {
protected:
    QToolButton* button(const char* name) { return bar.findChild<QToolButton*>(QString::fromLatin1(name)); }
    QString label(const char* name) { return bar.findChild<QLabel*>(QString::fromLatin1(name))->text(); }

    LocalizationStore text{[] { return std::vector<std::string>{"en"}; }};
    std::vector<std::string> pressed;
    LongshotControlBar bar{text,
                           VisualAppearanceMode::dark,
                           {[this] { pressed.push_back("toggle"); }, [this] { pressed.push_back("finish"); },
                            [this] { pressed.push_back("cancel"); }}};
    LongshotControlBarModel model;
};

TEST_F(LongshotControlBarTest, EveryButtonHasItsIconAndSendsItsAction) {
    bar.render(model);
    for (const char* name : {"longshotToggleAutoScroll", "longshotFinish", "longshotCancel"}) {
        ASSERT_NE(button(name), nullptr) << name;
        EXPECT_FALSE(button(name)->icon().isNull()) << name;
        EXPECT_FALSE(button(name)->toolTip().isEmpty()) << name;
        button(name)->click();
    }
    EXPECT_EQ(pressed, (std::vector<std::string>{"toggle", "finish", "cancel"}));
    EXPECT_TRUE(bar.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
}

TEST_F(LongshotControlBarTest, ShowsTheStateAndLocksTheButtonsWhileStitching) {
    model.setScrolling(LongshotControlBarModel::Scrolling::automatic);
    model.setFrameCount(4);
    bar.render(model);
    EXPECT_EQ(button("longshotToggleAutoScroll")->toolTip().toStdString(), text.text(L10nKey::longshotPauseAutoScroll));
    EXPECT_EQ(label("longshotStatusTitle").toStdString(), model.title(text));
    EXPECT_TRUE(label("longshotStatusDetail").contains(QString::fromStdString(model.frames(text))));

    model.setScrolling(LongshotControlBarModel::Scrolling::paused);
    bar.render(model);
    EXPECT_EQ(button("longshotToggleAutoScroll")->toolTip().toStdString(), text.text(L10nKey::longshotAutoScroll));
    EXPECT_EQ(label("longshotStatusTitle").toStdString(), text.text(L10nKey::menuStatusPausedLongshot));

    model.setFinalizing(true);
    bar.render(model);
    for (const char* name : {"longshotToggleAutoScroll", "longshotFinish", "longshotCancel"}) {
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    }
    button("longshotCancel")->click();
    EXPECT_TRUE(pressed.empty());
}

} // namespace
} // namespace brisklet
