#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <QImage>
#include <QList>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QGridLayout;
class QLabel;
class QScrollArea;
class QSlider;
class QToolButton;
class QVBoxLayout;

namespace brisklet {

class ColorWheelPopover;
class EditorBackgroundPanelModel;
class LocalizationStore;

/// The editor's background panel: sources (the built-in presets, a random gradient, a solid
/// colour, a picture, the desktop's wallpapers, none), canvas aspect and alignment, padding,
/// shadow and corner, frames, picture adjustments, templates, the one-click window looks and the
/// user's saved presets. A thin view of `EditorBackgroundPanelModel`: every control calls the
/// model, and `refresh` shows what the model holds.
class EditorBackgroundPanel final : public QWidget {
public:
    /// A desktop picture to offer, with a small preview.
    struct Wallpaper {
        std::string path;
        std::string name;
        QImage thumbnail;
    };
    /// Asks for a preset name (title, prompt, initial text); nothing when cancelled.
    using NamePrompt = std::function<std::optional<std::string>(QWidget* owner, const QString& title,
                                                                const QString& prompt, const QString& initial)>;
    /// Asks for a picture file; nothing when cancelled.
    using ImageChooser = std::function<std::optional<std::string>(QWidget* owner)>;

    static constexpr int panelWidth = 300;

    /// The colour popover goes into `parent` (the editor window) beside the panel, so the panel's
    /// scrolling never clips it.
    EditorBackgroundPanel(EditorBackgroundPanelModel& model, const LocalizationStore& localization, bool dark,
                          QWidget* parent);
    ~EditorBackgroundPanel() override;

    /// Shows what the model holds (checked buttons, slider values, the saved presets).
    void refresh();
    void setWallpapers(std::vector<Wallpaper> wallpapers);
    void setNamePrompt(NamePrompt prompt) { namePrompt_ = std::move(prompt); }
    void setImageChooser(ImageChooser chooser) { imageChooser_ = std::move(chooser); }
    /// The tallest the panel may be; it scrolls beyond.
    void setMaximumPanelHeight(int height);

    /// The user asked to pick the background colour from the screenshot.
    std::function<void()> onEyedropper;

    QSize sizeHint() const override;

    // The controls, for tests.
    const QList<QAbstractButton*>& presetButtons() const { return presets_; }
    const QList<QAbstractButton*>& aspectButtons() const { return aspects_; }
    const QList<QAbstractButton*>& alignmentButtons() const { return alignments_; }
    const QList<QAbstractButton*>& templateButtons() const { return templates_; }
    const QList<QAbstractButton*>& quickModeButtons() const { return quickModes_; }
    QSlider* paddingSlider() const { return padding_; }
    QSlider* shadowSlider() const { return shadow_; }
    QSlider* cornerSlider() const { return corner_; }
    QComboBox* frameBox() const { return frame_; }
    QToolButton* solidColorButton() const { return solid_; }
    QToolButton* transparentButton() const { return transparent_; }
    QToolButton* savePresetButton() const { return savePreset_; }
    ColorWheelPopover* colorPopover() const { return popover_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void build();
    QVBoxLayout* section(QVBoxLayout* column, L10nKey title);
    void buildSources(QVBoxLayout* column);
    void buildCanvas(QVBoxLayout* column);
    void buildLooks(QVBoxLayout* column);
    void buildImageAdjustments(QVBoxLayout* column);
    void buildSavedPresets(QVBoxLayout* column);
    QSlider* slider(QVBoxLayout* column, L10nKey title, int minimum, int maximum, std::function<void(int)> changed,
                    QLabel** valueLabel);
    QToolButton* textButton(const QString& text, QWidget* parent, bool segment);
    QToolButton* iconButton(const std::string& symbol, const QString& tooltip, QWidget* parent);
    void rebuildSavedPresets();
    void rebuildWallpapers();
    void openColorPopover();
    void chooseImage();
    void savePreset();
    void renamePreset(const std::string& id, const std::string& name);
    std::string text(L10nKey key) const;
    bool refreshing() const { return refreshing_; }

    EditorBackgroundPanelModel& model_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    NamePrompt namePrompt_;
    ImageChooser imageChooser_;
    QScrollArea* scroll_ = nullptr;
    QWidget* content_ = nullptr;
    QList<QAbstractButton*> presets_;
    QList<QAbstractButton*> aspects_;
    QList<QAbstractButton*> alignments_;
    QList<QAbstractButton*> templates_;
    QList<QAbstractButton*> presentations_;
    QList<QAbstractButton*> quickModes_;
    QToolButton* solid_ = nullptr;
    QToolButton* image_ = nullptr;
    QToolButton* wallpaper_ = nullptr;
    QToolButton* transparent_ = nullptr;
    QToolButton* savePreset_ = nullptr;
    QSlider* padding_ = nullptr;
    QSlider* shadow_ = nullptr;
    QSlider* corner_ = nullptr;
    QSlider* brightness_ = nullptr;
    QSlider* blur_ = nullptr;
    QSlider* zoom_ = nullptr;
    QLabel* paddingValue_ = nullptr;
    QLabel* shadowValue_ = nullptr;
    QLabel* cornerValue_ = nullptr;
    QLabel* brightnessValue_ = nullptr;
    QLabel* blurValue_ = nullptr;
    QLabel* zoomValue_ = nullptr;
    QComboBox* frame_ = nullptr;
    QWidget* adjustments_ = nullptr;
    QGridLayout* wallpaperGrid_ = nullptr;
    QLabel* noWallpapers_ = nullptr;
    QVBoxLayout* savedList_ = nullptr;
    QLabel* noSaved_ = nullptr;
    ColorWheelPopover* popover_ = nullptr;
    std::vector<Wallpaper> wallpapers_;
    std::vector<SavedBackgroundPreset> shownSaved_;
    std::optional<std::string> shownDefault_;
    std::optional<std::string> shownSelected_;
    int maximumHeight_ = 720;
    bool refreshing_ = false;
};

} // namespace brisklet
