#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "Shell/Editor/ColorWheelPopover.h"
#include "Shell/Editor/EditorBackgroundPanel.h"
#include "Shell/Editor/EditorBackgroundSession.h"
#include "Shell/Editor/EditorStylePanel.h"
#include "Shell/Editor/EditorToolbar.h"
#include "Shell/Editor/ScreenshotEditorWindow.h"
#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"
#include "ZelvorApp/Editor/EditorTestSupport.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace brisklet {
namespace {

const EditorToolbarItem& backgroundItem() {
    for (const auto& item : EditorToolbarItems::primary()) {
        if (item.command == EditorToolbarCommand::background) {
            return item;
        }
    }
    throw std::logic_error("no background item");
}

QRectF toQt(const Rect& rect) {
    return QRectF(rect.minX(), rect.minY(), rect.width(), rect.height());
}

/// A real editor window with its toolbar and background session over a model on fakes: a
/// 400 × 300 screenshot at (300, 200) of a 1200 × 800 screen.
class EditorBackgroundSessionTest : public ::testing::Test {
protected:
    void SetUp() override { open(AppPreferences::defaults()); }

    void open(AppPreferences preferences, ScreenshotEditorSetup setup = {}) {
        session.reset();
        window.reset();
        harness = std::make_unique<testing_support::EditorHarness>(preferences, true, std::move(setup));
        harness->editor->setViewport(selection, 1);
        window = std::make_unique<ScreenshotEditorWindow>(*harness->editor, renderer, QImage(), QRect(0, 0, 1200, 800),
                                                          ScreenshotEditorWindow::Look{});
        EditorToolbarActions actions;
        actions.toggleBackground = [this] { session->toggle(); };
        toolbar = new EditorToolbar(*harness->editor, english, false, std::move(actions), window.get());
        window->setToolbar(toolbar);
        session = std::make_unique<EditorBackgroundSession>(
            EditorBackgroundSession::Services{background, nullptr, english, updater()},
            preferences, *harness->editor, *window, toolbar, false, BackgroundCaptureContext::region);
        window->show();
        toolbar->show();
        window->refresh();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        session->open();
    }
    PreferencesUpdater updater() {
        return [this](const std::function<void(AppPreferences&)>& change) {
            change(stored);
            ++writes;
        };
    }
    void click(QAbstractButton* target) const {
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    }
    const EditorViewport& viewport() const { return harness->editor->viewport(); }
    const BackgroundComposition& composition() const { return *session->panelModel().composition(); }

