#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "Shell/Editor/ScreenshotEditorWindow.h"
#include "ZelvorApp/Editor/EditorTestSupport.h"

#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace brisklet {
namespace {

using testing_support::EditorHarness;

/// The editor window over a model on fakes: a 400 × 300 image shown at the view's origin.
class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<ScreenshotEditorWindow>(*harness.editor, renderer, QImage(), QRect(0, 0, 400, 300),
                                                          ScreenshotEditorWindow::Look{});
        window->show();
        window->refresh();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(window.get(), Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step) {
            const QPoint at = from + (to - from) * step / 4;
            QMouseEvent move(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
            QCoreApplication::sendEvent(window.get(), &move);
        }
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, to);
    }
    QPlainTextEdit* textBox() const { return window->findChild<QPlainTextEdit*>(); }

    EditorHarness harness;
    QtAnnotationRenderer renderer;
    std::unique_ptr<ScreenshotEditorWindow> window;
};

TEST_F(EditorWindowTest, ADragOnTheWindowDrawsWhatTheSameDragOnTheModelDraws) {
    harness.editor->selectTool(AnnotationTool::arrow());
    drag({40, 200}, {240, 80});
    EditorHarness reference;
    reference.editor->selectTool(AnnotationTool::arrow());
    reference.drag({40, 200}, {240, 80});
    ASSERT_EQ(harness.itemsOf<ArrowAnnotation>().size(), 1u);
    const ArrowAnnotation drawn = harness.itemsOf<ArrowAnnotation>()[0];
    const ArrowAnnotation expected = reference.itemsOf<ArrowAnnotation>()[0];
    EXPECT_EQ(drawn.start, expected.start);
    EXPECT_EQ(drawn.end, expected.end);
    EXPECT_EQ(drawn.color, expected.color);
}

TEST_F(EditorWindowTest, SingleKeysPickToolsAndTheSameKeyPutsItDown) {
    QTest::keyClick(window.get(), Qt::Key_A);
    EXPECT_EQ(harness.editor->selectedTool(), AnnotationTool::arrow());
    QTest::keyClick(window.get(), Qt::Key_E);
    EXPECT_EQ(harness.editor->selectedTool(), AnnotationTool::shape());
    EXPECT_EQ(harness.editor->style().options().selectedShapeKind, ShapeKind::ellipse);
    QTest::keyClick(window.get(), Qt::Key_E);
    EXPECT_FALSE(harness.editor->selectedTool()) << "the same key again";
    QTest::keyClick(window.get(), Qt::Key_R);
    drag({20, 20}, {120, 90});
    ASSERT_EQ(harness.editor->annotations().size(), 1u);
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(harness.editor->annotations().empty()) << "Ctrl+Z reaches the model's undo";
}

TEST_F(EditorWindowTest, TextIsTypedInPlaceAndEscapeCommitsIt) {
    QTest::keyClick(window.get(), Qt::Key_T);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(60, 120));
    QPlainTextEdit* box = textBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->isVisible()) << "a click with the text tool opens a text box there";
    EXPECT_NEAR(box->geometry().left(), 60, 16);
    QTest::keyClicks(box, "Rent due");
    ASSERT_TRUE(harness.editor->activeText());
    EXPECT_EQ(harness.editor->activeText()->text, "Rent due") << "R is typed, not a tool switch";
    EXPECT_EQ(harness.editor->selectedTool(), AnnotationTool::text());
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    ASSERT_EQ(harness.itemsOf<TextAnnotation>().size(), 1u);
    EXPECT_EQ(harness.itemsOf<TextAnnotation>()[0].text, "Rent due");
    EXPECT_EQ(harness.cancels, 0) << "the first Escape ends the text, not the editor";
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(harness.cancels, 1);
}

