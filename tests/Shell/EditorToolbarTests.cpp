#include "Shell/Editor/EditorSecondaryToolbar.h"
#include "Shell/Editor/EditorStylePanel.h"
#include "Shell/Editor/EditorToolbar.h"
#include "ZelvorApp/Editor/AnnotationColorPalette.h"
#include "ZelvorApp/Editor/EditorTestSupport.h"
#include "ZelvorApp/Editor/EditorToolbarLayout.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace brisklet {
namespace {

using Command = EditorToolbarCommand;
using Control = EditorSecondaryControl;

const EditorToolbarItem& itemFor(Command command) {
    for (const auto& item : EditorToolbarItems::primary()) {
        if (item.command == command) {
            return item;
        }
    }
    throw std::logic_error("no such toolbar item");
}

const EditorToolbarItem& toolItem(const AnnotationTool& tool) {
    return *EditorToolbarItems::itemForTool(tool);
}

/// A toolbar in a window standing for the editor, over a model on fakes.
class EditorToolbarTest : public ::testing::Test {
protected:
    void SetUp() override { makeToolbar({}); }

    void makeToolbar(EditorToolbarActions actions, bool dark = false) {
        toolbar.reset();
        window = std::make_unique<QWidget>();
        window->resize(1000, 700);
        toolbar = std::make_unique<EditorToolbar>(*harness.editor, english, dark, std::move(actions), window.get());
        window->show();
        toolbar->place({200, 100, 600, 400}, window->rect());
    }

    QToolButton* button(const EditorToolbarItem& item) const { return toolbar->button(item); }
    void click(QAbstractButton* target) const {
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    }
    EditorSecondaryToolbar& secondary() const { return *toolbar->secondary(); }
    const AnnotationToolOptions& options() const { return harness.editor->style().options(); }
    /// The bar as placed in the window, without its shadow.
    QRect placedBar(const QWidget& bar) const {
        return bar.geometry().marginsRemoved(EditorToolbarChrome::shadowMargins());
    }

    testing_support::EditorHarness harness;
    LocalizationStore english{[] { return std::vector<std::string>{"en"}; }};
    std::unique_ptr<QWidget> window;
    std::unique_ptr<EditorToolbar> toolbar;
};

/// Whether some pixel of the icon is drawn (a missing drawing gives an empty or blank icon).
bool drawsSomething(const QIcon& icon, QIcon::Mode mode, QIcon::State state) {
    const QImage image = icon.pixmap(QSize(16, 16), 1.0, mode, state).toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(EditorToolbarTest, EveryButtonHasItsIconInEveryState) {
    for (const auto& item : EditorToolbarItems::primary()) {
        const QIcon icon = button(item)->icon();
        EXPECT_TRUE(drawsSomething(icon, QIcon::Normal, QIcon::Off)) << item.symbol;
        EXPECT_TRUE(drawsSomething(icon, QIcon::Normal, QIcon::On)) << item.symbol << " checked";
        EXPECT_TRUE(drawsSomething(icon, QIcon::Disabled, QIcon::Off)) << item.symbol << " disabled";
    }
}

TEST_F(EditorToolbarTest, ClickingAToolSelectsItAndClickingItAgainPutsItDown) {
    int changes = 0;
    toolbar->onModelChanged = [&] { ++changes; };
    QToolButton* shape = button(toolItem(AnnotationTool::shape()));
    QToolButton* arrow = button(toolItem(AnnotationTool::arrow()));
    EXPECT_FALSE(shape->isChecked());

    click(shape);
    EXPECT_EQ(harness.editor->selectedTool(), AnnotationTool::shape());
    EXPECT_TRUE(shape->isChecked());
    EXPECT_EQ(changes, 1);

    click(arrow);
    EXPECT_EQ(harness.editor->selectedTool(), AnnotationTool::arrow());
    EXPECT_TRUE(arrow->isChecked());
    EXPECT_FALSE(shape->isChecked()) << "one tool at a time";

    click(arrow);
    EXPECT_EQ(harness.editor->selectedTool(), std::nullopt);
    EXPECT_FALSE(arrow->isChecked());

    harness.editor->selectTool(AnnotationTool::text());
    toolbar->refresh();
    EXPECT_TRUE(button(toolItem(AnnotationTool::text()))->isChecked()) << "a tool chosen by key shows too";
}

TEST_F(EditorToolbarTest, TheWindowsToolActionReplacesTheModelCall) {
    std::vector<std::optional<AnnotationTool>> asked;
    EditorToolbarActions actions;
    actions.selectTool = [&](std::optional<AnnotationTool> tool) {
        asked.push_back(tool);
        harness.editor->selectTool(tool);
    };
    makeToolbar(std::move(actions));
    click(button(toolItem(AnnotationTool::number())));
    click(button(toolItem(AnnotationTool::number())));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], AnnotationTool::number());
    EXPECT_EQ(asked[1], std::nullopt);
}

