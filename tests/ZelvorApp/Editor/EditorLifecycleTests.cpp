#include "ZelvorApp/Editor/EditorTestSupport.h"

#include <gtest/gtest.h>

#include <variant>

namespace brisklet {
namespace {

using testing_support::EditorHarness;
using testing_support::gradientImage;
using testing_support::LogCapture;

TEST(EditorClosingGuardTest, TheOpeningInputCannotCloseTheEditorAtOnce) {
    EditorHarness h(AppPreferences::defaults(), /*appeared=*/false);
    LogCapture log(h.clock);
    h.editor->save("toolbar");
    EXPECT_TRUE(h.finished.empty()) << "not on screen yet";
    h.editor->editorDidAppear();
    h.clock.advance(0.34);
    h.key("RETURN");
    EXPECT_TRUE(h.finished.empty());
    EXPECT_TRUE(log.contains("screenshot editor suppressed initial closing action source=toolbar"));
    EXPECT_TRUE(log.contains("screenshot editor suppressed initial closing action source=keyDown"));
    h.clock.advance(0.02);
    h.key("RETURN");
    ASSERT_EQ(h.finished.size(), 1u);
    EXPECT_TRUE(h.finished[0].ok());
}

TEST(EditorClosingGuardTest, KeysCannotCloseTheEditorInTheMiddleOfADrag) {
    EditorHarness h;
    LogCapture log(h.clock);
    h.editor->selectTool(AnnotationTool::shape());
    h.editor->mouseDown({{10, 10}});
    h.editor->mouseDragged({{50, 50}});
    EXPECT_TRUE(h.key("RETURN"));
    EXPECT_TRUE(h.key("S", HotkeyModifiers::command));
    EXPECT_TRUE(h.finished.empty());
    EXPECT_TRUE(log.contains("screenshot editor suppressed keyboard closing action source=keyDown elapsedMs=1000 "
                             "phase=annotating activeMouseGesture=true"));
    EXPECT_TRUE(log.contains("editor hotkey action=save source=keyDown phase=annotating activeMouseGesture=true"));
    h.editor->copy("toolbar");
    EXPECT_EQ(h.copies.size(), 1u) << "a toolbar button is not refused during a drag";
}

TEST(EditorOutcomeTest, SaveWritesANewPngCopiesItAndReportsOnce) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::number());
    h.click({40, 40});
    h.editor->selectTool(AnnotationTool::text());
    h.click({100, 100});
    h.editor->setActiveText("typed, not committed");
    h.editor->save("toolbar");
    ASSERT_EQ(h.finished.size(), 1u);
    ASSERT_TRUE(h.finished[0].ok());
    const auto file = h.finished[0].value();
    EXPECT_EQ(file.parent_path(), h.paths.root() / "exports");
    EXPECT_EQ(file.filename().string().rfind("screenshot_", 0), 0u);
    const auto written = h.codec.readFile(file);
    ASSERT_TRUE(written);
    EXPECT_EQ(written.value(), testing_support::gradientImage(400, 300));
    EXPECT_EQ(h.pasteboard.readImage(), written.value());
    EXPECT_EQ(h.renderer.flattenedItems.size(), 2u) << "the typed text was committed before rendering";
    EXPECT_EQ(h.tearDowns, 1);

    h.editor->save("toolbar");
    h.editor->cancel();
    EXPECT_EQ(h.finished.size(), 1u) << "an editor ends only once";
    EXPECT_EQ(h.cancels, 0);
}

TEST(EditorOutcomeTest, SaveFailuresAreReportedAndTheImageSurvivesOnTheClipboard) {
    EditorHarness h;
    LogCapture log(h.clock);
    std::ofstream(h.paths.root() / "exports") << "a file where the directory should be";
    h.editor->save("toolbar");
    ASSERT_EQ(h.finished.size(), 1u);
    ASSERT_FALSE(h.finished[0].ok());
    EXPECT_TRUE(std::holds_alternative<std::error_code>(h.finished[0].error().cause));
    EXPECT_TRUE(h.pasteboard.readImage());
    EXPECT_TRUE(log.containsPrefix("screenshot editor save failed error="));

    EditorHarness broken;
    broken.renderer.failFlattening = true;
    broken.editor->save("toolbar");
    ASSERT_EQ(broken.finished.size(), 1u);
    EXPECT_EQ(broken.finished[0].error().cause,
              (std::variant<ScreenshotEditorError, std::error_code>(ScreenshotEditorError::renderFailed)));
    EXPECT_EQ(broken.finished[0].error().description(), "renderFailed");
}

