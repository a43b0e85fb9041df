// Pointer move to repaint while an arrow is dragged over a crowded screenshot: the real editor
// window over its model, every move sent as Qt would deliver it and the window repainted at once,
// so the number is what a person drawing feels per frame. Then the parts of one repaint of the
// window's still scene (what a paint costs when an annotation was just added or changed), drawn
// step by step, to show where that time goes.
//
// Usage: brisklet_bench_editor_drag [--moves N]   (default platform: offscreen)

#include "EditorBenchmarkAnnotations.h"
#include "Platform/Clock.h"
#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "Platform/Linux/QtRender/RedactionPainter.h"
#include "Shell/Editor/ScreenshotEditorWindow.h"
#include "SyntheticScreenshot.h"
#include "ZelvorApp/Editor/ScreenshotEditorModel.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"

#include <QApplication>
#include <QBackingStore>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace brisklet;
using Steady = std::chrono::steady_clock;

constexpr int viewWidth = 1920;
constexpr int viewHeight = 1080;
constexpr double targetMs = 8;

double millisecondsSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

struct Spread {
    double median = 0;
    double p95 = 0;
    double max = 0;
};

Spread spreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto rank = [&](double q) {
        const auto index = static_cast<std::size_t>(std::ceil(q * static_cast<double>(samples.size()))) - 1;
        return samples[std::min(index, samples.size() - 1)];
    };
    return {rank(0.5), rank(0.95), samples.back()};
}

/// A screenshot filling the 1920 × 1080 view: 4K shown at 0.5 (what a HiDPI screen's capture
/// looks like in the editor) or 1080p at 1.
struct Scenario {
    const char* label;
    int imageWidth;
    int imageHeight;
};

/// The editor's model and window over one screenshot, wired as QtScreenshotEditor wires them,
/// on in-memory clipboard and real renderer, codec and clock.
class EditorUnderTest {
public:
    EditorUnderTest(const QtAnnotationRenderer& renderer, const Scenario& scenario) {
        Image image = bench::syntheticScreenshot(scenario.imageWidth, scenario.imageHeight);
        // The frozen screen comes in the screen's device pixels.
        const double pixelRatio = qApp->devicePixelRatio();
        frozenScreen_ = toQImage(image)
                            .scaled(static_cast<int>(viewWidth * pixelRatio), static_cast<int>(viewHeight * pixelRatio),
                                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB32);
        ScreenshotEditorSetup setup;
        setup.baseImage = std::move(image);
        setup.viewBounds = Rect{{0, 0}, {viewWidth, viewHeight}};
        setup.selectionRect = setup.viewBounds;
        setup.preferences = AppPreferences::defaults();
        model_ = std::make_unique<ScreenshotEditorModel>(
            std::move(setup), ScreenshotEditorServices{renderer, codec_, exportService_, clock_},
            ScreenshotEditorCallbacks{});
        model_->setViewport(Rect{{0, 0}, {viewWidth, viewHeight}},
                            static_cast<double>(viewWidth) / scenario.imageWidth);
        for (AnnotationItem& item : bench::fiftyAnnotations(scenario.imageWidth, scenario.imageHeight)) {
            model_->appendAnnotation(std::move(item));
        }
        window_ = std::make_unique<ScreenshotEditorWindow>(*model_, renderer, frozenScreen_,
                                                           QRect(0, 0, viewWidth, viewHeight),
                                                           ScreenshotEditorWindow::Look{});
    }

    ScreenshotEditorModel& model() { return *model_; }
    ScreenshotEditorWindow& window() { return *window_; }
    /// The frozen screen the window shows around the picture, in the window's pixels.
    const QImage& frozenScreen() const { return frozenScreen_; }

private:
    LinuxImageCodec codec_;
    InMemoryPasteboard pasteboard_;
    AppClipboardWriteTracker tracker_;
    ExportService exportService_{pasteboard_, tracker_};
    SystemClock clock_;
    std::unique_ptr<ScreenshotEditorModel> model_;
    std::unique_ptr<ScreenshotEditorWindow> window_;
    QImage frozenScreen_;
};

bool showAndWaitForExposure(QWidget& window) {
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // Let the first paint and any configure events settle before measuring.
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return window.windowHandle() && window.windowHandle()->isExposed();
}

