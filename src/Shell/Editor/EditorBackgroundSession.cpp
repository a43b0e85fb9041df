#include "Shell/Editor/EditorBackgroundSession.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "Shell/Editor/ColorWheelPopover.h"
#include "Shell/Editor/EditorBackgroundPanel.h"
#include "Shell/Editor/EditorStylePanel.h"
#include "Shell/Editor/EditorToolbar.h"
#include "Shell/Editor/ScreenshotEditorWindow.h"
#include "ZelvorApp/Background/SystemWallpaperCatalog.h"
#include "ZelvorApp/Editor/ScreenshotEditorModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Foundation/Uuid.h"

#include <QPainter>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

constexpr int wallpaperLimit = 12;
constexpr int thumbnailSide = 128;
constexpr int panelGap = 12;

QRectF toQt(const Rect& rect) {
    return QRectF(rect.minX(), rect.minY(), rect.width(), rect.height());
}

Rect fromQt(const QRectF& rect) {
    return {{rect.x(), rect.y()}, {rect.width(), rect.height()}};
}

Size pixelSize(const Image& image) {
    return {static_cast<double>(image.width()), static_cast<double>(image.height())};
}

StoredColor storedColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return {rgb.redF(), rgb.greenF(), rgb.blueF(), 1};
}

} // namespace

EditorBackgroundSession::EditorBackgroundSession(Services services, const AppPreferences& preferences,
                                                 ScreenshotEditorModel& model, ScreenshotEditorWindow& window,
                                                 EditorToolbar* toolbar, bool dark, BackgroundCaptureContext context)
    : services_(std::move(services)), model_(model), window_(window), toolbar_(toolbar),
      panelModel_(preferences,
                  EditorBackgroundPanelModel::Setup{
                      pixelSize(model.baseImage()), context, services_.updatePreferences,
                      [] { return Uuid::generate().toString(); },
                      [&localization = services_.localization](int number) {
                          return localization.format(L10nKey::backgroundUntitledPreset, {number});
                      }}),
      preview_(services_.renderer),
      composer_([this]() { return panelModel_.composition(); }, context, services_.renderer),
      content_(toQImage(model.baseImage())), originalRect_(model.viewport().displayedImageRect),
      originalScale_(model.viewport().displayScale) {
    panel_ = new EditorBackgroundPanel(panelModel_, services_.localization, dark, &window_);
    panel_->hide();
    panel_->onEyedropper = [this] { startEyedropper(); };
    panelModel_.onChange = [this] { changed(); };

    ScreenshotEditorWindow::BackgroundLayer layer;
    layer.isActive = [this] { return panelModel_.isOn() && preview_.isShown(); };
    layer.canvasRect = [this] { return preview_.placement().canvas; };
    layer.panelFrame = [this] { return panel_->isVisible() ? panel_->geometry() : QRect(); };
    layer.paint = [this](QPainter& painter) { preview_.paint(painter); };
    layer.contentShape = [this] { return preview_.contentShape(); };
    layer.press = [this](QPointF position) { return press(position); };
    layer.move = [this](QPointF position) { return move(position); };
    layer.release = [this](QPointF position) { return release(position); };
    window_.setBackgroundLayer(std::move(layer));
    shareColorWheel(dark);
}

EditorBackgroundSession::~EditorBackgroundSession() {
    window_.setBackgroundLayer({});
    if (toolbar_ && toolbar_->stylePanel()) {
        toolbar_->stylePanel()->setCustomColorPicker(&EditorStylePanel::pickWithColorDialog);
    }
}

void EditorBackgroundSession::shareColorWheel(bool dark) {
    if (!toolbar_ || !toolbar_->stylePanel()) {
        return;
    }
    annotationColors_ = new ColorWheelPopover(services_.localization, dark, &window_);
    annotationColors_->setTitle(QString());
    annotationColors_->setEyedropperAvailable(false);
    ColorWheelPopover* picker = annotationColors_;
    QPointer<EditorToolbar> toolbar = toolbar_;
    toolbar_->stylePanel()->setCustomColorPicker(
        [picker, toolbar](QWidget*, const StoredColor& initial, std::function<void(const StoredColor&)> preview,
                          std::function<void(std::optional<StoredColor>)> finish) {
            // Every colour the wheel shows is previewed on the text; closing it keeps the last one.
            auto changed = std::make_shared<bool>(false);
            picker->onColorChanged = [preview, changed](const StoredColor& color) {
                *changed = true;
                preview(color);
            };
            picker->onClosed = [picker, finish, changed] {
                picker->onClosed = nullptr;
                picker->onColorChanged = nullptr;
                finish(*changed ? std::optional(picker->color()) : std::nullopt);
            };
            const QRect anchor = toolbar ? toolbar->geometry().marginsRemoved(EditorToolbarChrome::shadowMargins())
                                         : QRect(picker->parentWidget()->rect().center(), QSize(1, 1));
            picker->popUp(anchor, initial, ColorWheelPopover::Placement::below);
        });
}

