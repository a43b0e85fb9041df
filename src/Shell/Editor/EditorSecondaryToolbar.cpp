#include "Shell/Editor/EditorSecondaryToolbar.h"

#include "Shell/QtStrings.h"
#include "Shell/Editor/EditorToolbar.h"
#include "ZelvorApp/Editor/AnnotationToolOptions.h"
#include "ZelvorApp/Editor/ScreenshotEditorModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include <cmath>

namespace brisklet {

namespace {

constexpr int controlHeight = 26;
constexpr int barPaddingX = 8;
constexpr int barPaddingY = 5;

QString sizeText(double value) {
    return QString::number(static_cast<int>(std::lround(value)));
}

/// A compact box whose arrow is a chevron in the bar's text colour, like the bar's icons.
class ChevronComboBox final : public QComboBox {
public:
    ChevronComboBox(const QColor& color, QWidget* parent) : QComboBox(parent), color_(color) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QComboBox::paintEvent(event);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(color_, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF centre(width() - 12.5, height() / 2.0 + 0.5);
        painter.drawPolyline(
            QPolygonF{centre + QPointF(-3.5, -1.75), centre + QPointF(0, 1.75), centre + QPointF(3.5, -1.75)});
    }

private:
    QColor color_;
};

} // namespace

EditorSecondaryToolbar::EditorSecondaryToolbar(ScreenshotEditorModel& model, const LocalizationStore& localization,
                                               bool dark, QWidget* parent)
    : QWidget(parent), model_(model), localization_(localization),
      appearance_(dark ? ShellAppearance::darkAppearance() : ShellAppearance::light()) {
    setObjectName(QStringLiteral("editorSecondaryToolbar"));
    setAttribute(Qt::WA_TranslucentBackground);
    if (!parent) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    }
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(EditorToolbarChrome::styleSheet(appearance_));
    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(EditorToolbarChrome::shadowMargins() +
                                QMargins(barPaddingX, barPaddingY, barPaddingX, barPaddingY));
    layout_->setSpacing(8);
    layout_->setSizeConstraint(QLayout::SetFixedSize);
}

void EditorSecondaryToolbar::refresh() {
    const auto& tool = model_.selectedTool();
    if (!built_ || tool != builtFor_) {
        builtFor_ = tool;
        built_ = true;
        rebuild();
        if (onControlsChanged) {
            onControlsChanged();
        }
    }
    showValues();
}

