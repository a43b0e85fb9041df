// The OpenCV rectangle detector on pictures of screen content: a painted desktop with a window,
// a dialog and text (also at the density of a 4K screen), shapes at the request's limits, plain
// pictures, and a real Qt dialog rendered offscreen.

#include "Platform/Linux/OpenCV/OpenCVRectangleDetector.h"
#include "Platform/Linux/Qt/QtImageConversion.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace brisklet {
namespace {

// Widgets and text need a running QApplication; the shared test main knows nothing of Qt.
class QtApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[32] = "rectangle_detector_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

using Observations = std::vector<RectangleObservation>;

Observations detected(const QImage& picture, const RectangleDetectionRequest& request = {}) {
    const auto outcome = OpenCVRectangleDetector().detect(fromQImage(picture), request);
    EXPECT_TRUE(outcome.ok()) << (outcome.ok() ? "" : outcome.error());
    return outcome.ok() ? outcome.value() : Observations{};
}

/// Whether an observation, turned back into pixels with the origin at the top-left, has every
/// edge within `tolerance` of `expected`'s.
::testing::AssertionResult reports(const Observations& observations, const QRect& expected, QSize picture,
                                   double tolerance = 2) {
    auto failure = ::testing::AssertionFailure() << "none near " << expected.x() << "," << expected.y() << " "
                                                 << expected.width() << "x" << expected.height() << "; found:";
    for (const RectangleObservation& observation : observations) {
        const Rect& box = observation.boundingBox;
        const QRectF found(box.minX() * picture.width(), (1 - box.maxY()) * picture.height(),
                           box.width() * picture.width(), box.height() * picture.height());
        const QRectF want(expected);
        if (std::abs(found.left() - want.left()) <= tolerance && std::abs(found.top() - want.top()) <= tolerance &&
            std::abs(found.right() - want.right()) <= tolerance &&
            std::abs(found.bottom() - want.bottom()) <= tolerance) {
            return ::testing::AssertionSuccess();
        }
        failure << " " << found.x() << "," << found.y() << " " << found.width() << "x" << found.height();
    }
    return failure;
}

QImage canvas(QSize size, QColor background) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(background);
    return picture;
}

/// A framed box: `frame` exactly covers `box`'s outermost pixels.
void paintPanel(QPainter& painter, const QRect& box, QColor fill, QColor frame) {
    painter.fillRect(box, fill);
    painter.setPen(frame);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
}

void paintText(QPainter& painter, QPoint origin, int lines, const QString& text) {
    painter.setPen(QColor(40, 40, 40));
    for (int line = 0; line < lines; ++line) {
        painter.drawText(origin + QPoint(0, 14 + line * 18), text.arg(line * 37));
    }
}

const QRect window(120, 90, 860, 560);
const QRect dialog(380, 300, 420, 240);

/// A light desktop: a window with a title bar, a row of buttons and paragraphs of text, and a
/// dialog with a soft shadow, a message, a text field and two buttons; drawn `scale` times as
/// large the way a high-density screen shows it.
QImage desktop(int scale) {
    QImage picture = canvas(QSize(1280, 800) * scale, QColor(226, 229, 233));
    QPainter painter(&picture);
    painter.scale(scale, scale);
    const QColor frame(154, 160, 166);
    paintPanel(painter, window, Qt::white, frame);
    paintPanel(painter, QRect(window.topLeft(), QSize(window.width(), 32)), QColor(223, 225, 229), frame);
    paintText(painter, window.topLeft() + QPoint(12, 6), 1, "Quarterly report %1.txt — Editor");
    for (int button = 0; button < 6; ++button) {
        paintPanel(painter, QRect(window.x() + 12 + button * 80, window.y() + 44, 70, 24), QColor(245, 245, 245),
                   frame);
    }
    paintText(painter, window.topLeft() + QPoint(16, 84), 25, "Lorem ipsum dolor sit amet, consectetur %1 adipiscing");
    for (int shadow = 1; shadow <= 4; ++shadow) {
        painter.fillRect(dialog.translated(shadow, shadow), QColor(0, 0, 0, 12));
    }
    paintPanel(painter, dialog, QColor(247, 247, 248), QColor(138, 143, 150));
    paintText(painter, dialog.topLeft() + QPoint(20, 20), 2, "Save the changes (%1 lines) before closing?");
    paintPanel(painter, QRect(dialog.x() + 20, dialog.y() + 100, 380, 26), Qt::white, frame);
    paintPanel(painter, QRect(dialog.right() - 200, dialog.bottom() - 44, 90, 28), QColor(235, 235, 235), frame);
    paintPanel(painter, QRect(dialog.right() - 100, dialog.bottom() - 44, 90, 28), QColor(53, 132, 228), frame);
    return picture;
}

TEST(OpenCVRectangleDetector, FindsTheWindowAndTheDialogOnADesktopAndNothingElse) {
    for (const int scale : {1, 3}) {
        SCOPED_TRACE(scale);
        const QImage picture = desktop(scale);
        const QRect scaledWindow(window.topLeft() * scale, window.size() * scale);
        const QRect scaledDialog(dialog.topLeft() * scale, dialog.size() * scale);
        const Observations observations = detected(picture);

        EXPECT_TRUE(reports(observations, scaledWindow, picture.size(), scale + 1));
        EXPECT_TRUE(reports(observations, scaledDialog, picture.size(), scale + 1));
        // Nothing else qualifies: buttons, the text field and the title bar are too small or too
        // thin, the window's content area is the window again, the shadow is no frame, and the
        // paragraphs, which look like a block when shrunk, have no edge around them.
        EXPECT_EQ(observations.size(), 2u);
        for (std::size_t i = 0; i < observations.size(); ++i) {
            EXPECT_GE(observations[i].confidence, 0.65);
            EXPECT_LE(observations[i].confidence, 1.0);
            EXPECT_TRUE(i == 0 || observations[i - 1].confidence >= observations[i].confidence);
        }
    }
}

