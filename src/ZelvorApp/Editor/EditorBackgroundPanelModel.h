#pragma once

#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/BackgroundSavedPresets.h"
#include "ZelvorApp/Background/BackgroundWindowModes.h"
#include "ZelvorApp/Editor/AnnotationStyleController.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// The editor's background panel without its widgets: whether the screenshot stands on a
/// background, the composition it stands on, the user's saved presets and the drag that moves
/// the screenshot on the canvas. Every change of the composition is written to
/// `lastBackgroundComposition` through the preferences updater, so the next editor opens the way
/// this one was left.
class EditorBackgroundPanelModel {
public:
    /// Limits of the panel's sliders.
    struct Range {
        double minimum = 0;
        double maximum = 0;
        double clamp(double value) const;
    };
    static constexpr Range paddingRange{0, 240};
    static constexpr Range shadowRange{0, 100};
    static constexpr Range cornerRadiusRange{0, 64};
    static constexpr Range brightnessRange{0.4, 1.4};
    static constexpr Range blurRange{0, 40};
    static constexpr Range zoomRange{1, 3};

    struct Setup {
        /// The base image's pixel size.
        Size contentSize;
        BackgroundCaptureContext context = BackgroundCaptureContext::region;
        PreferencesUpdater updatePreferences;
        /// A fresh id for a saved preset (a UUID string in the application).
        std::function<std::string()> makePresetID;
        BackgroundSavedPresets::UntitledName untitledName;
    };

    EditorBackgroundPanelModel(const AppPreferences& preferences, Setup setup);

    // Opening.

    /// The editor opens with the background applied at once.
    bool startsWithBackground() const { return startsOn_; }
    /// The editor opens with the background panel shown.
    bool startsWithPanelOpen() const { return startsWithPanel_; }

    // On and off.

    bool isOn() const { return composition_.has_value(); }
    /// The composition shown; nothing while the background is off.
    const std::optional<BackgroundComposition>& composition() const { return composition_; }
    /// Puts the screenshot on the composition the editor starts with (the default saved preset,
    /// the last composition used or a balanced one).
    void turnOn();
    void turnOff();
    void toggle();
    /// The canvas for the current composition (the bare content when off).
    BackgroundLayout layout() const;
    BackgroundCaptureContext context() const { return setup_.context; }
    Size contentSize() const { return setup_.contentSize; }
    /// A new base image (a deferred capture arrived with another size).
    void setContentSize(Size size);

    // Sources.

    void applyPreset(const std::string& id);
    /// A generated two-colour gradient, the same for the same seed.
    void applyRandomGradient(std::uint64_t seed);
    void applySolidColor(const StoredColor& color);
    void applyCustomImage(const std::string& path);
    void applyDesktopWallpaper();
    void applyTransparent();
    /// The solid colour shown, when the source is one.
    std::optional<StoredColor> solidColor() const;
    /// Whether the source is a picture, so the image adjustments apply.
    bool adjustsImage() const;

    // Layout and looks.

    void applyAspect(const CanvasAspectPreset& aspect);
    /// Aligning puts the screenshot back in the aligned place (the drag offset is dropped).
    void applyAlignment(CanvasAlignment alignment);
    void applyFrame(BackgroundFrameStyle frame);
    void setPadding(double padding);
    void setShadowStrength(double strength);
    void setCornerRadius(double radius);
    void setImageBrightness(double brightness);
    void setImageBlur(double radius);
    void setImageZoom(double scale);
    void resetImageAdjustment();
    void resetPosition();
    /// Aspect, padding, shadow and corner that suit this screenshot and source.
    void applyBalancedLayout();
    void applyTemplate(BackgroundTemplatePreset preset);
    void applyPresentation(WindowPresentationMode mode);
    void applyQuickMode(BackgroundWindowQuickMode mode);
    /// The quick look the composition matches, for highlighting its button.
    std::optional<BackgroundWindowQuickMode> highlightedQuickMode() const;

    // Saved presets.

    const std::vector<SavedBackgroundPreset>& savedPresets() const { return preferences_.savedBackgroundPresets; }
    const std::optional<std::string>& defaultPresetID() const { return preferences_.defaultBackgroundPresetID; }
    /// The saved preset the composition still is, to mark it in the list.
    const std::optional<std::string>& selectedSavedPresetID() const { return selectedSavedPreset_; }
    /// Saves the current composition under `name` (untitled when blank); nothing while off.
    std::optional<SavedBackgroundPreset> saveCurrent(std::string_view name);
    /// False (nothing changes) for a blank name or an unknown id.
    bool renameSaved(const std::string& id, std::string_view name);
    bool deleteSaved(const std::string& id);
    /// Uses the preset (nothing: none) as the default for new screenshots.
    bool makeDefault(std::optional<std::string> id);
    /// Shows the saved preset's composition; false for an unknown id.
    bool applySaved(const std::string& id);

    // Moving the screenshot on the canvas; points are in canvas pixels.

    void beginContentDrag(Point canvasPoint);
    void dragContent(Point canvasPoint);
    /// Ends the drag and remembers where the screenshot was left.
    void endContentDrag();
    void cancelContentDrag();
    bool isDraggingContent() const { return drag_.has_value(); }

    /// After every change of what the panel shows (composition, on/off, saved presets).
    std::function<void()> onChange;

private:
    struct ContentDrag {
        Point start;
        Point originalOrigin;
        BackgroundComposition originalComposition;
    };

    BackgroundComposition current() const;
    /// Shows `composition`, keeps the saved-preset mark only while it still matches, persists it
    /// unless a drag is under way, and notifies.
    void commit(BackgroundComposition composition);
    void edit(const std::function<void(BackgroundComposition&)>& change);
    void persistComposition();
    /// Applies `change` to our copy of the preferences and to the stored ones alike.
    void updatePreferences(const std::function<void(AppPreferences&)>& change);
    void notify();

    AppPreferences preferences_;
    Setup setup_;
    std::optional<BackgroundComposition> composition_;
    std::optional<std::string> selectedSavedPreset_;
    std::optional<ContentDrag> drag_;
    bool startsOn_ = false;
    bool startsWithPanel_ = false;
};

} // namespace brisklet