void EditorBackgroundSession::open() {
    // Where the button is, so a test driving the pointer can find it.
    if (toolbar_) {
        for (const auto& item : EditorToolbarItems::primary()) {
            QToolButton* button = item.command == EditorToolbarCommand::background ? toolbar_->button(item) : nullptr;
            if (button && button->isVisible()) {
                const QPoint centre = button->mapToGlobal(button->rect().center());
                RuntimeLogger::log("screenshot editor background button center=" + std::to_string(centre.x()) + "," +
                                   std::to_string(centre.y()));
            }
        }
    }
    if (panelModel_.startsWithPanelOpen() && !panelModel_.isOn()) {
        panelModel_.turnOn();
        return;
    }
    if (panelModel_.isOn()) {
        changed();
    }
}

void EditorBackgroundSession::toggle() {
    panelModel_.toggle();
    RuntimeLogger::log(std::string("screenshot editor background enabled=") + (panelModel_.isOn() ? "true" : "false"));
}

void EditorBackgroundSession::imageReplaced() {
    content_ = toQImage(model_.baseImage());
    panelModel_.setContentSize(pixelSize(model_.baseImage()));
    changed();
}

void EditorBackgroundSession::changed() {
    if (panelModel_.isOn()) {
        showCanvas();
    } else {
        hideCanvas();
    }
    updateToolbar();
    window_.backgroundChanged();
}

void EditorBackgroundSession::settleRegion() {
    if (model_.phase() != EditorPhase::adjustingSelection) {
        return;
    }
    // The canvas is laid out around the final picture: the region stops moving here.
    model_.finishSelectionAdjustment();
    content_ = toQImage(model_.baseImage());
    panelModel_.setContentSize(pixelSize(model_.baseImage()));
    originalRect_ = model_.viewport().displayedImageRect;
    originalScale_ = model_.viewport().displayScale;
}

void EditorBackgroundSession::showCanvas() {
    settleRegion();
    const bool appearing = !panel_->isVisible();
    if (appearing) {
        // The desktop's pictures are looked for once the canvas is on screen.
        std::weak_ptr<bool> alive = alive_;
        QTimer::singleShot(0, panel_, [this, alive] {
            if (!alive.expired()) {
                loadWallpapers();
            }
        });
        panel_->show();
        panel_->raise();
    }
    panel_->refresh();
    // The canvas keeps clear of the panel's column at the right.
    const QRectF bounds = QRectF(window_.rect()).adjusted(0, 0, -(panel_->width() + panelGap), 0);
    const auto placement = EditorBackgroundPreview::place(panelModel_.layout(), toQt(originalRect_), originalScale_,
                                                          bounds, canvasMargin);
    preview_.update(content_, *panelModel_.composition(), panelModel_.context(), placement,
                    window_.devicePixelRatioF());
    model_.setViewport(fromQt(placement.content), placement.scale);
    placePanel();
    if (appearing) {
        const QRect frame(panel_->mapToGlobal(QPoint(0, 0)), panel_->size());
        const QWidget* solid = panel_->solidColorButton();
        const QPoint solidCentre = solid->mapToGlobal(solid->rect().center());
        RuntimeLogger::log("screenshot editor background panel shown frame=" + std::to_string(frame.x()) + "," +
                           std::to_string(frame.y()) + "," + std::to_string(frame.width()) + "," +
                           std::to_string(frame.height()) + " solidColor=" + std::to_string(solidCentre.x()) + "," +
                           std::to_string(solidCentre.y()));
    }
}

void EditorBackgroundSession::hideCanvas() {
    cancelEyedropper();
    panel_->hide();
    panel_->colorPopover()->hide();
    preview_.clear();
    model_.setViewport(originalRect_, originalScale_);
}

void EditorBackgroundSession::placePanel() {
    const QRect bounds = window_.rect();
    panel_->setMaximumPanelHeight(bounds.height() - 2 * panelGap);
    const QRectF canvas = preview_.placement().canvas;
    const int width = panel_->width();
    int x = static_cast<int>(std::ceil(canvas.right())) + panelGap - EditorToolbarChrome::shadowMargins().left();
    x = std::min(x, bounds.right() - width - panelGap / 2);
    const int y = std::clamp(static_cast<int>(canvas.top()) - EditorToolbarChrome::shadowMargins().top(), panelGap / 2,
                             std::max(panelGap / 2, bounds.bottom() - panel_->height() - panelGap / 2));
    panel_->move(x, y);
}