TEST(EditorOutcomeTest, CopyChoosesAFileOnlyForTheLibraryAndLogsItsTimings) {
    EditorHarness h;
    LogCapture log(h.clock);
    h.editor->copy("toolbar");
    ASSERT_EQ(h.copies.size(), 1u);
    EXPECT_EQ(h.copies[0].image, gradientImage(400, 300));
    ASSERT_TRUE(h.copies[0].persistenceURL);
    EXPECT_EQ(h.copies[0].persistenceURL->parent_path(), h.paths.root() / "exports");
    EXPECT_FALSE(std::filesystem::exists(*h.copies[0].persistenceURL)) << "the file is written later, elsewhere";
    EXPECT_EQ(h.pasteboard.readImage(), h.copies[0].image);
    EXPECT_TRUE(log.contains("screenshot copy prepared image={400, 300} selectionMs=0 renderMs=0 pasteboardMs=0 "
                             "totalMs=0 persist=true"));

    AppPreferences noLibrary = AppPreferences::defaults();
    noLibrary.saveScreenshotToVisualMemory = false;
    EditorHarness plain(noLibrary);
    plain.editor->copy("toolbar");
    ASSERT_EQ(plain.copies.size(), 1u);
    EXPECT_FALSE(plain.copies[0].persistenceURL);

    EditorHarness broken;
    broken.renderer.failFlattening = true;
    broken.editor->copy("toolbar");
    broken.editor->pin("toolbar");
    EXPECT_TRUE(broken.copies.empty());
    EXPECT_TRUE(broken.pins.empty());
    EXPECT_FALSE(broken.editor->hasFinished()) << "nothing rendered, so the editor stays open with the work";
}

TEST(EditorOutcomeTest, PinHandsOverTheImageAndItsFrame) {
    EditorHarness h;
    h.editor->pin("toolbar");
    ASSERT_EQ(h.pins.size(), 1u);
    EXPECT_EQ(h.pins[0].first.width(), 400);
    EXPECT_EQ(h.pins[0].second, (Rect{{100, 200}, {400, 300}}));
}

TEST(EditorKeyboardTest, EscapeEndsTheInnermostThingFirst) {
    EditorHarness h;
    h.editor->selectTool(AnnotationTool::text());
    h.click({100, 100});
    h.editor->setActiveText("note");
    EXPECT_TRUE(h.key("ESC"));
    EXPECT_EQ(h.editor->annotations().size(), 1u);
    EXPECT_EQ(h.cancels, 0);
    EXPECT_TRUE(h.key("ESC"));
    EXPECT_EQ(h.cancels, 1);
    EXPECT_EQ(h.tearDowns, 1);
    EXPECT_FALSE(h.key("ESC")) << "a finished editor takes no more keys";
}

TEST(EditorKeyboardTest, EditorHotkeysWaitWhileATextIsBeingTyped) {
    EditorHarness h;
    LogCapture log(h.clock);
    h.editor->selectTool(AnnotationTool::text());
    h.click({100, 100});
    EXPECT_FALSE(h.key("C", HotkeyModifiers::command)) << "the text box gets the key instead";
    EXPECT_TRUE(log.contains("editor hotkey ignored action=copy reason=activeTextEditor"));
    EXPECT_FALSE(h.key("RETURN")) << "Return types a new line";
    EXPECT_FALSE(h.key("DELETE"));
    EXPECT_TRUE(h.copies.empty());
    h.editor->commitActiveTextEdit();
    EXPECT_TRUE(h.editor->handleEditorHotkey(EditorHotkeyAction::pin, "hotkey"));
    EXPECT_EQ(h.pins.size(), 1u);
    EXPECT_TRUE(log.contains("editor hotkey action=pin source=hotkey phase=annotating activeMouseGesture=false"));
}

TEST(EditorKeyboardTest, CopyShortcutsPreferSelectedRecognizedText) {
    EditorHarness h;
    // The harness has no recognised text; the hotkey copies the image.
    EXPECT_TRUE(h.key("C", HotkeyModifiers::command));
    EXPECT_EQ(h.copies.size(), 1u);

    AppPreferences preferences = AppPreferences::defaults();
    preferences.editorCopyHotkey = {"K", {HotkeyModifiers::command}};
    EditorHarness custom(preferences);
    EXPECT_FALSE(custom.key("C", HotkeyModifiers::command)) << "⌘C copies recognised text only; there is none";
    EXPECT_TRUE(custom.key(" k ", HotkeyModifiers::command));
    EXPECT_EQ(custom.copies.size(), 1u);
}

TEST(EditorDoubleClickTest, DoubleClicksCloseOrCopyOnlyWithoutADrawingTool) {
    EditorHarness h;
    LogCapture log(h.clock);
    h.editor->selectTool(AnnotationTool::number());
    h.click({50, 50}, 1);
    h.click({50, 50}, 2);
    EXPECT_EQ(h.cancels, 0) << "with a tool in hand the second click is the tool's";
    h.editor->selectTool(std::nullopt);
    h.editor->rightMouseDown({{300, 200}, 2, EditorMouseButton::right});
    EXPECT_EQ(h.copies.size(), 1u) << "right double click: copy and close";
    EXPECT_TRUE(log.contains("editor doubleClick action=copyAndClose button=right"));

    EditorHarness closing;
    closing.click({300, 200}, 2);
    EXPECT_EQ(closing.cancels, 1);
}