TEST(OpenCVRectangleDetector, LeavesOutShapesBeyondTheRequestsLimitsAndFindsThemWithinLooserOnes) {
    QImage picture = canvas({1200, 800}, QColor(236, 236, 236));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(70, 110, 170);
    const QRect tiny(80, 80, 50, 50);    // below 0.08 of the picture's 800-pixel side
    const QRect strip(80, 300, 400, 96); // 96 / 400 = 0.24, narrower than 0.3
    painter.fillRect(tiny, ink);
    painter.fillRect(strip, ink);
    // Parallelograms 200 wide and 200 high, their sides leaning by 30° and by 10°.
    const auto leaning = [&](QPointF origin, double degrees) {
        const double shift = 200 * std::tan(degrees * M_PI / 180);
        const QPolygonF shape(
            {origin, origin + QPointF(200, 0), origin + QPointF(200 + shift, 200), origin + QPointF(shift, 200)});
        painter.setBrush(ink);
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(shape);
        return shape.boundingRect().toAlignedRect();
    };
    const QRect skewed30 = leaning({600, 60}, 30);
    const QRect skewed10 = leaning({600, 440}, 10);
    painter.end();

    const Observations strict = detected(picture);
    EXPECT_FALSE(reports(strict, tiny, picture.size(), 4));
    EXPECT_FALSE(reports(strict, strip, picture.size(), 4));
    EXPECT_FALSE(reports(strict, skewed30, picture.size(), 4));
    EXPECT_TRUE(reports(strict, skewed10, picture.size(), 4));

    RectangleDetectionRequest loose;
    loose.minimumSize = 0.05;
    loose.minimumAspectRatio = 0.2;
    loose.quadratureToleranceDegrees = 35;
    const Observations relaxed = detected(picture, loose);
    EXPECT_TRUE(reports(relaxed, tiny, picture.size()));
    EXPECT_TRUE(reports(relaxed, strip, picture.size()));
    EXPECT_TRUE(reports(relaxed, skewed30, picture.size(), 4));
}

TEST(OpenCVRectangleDetector, KeepsTheMostConfidentUpToTheMaximum) {
    QImage picture = canvas({1000, 700}, QColor(240, 240, 240));
    QPainter painter(&picture);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            // Fainter frames towards the end, so the confidences differ.
            const int shade = 60 + 12 * (row * 4 + column);
            paintPanel(painter, QRect(40 + column * 240, 40 + row * 220, 200, 180), Qt::white,
                       QColor(shade, shade, shade));
        }
    }
    painter.end();

    const Observations all = detected(picture);
    EXPECT_EQ(all.size(), 12u);
    RectangleDetectionRequest request;
    request.maximumObservations = 5;
    const Observations capped = detected(picture, request);
    ASSERT_EQ(capped.size(), 5u);
    EXPECT_EQ(capped, Observations(all.begin(), all.begin() + 5));
}

TEST(OpenCVRectangleDetector, FindsNothingInPlainPicturesAndFailsOnAnEmptyOne) {
    EXPECT_TRUE(detected(canvas({800, 600}, QColor(30, 30, 30))).empty());
    QImage wallpaper = canvas({1920, 1080}, Qt::black);
    QPainter painter(&wallpaper);
    QLinearGradient dusk(0, 0, 1920, 1080);
    dusk.setStops({{0, QColor(20, 30, 80)}, {1, QColor(220, 120, 90)}});
    painter.fillRect(wallpaper.rect(), dusk);
    painter.end();
    EXPECT_TRUE(detected(wallpaper).empty());

    const auto outcome = OpenCVRectangleDetector().detect(Image(), {});
    ASSERT_FALSE(outcome.ok());
    EXPECT_FALSE(outcome.error().empty());
}

// Frames a few pixels apart (a group box above a table) and grids and text that reach their
// frames run together when shrunk; only long straight edges keep them apart.
TEST(OpenCVRectangleDetector, FindsARealDialogItsTableAndItsTextBox) {
    QDialog form;
    auto* layout = new QVBoxLayout(&form);
    auto* options = new QGroupBox("Capture");
    (new QVBoxLayout(options))->addWidget(new QLineEdit("Quarterly figures"));
    layout->addWidget(options);
    auto* table = new QTableWidget(12, 4);
    for (int cell = 0; cell < 48; ++cell) {
        table->setItem(cell / 4, cell % 4, new QTableWidgetItem(QString("R%1C%2").arg(cell / 4).arg(cell % 4)));
    }
    layout->addWidget(table);
    auto* notes = new QTextEdit;
    notes->setPlainText(QString("A screenshot of the quarterly figures, taken before the meeting. ").repeated(12));
    layout->addWidget(notes);
    layout->addWidget(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel));
    form.resize(720, 640);
    form.show();
    QApplication::processEvents();
    const QRect frame(300, 80, 720, 640);

    QImage picture = canvas({1280, 800}, QColor(62, 70, 84));
    QPainter painter(&picture);
    painter.drawImage(frame.topLeft(), form.grab().toImage());
    painter.end();

    const Observations observations = detected(picture);
    EXPECT_TRUE(reports(observations, frame, picture.size()));
    EXPECT_TRUE(reports(observations, table->geometry().translated(frame.topLeft()), picture.size()));
    EXPECT_TRUE(reports(observations, notes->geometry().translated(frame.topLeft()), picture.size()));
}

} // namespace
} // namespace brisklet