void sendMouse(QWidget& window, QEvent::Type type, QPointF at, Qt::MouseButton button) {
    QMouseEvent event(type, at, window.mapToGlobal(at), button, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
}

/// Where the pointer is on move `i`: a slow sweep across the middle of the picture, as a hand
/// draws an arrow.
QPointF pointerAt(int i) {
    return {760.0 + 3.0 * i, 520.0 + 1.5 * i + 12.0 * std::sin(i / 9.0)};
}

/// One move's time: the whole, and its two halves.
struct MoveTimes {
    std::vector<double> whole;
    std::vector<double> event;   ///< the pointer event through the model
    std::vector<double> repaint; ///< the synchronous repaint that follows
};

/// Press with the arrow tool, then for each move the event and a synchronous repaint, timed. The
/// button stays down, so the arrow is still in hand afterwards.
MoveTimes dragArrow(EditorUnderTest& editor, int moves) {
    editor.model().selectTool(AnnotationTool::arrow());
    QWidget& window = editor.window();
    window.repaint();
    sendMouse(window, QEvent::MouseButtonPress, QPointF(700, 500), Qt::LeftButton);
    MoveTimes times;
    for (int i = 0; i < moves; ++i) {
        const auto start = Steady::now();
        sendMouse(window, QEvent::MouseMove, pointerAt(i), Qt::NoButton);
        const auto moved = Steady::now();
        window.repaint();
        const auto end = Steady::now();
        times.whole.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        times.event.push_back(std::chrono::duration<double, std::milli>(moved - start).count());
        times.repaint.push_back(std::chrono::duration<double, std::milli>(end - moved).count());
    }
    return times;
}

void printDrag(const Scenario& scenario, const Spread& spread, int moves) {
    std::printf("  %-34s median %6.2f ms  p95 %6.2f ms  max %6.2f ms  (%d moves)\n", scenario.label, spread.median,
                spread.p95, spread.max, moves);
    std::printf("  %-34s median %s, p95 %s (target at most %.0f ms)\n", "", spread.median <= targetMs ? "met" : "MISSED",
                spread.p95 <= targetMs ? "met" : "MISSED", targetMs);
}

/// A picture like the one the window paints into: its backing store's, when that is an image.
QImage paintTargetLike(QWidget& window) {
    if (auto* image = dynamic_cast<QImage*>(window.backingStore()->paintDevice()); image && !image->isNull()) {
        QImage target(image->size(), image->format());
        target.setDevicePixelRatio(image->devicePixelRatio());
        return target;
    }
    return QImage(window.size() * window.devicePixelRatioF(), QImage::Format_RGB32);
}

const char* formatName(QImage::Format format) {
    switch (format) {
    case QImage::Format_RGB32:
        return "RGB32";
    case QImage::Format_ARGB32_Premultiplied:
        return "ARGB32 premultiplied";
    default:
        return "another format";
    }
}

/// The screenshot's transform and clip in the view, as the window sets them for the picture.
void enterImage(QPainter& painter, const EditorViewport& viewport) {
    const Rect& shown = viewport.displayedImageRect;
    painter.setClipRect(QRectF(shown.minX(), shown.minY(), shown.width(), shown.height()));
    painter.translate(shown.minX(), shown.minY());
    painter.scale(viewport.displayScale, viewport.displayScale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, viewport.displayScale != 1);
}

/// One paint's steps in the order they came, each with its time so far.
using PaintSteps = std::vector<std::pair<std::string, double>>;

/// The time of each named step over several paints, in the order the steps first came.
class StepTimes {
public:
    void add(const std::string& step, double ms) {
        if (!samples_.contains(step)) {
            order_.push_back(step);
        }
        samples_[step].push_back(ms);
    }
    /// Times `work` and adds it to this paint's `step`.
    template <class Work> static void time(PaintSteps& paint, const std::string& step, Work&& work) {
        const auto start = Steady::now();
        work();
        const double ms = millisecondsSince(start);
        const auto known = std::find_if(paint.begin(), paint.end(), [&](const auto& entry) { return entry.first == step; });
        if (known == paint.end()) {
            paint.emplace_back(step, ms);
        } else {
            known->second += ms;
        }
    }
    void print(const char* indent) const {
        for (const std::string& step : order_) {
            std::printf("%s%-44s %7.2f ms\n", indent, step.c_str(), spreadOf(samples_.at(step)).median);
        }
    }
    double median(const std::string& step) const { return spreadOf(samples_.at(step)).median; }

private:
    std::vector<std::string> order_;
    std::map<std::string, std::vector<double>> samples_;
};

std::string kindOf(const AnnotationItem& item) {
    std::string kind(item.caseName());
    if (const auto* redaction = item.as<RedactionAnnotation>()) {
        kind += redaction->mode == RedactionMode::blur ? " (blur)" : " (mosaic)";
    }
    return kind;
}

std::string counted(const std::string& kind, const std::vector<AnnotationItem>& items) {
    const auto count = std::count_if(items.begin(), items.end(), [&](const auto& item) { return kindOf(item) == kind; });
    return kind + " x" + std::to_string(count);
}

/// The view with the arrow in hand, painted step by step the way the window paints it, every
/// step timed where it happens, so the steps add up to one whole paint.
class PaintReplay {
public:
    PaintReplay(const QtAnnotationRenderer& renderer, EditorUnderTest& editor)
        : renderer_(renderer), model_(editor.model()), frozen_(editor.frozenScreen()),
          base_(toQImage(model_.baseImage()).convertToFormat(QImage::Format_RGB32)),
          target_(paintTargetLike(editor.window())) {}

    const QImage& target() const { return target_; }

    /// One paint. `redactions`, when given, are the redactions' patches made beforehand.
    void paint(StepTimes& times, const std::map<std::string, QImage>* redactions = nullptr) {
        PaintSteps steps;
        const EditorViewport& viewport = model_.viewport();
        const QRectF shown(viewport.displayedImageRect.minX(), viewport.displayedImageRect.minY(),
                           viewport.displayedImageRect.width(), viewport.displayedImageRect.height());
        const auto whole = Steady::now();
        QPainter painter(&target_);
        const std::string frozen =
            "frozen screen " + std::to_string(frozen_.width()) + "x" + std::to_string(frozen_.height());
        times.time(steps, frozen, [&] { painter.drawImage(QRect(0, 0, viewWidth, viewHeight), frozen_); });
        times.time(steps, "dimming around the picture", [&] {
            QPainterPath dim;
            dim.setFillRule(Qt::OddEvenFill);
            dim.addRect(QRectF(0, 0, viewWidth, viewHeight));
            dim.addRect(shown);
            painter.fillPath(dim, QColor(0, 0, 0, 71));
        });
        painter.save();
        enterImage(painter, viewport);
        char picture[64];
        std::snprintf(picture, sizeof picture, "screenshot %dx%d at scale %.2g", base_.width(), base_.height(),
                      viewport.displayScale);
        times.time(steps, picture, [&] { painter.drawImage(QPointF(0, 0), base_); });
        painter.setRenderHint(QPainter::Antialiasing);
        const AnnotationRenderOptions options = model_.renderOptions();
        for (const AnnotationItem& item : model_.annotations()) {
            times.time(steps, counted(kindOf(item), model_.annotations()), [&] {
                if (redactions && item.is<RedactionAnnotation>()) {
                    drawPatch(painter, redactions->at(item.id().toString()), *item.as<RedactionAnnotation>());
                } else {
                    renderer_.paintItem(painter, item, model_.baseImage(), options);
                }
            });
        }
        if (const auto draft = model_.draftItem()) {
            times.time(steps, "the arrow being drawn",
                       [&] { renderer_.paintItem(painter, *draft, model_.baseImage(), options); });
        }
        painter.restore();
        painter.end();
        for (const auto& [step, ms] : steps) {
            times.add(step, ms);
        }
        times.add("whole paint", millisecondsSince(whole));
    }

    /// Every redaction's patch, made once, keyed by the annotation.
    std::map<std::string, QImage> redactionPatches() const {
        std::map<std::string, QImage> patches;
        for (const AnnotationItem& item : model_.annotations()) {
            if (const auto* redaction = item.as<RedactionAnnotation>()) {
                if (auto patch = redactionPatch(model_.baseImage(), redaction->rect, redaction->mode)) {
                    patches[item.id().toString()] = toQImage(patch->pixels).copy();
                }
            }
        }
        return patches;
    }

    /// A paint from one picture of everything but the arrow being drawn, made beforehand.
    double paintOverLayer(const QImage& layer) {
        const auto start = Steady::now();
        QPainter painter(&target_);
        painter.drawImage(QPointF(0, 0), layer);
        enterImage(painter, model_.viewport());
        painter.setRenderHint(QPainter::Antialiasing);
        if (const auto draft = model_.draftItem()) {
            renderer_.paintItem(painter, *draft, model_.baseImage(), model_.renderOptions());
        }
        painter.end();
        return millisecondsSince(start);
    }

private:
    /// As the redaction painter draws its patch: replacing what lies under it.
    static void drawPatch(QPainter& painter, const QImage& patch, const RedactionAnnotation& redaction) {
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPointF(std::max(0.0, std::floor(redaction.rect.minX())),
                                  std::max(0.0, std::floor(redaction.rect.minY()))),
                          patch);
        painter.restore();
    }

    const QtAnnotationRenderer& renderer_;
    const ScreenshotEditorModel& model_;
    const QImage& frozen_;
    QImage base_;
    QImage target_;
};

