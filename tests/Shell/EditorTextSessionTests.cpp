#include "Platform/Fake/CannedLanguageIdentifier.h"
#include "Platform/Fake/CannedTextRecognizer.h"
#include "Platform/Fake/CannedTranslator.h"
#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "Shell/Editor/EditorTextPanel.h"
#include "Shell/Editor/EditorToolbar.h"
#include "Shell/QtScreenshotEditor.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Editor/EditorTestSupport.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"
#include "ZelvorApp/Text/TranslationBridgeController.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using testing_support::gradientImage;
using testing_support::LogCapture;

/// A real editor (window, toolbar, text session) over fakes: a 400 × 300 screenshot at (20, 100)
/// of the screen whose canned text has two lines, "Hello brave world" above "Good morning".
class EditorTextSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        localization.apply(AppLanguage::english);
        AppPreferences preferences = AppPreferences::defaults();
        preferences.translationTargetLanguage = TranslationTargetLanguage::spanish;
        appModel.setPreferences(preferences);
        auto ocrQueue = std::make_unique<ManualSerialQueue>(ScreenshotOCRService::queueLabel);
        ocrWorker = ocrQueue.get();
        ocr = std::make_unique<ScreenshotOCRService>(recognizer, languages, std::move(ocrQueue), mainQueue);
        auto sessionQueue = std::make_unique<ManualSerialQueue>(TranslationBridgeController::queueLabel);
        translationWorker = sessionQueue.get();
        translation = std::make_unique<TranslationBridgeController>(translator, std::move(sessionQueue), mainQueue,
                                                                    [] { return AppLanguage::english; });
        // Normalised boxes, origin at the bottom-left as the recogniser gives them.
        recognizer.setObservations(
            {CannedTextRecognizer::line("Hello brave world", Rect{{0.1, 0.7}, {0.6, 0.1}}, 0.95f),
             CannedTextRecognizer::line("Good morning", Rect{{0.1, 0.4}, {0.5, 0.1}}, 0.95f)});
        editor = std::make_unique<QtScreenshotEditor>(
            QtScreenshotEditor::Services{renderer, codec, exportService, clock, mainQueue, appModel, localization,
                                         [this](const std::function<void(AppPreferences&)>& change) {
                                             AppPreferences changed = appModel.preferences();
                                             change(changed);
                                             appModel.setPreferences(changed);
                                         },
                                         false, ocr.get(), translation.get(), &background});
    }
    void TearDown() override {
        editor.reset();
        mainQueue.drain();
    }

    void open(ScreenshotEditorInitialInteractionMode mode = ScreenshotEditorInitialInteractionMode::normal) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        ScreenshotEditorPort::Request request;
        request.image = gradientImage(400, 300);
        request.screen.frame =
            Rect{{0, 0}, {static_cast<double>(screen.width()), static_cast<double>(screen.height())}};
        // Desktop points have y upward: 100 points below the screen's top.
        request.selectionRect = Rect{{20, static_cast<double>(screen.height()) - 400}, {400, 300}};
        request.mode = mode;
        editor->open(std::move(request), {});
        clock.advance(1); // past the guard that refuses closing actions right after opening
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->property("briskletWindowRole").toString() == QStringLiteral("screenshotEditor") &&
                widget->isVisible()) {
                window = widget;
            }
        }
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    /// Runs recognition and translation to the end, as their worker threads would.
    void settle() {
        // Only what is due now: the editor also keeps timers of its own on the main queue.
        do {
            mainQueue.drain();
        } while (ocrWorker->runPending() > 0 || translationWorker->runPending() > 0);
        mainQueue.drain();
    }
    QToolButton* toolbarButton(EditorToolbarCommand command) const {
        // The bars have no meta-object of their own: found by name.
        auto* toolbar = static_cast<EditorToolbar*>(window->findChild<QWidget*>(QStringLiteral("editorToolbar")));
        for (const EditorToolbarItem& item : EditorToolbarItems::primary()) {
            if (item.command == command) {
                return toolbar->button(item);
            }
        }
        return nullptr;
    }
    EditorTextPanel* panel() const {
        return static_cast<EditorTextPanel*>(window->findChild<QWidget*>(QStringLiteral("editorTextPanel")));
    }
    QString shownText() const { return panel()->sourceView()->toPlainText(); }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(window, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step) {
            const QPoint at = from + (to - from) * step / 4;
            QMouseEvent move(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
            QCoreApplication::sendEvent(window, &move);
        }
        QTest::mouseRelease(window, Qt::LeftButton, {}, to);
    }
    QRgb pixel(QPoint at) const { return window->grab().toImage().pixel(at); }

    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    LogCapture log{clock};
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    AppModel appModel;
    QtAnnotationRenderer renderer;
    BackgroundQtRenderer background;
    LinuxImageCodec codec;
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService exportService{pasteboard, tracker};
    CannedTextRecognizer recognizer;
    CannedLanguageIdentifier languages{"en"};
    CannedTranslator translator;
    ManualSerialQueue* ocrWorker = nullptr;
    ManualSerialQueue* translationWorker = nullptr;
    std::unique_ptr<ScreenshotOCRService> ocr;
    std::unique_ptr<TranslationBridgeController> translation;
    std::unique_ptr<QtScreenshotEditor> editor;
    QWidget* window = nullptr;
};