void EditorBackgroundSession::loadWallpapers() {
    if (wallpapersLoaded_ || !services_.wallpapers) {
        return;
    }
    wallpapersLoaded_ = true;
    std::vector<EditorBackgroundPanel::Wallpaper> shown;
    for (const SystemWallpaper& wallpaper : services_.wallpapers->wallpapers(wallpaperLimit)) {
        const auto thumbnail = services_.wallpapers->thumbnailImage(wallpaper, thumbnailSide);
        shown.push_back({wallpaper.url.string(), wallpaper.name, thumbnail ? toQImage(*thumbnail) : QImage()});
    }
    panel_->setWallpapers(std::move(shown));
    placePanel();
}

void EditorBackgroundSession::updateToolbar() {
    if (!toolbar_) {
        return;
    }
    EditorToolbarContext context = toolbar_->context();
    if (context.backgroundOn != panelModel_.isOn()) {
        context.backgroundOn = panelModel_.isOn();
        toolbar_->setContext(context);
    }
}

// The pointer.

Point EditorBackgroundSession::canvasPoint(QPointF position) const {
    const auto& placement = preview_.placement();
    return {(position.x() - placement.canvas.left()) / placement.scale,
            (position.y() - placement.canvas.top()) / placement.scale};
}

bool EditorBackgroundSession::startsDrag(QPointF position) const {
    if (!panelModel_.isOn() || !preview_.isShown() || !preview_.placement().canvas.contains(position)) {
        return false;
    }
    if (!preview_.contentShape().contains(position)) {
        return true;
    }
    // On the screenshot itself only the selection tool moves it, and only away from annotations.
    if (model_.selectedTool() || model_.activeTextEdit()) {
        return false;
    }
    return !model_.annotationHit(model_.viewport().toImage({position.x(), position.y()}));
}

bool EditorBackgroundSession::press(QPointF position) {
    if (eyedropper_) {
        pickColor(position);
        return true;
    }
    if (!startsDrag(position)) {
        return false;
    }
    panelModel_.beginContentDrag(canvasPoint(position));
    window_.setCursor(Qt::ClosedHandCursor);
    return true;
}

bool EditorBackgroundSession::move(QPointF position) {
    if (eyedropper_) {
        return true;
    }
    if (!panelModel_.isDraggingContent()) {
        return false;
    }
    panelModel_.dragContent(canvasPoint(position));
    return true;
}

bool EditorBackgroundSession::release(QPointF) {
    if (!panelModel_.isDraggingContent()) {
        return false;
    }
    panelModel_.endContentDrag();
    window_.setCursor(Qt::CrossCursor);
    return true;
}

// The eyedropper.

void EditorBackgroundSession::startEyedropper() {
    if (!panelModel_.isOn()) {
        return;
    }
    eyedropper_ = true;
    window_.setCursor(Qt::PointingHandCursor);
    window_.setToolTip(QString::fromStdString(services_.localization.text(L10nKey::backgroundEyedropperHint)));
    window_.focusPicture();
    RuntimeLogger::log("screenshot editor background eyedropper started");
}

void EditorBackgroundSession::cancelEyedropper() {
    if (!eyedropper_) {
        return;
    }
    eyedropper_ = false;
    window_.setCursor(Qt::CrossCursor);
    window_.setToolTip(QString());
    RuntimeLogger::log("screenshot editor background eyedropper cancelled");
}

void EditorBackgroundSession::pickColor(QPointF position) {
    QColor picked;
    const EditorViewport& viewport = model_.viewport();
    if (toQt(viewport.displayedImageRect).contains(position) && !content_.isNull()) {
        // From the screenshot's own pixels, not their scaled view.
        const Point pixel = viewport.toImage({position.x(), position.y()});
        picked = content_.pixelColor(std::clamp(static_cast<int>(pixel.x), 0, content_.width() - 1),
                                     std::clamp(static_cast<int>(pixel.y), 0, content_.height() - 1));
    } else {
        picked = window_.grab(QRect(position.toPoint(), QSize(1, 1))).toImage().pixelColor(0, 0);
    }
    eyedropper_ = false;
    window_.setCursor(Qt::CrossCursor);
    window_.setToolTip(QString());
    panelModel_.applySolidColor(storedColor(picked));
    RuntimeLogger::log("screenshot editor background eyedropper picked color=" +
                       picked.name(QColor::HexRgb).toUpper().toStdString());
}

} // namespace brisklet
