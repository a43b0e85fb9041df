// A tall page for the end-to-end tests of scrolling captures: a known picture (rows of coloured
// blocks with their numbers, four viewports tall) in a viewport without scroll bars that moves
// a fixed distance per wheel click. It prints "mapped" once shown and "offset N" after every
// scroll.
//
// Usage: e2e-scroll-target TITLE X Y [PICTURE.png]   shows the page (and writes the whole picture)
//        e2e-scroll-target --compare PICTURE.png RESULT.png LEFT TOP BOTTOM
//            checks that RESULT is the picture's columns from LEFT and rows from TOP to BOTTOM
//            rows short of its end: its height within 2 rows, and nearly every row equal to the
//            picture's row at the same place (give or take 3 rows)

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr int pageWidth = 560;
constexpr int viewportHeight = 400;
constexpr int pageHeight = 4 * viewportHeight;
constexpr int pixelsPerClick = 40;

/// The same sequence on every run.
class Sequence {
public:
    int next(int below) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(below));
    }

private:
    std::uint64_t state_ = 0x5eed;
};

/// Checks of a slightly lighter or darker shade of the block's colour, from a hash of where they
/// are: like text, every part of the page looks different from every other part, even scaled down.
void speckle(QPainter& painter, const QRect& block, const QColor& colour) {
    constexpr int cell = 8;
    for (int y = block.top() / cell * cell; y <= block.bottom(); y += cell) {
        for (int x = block.left() / cell * cell; x <= block.right(); x += cell) {
            const std::uint32_t hash =
                (static_cast<std::uint32_t>(x) * 73856093U) ^ (static_cast<std::uint32_t>(y) * 19349663U) ^ 0x9e3779b9U;
            const int shade = static_cast<int>((hash * 2654435761U) >> 27) - 16; // -16 ... 15
            painter.fillRect(QRect(x, y, cell, cell).intersected(block),
                             shade >= 0 ? colour.lighter(100 + 2 * shade) : colour.darker(100 - 2 * shade));
        }
    }
}

QImage drawPage() {
    QImage page(pageWidth, pageHeight, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    QFont font = painter.font();
    font.setPixelSize(18);
    font.setBold(true);
    painter.setFont(font);
    Sequence random;
    int row = 0;
    for (int y = 0; y < pageHeight; ++row) {
        const int height = std::min(40 + random.next(50), pageHeight - y);
        int x = 0;
        for (int block = 0; x < pageWidth; ++block) {
            const int width = block == 5 ? pageWidth - x : std::min(60 + random.next(120), pageWidth - x);
            const QColor colour = QColor::fromHsv(random.next(360), 90 + random.next(160), 120 + random.next(110));
            painter.fillRect(QRect(x, y, width, height), colour);
            speckle(painter, QRect(x, y, width, height), colour);
            x += width;
        }
        painter.setPen(row % 2 ? Qt::black : Qt::white);
        painter.drawText(QRect(12, y, pageWidth - 24, height), Qt::AlignVCenter | Qt::AlignLeft,
                         QStringLiteral("Row %1 — %2 px").arg(row).arg(y));
        painter.fillRect(QRect(0, y + height - 2, pageWidth, 2), QColor(30, 30, 30));
        y += height;
    }
    return page;
}

class ScrollTarget final : public QWidget {
public:
    explicit ScrollTarget(QImage page) : page_(std::move(page)) { setFixedSize(pageWidth, viewportHeight); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).drawImage(QPoint(0, 0), page_, QRect(0, offset_, pageWidth, viewportHeight));
    }
    void wheelEvent(QWheelEvent* event) override {
        const int clicks = event->angleDelta().y() / 120;
        const int next = std::clamp(offset_ - clicks * pixelsPerClick, 0, pageHeight - viewportHeight);
        if (next != offset_) {
            offset_ = next;
            repaint();
            std::printf("offset %d\n", offset_);
            std::fflush(stdout);
        }
        event->accept();
    }

private:
    QImage page_;
    int offset_ = 0;
};

double rowDistance(const QImage& a, int rowA, const QImage& b, int rowB, int left) {
    const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(rowA));
    const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(rowB)) + left;
    long total = 0;
    for (int x = 0; x < a.width(); ++x) {
        total += std::abs(qRed(pa[x]) - qRed(pb[x])) + std::abs(qGreen(pa[x]) - qGreen(pb[x])) +
                 std::abs(qBlue(pa[x]) - qBlue(pb[x]));
    }
    return static_cast<double>(total) / (3.0 * a.width());
}

int compare(const char* picturePath, const char* resultPath, int left, int top, int bottom) {
    const QImage picture = QImage(QString::fromLocal8Bit(picturePath)).convertToFormat(QImage::Format_RGB32);
    const QImage result = QImage(QString::fromLocal8Bit(resultPath)).convertToFormat(QImage::Format_RGB32);
    if (picture.isNull() || result.isNull()) {
        std::printf("unreadable picture or result\n");
        return 1;
    }
    const int expectedHeight = picture.height() - top - bottom;
    std::printf("result %dx%d expected height %d\n", result.width(), result.height(), expectedHeight);
    if (std::abs(result.height() - expectedHeight) > 2 || left + result.width() > picture.width()) {
        return 1;
    }
    int matched = 0;
    for (int y = 0; y < result.height(); ++y) {
        double best = 1e9;
        for (int d = -3; d <= 3; ++d) {
            const int row = top + y + d;
            if (row >= 0 && row < picture.height()) {
                best = std::min(best, rowDistance(result, y, picture, row, left));
            }
        }
        matched += best <= 8 ? 1 : 0;
    }
    const double share = static_cast<double>(matched) / result.height();
    std::printf("rows matched %d of %d (%.1f%%)\n", matched, result.height(), share * 100);
    return share >= 0.98 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 7 && std::string_view(argv[1]) == "--compare") {
        return compare(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
    }
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: e2e-scroll-target TITLE X Y [PICTURE.png]\n"
                             "       e2e-scroll-target --compare PICTURE.png RESULT.png LEFT TOP BOTTOM\n");
        return 2;
    }
    // A real X11 window, whatever platform the test run chose for the widget tests.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    const QImage page = drawPage();
    if (argc == 5 && !page.save(QString::fromLocal8Bit(argv[4]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[4]);
        return 1;
    }
    ScrollTarget window(page);
    window.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    window.move(std::atoi(argv[2]), std::atoi(argv[3]));
    window.show();
    std::printf("mapped\n");
    std::fflush(stdout);
    return application.exec();
}