/// Where one repaint's time goes, and what the same paint costs with the work that does not
/// change during a drag made once beforehand.
void printParts(const QtAnnotationRenderer& renderer, EditorUnderTest& editor) {
    constexpr int rounds = 25;
    PaintReplay replay(renderer, editor);
    StepTimes asDrawn;
    for (int i = 0; i < rounds; ++i) {
        replay.paint(asDrawn);
    }
    std::printf("  %-34s a repaint of the still scene, step by step (median of %d, into a "
                "%dx%d %s picture):\n",
                "", rounds, replay.target().width(), replay.target().height(), formatName(replay.target().format()));
    asDrawn.print("    ");

    const auto patches = replay.redactionPatches();
    StepTimes withPatches;
    for (int i = 0; i < rounds; ++i) {
        replay.paint(withPatches, &patches);
    }
    std::vector<double> overLayer;
    const QImage layer = replay.target().copy();
    for (int i = 0; i < rounds; ++i) {
        overLayer.push_back(replay.paintOverLayer(layer));
    }
    std::printf("  %-34s the same paint with the redaction patches made once: %.2f ms; from one picture of the "
                "finished annotations plus the arrow: %.2f ms\n",
                "", withPatches.median("whole paint"), spreadOf(overLayer).median);
}

int movesFrom(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--moves") == 0) {
            return std::max(1, std::atoi(argv[i + 1]));
        }
    }
    return 200;
}

} // namespace