    const Rect selection{{300, 200}, {400, 300}};
    LocalizationStore english{[] { return std::vector<std::string>{"en"}; }};
    QtAnnotationRenderer renderer;
    BackgroundQtRenderer background;
    AppPreferences stored;
    int writes = 0;
    std::unique_ptr<testing_support::EditorHarness> harness;
    std::unique_ptr<ScreenshotEditorWindow> window;
    EditorToolbar* toolbar = nullptr;
    std::unique_ptr<EditorBackgroundSession> session;
};

TEST_F(EditorBackgroundSessionTest, TheToolbarButtonPutsTheScreenshotOnItsCanvasAndBack) {
    QToolButton* button = toolbar->button(backgroundItem());
    ASSERT_TRUE(button->isEnabled());
    EXPECT_FALSE(session->isOn());
    click(button);
    ASSERT_TRUE(session->isOn());
    EXPECT_TRUE(button->isChecked());
    EXPECT_TRUE(session->panel()->isVisible());

    const auto& placement = session->preview().placement();
    const BackgroundLayout layout = session->panelModel().layout();
    EXPECT_EQ(toQt(viewport().displayedImageRect), placement.content) << "annotations land on the image on its canvas";
    EXPECT_DOUBLE_EQ(viewport().displayScale, placement.scale);
    EXPECT_NEAR(placement.canvas.width(), layout.canvasSize.width * placement.scale, 0.5);
    EXPECT_TRUE(QRectF(window->rect()).contains(placement.canvas)) << "the canvas fits the screen";
    EXPECT_FALSE(placement.canvas.intersects(session->panel()->geometry().marginsRemoved(
        EditorToolbarChrome::shadowMargins()))) << "the panel stands beside the canvas";
    EXPECT_EQ(window->contentScreenFrame().size(), placement.canvas.toAlignedRect().size())
        << "Pin shows the composed picture where the canvas is";

    // What is seen is what is saved: the canvas pixel at the content's corner is the
    // screenshot's, the one at the canvas corner the preset's gradient start.
    const Image saved = session->compose(harness->editor->baseImage()).value();
    ASSERT_EQ(saved.width(), static_cast<int>(layout.canvasSize.width));
    const QColor shownCorner = session->preview().picture().pixelColor(1, 1);
    const std::uint8_t* savedCorner = saved.row(1) + 4;
    EXPECT_NEAR(shownCorner.red(), savedCorner[0], 6);
    EXPECT_NEAR(shownCorner.green(), savedCorner[1], 6);
    EXPECT_NEAR(shownCorner.blue(), savedCorner[2], 6);
    const int cx = static_cast<int>(layout.contentRect.midX());
    const int cy = static_cast<int>(layout.contentRect.midY());
    const std::uint8_t* savedCentre = saved.row(cy) + cx * 4;
    const std::uint8_t* imageCentre = harness->editor->baseImage().row(cy - static_cast<int>(layout.contentRect.minY())) +
                                      (cx - static_cast<int>(layout.contentRect.minX())) * 4;
    EXPECT_EQ(savedCentre[0], imageCentre[0]);
    EXPECT_EQ(savedCentre[2], imageCentre[2]);

    click(button);
    EXPECT_FALSE(session->isOn());
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(viewport().displayedImageRect, selection) << "off: the plain screenshot at its place";
    EXPECT_EQ(viewport().displayScale, 1);
    EXPECT_FALSE(session->panel()->isVisible());
    EXPECT_EQ(session->compose(harness->editor->baseImage()).value(), harness->editor->baseImage());
}

TEST_F(EditorBackgroundSessionTest, TheBackgroundSettlesARegionStillBeingAdjusted) {
    ScreenshotEditorSetup setup;
    setup.screenSnapshot = testing_support::gradientImage(1200, 800);
    setup.viewBounds = {{0, 0}, {1200, 800}};
    setup.selectionRect = selection;
    setup.snapshotPixelsPerPoint = 1;
    setup.startsAdjustingSelection = true;
    setup.baseImage = Image(400, 300);
    open(AppPreferences::defaults(), std::move(setup));
    ASSERT_EQ(harness->editor->phase(), EditorPhase::adjustingSelection);
    harness->drag({400, 300}, {450, 330}); // the region moves by (50, 30)

    click(toolbar->button(backgroundItem()));
    ASSERT_TRUE(session->isOn());
    EXPECT_EQ(harness->editor->phase(), EditorPhase::annotating) << "the canvas holds the final picture";
    const Image saved = session->compose(harness->editor->baseImage()).value();
    const BackgroundLayout layout = session->panelModel().layout();
    const std::uint8_t* corner =
        saved.row(static_cast<int>(layout.contentRect.minY()) + 20) + (static_cast<int>(layout.contentRect.minX()) + 20) * 4;
    EXPECT_EQ(corner[0], (350 + 20) % 256) << "the content is cut where the region was let go";
    EXPECT_EQ(corner[1], 230 + 20);

    click(toolbar->button(backgroundItem()));
    EXPECT_EQ(viewport().displayedImageRect, (Rect{{350, 230}, {400, 300}})) << "off: back at the moved place";
}

TEST_F(EditorBackgroundSessionTest, ThePanelsControlsChangeTheCompositionAndItIsRemembered) {
    session->toggle();
    EditorBackgroundPanel& panel = *session->panel();
    click(panel.presetButtons()[16]);
    const auto* preset = std::get_if<BackgroundSource::Preset>(&composition().source.value);
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->id, "graphite");
    EXPECT_TRUE(panel.presetButtons()[16]->isChecked());

    const QRectF before = session->preview().placement().canvas;
    panel.paddingSlider()->setValue(20);
    EXPECT_EQ(composition().padding, 20);
    EXPECT_LT(session->preview().placement().canvas.height(), before.height()) << "the canvas follows the slider at once";
    click(panel.aspectButtons()[0]);
    EXPECT_EQ(composition().aspectPreset.kind, CanvasAspectPreset::Kind::automatic);
    panel.frameBox()->setCurrentIndex(2);
    EXPECT_EQ(composition().frameStyle, BackgroundFrameStyle::browserDark);
    click(panel.templateButtons()[0]);
    EXPECT_EQ(composition().appliedTemplateID, BackgroundTemplatePreset::xPost);
    click(panel.quickModeButtons()[0]);
    EXPECT_TRUE(panel.quickModeButtons()[0]->isChecked()) << "the clean look is highlighted";
    click(panel.transparentButton());
    EXPECT_TRUE(std::holds_alternative<BackgroundSource::Transparent>(composition().source.value));

