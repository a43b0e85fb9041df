#include "Platform/Linux/QtRender/GIFQtAnnotationFrameRenderer.h"
#include "Shell/QtDesktopGeometry.h"
#include "Shell/Recording/GIFAnnotationCanvasWindow.h"
#include "Shell/Recording/GIFControlBarWindow.h"
#include "Shell/Recording/QtRecordingOptionsBar.h"
#include "Shell/Recording/RecordingOptionsBarWindow.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Recording/GIFAnnotationCanvasModel.h"
#include "ZelvorApp/Recording/RecordingOptionsBarLayout.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>
#include <variant>

namespace brisklet {
namespace {

Rect screenFrame() {
    return QtDesktopGeometry::screenFrame(QGuiApplication::primaryScreen());
}

class RecordingBarsTest : public ::testing::Test {
protected:
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    AppModel model;
};

TEST_F(RecordingBarsTest, TheOptionsBarFitsItsFrameStartsWithTheFormatClickedAndEscapeCancels) {
    const Rect region{{200, 300}, {400, 200}};
    const DisplayScreen screen{1, "", screenFrame(), screenFrame(), 1, true};
    std::optional<RecordingOptions> started;
    int cancels = 0;
    const RecordingOptionsBarPort::Handlers handlers{[&](RecordingOptions options) { started = options; },
                                                     [&] { ++cancels; }};
    QtRecordingOptionsBar bar(model, localization);
    bar.present(region, screen, RecordingOptions{}, handlers);
    RecordingOptionsBarWindow* window = bar.window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->geometry(),
              QtDesktopGeometry::globalRect(RecordingOptionsBarLayout::windowRect(region, screenFrame())));
    EXPECT_LE(window->sizeHint().width(), 720) << "every control shows without widening the bar";
    for (const QToolButton* button : window->findChildren<QToolButton*>()) {
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    }
    auto* mov = window->findChild<QToolButton*>(QStringLiteral("recordingFormat-mov"));
    auto* clicks = window->findChild<QToolButton*>(QStringLiteral("recordingShowsClicks"));
    ASSERT_NE(mov, nullptr);
    ASSERT_NE(clicks, nullptr);
    QTest::mouseClick(mov, Qt::LeftButton);
    QTest::mouseClick(clicks, Qt::LeftButton);
    QTest::keyClick(window, Qt::Key_Return);
    ASSERT_TRUE(started);
    EXPECT_EQ(started->outputFormat, RecordingOutputFormat::mov);
    EXPECT_FALSE(started->showsClickEffects);
    EXPECT_TRUE(started->showsCursor);

    started.reset();
    bar.present(region, screen, {}, handlers);
    QTest::keyClick(bar.window(), Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(started);
    bar.close();
    EXPECT_EQ(bar.window(), nullptr);
}

TEST_F(RecordingBarsTest, TheControlBarShowsTheClockAndSendsPauseOrResumeByState) {
    int pauses = 0;
    int resumes = 0;
    int stops = 0;
    model.setState(AppViewState::recordingGif);
    GIFControlBarWindow bar(model, localization,
                            {[&] { ++pauses; }, [&] { ++resumes; }, [&] { ++stops; }, [] {}}, nullptr);
    model.setGIFRecordingProgress(7.4, 30);
    EXPECT_EQ(bar.timeText(), QStringLiteral("00:07/00:30"));
    auto* pause = bar.findChild<QToolButton*>(QStringLiteral("gifControlPause"));
    auto* stop = bar.findChild<QToolButton*>(QStringLiteral("gifControlStop"));
    ASSERT_NE(pause, nullptr);
    ASSERT_NE(stop, nullptr);
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_EQ(pauses, 1);
    model.setState(AppViewState::pausedGif);
    EXPECT_EQ(pause->toolTip(), QString::fromStdString(localization.text(L10nKey::controlResume)));
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_EQ(resumes, 1);
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_EQ(stops, 1);
    model.setState(AppViewState::finalizingGif);
    EXPECT_FALSE(bar.isEnabled()) << "nothing to press while the recording is finishing";
}

TEST_F(RecordingBarsTest, TheCanvasDrawsWhatTheToolbarChoseAndOnlyTheDrawingIsPartOfTheWindow) {
    double now = 0;
    GIFAnnotationPrototypeSession session([&] { return now; });
    const Rect region{{100, 100}, {200, 120}};
    GIFAnnotationCanvasModel canvas(session, region.size);
    GIFQtAnnotationFrameRenderer renderer;
    GIFAnnotationCanvasWindow window(canvas, renderer, region);
    model.setState(AppViewState::recordingGif);
    GIFControlBarWindow bar(model, localization, {}, &canvas);
    canvas.onChanged = [&] {
        window.refresh();
        bar.canvasChanged();
    };
    window.show();
    auto* annotate = bar.findChild<QToolButton*>(QStringLiteral("gifControlAnnotate"));
    auto* rectangle = bar.findChild<QToolButton*>(QStringLiteral("gifTool-rectangle"));
    ASSERT_NE(annotate, nullptr);
    ASSERT_NE(rectangle, nullptr);
    EXPECT_TRUE(canvas.passesInputThrough());
    QTest::mouseClick(rectangle, Qt::LeftButton);
    EXPECT_FALSE(canvas.passesInputThrough());
    EXPECT_TRUE(annotate->isChecked());
    EXPECT_TRUE(rectangle->isChecked());

    // A drag on the canvas (window pixels are canvas points plus the one-pixel margin).
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(21, 21));
    QTest::mouseMove(&window, QPoint(81, 61));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(121, 81));
    ASSERT_EQ(session.activeAnnotations().size(), 1u);
    const QColor edge = window.drawing().pixelColor(20, 50);
    EXPECT_GT(edge.red(), 200);
    EXPECT_EQ(window.drawing().pixelColor(60, 50).alpha(), 0) << "not filled";
    EXPECT_TRUE(window.mask().contains(QPoint(21, 51)));
    EXPECT_FALSE(window.mask().contains(QPoint(61, 51))) << "the recorded pixels show through";
    auto* undo = bar.findChild<QToolButton*>(QStringLiteral("gifControlUndo"));
    EXPECT_TRUE(undo->isEnabled());

    // The text tool: a click starts a text there, typed in place (the keyboard held meanwhile).
    auto* text = bar.findChild<QToolButton*>(QStringLiteral("gifTool-text"));
    ASSERT_NE(text, nullptr);
    QTest::mouseClick(text, Qt::LeftButton);
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(141, 31));
    EXPECT_TRUE(window.holdsKeyboard());
    QTest::keyClicks(&window, QStringLiteral("Hix"));
    QTest::keyClick(&window, Qt::Key_Backspace);
    EXPECT_EQ(canvas.pendingText(), "Hi");
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_FALSE(window.holdsKeyboard());
    ASSERT_EQ(session.activeAnnotations().size(), 2u);
    const auto* typed = std::get_if<GIFPrototypeTextAnnotation>(&session.activeAnnotations()[1].payload);
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->text, "Hi");

    QTest::mouseClick(annotate, Qt::LeftButton);
    EXPECT_TRUE(canvas.passesInputThrough());
    EXPECT_FALSE(rectangle->isChecked());
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(21, 21));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(121, 81));
    EXPECT_EQ(session.activeAnnotations().size(), 2u) << "outside annotation mode nothing is drawn";
    canvas.onChanged = nullptr;
}

} // namespace
} // namespace brisklet
