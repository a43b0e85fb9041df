// Writes a reproducible screen recording of a desktop application as numbered PNG frames
// (000.png, 001.png, …) for the GIF encoder comparison in scripts/bench. The frames imitate what
// users record: a window with a title bar, toolbar icons, a dark sidebar, a document of
// anti-aliased text with a photo-like picture, a moving pointer, a text selection being dragged,
// smooth scrolling and a click that changes the sidebar. Everything is drawn with QPainter from
// fixed data and a fixed seed, so two runs on one machine give identical files.
//
// Usage: brisklet_bench_gif_ui_frames OUTDIR [COUNT] (COUNT defaults to 100, at 20 frames a second)

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 500;
constexpr int kTitleHeight = 28;
constexpr int kToolbarBottom = 64;
constexpr int kSidebarWidth = 190;
constexpr int kStatusTop = 478;
constexpr int kLineHeight = 19;
constexpr int kDocumentLeft = kSidebarWidth + 36;

/// One block of the scrolling document: a heading, a paragraph or the picture.
struct Block {
    enum class Kind { heading, paragraph, picture };
    Kind kind;
    std::vector<QString> lines;
    int top = 0; // in document coordinates
    int height = 0;
};

/// What changes from frame to frame.
struct FrameState {
    QPointF pointer;
    double scroll = 0;
    int selectionLines = 0; // lines of the first paragraph selected so far
    int hoveredTool = -1;
    int hoveredItem = -1;
    int selectedItem = 1;
};

const std::array<const char*, 48> kWords = {
    "capture", "region", "window", "frame",   "palette", "export",  "record",  "screen", "select", "pointer",
    "colour",  "pixel",  "timing", "delay",   "scroll",  "text",    "editor",  "layer",  "shadow", "border",
    "quickly", "before", "after",  "the",     "a",       "of",      "and",     "with",   "while",  "every",
    "simple",  "clear",  "small",  "bright",  "stored",  "shared",  "history", "notes",  "draft",  "review",
    "preview", "button", "panel",  "summary", "library", "options", "display", "motion"};

/// Deterministic words: the raw engine output is fixed by the C++ standard, unlike distributions.
QString sentence(std::mt19937& random, int words) {
    QString text;
    for (int i = 0; i < words; ++i) {
        QString word = QString::fromLatin1(kWords[random() % kWords.size()]);
        if (i == 0)
            word[0] = word[0].toUpper();
        text += (i ? " " : "") + word;
    }
    return text + ".";
}

/// Breaks `text` into lines no wider than `width` in `font`.
std::vector<QString> wrap(const QString& text, const QFont& font, int width) {
    const QFontMetrics metrics(font);
    std::vector<QString> lines;
    QString line;
    for (const QString& word : text.split(' ')) {
        const QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (metrics.horizontalAdvance(candidate) > width && !line.isEmpty()) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty())
        lines.push_back(line);
    return lines;
}

std::vector<Block> makeDocument(const QFont& body) {
    std::mt19937 random(20240611);
    std::vector<Block> blocks;
    int top = 24;
    const int textWidth = kWidth - kDocumentLeft - 40;
    for (int section = 0; section < 6; ++section) {
        Block title{Block::Kind::heading, {sentence(random, 3 + static_cast<int>(random() % 3))}, top, 34};
        blocks.push_back(title);
        top += title.height;
        for (int p = 0; p < 2; ++p) {
            QString text;
            for (int s = 0; s < 4; ++s)
                text += sentence(random, 6 + static_cast<int>(random() % 9)) + " ";
            Block paragraph{Block::Kind::paragraph, wrap(text.trimmed(), body, textWidth), top, 0};
            paragraph.height = static_cast<int>(paragraph.lines.size()) * kLineHeight + 12;
            blocks.push_back(paragraph);
            top += paragraph.height;
        }
        if (section % 2 == 0) {
            blocks.push_back(Block{Block::Kind::picture, {}, top, 190});
            top += 190 + 14;
        }
    }
    return blocks;
}

