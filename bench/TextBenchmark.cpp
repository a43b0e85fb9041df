// Text recognition on screenshots the way the editor runs it (preparation, Tesseract, language
// identification, cleaning), and Markdown formatting of a long recognised document.
// Run with QT_QPA_PLATFORM=offscreen: the screenshots are drawn with Qt's text rendering.

#include "Platform/Linux/Cld2/Cld2LanguageIdentifier.h"
#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/Linux/Tesseract/TesseractTextRecognizer.h"
#include "ZelvorApp/Text/OCRMarkdownFormatter.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using namespace brisklet;

QGuiApplication& application() {
    static int argc = 1;
    static char name[] = "brisklet_bench_text";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

void drawText(QPainter& painter, int x, int y, int pixelSize, const QString& text, QColor colour) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(x, y, text);
}

// A settings window: dark sidebar with entries, a toolbar, headings, paragraphs and a list.
Image makeUiScreenshot(int width, int height) {
    application();
    QImage canvas(width, height, QImage::Format_RGBA8888);
    canvas.fill(QColor(246, 246, 248));
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(0, 0, width / 5, height, QColor(38, 41, 48));
    painter.fillRect(width / 5, 0, width, 48, QColor(228, 228, 232));
    const QStringList sidebar{"General", "Shortcuts", "Screenshots", "Recording", "Library", "Advanced"};
    for (int i = 0; i < sidebar.size(); ++i) {
        drawText(painter, 32, 96 + i * 40, 15, sidebar[i], QColor(220, 220, 225));
    }
    drawText(painter, width / 5 + 24, 32, 14, "File   Edit   View   Window   Help", QColor(40, 40, 40));
    int y = 110;
    for (int section = 0; y < height - 60; ++section) {
        drawText(painter, width / 5 + 40, y, 22, QString("Section %1 settings:").arg(section + 1), QColor(20, 20, 20));
        y += 40;
        for (int line = 0; line < 3 && y < height - 40; ++line, y += 26) {
            drawText(painter, width / 5 + 40, y, 14,
                     "Captured images are saved to the export folder and copied to the clipboard when enabled.",
                     QColor(60, 60, 60));
        }
        for (int item = 0; item < 2 && y < height - 40; ++item, y += 26) {
            drawText(painter, width / 5 + 56, y, 14, QString("• Option %1 keeps its value after restart").arg(item + 1),
                     QColor(60, 60, 60));
        }
        y += 24;
    }
    painter.end();
    return fromQImage(canvas);
}

void recognise(benchmark::State& state, int width, int height) {
    const Image screenshot = makeUiScreenshot(width, height);
    TesseractTextRecognizer recognizer;
    Cld2LanguageIdentifier languages;
    std::size_t lines = 0;
    for (auto _ : state) {
        auto result = ScreenshotOCRService::recognizeTextNow(screenshot, recognizer, languages);
        if (!result.ok()) {
            state.SkipWithError(result.error().message.c_str());
            return;
        }
        lines = result.value().size();
        benchmark::DoNotOptimize(result);
    }
    state.counters["lines"] = static_cast<double>(lines);
}

void BM_RecogniseFullHdScreenshot(benchmark::State& state) {
    recognise(state, 1920, 1080);
}
BENCHMARK(BM_RecogniseFullHdScreenshot)->Unit(benchmark::kMillisecond)->Iterations(3);

// Just under the 1600-pixel limit, so it is recognised upscaled at 3198 × 600.
void BM_RecogniseUpscaledStrip(benchmark::State& state) {
    recognise(state, 1599, 300);
}
BENCHMARK(BM_RecogniseUpscaledStrip)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PrepareUpscaledStrip(benchmark::State& state) {
    const Image strip = makeUiScreenshot(1599, 300);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScreenshotOCRService::prepareImageForRecognition(strip));
    }
}
BENCHMARK(BM_PrepareUpscaledStrip)->Unit(benchmark::kMillisecond);

std::vector<RecognizedTextLine> makeDocument(int count) {
    std::vector<RecognizedTextLine> lines;
    double top = count * 30.0;
    for (int i = 0; i < count; ++i) {
        RecognizedTextLine line;
        line.index = i;
        switch (i % 10) {
        case 0:
            line.text = "Chapter " + std::to_string(i / 10) + ":";
            break;
        case 4:
        case 5:
            line.text = "• list entry number " + std::to_string(i);
            break;
        case 7:
            line.text = "这是第" + std::to_string(i) + "行中文内容";
            break;
        default:
            line.text = "Plain recognised words on line " + std::to_string(i) + "  with   extra   spaces";
        }
        line.bounds = Rect{{40, top - 18}, {600, 18}};
        top -= (i % 10 == 9) ? 60 : 24;
        lines.push_back(std::move(line));
    }
    return lines;
}

void BM_MarkdownOfTwoThousandLines(benchmark::State& state) {
    const auto lines = makeDocument(2000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(OCRMarkdownFormatter::markdown(lines));
    }
}
BENCHMARK(BM_MarkdownOfTwoThousandLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