TEST_F(EditorToolbarTest, UndoIsEnabledOnlyWithSomethingToUndo) {
    QToolButton* undo = button(itemFor(Command::undo));
    EXPECT_FALSE(undo->isEnabled());
    harness.editor->appendAnnotation(RectangleAnnotation{Uuid::generate(),
                                                         {{10, 10}, {50, 40}},
                                                         ShapeKind::rectangle,
                                                         ShapeFillMode::stroke,
                                                         AnnotationColorPalette::fixedColors[0],
                                                         4});
    toolbar->refresh();
    ASSERT_TRUE(undo->isEnabled());
    click(undo);
    EXPECT_TRUE(harness.editor->annotations().empty());
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(EditorToolbarTest, WindowStateChecksBackgroundAndDisablesTranslate) {
    EXPECT_FALSE(button(itemFor(Command::background))->isChecked());
    EXPECT_TRUE(button(itemFor(Command::translate))->isEnabled());
    EditorToolbarContext context;
    context.backgroundOn = true;
    context.translationAvailable = false;
    toolbar->setContext(context);
    EXPECT_TRUE(button(itemFor(Command::background))->isChecked());
    EXPECT_FALSE(button(itemFor(Command::translate))->isEnabled());
    EXPECT_FALSE(button(itemFor(Command::textRecognition))->isChecked());
    harness.editor->setInteractionMode(EditorInteractionMode::liveText);
    toolbar->refresh();
    EXPECT_TRUE(button(itemFor(Command::textRecognition))->isChecked()) << "read from the model";
}

TEST_F(EditorToolbarTest, ButtonsRunTheWindowsActionsElseTheModelsOwn) {
    int backgrounds = 0;
    int pins = 0;
    EditorToolbarActions actions;
    actions.toggleBackground = [&] {
        ++backgrounds;
        EditorToolbarContext on;
        on.backgroundOn = true;
        toolbar->setContext(on);
    };
    actions.pin = [&] { ++pins; };
    makeToolbar(std::move(actions));
    click(button(itemFor(Command::background)));
    EXPECT_EQ(backgrounds, 1);
    EXPECT_TRUE(button(itemFor(Command::background))->isChecked());
    click(button(itemFor(Command::pin)));
    EXPECT_EQ(pins, 1);
    EXPECT_TRUE(harness.pins.empty()) << "the window's action replaces the model's pin";

    click(button(itemFor(Command::save)));
    EXPECT_EQ(harness.finished.size(), 1u) << "no save action given: the model saves";
    EXPECT_TRUE(harness.editor->hasFinished());
}

TEST_F(EditorToolbarTest, AnActionThatClosesTheEditorMayDeleteTheToolbar) {
    EditorToolbarActions actions;
    actions.cancel = [&] { toolbar.reset(); };
    makeToolbar(std::move(actions));
    click(button(itemFor(Command::cancel)));
    EXPECT_EQ(toolbar, nullptr);
}

TEST_F(EditorToolbarTest, TooltipsNameTheItemAndItsDesktopShortcut) {
    EXPECT_EQ(button(itemFor(Command::save))->toolTip().toStdString(),
              english.text(L10nKey::toolbarSave) + " (Ctrl+S)");
    EXPECT_EQ(button(itemFor(Command::undo))->toolTip().toStdString(),
              english.text(L10nKey::toolbarUndo) + " (Ctrl+Z)");
    EXPECT_EQ(button(itemFor(Command::cancel))->toolTip().toStdString(),
              english.text(L10nKey::toolbarCancel) + " (Esc)");
    EXPECT_EQ(button(toolItem(AnnotationTool::shape()))->toolTip().toStdString(),
              english.text(L10nKey::toolShape) + " (R, E)");
    EXPECT_EQ(button(toolItem(AnnotationTool::stroke(StrokeMode::brush)))->toolTip().toStdString(),
              english.text(L10nKey::toolBrush) + " (P)");

    AppPreferences preferences = AppPreferences::defaults();
    preferences.editorSaveHotkey = {"S", {HotkeyModifiers::command | HotkeyModifiers::shift}};
    toolbar->setHotkeyPreferences(preferences);
    EXPECT_EQ(button(itemFor(Command::save))->toolTip().toStdString(),
              english.text(L10nKey::toolbarSave) + " (Ctrl+Shift+S)");
}

TEST_F(EditorToolbarTest, TheSecondaryBarOffersTheSelectedToolsOptions) {
    EXPECT_FALSE(secondary().isVisible()) << "no tool, no options";

    click(button(toolItem(AnnotationTool::shape())));
    ASSERT_TRUE(secondary().isVisible());
    EXPECT_EQ(secondary().controls(), (std::vector{Control::shapeKind, Control::shapeFill, Control::strokeWidth}));
    EXPECT_TRUE(secondary().choice(Control::shapeKind, 0)->isChecked());
    click(secondary().choice(Control::shapeKind, 1));
    EXPECT_EQ(options().selectedShapeKind, ShapeKind::ellipse);
    click(secondary().choice(Control::shapeFill, 1));
    EXPECT_EQ(options().selectedShapeFillMode, ShapeFillMode::fill);
    secondary().strokeWidthSlider()->setValue(9);
    EXPECT_EQ(options().selectedShapeStrokeWidth, 9);
    EXPECT_EQ(harness.storedPreferences.lastShapeAnnotationStrokeWidth, 9) << "remembered for the next editor";

    click(button(toolItem(AnnotationTool::arrow())));
    EXPECT_EQ(secondary().controls(), (std::vector{Control::arrowStyle, Control::strokeWidth}));
    EXPECT_EQ(secondary().strokeWidthSlider()->value(), options().selectedArrowStrokeWidth)
        << "each tool family shows its own width";
    click(secondary().choice(Control::arrowStyle, 1));
    EXPECT_EQ(options().selectedArrowStyle, ArrowStyle::geometric);

    click(button(toolItem(AnnotationTool::redaction())));
    click(secondary().choice(Control::redactionMode, 1));
    EXPECT_EQ(options().selectedRedactionMode, RedactionMode::mosaic);
    EXPECT_EQ(secondary().strokeWidthSlider(), nullptr);

    click(button(toolItem(AnnotationTool::text())));
    QComboBox* sizes = secondary().fontSizeBox();
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(sizes->currentData().toDouble(), options().selectedTextFontSize);
    sizes->setCurrentIndex(sizes->findData(48.0));
    EXPECT_EQ(options().selectedTextFontSize, 48);

    click(button(toolItem(AnnotationTool::number())));
    EXPECT_FALSE(secondary().isVisible());
}

TEST_F(EditorToolbarTest, TheSecondaryBarStandsBesideThePrimaryOneAwayFromTheSelection) {
    const QRect selection(200, 100, 600, 400);
    const Rect expected = EditorToolbarLayout::frame(
        {{200, 100}, {600, 400}}, {{0, 0}, {1000, 700}},
        {static_cast<double>(toolbar->barSize().width()), static_cast<double>(toolbar->barSize().height())});
    EXPECT_EQ(placedBar(*toolbar),
              QRectF(expected.minX(), expected.minY(), expected.width(), expected.height()).toRect());
    click(button(toolItem(AnnotationTool::line())));
    ASSERT_TRUE(secondary().isVisible());
    EXPECT_EQ(placedBar(secondary()).top(),
              placedBar(*toolbar).bottom() + 1 + static_cast<int>(EditorToolbarLayout::barSpacing));
    EXPECT_GT(placedBar(*toolbar).top(), selection.bottom());

    toolbar->place({200, 250, 600, 430}, window->rect());
    EXPECT_LT(placedBar(*toolbar).bottom(), 250) << "no room below: above the selection";
    EXPECT_LT(placedBar(secondary()).bottom(), placedBar(*toolbar).top());
}

TEST_F(EditorToolbarTest, FixedColoursBecomeTheSelectedColourWithoutEnteringTheRecentOnes) {
    QToolButton* style = button(itemFor(Command::style));
    click(style);
    EditorStylePanel* panel = toolbar->stylePanel();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_TRUE(style->isChecked());
    ASSERT_EQ(panel->fixedSwatches().size(), 5);
    EXPECT_TRUE(panel->fixedSwatches()[0]->isChecked()) << "red is the colour of a fresh editor";
    EXPECT_GE(placedBar(*panel).top(), style->mapTo(window.get(), QPoint(0, style->height())).y())
        << "opens below its button";

    click(panel->fixedSwatches()[3]);
    EXPECT_EQ(options().selectedColor, AnnotationColorPalette::fixedColors[3]);
    EXPECT_TRUE(harness.editor->style().recentColors().empty());
    EXPECT_FALSE(panel->isVisible()) << "a choice closes the panel";
    EXPECT_FALSE(style->isChecked());
    EXPECT_EQ(harness.storedPreferences.lastAnnotationColorHex, "#0A84FF");
}

TEST_F(EditorToolbarTest, ACustomColourGoesThroughTheStyleIntoTheRecentColours) {
    const StoredColor custom{0.2, 0.4, 0.6, 1};
    EditorStylePanel* panel = toolbar->stylePanel();
    int previews = 0;
    toolbar->onModelChanged = [&] { ++previews; };
    std::function<void(std::optional<StoredColor>)> finishPick;
    panel->setCustomColorPicker([&](QWidget*, const StoredColor& initial, auto preview, auto finish) {
        EXPECT_EQ(initial, options().selectedColor);
        preview(custom);
        finishPick = std::move(finish);
    });

    click(button(itemFor(Command::style)));
    click(panel->customColorButton());
    EXPECT_FALSE(panel->isVisible()) << "steps aside for the picker";
    EXPECT_EQ(previews, 1);
    ASSERT_TRUE(finishPick);
    finishPick(std::nullopt);
    EXPECT_EQ(options().selectedColor, AnnotationColorPalette::fixedColors[0]) << "cancelled";
    EXPECT_TRUE(harness.editor->style().recentColors().empty());

    click(button(itemFor(Command::style)));
    click(panel->customColorButton());
    finishPick(custom);
    EXPECT_EQ(options().selectedColor, custom);
    ASSERT_EQ(harness.editor->style().recentColors().size(), 1u);

    click(button(itemFor(Command::style)));
    ASSERT_EQ(panel->recentSwatches().size(), 1);
    EXPECT_TRUE(panel->recentSwatches()[0]->isChecked());
    click(panel->fixedSwatches()[1]);
    click(button(itemFor(Command::style)));
    ASSERT_EQ(panel->recentSwatches().size(), 1) << "the custom colour stays among the recent ones";
    EXPECT_FALSE(panel->recentSwatches()[0]->isChecked());
    EXPECT_TRUE(panel->fixedSwatches()[1]->isChecked());
}

TEST_F(EditorToolbarTest, TheStylePanelClosesOnAClickElsewhereOrEscAndItsButtonToggles) {
    QToolButton* style = button(itemFor(Command::style));
    EditorStylePanel* panel = toolbar->stylePanel();
    click(style);
    ASSERT_TRUE(panel->isVisible());
    click(style);
    EXPECT_FALSE(panel->isVisible()) << "the button closes what it opened";

    click(style);
    QTest::keyClick(panel, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());

    click(style);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(style->isChecked());

    click(style);
    click(button(toolItem(AnnotationTool::line())));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(harness.editor->selectedTool(), AnnotationTool::line()) << "a click on the toolbar still counts";
}

} // namespace
} // namespace brisklet