/// A photo-like picture: sky gradient, sun glow, hills and grain.
void drawPicture(QPainter& painter, const QRect& area, unsigned seed) {
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(255, 140, 90));
    sky.setColorAt(0.5, QColor(250, 200, 120));
    sky.setColorAt(1, QColor(90, 130, 200));
    painter.fillRect(area, sky);
    QRadialGradient sun(area.center() + QPoint(90, -30), 80);
    sun.setColorAt(0, QColor(255, 250, 220, 240));
    sun.setColorAt(1, QColor(255, 250, 220, 0));
    painter.fillRect(area, sun);
    QPainterPath hills;
    hills.moveTo(area.bottomLeft());
    for (int x = 0; x <= area.width(); x += 8) {
        const double y = area.bottom() - 50 - 25 * std::sin(x / 47.0) - 12 * std::sin(x / 13.0 + seed);
        hills.lineTo(area.left() + x, y);
    }
    hills.lineTo(area.bottomRight());
    QLinearGradient grass(area.left(), area.bottom() - 90, area.left(), area.bottom());
    grass.setColorAt(0, QColor(60, 140, 70));
    grass.setColorAt(1, QColor(20, 70, 40));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(hills, grass);
    std::mt19937 grain(seed);
    for (int i = 0; i < 1500; ++i) {
        const int x = area.left() + static_cast<int>(grain() % static_cast<unsigned>(area.width()));
        const int y = area.top() + static_cast<int>(grain() % static_cast<unsigned>(area.height()));
        painter.fillRect(x, y, 1, 1, QColor(255, 255, 255, 20 + static_cast<int>(grain() % 30)));
    }
}

void drawTitleBar(QPainter& painter, const QFont& font) {
    QLinearGradient fill(0, 0, 0, kTitleHeight);
    fill.setColorAt(0, QColor(236, 236, 238));
    fill.setColorAt(1, QColor(218, 218, 222));
    painter.fillRect(0, 0, kWidth, kTitleHeight, fill);
    painter.setRenderHint(QPainter::Antialiasing);
    const std::array<QColor, 3> buttons = {QColor(255, 95, 87), QColor(254, 188, 46), QColor(40, 200, 64)};
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(buttons[static_cast<std::size_t>(i)]);
        painter.setPen(buttons[static_cast<std::size_t>(i)].darker(120));
        painter.drawEllipse(QPointF(16 + i * 20, kTitleHeight / 2.0), 6, 6);
    }
    painter.setPen(QColor(60, 60, 66));
    painter.setFont(font);
    painter.drawText(QRect(0, 0, kWidth, kTitleHeight), Qt::AlignCenter, "Release notes.md — Writer");
}

void drawToolbar(QPainter& painter, const QFont& font, int hovered) {
    painter.fillRect(0, kTitleHeight, kWidth, kToolbarBottom - kTitleHeight, QColor(244, 244, 246));
    painter.fillRect(0, kToolbarBottom - 1, kWidth, 1, QColor(200, 200, 205));
    const std::array<QColor, 8> colours = {QColor(66, 133, 244), QColor(219, 68, 55),  QColor(244, 180, 0),
                                           QColor(15, 157, 88),  QColor(171, 71, 188), QColor(0, 172, 193),
                                           QColor(255, 112, 67), QColor(92, 107, 192)};
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 8; ++i) {
        const QRectF cell(12 + i * 38, kTitleHeight + 5, 30, 26);
        if (i == hovered) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(210, 220, 240));
            painter.drawRoundedRect(cell, 5, 5);
        }
        const QColor colour = colours[static_cast<std::size_t>(i)];
        painter.setBrush(colour);
        painter.setPen(QPen(colour.darker(130), 1));
        const QRectF icon = cell.adjusted(7, 5, -7, -5);
        if (i % 3 == 0)
            painter.drawEllipse(icon);
        else if (i % 3 == 1)
            painter.drawRoundedRect(icon, 3, 3);
        else
            painter.drawPolygon(
                QPolygonF({QPointF(icon.center().x(), icon.top()), icon.bottomRight(), icon.bottomLeft()}));
    }
    const QRectF search(kWidth - 210, kTitleHeight + 6, 196, 24);
    painter.setBrush(Qt::white);
    painter.setPen(QColor(190, 190, 196));
    painter.drawRoundedRect(search, 12, 12);
    painter.setPen(QColor(150, 150, 156));
    painter.setFont(font);
    painter.drawText(search.adjusted(14, 0, 0, 0), Qt::AlignVCenter, "Search in document");
}