    ASSERT_TRUE(stored.lastBackgroundComposition);
    EXPECT_EQ(*stored.lastBackgroundComposition, composition());
}

TEST_F(EditorBackgroundSessionTest, TheColourWheelAndTheHexCodeGiveASolidColour) {
    session->toggle();
    EditorBackgroundPanel& panel = *session->panel();
    click(panel.solidColorButton());
    ColorWheelPopover& popover = *panel.colorPopover();
    ASSERT_TRUE(popover.isVisible());
    // Straight right of the wheel's centre is red.
    QWidget* wheel = popover.wheel();
    QTest::mouseClick(wheel, Qt::LeftButton, {}, QPoint(wheel->width() - 4, wheel->height() / 2));
    const auto red = session->panelModel().solidColor();
    ASSERT_TRUE(red);
    EXPECT_GT(red->red, 0.9);
    EXPECT_LT(red->green, 0.2);

    popover.hexField()->clear();
    QTest::keyClicks(popover.hexField(), "#1E90FF");
    const auto typed = session->panelModel().solidColor();
    ASSERT_TRUE(typed);
    EXPECT_NEAR(typed->red, 0x1e / 255.0, 1e-6);
    EXPECT_NEAR(typed->blue, 1, 1e-6);
    QTest::keyClicks(popover.hexField(), "Z");
    EXPECT_EQ(session->panelModel().solidColor(), typed) << "a bad code keeps the last colour";
}

TEST_F(EditorBackgroundSessionTest, DraggingThePaddingMovesTheScreenshotAndEscapeEndsTheEyedropper) {
    session->toggle();
    session->panelModel().applyAspect({CanvasAspectPreset::Kind::square});
    const QRectF content = session->preview().placement().content;
    const QRectF canvas = session->preview().placement().canvas;
    // A press beside the screenshot, on the canvas, holds it; dragging up moves it up.
    const QPoint from(static_cast<int>(content.center().x()), static_cast<int>(content.bottom() + 8));
    ASSERT_TRUE(canvas.contains(from));
    QTest::mousePress(window.get(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, from - QPoint(0, 40), window->mapToGlobal(from - QPoint(0, 40)), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(window.get(), &move);
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, from - QPoint(0, 40));
    EXPECT_LT(session->preview().placement().content.top(), content.top());
    EXPECT_GT(composition().contentOffset.height, 0);
    EXPECT_EQ(stored.lastBackgroundComposition->contentOffset, composition().contentOffset);
    EXPECT_TRUE(harness->editor->annotations().empty()) << "the drag drew nothing";

    // The editor's Escape reaches the eyedropper through the model's hooks; once cancelled, a
    // press on the canvas holds the screenshot again instead of picking a colour.
    session->startEyedropper();
    ASSERT_TRUE(session->isEyedropperActive());
    session->cancelEyedropper();
    EXPECT_FALSE(session->isEyedropperActive());
    const auto colour = session->panelModel().solidColor();
    QTest::mousePress(window.get(), Qt::LeftButton, {}, from);
    EXPECT_TRUE(session->panelModel().isDraggingContent());
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, from);
    EXPECT_EQ(session->panelModel().solidColor(), colour);
}

TEST_F(EditorBackgroundSessionTest, TheEyedropperTakesTheScreenshotsPixel) {
    session->toggle();
    session->startEyedropper();
    const QRectF content = session->preview().placement().content;
    const QPoint at = content.center().toPoint();
    const Point pixel = viewport().toImage({static_cast<double>(at.x()), static_cast<double>(at.y())});
    const std::uint8_t* expected = harness->editor->baseImage().row(static_cast<int>(pixel.y)) +
                                   static_cast<int>(pixel.x) * 4;
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(session->isEyedropperActive());
    const auto picked = session->panelModel().solidColor();
    ASSERT_TRUE(picked);
    EXPECT_NEAR(picked->red * 255, expected[0], 1);
    EXPECT_NEAR(picked->green * 255, expected[1], 1);
    EXPECT_NEAR(picked->blue * 255, expected[2], 1);
    EXPECT_TRUE(harness->editor->annotations().empty());
}

