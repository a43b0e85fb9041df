#include "Shell/Editor/ScreenshotEditorWindow.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/Linux/QtRender/AnnotationFont.h"
#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "Shell/Editor/EditorToolbar.h"
#include "Shell/QtKeyTokens.h"
#include "ZelvorApp/Editor/EditorToolbarItems.h"
#include "ZelvorApp/Editor/ScreenshotEditorModel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <variant>

namespace brisklet {

namespace {

const QColor accent(0x35, 0x84, 0xe4);

QRectF toQt(const Rect& rect) {
    return QRectF(rect.minX(), rect.minY(), rect.width(), rect.height());
}

/// The picture in the backing store's own format, so each paint is a plain copy.
QImage displayable(const Image& image) {
    return toQImage(image).convertToFormat(QImage::Format_RGB32);
}

} // namespace

ScreenshotEditorWindow::ScreenshotEditorWindow(ScreenshotEditorModel& model, const QtAnnotationRenderer& renderer,
                                               QImage background, const QRect& geometry, Look look)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), model_(model), renderer_(renderer),
      background_(std::move(background)), base_(displayable(model.baseImage())), look_(look) {
    setProperty("briskletWindowRole", QStringLiteral("screenshotEditor"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    setGeometry(geometry);

    textBox_ = new QPlainTextEdit(this);
    textBox_->setFrameShape(QFrame::NoFrame);
    textBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    textBox_->document()->setDocumentMargin(0);
    textBox_->viewport()->setAutoFillBackground(false);
    textBox_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; border: none; }"));
    textBox_->setProperty("briskletTextInput", true);
    textBox_->installEventFilter(this);
    textBox_->hide();
    connect(textBox_, &QPlainTextEdit::textChanged, this, [this] { textBoxChanged(); });
}

ScreenshotEditorWindow::~ScreenshotEditorWindow() = default;

void ScreenshotEditorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}

void ScreenshotEditorWindow::refresh() {
    if (regionCursorShown_ && !adjustingRegion()) {
        regionCursorShown_ = false;
        // A text mode sets its own cursor.
        if (!textModeActive()) {
            setCursor(Qt::CrossCursor);
        }
    }
    syncTextBox();
    placeToolbar();
    update();
}

void ScreenshotEditorWindow::imageReplaced() {
    base_ = displayable(model_.baseImage());
    refresh();
}

void ScreenshotEditorWindow::focusPicture() {
    setFocus(Qt::OtherFocusReason);
}

void ScreenshotEditorWindow::setToolbar(EditorToolbar* toolbar) {
    toolbar_ = toolbar;
    placeToolbar();
}

QRectF ScreenshotEditorWindow::pictureFrame() const {
    return backgroundActive() ? backgroundLayer_.canvasRect() : toQt(model_.viewport().displayedImageRect);
}

QRect ScreenshotEditorWindow::panelBounds() const {
    QRect bounds = rect();
    if (backgroundActive() && backgroundLayer_.panelFrame) {
        const QRect taken = backgroundLayer_.panelFrame();
        if (!taken.isEmpty()) {
            bounds.setRight(std::max(bounds.left(), taken.left() - 1));
        }
    }
    return bounds;
}

void ScreenshotEditorWindow::backgroundChanged() {
    ++sceneGeneration_;
    refresh();
}

QRect ScreenshotEditorWindow::contentScreenFrame() const {
    // What Pin shows is the composed picture, so it stands where the canvas is.
    const QRectF local = pictureFrame();
    return QRect(mapToGlobal(local.topLeft().toPoint()), local.size().toSize());
}

void ScreenshotEditorWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), sceneCache_.scene(sceneKey(), [this](QPainter& scene) { paintScene(scene); }));
    paintAnnotationsInHand(painter);
    if (textModeActive()) {
        textLayer_.paint(painter);
    }
    painter.setPen(QPen(accent, 1));
    painter.setBrush(Qt::NoBrush);
    if (adjustingRegion()) {
        paintRegionHandles(painter);
    } else if (!backgroundActive()) {
        painter.drawRect(toQt(model_.viewport().displayedImageRect).adjusted(-0.5, -0.5, 0.5, 0.5));
    }
    paintSelectionChrome(painter);
    if (!painted_) {
        painted_ = true;
        if (onFirstPaint) {
            onFirstPaint();
        }
    }
}

