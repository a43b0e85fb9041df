// Opens the GIF post-processing window on a made-up recording, for scripts/screenshots: a small
// application window whose progress bar fills while the pointer moves, with an arrow and a box
// drawn part-way through. Prints "ready frame=WxH+X+Y" (the window with its title bar) once it
// is shown, and quits after a minute.
//
// Usage: gif_post_window_demo light|dark [preset index] [exporting|failed]

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/Linux/Qt/QtMainQueue.h"
#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "Platform/Linux/QtRender/GIFQtAnnotationFrameRenderer.h"
#include "Shell/GifPost/GIFPostProcessingWindow.h"
#include "Shell/GifPost/QtGIFPostProcessing.h"
#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Recording/GIFPostProcessingModel.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <cstdio>
#include <string>

namespace brisklet {
namespace {

constexpr int frameWidth = 520;
constexpr int frameHeight = 320;
constexpr int frameCount = 60;
constexpr int fps = 15;

QImage appFrame(double progress, QPointF pointer) {
    QImage image(frameWidth, frameHeight, QImage::Format_RGBA8888);
    image.fill(QColor(0xf4, 0xf5, 0xf7));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, frameWidth, 34), QColor(0xe3, 0xe6, 0xea));
    const QColor lights[] = {QColor(0xff, 0x5f, 0x57), QColor(0xfe, 0xbc, 0x2e), QColor(0x28, 0xc8, 0x40)};
    for (int i = 0; i < 3; ++i) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(lights[i]);
        painter.drawEllipse(QPointF(18 + i * 18, 17), 5.5, 5.5);
    }
    painter.setPen(QColor(0x3a, 0x3f, 0x47));
    QFont title = painter.font();
    title.setPixelSize(13);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(0, 0, frameWidth, 34), Qt::AlignCenter, QStringLiteral("Release build"));
    QFont body = title;
    body.setBold(false);
    body.setPixelSize(14);
    painter.setFont(body);
    const char* lines[] = {"Compiling sources", "Running the tests", "Packaging"};
    for (int i = 0; i < 3; ++i) {
        const bool done = progress > (i + 1) / 3.0;
        painter.setPen(done ? QColor(0x1a, 0x7f, 0x37) : QColor(0x55, 0x5b, 0x66));
        painter.drawText(QPointF(32, 86 + i * 34),
                         QString::fromUtf8(done ? "✓  " : "•  ") + QString::fromLatin1(lines[i]));
    }
    const QRectF track(32, 210, frameWidth - 64, 14);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xdd, 0xe1, 0xe6));
    painter.drawRoundedRect(track, 7, 7);
    painter.setBrush(QColor(0x35, 0x84, 0xe4));
    painter.drawRoundedRect(QRectF(track.topLeft(), QSizeF(track.width() * progress, track.height())), 7, 7);
    painter.setPen(QColor(0x55, 0x5b, 0x66));
    painter.drawText(QRectF(32, 236, frameWidth - 64, 24), Qt::AlignRight,
                     QStringLiteral("%1%").arg(static_cast<int>(progress * 100)));
    QRectF button(frameWidth - 152, frameHeight - 58, 120, 34);
    painter.setPen(Qt::NoPen);
    painter.setBrush(progress >= 1 ? QColor(0x35, 0x84, 0xe4) : QColor(0xc9, 0xce, 0xd6));
    painter.drawRoundedRect(button, 8, 8);
    painter.setPen(Qt::white);
    painter.drawText(button, Qt::AlignCenter, QStringLiteral("Publish"));
    // The recorded pointer.
    QPainterPath arrow;
    arrow.moveTo(pointer);
    arrow.lineTo(pointer + QPointF(0, 17));
    arrow.lineTo(pointer + QPointF(4.5, 13));
    arrow.lineTo(pointer + QPointF(8, 20));
    arrow.lineTo(pointer + QPointF(10.5, 19));
    arrow.lineTo(pointer + QPointF(7, 12));
    arrow.lineTo(pointer + QPointF(12.5, 12));
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);
    return image;
}

GIFRecordingDraft demoDraft() {
    GIFRecordingDraft draft;
    draft.fps = fps;
    draft.recordingDuration = double(frameCount) / fps;
    for (int i = 0; i < frameCount; ++i) {
        const double t = double(i) / (frameCount - 1);
        const QPointF pointer(120 + t * (frameWidth - 220), 150 + t * (frameHeight - 200));
        draft.frames.push_back(
            {std::make_shared<const Image>(fromQImage(appFrame(std::min(1.0, t * 1.15), pointer))), double(i) / fps});
    }
    const GIFPrototypeColor red = GIFPrototypeColor::presets()[0];
    GIFAnnotationTimeline timeline;
    timeline.events.push_back(GIFAnnotationAdded{
        1.0, GIFPrototypeAnnotation{Uuid::generate(),
                                    GIFPrototypeRectangleAnnotation{{{20, 190}, {480, 72}}, red, 4, false}}});
    timeline.events.push_back(GIFAnnotationAdded{
        1.6, GIFPrototypeAnnotation{Uuid::generate(), GIFPrototypeArrowAnnotation{{250, 150}, {352, 252}, red, 4}}});
    draft.annotationExportPlan = GIFAnnotationExportPlan{timeline, Size{frameWidth, frameHeight}};
    return draft;
}

} // namespace
} // namespace brisklet

int main(int argc, char** argv) {
    using namespace brisklet;
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(brisklet);
    const bool dark = argc > 1 && std::string(argv[1]) == "dark";
    const int preset = argc > 2 ? std::stoi(argv[2]) : 6;
    const VisualAppearanceMode mode = dark ? VisualAppearanceMode::dark : VisualAppearanceMode::light;
    ShellAppearance::applyToApplication(mode);
    AppModel model;
    AppPreferences preferences = AppPreferences::defaults();
    preferences.visualAppearanceMode = mode;
    model.setPreferences(preferences);
    LocalizationStore localization;
    QtMainQueue mainQueue;
    const GIFQtAnnotationFrameRenderer annotations;
    const BackgroundQtRenderer background;
    QtGIFPostProcessing port({mainQueue, localization, model, &annotations, &background});
    port.present(demoDraft(), {[](GIFPostProcessingOptions) {}, [] { QCoreApplication::quit(); }});
    GIFPostProcessingModel& shown = *port.model();
    shown.setSelection(0.6, 3.4);
    shown.setPlayheadTime(2.2);
    const auto& presets = BackgroundPreset::all();
    if (preset >= 0 && preset < static_cast<int>(presets.size()))
        shown.setBackgroundChoice(GIFBackgroundChoice::preset(presets[static_cast<std::size_t>(preset)].id));
    const std::string state = argc > 3 ? argv[3] : "";
    if (state == "exporting" || state == "failed") {
        shown.beginExport();
        port.exportProgressed(0.42);
    }
    if (state == "failed")
        port.exportFailed(localization.text(L10nKey::errorGifExportFailed));
    QTimer::singleShot(800, [&port] {
        const QRect frame = port.window()->frameGeometry();
        std::printf("ready frame=%dx%d+%d+%d\n", frame.width(), frame.height(), frame.x(), frame.y());
        std::fflush(stdout);
    });
    QTimer::singleShot(60000, [] { QCoreApplication::quit(); });
    return application.exec();
}