void drawSidebar(QPainter& painter, const QFont& font, int hovered, int selected) {
    painter.fillRect(0, kToolbarBottom, kSidebarWidth, kStatusTop - kToolbarBottom, QColor(43, 47, 54));
    const std::array<const char*, 12> items = {"Inbox",       "Release notes", "Roadmap",  "Meeting 14 May",
                                               "Screenshots", "Design review", "Archive",  "Ideas",
                                               "Bug triage",  "Recordings",    "Personal", "Trash"};
    painter.setFont(font);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const QRect row(8, kToolbarBottom + 10 + i * 28, kSidebarWidth - 16, 24);
        if (i == selected) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(52, 120, 246));
            painter.drawRoundedRect(row, 5, 5);
        } else if (i == hovered) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(62, 68, 78));
            painter.drawRoundedRect(row, 5, 5);
        }
        painter.setBrush(i == selected ? QColor(255, 255, 255) : QColor(120, 170, 250));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(row.left() + 8, row.top() + 7, 14, 10), 2, 2);
        painter.setPen(i == selected ? QColor(255, 255, 255) : QColor(215, 218, 224));
        painter.drawText(row.adjusted(30, 0, 0, 0), Qt::AlignVCenter, items[static_cast<std::size_t>(i)]);
    }
}

void drawDocument(QPainter& painter, const std::vector<Block>& blocks, const QFont& body, const QFont& heading,
                  const FrameState& state) {
    const QRect viewport(kSidebarWidth, kToolbarBottom, kWidth - kSidebarWidth, kStatusTop - kToolbarBottom);
    painter.save();
    painter.setClipRect(viewport);
    painter.fillRect(viewport, Qt::white);
    const int offset = kToolbarBottom - static_cast<int>(std::lround(state.scroll));
    bool firstParagraph = true;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const Block& block = blocks[b];
        const int top = offset + block.top;
        if (top > kStatusTop || top + block.height < kToolbarBottom)
            continue;
        if (block.kind == Block::Kind::picture) {
            drawPicture(painter, QRect(kDocumentLeft, top, kWidth - kDocumentLeft - 40, block.height - 14),
                        static_cast<unsigned>(b));
            continue;
        }
        painter.setFont(block.kind == Block::Kind::heading ? heading : body);
        for (std::size_t l = 0; l < block.lines.size(); ++l) {
            const int y = top + static_cast<int>(l) * kLineHeight;
            const bool selected =
                block.kind == Block::Kind::paragraph && firstParagraph && static_cast<int>(l) < state.selectionLines;
            if (selected)
                painter.fillRect(kDocumentLeft - 2, y, kWidth - kDocumentLeft - 36, kLineHeight, QColor(179, 215, 255));
            painter.setPen(block.kind == Block::Kind::heading ? QColor(20, 20, 24) : QColor(50, 50, 56));
            painter.drawText(QPoint(kDocumentLeft, y + 14), block.lines[l]);
        }
        if (block.kind == Block::Kind::paragraph)
            firstParagraph = false;
    }
    // Scroll bar: the document is taller than the viewport.
    const int documentHeight = blocks.back().top + blocks.back().height;
    const double visible = static_cast<double>(viewport.height()) / documentHeight;
    const QRectF thumb(kWidth - 10, kToolbarBottom + state.scroll * visible, 6, viewport.height() * visible);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawRoundedRect(thumb, 3, 3);
    painter.restore();
}