TEST_F(EditorBackgroundSessionTest, TheStylePanelsCustomColourOpensTheSameWheel) {
    EditorStylePanel& style = *toolbar->stylePanel();
    style.popUp(QRect(500, 600, 20, 20));
    click(style.customColorButton());
    ColorWheelPopover* wheel = nullptr;
    // The popovers are plain widgets (no meta-object of their own), found by name.
    for (QWidget* candidate : window->findChildren<QWidget*>(QStringLiteral("colorWheelPopover"))) {
        wheel = candidate->isVisible() ? static_cast<ColorWheelPopover*>(candidate) : wheel;
    }
    ASSERT_NE(wheel, nullptr) << "the custom colour opens a colour wheel in the editor";
    EXPECT_NE(wheel, session->panel()->colorPopover()) << "not the background's, which sets the background";
    EXPECT_FALSE(wheel->eyedropperButton()->isVisible());
    wheel->hexField()->clear();
    QTest::keyClicks(wheel->hexField(), "#00FF00");
    QTest::keyClick(wheel, Qt::Key_Return);
    EXPECT_FALSE(wheel->isVisible());
    EXPECT_EQ(BackgroundColorPickerLogic::hexString(harness->editor->style().options().selectedColor), "#00FF00");
    EXPECT_FALSE(session->isOn()) << "an annotation colour leaves the background alone";
}

BackgroundLayout layoutOf(Size canvas, Rect content) {
    BackgroundLayout layout;
    layout.canvasSize = canvas;
    layout.contentRect = content;
    layout.frameRect = content;
    layout.framedContentRect = content;
    return layout;
}

TEST(EditorBackgroundPreviewPlacement, CentresTheCanvasOnTheScreenshotAtItsOwnScale) {
    const auto placement = EditorBackgroundPreview::place(layoutOf({600, 400}, {{100, 50}, {400, 300}}),
                                                          QRectF(300, 200, 400, 300), 1, QRectF(0, 0, 1200, 800), 20);
    EXPECT_EQ(placement.scale, 1);
    EXPECT_EQ(placement.canvas, QRectF(200, 150, 600, 400));
    EXPECT_EQ(placement.content, QRectF(300, 200, 400, 300)) << "a centred screenshot stays where it was taken";
}

TEST(EditorBackgroundPreviewPlacement, ShrinksToFitAndStaysOnScreen) {
    // 1600 × 1000 canvas on a 1000 × 700 screen with 50 of margin: 900 / 1600 against 600 / 1000.
    const auto fitted = EditorBackgroundPreview::place(layoutOf({1600, 1000}, {{100, 100}, {1400, 800}}),
                                                       QRectF(0, 0, 1000, 700), 1, QRectF(0, 0, 1000, 700), 50);
    EXPECT_DOUBLE_EQ(fitted.scale, 0.5625);
    EXPECT_DOUBLE_EQ(fitted.canvas.width(), 900);
    EXPECT_TRUE(QRectF(50, 50, 900, 600).contains(fitted.canvas));
    EXPECT_DOUBLE_EQ(fitted.content.left() - fitted.canvas.left(), 100 * 0.5625);

    // A screenshot near the screen's corner pushes its canvas back inside.
    const auto corner = EditorBackgroundPreview::place(layoutOf({300, 300}, {{50, 50}, {200, 200}}),
                                                       QRectF(0, 0, 200, 200), 1, QRectF(0, 0, 1000, 700), 10);
    EXPECT_EQ(corner.canvas.topLeft(), QPointF(10, 10));
    EXPECT_EQ(corner.scale, 1) << "no smaller than needed";
}

TEST(EditorBackgroundSessionOpening, AutoApplyOpensOnTheCanvas) {
    AppPreferences preferences = AppPreferences::defaults();
    preferences.backgroundAutoApplyEnabled = true;
    testing_support::EditorHarness harness(preferences);
    harness.editor->setViewport({{300, 200}, {400, 300}}, 1);
    LocalizationStore english{[] { return std::vector<std::string>{"en"}; }};
    QtAnnotationRenderer renderer;
    BackgroundQtRenderer background;
    ScreenshotEditorWindow window(*harness.editor, renderer, QImage(), QRect(0, 0, 1200, 800), {});
    EditorBackgroundSession session({background, nullptr, english, {}}, preferences, *harness.editor, window, nullptr,
                                    true, BackgroundCaptureContext::region);
    window.show();
    session.open();
    EXPECT_TRUE(session.isOn());
    ASSERT_TRUE(session.preview().isShown()) << "the canvas is there from the start";
    EXPECT_TRUE(session.preview().placement().canvas.contains(QRectF(300, 200, 400, 300)))
        << "centred on the screenshot, which keeps its place";
    EXPECT_GT(session.preview().placement().canvas.width(), 400);
}

} // namespace
} // namespace brisklet
