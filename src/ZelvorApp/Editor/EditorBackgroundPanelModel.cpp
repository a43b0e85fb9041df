#include "ZelvorApp/Editor/EditorBackgroundPanelModel.h"

#include "ZelvorApp/Background/BackgroundGradientGenerator.h"
#include "ZelvorApp/Background/BackgroundPreset.h"

#include <algorithm>
#include <utility>

namespace brisklet {

double EditorBackgroundPanelModel::Range::clamp(double value) const {
    return std::clamp(value, minimum, maximum);
}

EditorBackgroundPanelModel::EditorBackgroundPanelModel(const AppPreferences& preferences, Setup setup)
    : preferences_(preferences), setup_(std::move(setup)) {
    startsOn_ = preferences_.backgroundAutoApplyEnabled;
    startsWithPanel_ = preferences_.backgroundToolEnabledByDefault;
    if (startsOn_) {
        const auto initial =
            BackgroundLayout::resolveInitialState(preferences_, setup_.contentSize, setup_.context);
        composition_ = initial.composition;
        selectedSavedPreset_ = initial.selectedSavedPresetID;
    }
}

void EditorBackgroundPanelModel::turnOn() {
    if (composition_) {
        return;
    }
    // Worked out only now: the preferences may have changed since the editor opened.
    const auto initial = BackgroundLayout::resolveInitialState(preferences_, setup_.contentSize, setup_.context);
    composition_ = initial.composition;
    selectedSavedPreset_ = initial.selectedSavedPresetID;
    persistComposition();
    notify();
}

void EditorBackgroundPanelModel::turnOff() {
    if (!composition_) {
        return;
    }
    drag_.reset();
    composition_.reset();
    selectedSavedPreset_.reset();
    notify();
}

void EditorBackgroundPanelModel::toggle() {
    if (composition_) {
        turnOff();
    } else {
        turnOn();
    }
}

BackgroundLayout EditorBackgroundPanelModel::layout() const {
    if (!composition_) {
        BackgroundLayout bare;
        bare.canvasSize = setup_.contentSize;
        bare.contentRect = {{0, 0}, setup_.contentSize};
        bare.frameRect = bare.contentRect;
        bare.framedContentRect = bare.contentRect;
        return bare;
    }
    return BackgroundLayout::make(setup_.contentSize, *composition_);
}

void EditorBackgroundPanelModel::setContentSize(Size size) {
    if (size == setup_.contentSize) {
        return;
    }
    setup_.contentSize = size;
    drag_.reset();
    notify();
}

BackgroundComposition EditorBackgroundPanelModel::current() const {
    if (composition_) {
        return *composition_;
    }
    return BackgroundLayout::resolveInitialState(preferences_, setup_.contentSize, setup_.context).composition;
}

void EditorBackgroundPanelModel::edit(const std::function<void(BackgroundComposition&)>& change) {
    BackgroundComposition composition = current();
    change(composition);
    commit(std::move(composition));
}

void EditorBackgroundPanelModel::commit(BackgroundComposition composition) {
    if (composition_ && *composition_ == composition) {
        return;
    }
    composition_ = std::move(composition);
    if (selectedSavedPreset_) {
        const SavedBackgroundPreset* saved = BackgroundSavedPresets::find(preferences_, *selectedSavedPreset_);
        if (!saved || saved->composition != *composition_) {
            selectedSavedPreset_.reset();
        }
    }
    // A drag writes once, when the screenshot is let go.
    if (!drag_) {
        persistComposition();
    }
    notify();
}

void EditorBackgroundPanelModel::persistComposition() {
    if (!composition_) {
        return;
    }
    const BackgroundComposition composition = *composition_;
    updatePreferences([composition](AppPreferences& preferences) { preferences.lastBackgroundComposition = composition; });
}

void EditorBackgroundPanelModel::updatePreferences(const std::function<void(AppPreferences&)>& change) {
    change(preferences_);
    if (setup_.updatePreferences) {
        setup_.updatePreferences(change);
    }
}

void EditorBackgroundPanelModel::notify() {
    if (onChange) {
        onChange();
    }
}

// Sources.

void EditorBackgroundPanelModel::applyPreset(const std::string& id) {
    edit([&id](BackgroundComposition& c) { c.source.value = BackgroundSource::Preset{id}; });
}

void EditorBackgroundPanelModel::applyRandomGradient(std::uint64_t seed) {
    const auto pair = BackgroundGradientGenerator::generate(seed);
    applyPreset(BackgroundPreset::generatedGradientID(pair.start, pair.end));
}

void EditorBackgroundPanelModel::applySolidColor(const StoredColor& color) {
    edit([&color](BackgroundComposition& c) { c.source.value = BackgroundSource::SolidColor{color}; });
}

void EditorBackgroundPanelModel::applyCustomImage(const std::string& path) {
    edit([&path](BackgroundComposition& c) { c.source.value = BackgroundSource::CustomImage{path}; });
}

void EditorBackgroundPanelModel::applyDesktopWallpaper() {
    edit([](BackgroundComposition& c) { c.source.value = BackgroundSource::DesktopWallpaper{}; });
}

void EditorBackgroundPanelModel::applyTransparent() {
    edit([](BackgroundComposition& c) { c.source.value = BackgroundSource::Transparent{}; });
}

std::optional<StoredColor> EditorBackgroundPanelModel::solidColor() const {
    if (!composition_) {
        return std::nullopt;
    }
    if (const auto* solid = std::get_if<BackgroundSource::SolidColor>(&composition_->source.value)) {
        return solid->color;
    }
    return std::nullopt;
}

bool EditorBackgroundPanelModel::adjustsImage() const {
    return composition_ && (std::holds_alternative<BackgroundSource::CustomImage>(composition_->source.value) ||
                            std::holds_alternative<BackgroundSource::DesktopWallpaper>(composition_->source.value));
}

// Layout and looks.

void EditorBackgroundPanelModel::applyAspect(const CanvasAspectPreset& aspect) {
    edit([&aspect](BackgroundComposition& c) { c.aspectPreset = aspect; });
}

void EditorBackgroundPanelModel::applyAlignment(CanvasAlignment alignment) {
    edit([alignment](BackgroundComposition& c) {
        c.alignment = alignment;
        c.contentOffset = {};
    });
}

void EditorBackgroundPanelModel::applyFrame(BackgroundFrameStyle frame) {
    edit([frame](BackgroundComposition& c) { c.frameStyle = frame; });
}

void EditorBackgroundPanelModel::setPadding(double padding) {
    edit([padding](BackgroundComposition& c) { c.padding = paddingRange.clamp(padding); });
}

void EditorBackgroundPanelModel::setShadowStrength(double strength) {
    edit([strength](BackgroundComposition& c) { c.shadowStrength = shadowRange.clamp(strength); });
}

void EditorBackgroundPanelModel::setCornerRadius(double radius) {
    edit([radius](BackgroundComposition& c) { c.cornerRadius = cornerRadiusRange.clamp(radius); });
}

void EditorBackgroundPanelModel::setImageBrightness(double brightness) {
    edit([brightness](BackgroundComposition& c) { c.imageAdjustment.brightness = brightnessRange.clamp(brightness); });
}

void EditorBackgroundPanelModel::setImageBlur(double radius) {
    edit([radius](BackgroundComposition& c) { c.imageAdjustment.blurRadius = blurRange.clamp(radius); });
}

void EditorBackgroundPanelModel::setImageZoom(double scale) {
    edit([scale](BackgroundComposition& c) { c.imageAdjustment.scale = zoomRange.clamp(scale); });
}

void EditorBackgroundPanelModel::resetImageAdjustment() {
    edit([](BackgroundComposition& c) { c.imageAdjustment = {}; });
}

void EditorBackgroundPanelModel::resetPosition() {
    edit([](BackgroundComposition& c) { c.contentOffset = {}; });
}

void EditorBackgroundPanelModel::applyBalancedLayout() {
    commit(BackgroundLayout::balancedComposition(current(), setup_.contentSize, setup_.context));
}

void EditorBackgroundPanelModel::applyTemplate(BackgroundTemplatePreset preset) {
    commit(BackgroundLayout::compositionByApplying(preset, current(), setup_.contentSize, setup_.context));
}

void EditorBackgroundPanelModel::applyPresentation(WindowPresentationMode mode) {
    commit(BackgroundLayout::compositionByApplying(mode, current()));
}

void EditorBackgroundPanelModel::applyQuickMode(BackgroundWindowQuickMode mode) {
    commit(BackgroundLayout::compositionByApplying(mode, current(), setup_.contentSize));
}

std::optional<BackgroundWindowQuickMode> EditorBackgroundPanelModel::highlightedQuickMode() const {
    if (!composition_) {
        return std::nullopt;
    }
    return BackgroundLayout::inferredWindowQuickMode(*composition_);
}

// Saved presets.

std::optional<SavedBackgroundPreset> EditorBackgroundPanelModel::saveCurrent(std::string_view name) {
    if (!composition_) {
        return std::nullopt;
    }
    const std::string id = setup_.makePresetID ? setup_.makePresetID() : std::string();
    const BackgroundComposition composition = *composition_;
    const SavedBackgroundPreset saved =
        BackgroundSavedPresets::save(preferences_, name, composition, id, setup_.untitledName);
    // The stored preferences get the very preset ours got, name included.
    if (setup_.updatePreferences) {
        setup_.updatePreferences([saved](AppPreferences& preferences) {
            preferences.savedBackgroundPresets.push_back(saved);
        });
    }
    selectedSavedPreset_ = id;
    notify();
    return saved;
}

bool EditorBackgroundPanelModel::renameSaved(const std::string& id, std::string_view name) {
    if (BackgroundSavedPresets::trimmedName(name).empty() || !BackgroundSavedPresets::find(preferences_, id)) {
        return false;
    }
    const std::string typed(name);
    updatePreferences([id, typed](AppPreferences& preferences) { BackgroundSavedPresets::rename(preferences, id, typed); });
    notify();
    return true;
}

bool EditorBackgroundPanelModel::deleteSaved(const std::string& id) {
    if (!BackgroundSavedPresets::find(preferences_, id)) {
        return false;
    }
    updatePreferences([id](AppPreferences& preferences) { BackgroundSavedPresets::remove(preferences, id); });
    if (selectedSavedPreset_ == id) {
        selectedSavedPreset_.reset();
    }
    notify();
    return true;
}

bool EditorBackgroundPanelModel::makeDefault(std::optional<std::string> id) {
    if (id && !BackgroundSavedPresets::find(preferences_, *id)) {
        return false;
    }
    updatePreferences([id](AppPreferences& preferences) { BackgroundSavedPresets::makeDefault(preferences, id); });
    notify();
    return true;
}

bool EditorBackgroundPanelModel::applySaved(const std::string& id) {
    const SavedBackgroundPreset* saved = BackgroundSavedPresets::find(preferences_, id);
    if (!saved) {
        return false;
    }
    const BackgroundComposition composition = saved->composition;
    selectedSavedPreset_ = id;
    if (composition_ && *composition_ == composition) {
        notify();
        return true;
    }
    commit(composition);
    return true;
}

// Dragging.

void EditorBackgroundPanelModel::beginContentDrag(Point canvasPoint) {
    if (!composition_) {
        return;
    }
    const BackgroundLayout now = layout();
    drag_ = ContentDrag{canvasPoint, now.contentRect.origin, *composition_};
}

void EditorBackgroundPanelModel::dragContent(Point canvasPoint) {
    if (!drag_ || !composition_) {
        return;
    }
    const Point origin{drag_->originalOrigin.x + canvasPoint.x - drag_->start.x,
                       drag_->originalOrigin.y + canvasPoint.y - drag_->start.y};
    const Size offset = BackgroundLayout::contentOffset(origin, setup_.contentSize, drag_->originalComposition);
    edit([offset](BackgroundComposition& c) { c.contentOffset = offset; });
}

void EditorBackgroundPanelModel::endContentDrag() {
    if (!drag_) {
        return;
    }
    const bool moved = composition_ && *composition_ != drag_->originalComposition;
    drag_.reset();
    if (moved) {
        persistComposition();
    }
}

void EditorBackgroundPanelModel::cancelContentDrag() {
    if (!drag_) {
        return;
    }
    BackgroundComposition original = drag_->originalComposition;
    drag_.reset();
    commit(std::move(original));
}

} // namespace brisklet