int main(int argc, char** argv) {
    // As the application's main does: screen-sized buffers come from the heap, not fresh pages.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 48 << 20);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    const int moves = movesFrom(argc, argv);
    const QtAnnotationRenderer renderer;
    const Scenario scenarios[] = {{"4K screenshot 3840x2160 at 0.5", 3840, 2160},
                                  {"1080p screenshot 1920x1080 at 1", 1920, 1080}};
    std::printf("Pointer move to repaint, dragging an arrow over 50 annotations (1920x1080 window, platform %s, "
                "device pixel ratio %.3g)\n",
                qPrintable(QGuiApplication::platformName()), application.devicePixelRatio());
    for (const Scenario& scenario : scenarios) {
        EditorUnderTest editor(renderer, scenario);
        if (!showAndWaitForExposure(editor.window())) {
            std::fprintf(stderr, "the editor window was not exposed within 3 s\n");
            return 1;
        }
        const MoveTimes times = dragArrow(editor, moves);
        const Spread spread = spreadOf(times.whole);
        printDrag(scenario, spread, moves);
        std::printf("  %-34s pointer event through the model %.2f ms, repaint %.2f ms (medians)\n", "",
                    spreadOf(times.event).median, spreadOf(times.repaint).median);
        printParts(renderer, editor);
        sendMouse(editor.window(), QEvent::MouseButtonRelease, pointerAt(moves - 1), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    return 0;
}