TEST_F(EditorWindowTest, TextComposedByAnInputMethodLandsInTheAnnotation) {
    QTest::keyClick(window.get(), Qt::Key_T);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(60, 120));
    QPlainTextEdit* box = textBox();
    ASSERT_TRUE(box->isVisible());
    // What an input method sends: the word being composed, then the characters chosen.
    QInputMethodEvent composing(QStringLiteral("nihao"), {});
    QCoreApplication::sendEvent(box, &composing);
    QInputMethodEvent chosen;
    chosen.setCommitString(QStringLiteral("你好"));
    QCoreApplication::sendEvent(box, &chosen);
    QInputMethodEvent korean;
    korean.setCommitString(QStringLiteral(" 안녕"));
    QCoreApplication::sendEvent(box, &korean);
    ASSERT_TRUE(harness.editor->activeText());
    EXPECT_EQ(harness.editor->activeText()->text, "你好 안녕") << "only committed text is kept, not the composition";
    QTest::keyClick(box, Qt::Key_Escape);
    ASSERT_EQ(harness.itemsOf<TextAnnotation>().size(), 1u);
    EXPECT_EQ(harness.itemsOf<TextAnnotation>()[0].text, "你好 안녕");
}

/// Straight after the overlay: a 100 × 80 region of a 400 × 300 frozen screen, still adjustable.
class EditorWindowRegionTest : public EditorWindowTest {
protected:
    void SetUp() override {
        ScreenshotEditorSetup setup;
        setup.screenSnapshot = testing_support::gradientImage(400, 300);
        setup.viewBounds = {{0, 0}, {400, 300}};
        setup.selectionRect = {{50, 50}, {100, 80}};
        setup.snapshotPixelsPerPoint = 1;
        setup.startsAdjustingSelection = true;
        setup.baseImage = Image(100, 80);
        region = std::make_unique<EditorHarness>(AppPreferences::defaults(), true, std::move(setup));
        window = std::make_unique<ScreenshotEditorWindow>(*region->editor, renderer,
                                                          toQImage(testing_support::gradientImage(400, 300)),
                                                          QRect(0, 0, 400, 300), ScreenshotEditorWindow::Look{});
        window->show();
        window->refresh();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    Qt::CursorShape cursorOver(QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(window.get(), &move);
        return window->cursor().shape();
    }
    /// Whether the screen shows undimmed at `at` (the gradient's red is x, green y).
    bool undimmedAt(QPoint at) {
        const QColor shown = window->grab().toImage().pixelColor(at);
        return shown.red() == at.x() && shown.green() == at.y();
    }

    std::unique_ptr<EditorHarness> region;
};

TEST_F(EditorWindowRegionTest, TheRegionFollowsThePointerUntilAToolIsPicked) {
    ASSERT_EQ(region->editor->phase(), EditorPhase::adjustingSelection);
    EXPECT_EQ(cursorOver({100, 90}), Qt::SizeAllCursor);
    EXPECT_EQ(cursorOver({150, 130}), Qt::SizeFDiagCursor);
    EXPECT_EQ(cursorOver({100, 50}), Qt::SizeVerCursor);
    EXPECT_EQ(cursorOver({10, 10}), Qt::CrossCursor);
    EXPECT_TRUE(undimmedAt({60, 60}));

    drag({100, 90}, {130, 100});
    EXPECT_EQ(region->editor->selectionAdjustment()->selectionRect(), (Rect{{80, 60}, {100, 80}}));
    EXPECT_TRUE(undimmedAt({170, 130})) << "the new place shows the screen";
    EXPECT_FALSE(undimmedAt({60, 55})) << "the old place is dimmed with the rest";
    EXPECT_EQ(region->editor->baseImage().row(0)[0], 80) << "the picture is cut again where the region was let go";

    QTest::keyClick(window.get(), Qt::Key_R);
    EXPECT_EQ(region->editor->phase(), EditorPhase::annotating);
    EXPECT_EQ(window->cursor().shape(), Qt::CrossCursor) << "back to drawing";
    drag({100, 90}, {160, 130});
    EXPECT_EQ(region->editor->selectionAdjustment()->selectionRect().origin, (Point{80, 60})) << "settled";
    EXPECT_EQ(region->editor->annotations().size(), 1u) << "the same drag now draws";
    EXPECT_TRUE(undimmedAt({170, 135}));
}

} // namespace
} // namespace brisklet