// Word boxes in the window: "Hello" (60–140, 160–190), "brave" (140–220), "Good" (60–135, 250–280).
const QPoint hello(90, 175);
const QPoint brave(180, 175);
const QPoint good(80, 265);

TEST_F(EditorTextSessionTest, TheTextButtonShowsWordBoxesAndThePanelAndPressedAgainLeaves) {
    open();
    const QPoint helloTopEdge(100, 158);
    const QRgb before = pixel(helloTopEdge);
    QToolButton* button = toolbarButton(EditorToolbarCommand::textRecognition);
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_NE(panel(), nullptr);
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_EQ(panel()->statusLabel()->text().toStdString(), localization.text(L10nKey::errorOCRRecognizing));
    settle();
    EXPECT_EQ(shownText(), QStringLiteral("Hello brave world\n\nGood morning")) << "the Markdown of all lines";
    const QRgb after = pixel(helloTopEdge);
    EXPECT_GT(qBlue(after) - qRed(after), qBlue(before) - qRed(before) + 40) << "a blue box edge over the word";
    EXPECT_TRUE(button->isChecked());
    EXPECT_FALSE(
        panel()->geometry().marginsRemoved(EditorToolbarChrome::shadowMargins()).intersects(QRect(20, 100, 400, 300)))
        << "the panel stands beside the screenshot";
    for (const char* line : {"editor enterTextRecognition resolvedMode=classicOCR liveTextSupported=false",
                             "editor focusActiveInteractionView responder=self mode=classicOCR",
                             "editor applyRecognizedTextLines count=2"}) {
        EXPECT_TRUE(log.contains(line)) << line;
    }
    EXPECT_TRUE(log.containsPrefix("editor currentOCRSourceImage source=baseImage fallback error="));

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(qBlue(pixel(helloTopEdge)) - qRed(pixel(helloTopEdge)), qBlue(before) - qRed(before))
        << "the boxes are gone";
}

TEST_F(EditorTextSessionTest, TheTextPanelKeepsClearOfTheBackgroundPanel) {
    open();
    QTest::mouseClick(toolbarButton(EditorToolbarCommand::background), Qt::LeftButton);
    const QWidget* backgroundPanel = window->findChild<QWidget*>(QStringLiteral("editorBackgroundPanel"));
    ASSERT_NE(backgroundPanel, nullptr);
    ASSERT_TRUE(backgroundPanel->isVisible());
    QTest::mouseClick(toolbarButton(EditorToolbarCommand::textRecognition), Qt::LeftButton);
    settle();
    ASSERT_TRUE(panel()->isVisible());
    EXPECT_TRUE(backgroundPanel->isVisible());
    const QMargins shadow = EditorToolbarChrome::shadowMargins();
    EXPECT_FALSE(panel()->geometry().marginsRemoved(shadow).intersects(
        backgroundPanel->geometry().marginsRemoved(shadow)))
        << "text panel " << panel()->geometry().x() << "," << panel()->geometry().width() << " background panel "
        << backgroundPanel->geometry().x();
}