void drawStatusBar(QPainter& painter, const QFont& font, const FrameState& state) {
    painter.fillRect(0, kStatusTop, kWidth, kHeight - kStatusTop, QColor(236, 236, 238));
    painter.fillRect(0, kStatusTop, kWidth, 1, QColor(200, 200, 205));
    painter.setPen(QColor(90, 90, 96));
    painter.setFont(font);
    const QString text = QString("%1 lines selected   ·   scrolled %2 px   ·   UTF-8   ·   Markdown")
                             .arg(state.selectionLines)
                             .arg(static_cast<int>(std::lround(state.scroll)));
    painter.drawText(QRect(12, kStatusTop, kWidth - 24, kHeight - kStatusTop), Qt::AlignVCenter, text);
}

void drawPointer(QPainter& painter, QPointF tip) {
    const QPolygonF arrow({tip, tip + QPointF(0, 17), tip + QPointF(4.5, 13), tip + QPointF(8, 20),
                           tip + QPointF(10.5, 19), tip + QPointF(7, 12), tip + QPointF(12, 12)});
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::black);
    painter.setPen(QPen(Qt::white, 1.3));
    painter.drawPolygon(arrow);
}

QPointF between(QPointF from, QPointF to, double t) {
    const double eased = t * t * (3 - 2 * t);
    return from + (to - from) * eased;
}

double progress(int frame, int first, int last) {
    return std::clamp(static_cast<double>(frame - first) / (last - first), 0.0, 1.0);
}

/// The storyboard, scaled to `count` frames: point at a tool, drag a selection, scroll, click in
/// the sidebar.
FrameState stateAt(int index, int count) {
    const int frame = index * 100 / std::max(count, 1);
    FrameState state;
    if (frame < 20) {
        state.pointer = between({700, 300}, {132, 46}, progress(frame, 0, 14));
        state.hoveredTool = frame >= 14 ? 3 : -1;
    } else if (frame < 45) {
        state.pointer = between({132, 46}, {kDocumentLeft + 2, 140}, progress(frame, 20, 26));
        state.pointer.ry() += 19 * 6 * progress(frame, 27, 44);
        state.pointer.rx() += 380 * progress(frame, 27, 44);
        state.selectionLines = static_cast<int>(std::lround(6 * progress(frame, 27, 44)));
    } else if (frame < 80) {
        state.selectionLines = 6;
        state.pointer = {kDocumentLeft + 382, 254};
        state.scroll = 520 * progress(frame, 46, 78) * progress(frame, 46, 78) * (3 - 2 * progress(frame, 46, 78));
    } else {
        state.selectionLines = 6;
        state.scroll = 520;
        state.pointer =
            between({kDocumentLeft + 382, 254}, {92, kToolbarBottom + 10 + 9 * 28 + 12}, progress(frame, 80, 90));
        state.hoveredItem = frame >= 88 ? 9 : -1;
        state.selectedItem = frame >= 92 ? 9 : 1;
    }
    return state;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "Usage: %s OUTDIR [COUNT]\n", argv[0]);
        return 2;
    }
    const int count = argc == 3 ? std::atoi(argv[2]) : 100;
    if (count < 1 || count > 999) {
        std::fprintf(stderr, "COUNT must be 1…999\n");
        return 2;
    }
    // No display is needed: fonts come from fontconfig and drawing goes into images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString outputDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outputDir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    QFont ui("DejaVu Sans");
    ui.setPixelSize(12);
    QFont body("DejaVu Serif");
    body.setPixelSize(14);
    QFont heading("DejaVu Sans");
    heading.setPixelSize(19);
    heading.setBold(true);
    const std::vector<Block> blocks = makeDocument(body);

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        const FrameState state = stateAt(i, count);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        drawTitleBar(painter, ui);
        drawToolbar(painter, ui, state.hoveredTool);
        drawSidebar(painter, ui, state.hoveredItem, state.selectedItem);
        drawDocument(painter, blocks, body, heading, state);
        drawStatusBar(painter, ui, state);
        drawPointer(painter, state.pointer);
        painter.end();
        const QString file = QString("%1/%2.png").arg(outputDir).arg(i, 3, 10, QChar('0'));
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