TEST(EditorLoggingTest, MouseDownsNameWhatWasHit) {
    EditorHarness h;
    LogCapture log(h.clock);
    h.editor->selectTool(AnnotationTool::shape());
    h.drag({10, 10}, {60, 60});
    h.editor->mouseDown({{500, 500}});
    h.editor->rightMouseDown({{20, 20}, 1, EditorMouseButton::right});
    EXPECT_TRUE(log.contains(
        "editor mouseDown point={10, 10} clickCount=1 phase=annotating mode=annotation tool=shape hitView=image"));
    EXPECT_TRUE(log.contains(
        "editor mouseDown point={500, 500} clickCount=1 phase=annotating mode=annotation tool=shape hitView=outside"));
    EXPECT_TRUE(log.contains(
        "editor rightMouseDown point={20, 20} clickCount=1 phase=annotating mode=annotation tool=shape hitView=image"));
}

TEST(SelectionAdjustmentTest, MovingAndResizingTheRegionRecutsTheBaseImage) {
    ScreenshotEditorSetup setup;
    setup.screenSnapshot = gradientImage(800, 600);
    setup.viewBounds = {{0, 0}, {400, 300}};
    setup.selectionRect = {{50, 50}, {100, 80}};
    setup.snapshotPixelsPerPoint = 2;
    setup.startsAdjustingSelection = true;
    setup.baseImage = Image(200, 160);
    EditorHarness h(AppPreferences::defaults(), true, setup);
    ASSERT_EQ(h.editor->phase(), EditorPhase::adjustingSelection);
    EXPECT_EQ(h.editor->baseImage().width(), 200);
    EXPECT_EQ(h.editor->baseImage().row(0)[0], 100) << "cut from snapshot pixel (100, 100)";

    const SelectionAdjustmentController* selection = h.editor->selectionAdjustment();
    EXPECT_TRUE(std::holds_alternative<SelectionInteraction::Moving>(selection->grabAt({100, 90}).value));
    const auto corner = selection->grabAt({150, 130}).value;
    ASSERT_TRUE(std::holds_alternative<SelectionInteraction::Resizing>(corner));
    EXPECT_EQ(std::get<SelectionInteraction::Resizing>(corner).corner, ResizeCorner::bottomRight);
    EXPECT_TRUE(selection->grabAt({10, 10}).isNone()) << "outside the region nothing is grabbed";
    EXPECT_FALSE(selection->isInteracting()) << "asking what a press would grab starts nothing";

    h.drag({100, 90}, {130, 100}); // inside: moves by (30, 10) points
    EXPECT_EQ(selection->selectionRect(), (Rect{{80, 60}, {100, 80}}));
    EXPECT_EQ(h.editor->baseImage().row(0)[0], 160);
    EXPECT_EQ(h.editor->baseImage().row(0)[1], 120);

    h.drag({180, 140}, {0, 0}); // bottom-right handle pulled past the opposite corner
    EXPECT_EQ(selection->selectionRect(), (Rect{{80, 60}, {24, 24}})) << "never smaller than 24 × 24 points";
    EXPECT_EQ(h.editor->baseImage().width(), 48);
    EXPECT_EQ(h.editor->viewport().displayScale, 0.5);

    h.drag({90, 70}, {1000, 1000});
    EXPECT_EQ(selection->selectionRect().origin, (Point{376, 276})) << "kept on the screen";

    h.editor->selectTool(AnnotationTool::arrow());
    EXPECT_EQ(h.editor->phase(), EditorPhase::annotating);
    h.editor->finishSelectionAdjustment();
    EXPECT_EQ(selection->selectionRect().origin, (Point{376, 276})) << "settling again changes nothing";
    h.drag({380, 280}, {398, 298});
    ASSERT_EQ(h.itemsOf<ArrowAnnotation>().size(), 1u);
    EXPECT_EQ(h.itemsOf<ArrowAnnotation>()[0].end, (Point{44, 44})) << "view points become crop pixels";
}

} // namespace
} // namespace brisklet

namespace brisklet {
namespace {

TEST(EditorPlaceholder, TheRealPixelsReplaceThePlaceholderAndKeepTheAnnotations) {
    testing_support::EditorHarness harness;
    harness.editor->finishSelectionAdjustment(); // no region to settle: nothing happens
    harness.editor->selectTool(AnnotationTool::shape());
    harness.drag({20, 20}, {120, 80});
    ASSERT_EQ(harness.editor->annotations().size(), 1u);
    harness.editor->replaceBaseImage(testing_support::gradientImage(800, 600));
    EXPECT_EQ(harness.editor->baseImage().width(), 800);
    EXPECT_DOUBLE_EQ(harness.editor->viewport().displayScale, 0.5) << "the same 400 points now show 800 pixels";
    EXPECT_EQ(harness.editor->annotations().size(), 1u);
}

} // namespace
} // namespace brisklet