TEST_F(EditorTextSessionTest, DraggingAcrossWordsSelectsThemAndCtrlCCopiesThem) {
    open(ScreenshotEditorInitialInteractionMode::textRecognition);
    settle();
    drag(hello, brave);
    EXPECT_EQ(shownText(), QStringLiteral("Hello brave"));
    EXPECT_EQ(panel()->copyButton()->text().toStdString(), localization.text(L10nKey::toolbarCopy));
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(pasteboard.readText(), "Hello brave");
    EXPECT_TRUE(editor->isOpen()) << "copying words keeps the editor open";

    QTest::mouseDClick(window, Qt::LeftButton, {}, good);
    EXPECT_EQ(shownText(), QStringLiteral("Good morning")) << "a double click takes the whole line";
    drag(brave, hello);
    EXPECT_EQ(shownText(), QStringLiteral("Hello brave")) << "backwards selects the same words";
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(370, 380));
    EXPECT_EQ(shownText(), QStringLiteral("Hello brave world\n\nGood morning")) << "a click between words clears";
    QTest::mouseClick(panel()->copyButton(), Qt::LeftButton);
    EXPECT_EQ(pasteboard.readText(), "Hello brave world\n\nGood morning");
}

TEST_F(EditorTextSessionTest, TranslateShowsTheTranslationAndTheMenuChangesAndRemembersTheTarget) {
    open();
    QTest::mouseClick(toolbarButton(EditorToolbarCommand::translate), Qt::LeftButton);
    settle();
    ASSERT_TRUE(panel()->translationView()->isVisible());
    EXPECT_EQ(panel()->translationView()->toPlainText(), QStringLiteral("[es] HELLO BRAVE WORLD\nGOOD MORNING"));
    EXPECT_EQ(panel()->targetMenu()->currentText().toStdString(),
              localization.translationLanguageDisplayName(TranslationTargetLanguage::spanish));

    panel()->targetMenu()->setCurrentIndex(panel()->targetMenu()->findData(QStringLiteral("fr")));
    settle();
    EXPECT_EQ(panel()->translationView()->toPlainText(), QStringLiteral("[fr] HELLO BRAVE WORLD\nGOOD MORNING"));
    EXPECT_EQ(appModel.preferences().translationTargetLanguage, TranslationTargetLanguage::french);

    drag(hello, brave);
    EXPECT_FALSE(panel()->translationView()->isVisible()) << "a new selection waits to be translated";
    QTest::mouseClick(panel()->translateButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(panel()->translationView()->toPlainText(), QStringLiteral("[fr] HELLO BRAVE"));
    QTest::mouseClick(panel()->copyTranslationButton(), Qt::LeftButton);
    EXPECT_EQ(pasteboard.readText(), "[fr] HELLO BRAVE");
}

TEST_F(EditorTextSessionTest, MissingLanguageDataNamesThePackageToInstall) {
    translator.setStatus("en", "es", TranslationAvailabilityStatus::supported);
    translator.setMissingPackages({"apertium-eng-spa"});
    translator.failText("Hello brave world\nGood morning",
                        CannedTranslator::error(TranslatorErrorKind::internalError, "no mode installed"));
    open(ScreenshotEditorInitialInteractionMode::translate);
    settle();
    QLabel* message = panel()->translationMessageLabel();
    ASSERT_TRUE(message->isVisible());
    EXPECT_TRUE(message->text().contains(
        QString::fromStdString(localization.text(L10nKey::errorTranslationResourcesNeedDownload))));
    EXPECT_TRUE(message->text().contains(QStringLiteral("apt-get install apertium-eng-spa")));
    EXPECT_FALSE(panel()->translationView()->isVisible());
}

} // namespace
} // namespace brisklet