void EditorSecondaryToolbar::clear() {
    pairs_.clear();
    width_ = nullptr;
    widthValue_ = nullptr;
    fontSize_ = nullptr;
    while (QLayoutItem* item = layout_->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            // A control may be the sender of the signal that led here.
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
}

void EditorSecondaryToolbar::rebuild() {
    clear();
    controls_ = EditorToolbarItems::secondaryControls(builtFor_);
    AnnotationStyleController& style = model_.style();
    bool first = true;
    for (const auto control : controls_) {
        if (!first) {
            auto* line = new QFrame(this);
            line->setProperty("separator", true);
            line->setFixedSize(1, 18);
            layout_->addWidget(line);
        }
        first = false;
        switch (control) {
        case EditorSecondaryControl::shapeKind:
            addPair(control, L10nKey::editorShapeRectangle, L10nKey::editorShapeEllipse, [&style](int index) {
                style.selectShapeKind(index == 0 ? ShapeKind::rectangle : ShapeKind::ellipse);
            });
            break;
        case EditorSecondaryControl::shapeFill:
            addPair(control, L10nKey::editorFillOutline, L10nKey::editorFillSolid, [&style](int index) {
                style.selectShapeFillMode(index == 0 ? ShapeFillMode::stroke : ShapeFillMode::fill);
            });
            break;
        case EditorSecondaryControl::arrowStyle:
            addPair(control, L10nKey::editorArrowBrush, L10nKey::editorArrowGeometric, [&style](int index) {
                style.selectArrowStyle(index == 0 ? ArrowStyle::brush : ArrowStyle::geometric);
            });
            break;
        case EditorSecondaryControl::redactionMode:
            addPair(control, L10nKey::editorRedactionBlur, L10nKey::editorRedactionMosaic, [&style](int index) {
                style.selectRedactionMode(index == 0 ? RedactionMode::blur : RedactionMode::mosaic);
            });
            break;
        case EditorSecondaryControl::strokeWidth:
            addStrokeWidth();
            break;
        case EditorSecondaryControl::fontSize:
            addFontSize();
            break;
        }
    }
    layout_->activate();
    updateGeometry();
}

void EditorSecondaryToolbar::addPair(EditorSecondaryControl control, L10nKey first, L10nKey second,
                                     std::function<void(int)> choose) {
    auto* track = new QFrame(this);
    track->setProperty("segments", true);
    auto* row = new QHBoxLayout(track);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    Pair pair{control};
    for (int index = 0; index < 2; ++index) {
        auto* button = new QToolButton(track);
        button->setProperty("segment", true);
        button->setText(qt(localization_.text(index == 0 ? first : second)));
        button->setCheckable(true);
        button->setAutoExclusive(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedHeight(controlHeight - 4);
        button->setCursor(Qt::ArrowCursor);
        connect(button, &QToolButton::clicked, this, [this, choose, index] {
            choose(index);
            changed();
        });
        row->addWidget(button);
        (index == 0 ? pair.first : pair.second) = button;
    }
    pairs_.push_back(pair);
    layout_->addWidget(track);
}

QLabel* EditorSecondaryToolbar::addCaption(L10nKey key) {
    auto* caption = new QLabel(qt(localization_.text(key)), this);
    layout_->addWidget(caption);
    return caption;
}

void EditorSecondaryToolbar::addStrokeWidth() {
    addCaption(L10nKey::editorStrokeWidth);
    width_ = new QSlider(Qt::Horizontal, this);
    width_->setRange(static_cast<int>(AnnotationToolOptions::minimumStrokeWidth),
                     static_cast<int>(AnnotationToolOptions::maximumStrokeWidth));
    width_->setFixedSize(112, controlHeight);
    width_->setFocusPolicy(Qt::NoFocus);
    width_->setAccessibleName(qt(localization_.text(L10nKey::editorStrokeWidth)));
    widthValue_ = new QLabel(this);
    widthValue_->setProperty("value", true);
    widthValue_->setFixedWidth(18);
    widthValue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // While the handle is dragged only the number follows; the width is applied once on release,
    // so a restyled selection costs one undo step.
    connect(width_, &QSlider::valueChanged, this, [this](int value) {
        widthValue_->setText(QString::number(value));
        if (!width_->isSliderDown()) {
            model_.selectAnnotationStrokeWidth(value);
            changed();
        }
    });
    connect(width_, &QSlider::sliderReleased, this, [this] {
        model_.selectAnnotationStrokeWidth(width_->value());
        changed();
    });
    layout_->addWidget(width_);
    layout_->addWidget(widthValue_);
}

void EditorSecondaryToolbar::addFontSize() {
    addCaption(L10nKey::editorFontSize);
    fontSize_ = new ChevronComboBox(appearance_.secondaryText, this);
    fontSize_->setFocusPolicy(Qt::NoFocus);
    fontSize_->setFixedHeight(controlHeight);
    fontSize_->setAccessibleName(qt(localization_.text(L10nKey::editorFontSize)));
    for (const double size : AnnotationToolOptions::supportedFontSizes) {
        fontSize_->addItem(sizeText(size), size);
    }
    connect(fontSize_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            model_.selectTextFontSize(fontSize_->itemData(index).toDouble());
            changed();
        }
    });
    layout_->addWidget(fontSize_);
}

void EditorSecondaryToolbar::showValues() {
    const AnnotationToolOptions& options = model_.style().options();
    for (const auto& pair : pairs_) {
        bool second = false;
        switch (pair.control) {
        case EditorSecondaryControl::shapeKind:
            second = options.selectedShapeKind == ShapeKind::ellipse;
            break;
        case EditorSecondaryControl::shapeFill:
            second = options.selectedShapeFillMode == ShapeFillMode::fill;
            break;
        case EditorSecondaryControl::arrowStyle:
            second = options.selectedArrowStyle == ArrowStyle::geometric;
            break;
        case EditorSecondaryControl::redactionMode:
            second = options.selectedRedactionMode == RedactionMode::mosaic;
            break;
        default:
            break;
        }
        (second ? pair.second : pair.first)->setChecked(true);
    }
    if (width_) {
        const auto family = builtFor_ ? builtFor_->widthFamily() : std::nullopt;
        const double width = family ? options.strokeWidth(*family) : AnnotationToolOptions::defaultStrokeWidth;
        const QSignalBlocker blocker(width_);
        width_->setValue(static_cast<int>(std::lround(width)));
        widthValue_->setText(QString::number(width_->value()));
    }
    if (fontSize_) {
        const QSignalBlocker blocker(fontSize_);
        fontSize_->setCurrentIndex(fontSize_->findData(options.selectedTextFontSize));
    }
}

void EditorSecondaryToolbar::changed() {
    showValues();
    if (onStyleChanged) {
        onStyleChanged();
    }
}

QAbstractButton* EditorSecondaryToolbar::choice(EditorSecondaryControl control, int index) const {
    for (const auto& pair : pairs_) {
        if (pair.control == control) {
            return index == 0 ? pair.first : pair.second;
        }
    }
    return nullptr;
}

QSize EditorSecondaryToolbar::sizeHint() const {
    return layout_->sizeHint();
}

QSize EditorSecondaryToolbar::barSize() const {
    return sizeHint().shrunkBy(EditorToolbarChrome::shadowMargins());
}

void EditorSecondaryToolbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    EditorToolbarChrome::paintSurface(
        painter, QRect(QPoint(0, 0), size()).marginsRemoved(EditorToolbarChrome::shadowMargins()), appearance_);
}

} // namespace brisklet