std::vector<Uuid> ScreenshotEditorWindow::annotationsLeftOutOfScene() const {
    std::vector<Uuid> leftOut;
    // The text being typed is shown by the text box itself.
    if (const auto& edit = model_.activeTextEdit(); edit && textBox_->isVisible()) {
        leftOut.push_back(edit->id);
    }
    if (const auto inHand = model_.interactionState().annotationID()) {
        leftOut.push_back(*inHand);
    }
    return leftOut;
}

EditorSceneCache::Key ScreenshotEditorWindow::sceneKey() const {
    const qreal ratio = devicePixelRatioF();
    return {model_.annotations(),
            annotationsLeftOutOfScene(),
            model_.viewport(),
            base_.cacheKey(),
            QSize(static_cast<int>(std::ceil(width() * ratio)), static_cast<int>(std::ceil(height() * ratio))),
            ratio,
            sceneGeneration_};
}

void ScreenshotEditorWindow::paintScene(QPainter& painter) {
    if (!background_.isNull()) {
        painter.drawImage(rect(), background_);
    } else {
        painter.fillRect(rect(), Qt::black);
    }
    QPainterPath dim;
    dim.setFillRule(Qt::OddEvenFill);
    dim.addRect(rect());
    dim.addRect(pictureFrame());
    painter.fillPath(dim, QColor(0, 0, 0, 71));
    const std::vector<Uuid> leftOut = annotationsLeftOutOfScene();
    if (backgroundActive()) {
        // The canvas already holds the screenshot, with the corners the export gives it.
        backgroundLayer_.paint(painter);
    }
    enterImage(painter);
    // While the region moves the frozen screen shows through it: the picture cut for the old
    // place would lag behind the pointer until the region is let go and cut again.
    if (!backgroundActive() && !(adjustingRegion() && !background_.isNull())) {
        painter.drawImage(QPointF(0, 0), base_);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const AnnotationRenderOptions options = model_.renderOptions();
    for (const AnnotationItem& item : model_.annotations()) {
        if (std::find(leftOut.begin(), leftOut.end(), item.id()) == leftOut.end()) {
            renderer_.paintItem(painter, item, model_.baseImage(), options);
        }
    }
    painter.restore();
}

void ScreenshotEditorWindow::enterImage(QPainter& painter) const {
    const EditorViewport& viewport = model_.viewport();
    painter.save();
    if (backgroundActive()) {
        painter.setClipPath(backgroundLayer_.contentShape());
    } else {
        painter.setClipRect(toQt(viewport.displayedImageRect));
    }
    painter.translate(viewport.displayedImageRect.minX(), viewport.displayedImageRect.minY());
    painter.scale(viewport.displayScale, viewport.displayScale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, viewport.displayScale != 1);
}

void ScreenshotEditorWindow::paintAnnotationsInHand(QPainter& painter) {
    const auto inHand = model_.interactionState().annotationID();
    const auto draft = model_.draftItem();
    if (!inHand && !draft) {
        return;
    }
    enterImage(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    const AnnotationRenderOptions options = model_.renderOptions();
    // What the pointer holds is drawn above the rest until it is let go.
    if (inHand) {
        for (const AnnotationItem& item : model_.annotations()) {
            if (item.id() == *inHand) {
                renderer_.paintItem(painter, item, model_.baseImage(), options);
            }
        }
    }
    if (draft) {
        renderer_.paintItem(painter, *draft, model_.baseImage(), options);
    }
    painter.restore();
}

void ScreenshotEditorWindow::paintSelectionChrome(QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(accent, 1));
    painter.setBrush(Qt::white);
    for (const AnnotationHandle& handle : model_.selectionHandles()) {
        painter.drawEllipse(QPointF(handle.anchor.x, handle.anchor.y), 4, 4);
    }
    if (const auto chrome = model_.textChrome()) {
        painter.translate(chrome->rotationCenter.x, chrome->rotationCenter.y);
        painter.rotate(chrome->rotation * 180 / std::numbers::pi);
        painter.translate(-chrome->rotationCenter.x, -chrome->rotationCenter.y);
        QPen dashed(accent, 1, Qt::DashLine);
        painter.setPen(dashed);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(toQt(chrome->borderRect), 4, 4);
        painter.setPen(QPen(accent, 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(toQt(chrome->resizeHandleRect));
        painter.drawEllipse(toQt(chrome->rotateHandleRect));
        painter.setBrush(QColor(0xe0, 0x1b, 0x24));
        painter.setPen(Qt::NoPen);
        const QRectF cross = toQt(chrome->deleteRect);
        painter.drawEllipse(cross);
        painter.setPen(QPen(Qt::white, 1.5));
        painter.drawLine(cross.adjusted(3.5, 3.5, -3.5, -3.5).topLeft(), cross.adjusted(3.5, 3.5, -3.5, -3.5).bottomRight());
        painter.drawLine(cross.adjusted(3.5, 3.5, -3.5, -3.5).topRight(), cross.adjusted(3.5, 3.5, -3.5, -3.5).bottomLeft());
    }
    painter.restore();
}

bool ScreenshotEditorWindow::adjustingRegion() const {
    return model_.phase() == EditorPhase::adjustingSelection && model_.selectionAdjustment() != nullptr;
}

void ScreenshotEditorWindow::paintRegionHandles(QPainter& painter) {
    const SelectionAdjustmentController& region = *model_.selectionAdjustment();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(accent, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(toQt(model_.viewport().displayedImageRect));
    painter.setPen(QPen(accent, 1));
    painter.setBrush(Qt::white);
    for (const auto& [corner, anchor] : region.handles()) {
        painter.drawEllipse(QPointF(anchor.x, anchor.y), 4, 4);
    }
    painter.restore();
}

void ScreenshotEditorWindow::updateRegionCursor(QPointF position) {
    const SelectionInteraction grab = model_.selectionAdjustment()->grabAt({position.x(), position.y()});
    Qt::CursorShape shape = Qt::CrossCursor;
    if (const auto* resizing = std::get_if<SelectionInteraction::Resizing>(&grab.value)) {
        switch (resizing->corner) {
        case ResizeCorner::top:
        case ResizeCorner::bottom:
            shape = Qt::SizeVerCursor;
            break;
        case ResizeCorner::left:
        case ResizeCorner::right:
            shape = Qt::SizeHorCursor;
            break;
        case ResizeCorner::topLeft:
        case ResizeCorner::bottomRight:
            shape = Qt::SizeFDiagCursor;
            break;
        case ResizeCorner::topRight:
        case ResizeCorner::bottomLeft:
            shape = Qt::SizeBDiagCursor;
            break;
        }
    } else if (std::holds_alternative<SelectionInteraction::Moving>(grab.value)) {
        shape = Qt::SizeAllCursor;
    }
    setCursor(shape);
    regionCursorShown_ = true;
}

void ScreenshotEditorWindow::forwardPress(QMouseEvent* event, int clickCount) {
    if (event->button() == Qt::LeftButton && backgroundLayer_.press && backgroundLayer_.press(event->position())) {
        refresh();
        return;
    }
    const Point location{event->position().x(), event->position().y()};
    if (event->button() == Qt::RightButton) {
        model_.rightMouseDown({location, clickCount, EditorMouseButton::right});
    } else if (event->button() == Qt::LeftButton) {
        model_.mouseDown({location, clickCount, EditorMouseButton::left});
        // The model only logs a press in a text mode; the words are the text layer's.
        if (textModeActive()) {
            textLayer_.press(event->position(), clickCount);
        }
    }
    refresh();
}

void ScreenshotEditorWindow::mousePressEvent(QMouseEvent* event) {
    forwardPress(event, 1);
}

void ScreenshotEditorWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    forwardPress(event, 2);
}

void ScreenshotEditorWindow::mouseMoveEvent(QMouseEvent* event) {
    if (backgroundLayer_.move && backgroundLayer_.move(event->position())) {
        return;
    }
    if (textModeActive()) {
        textLayer_.move(event->position(), (event->buttons() & Qt::LeftButton) != 0);
        return;
    }
    const bool adjusting = adjustingRegion();
    if (adjusting && !model_.selectionAdjustment()->isInteracting()) {
        updateRegionCursor(event->position());
    }
    if (event->buttons() & Qt::LeftButton) {
        model_.mouseDragged({{event->position().x(), event->position().y()}});
        if (adjusting) {
            // The toolbar stays with the region it acts on.
            placeToolbar();
        }
        update();
    }
}

void ScreenshotEditorWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (backgroundLayer_.release && backgroundLayer_.release(event->position())) {
        refresh();
        return;
    }
    if (textModeActive()) {
        textLayer_.release(event->position());
        return;
    }
    const bool regionLetGo = adjustingRegion() && model_.selectionAdjustment()->isInteracting();
    model_.mouseUp({{event->position().x(), event->position().y()}});
    if (regionLetGo) {
        // The model cut the picture again for the region's new place.
        imageReplaced();
        return;
    }
    refresh();
}

bool ScreenshotEditorWindow::handleToolShortcut(const std::string& token, int modifiers) {
    // Single keys pick tools, as in other screenshot tools; never while a text is being typed
    // or while the words of a text mode have the pointer.
    if (modifiers != 0 || model_.activeTextEdit() || textModeActive()) {
        return false;
    }
    const auto shortcut =
        EditorToolbarItems::toolAfterShortcut(model_.selectedTool(), model_.style().options().selectedShapeKind, token);
    if (!shortcut) {
        return false;
    }
    if (shortcut->shapeKind) {
        model_.style().selectShapeKind(*shortcut->shapeKind);
    }
    model_.selectTool(shortcut->tool);
    refresh();
    return true;
}

void ScreenshotEditorWindow::keyPressEvent(QKeyEvent* event) {
    const std::string token = QtKeyTokens::token(event->key());
    const int bits = QtKeyTokens::modifierBits(event->modifiers());
    if (token.empty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (handleToolShortcut(token, bits) || model_.keyDown({token, {bits}})) {
        refresh();
        return;
    }
    if (bits != 0 && onOtherCombination && onOtherCombination(token, bits)) {
        return;
    }
    QWidget::keyPressEvent(event);
}

bool ScreenshotEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textBox_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const std::string token = QtKeyTokens::token(key->key());
        const int bits = QtKeyTokens::modifierBits(key->modifiers());
        // Escape ends the text; the editor's own hotkeys (Ctrl+S, Ctrl+C, ...) still work while
        // typing. Every other key is the text box's.
        const bool isCommand = token == "ESC" || (bits & HotkeyModifiers::command) != 0;
        if (isCommand && !token.empty() && model_.keyDown({token, {bits}})) {
            refresh();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ScreenshotEditorWindow::syncTextBox() {
    const auto text = model_.activeText();
    const auto chrome = model_.textChrome();
    if (!text || !chrome) {
        if (textBox_->isVisible()) {
            textBox_->hide();
            setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    syncingTextBox_ = true;
    const double scale = model_.viewport().displayScale;
    const AnnotationFont fonts{QString()};
    const AnnotationFont::Scaled face = fonts.text(text->fontSize * scale);
    QFont font = face.font;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(text->fontSize * scale))));
    textBox_->setFont(font);
    QPalette palette = textBox_->palette();
    palette.setColor(QPalette::Text, AnnotationPaintStyle::toQColor(text->color));
    textBox_->setPalette(palette);
    const QString wanted = QString::fromStdString(text->text);
    if (textBox_->toPlainText() != wanted) {
        textBox_->setPlainText(wanted);
        textBox_->moveCursor(QTextCursor::End);
    }
    // The box is as wide as the text may grow, and one line taller than it is, so the next
    // keystroke never scrolls it.
    const QRectF content = toQt(chrome->contentRect);
    const double lineHeight = QFontMetricsF(font).lineSpacing();
    const double boxWidth = std::max(content.width() + lineHeight, 80.0);
    textBox_->setGeometry(QRectF(content.left(), content.top(), std::min(boxWidth, width() - content.left()),
                                 content.height() + lineHeight)
                              .toAlignedRect());
    syncingTextBox_ = false;
    if (!textBox_->isVisible()) {
        textBox_->show();
        textBox_->setFocus(Qt::OtherFocusReason);
    }
}

void ScreenshotEditorWindow::textBoxChanged() {
    if (syncingTextBox_ || !model_.activeTextEdit()) {
        return;
    }
    model_.setActiveText(textBox_->toPlainText().toStdString());
    syncingTextBox_ = true;
    if (const auto chrome = model_.textChrome()) {
        const QRectF content = toQt(chrome->contentRect);
        const double lineHeight = QFontMetricsF(textBox_->font()).lineSpacing();
        textBox_->resize(QSizeF(std::max(content.width() + lineHeight, 80.0), content.height() + lineHeight)
                             .toSize());
    }
    syncingTextBox_ = false;
    update();
}

void ScreenshotEditorWindow::placeToolbar() {
    if (!toolbar_) {
        return;
    }
    toolbar_->refresh();
    toolbar_->place(pictureFrame().toAlignedRect(), rect());
}

} // namespace brisklet
