#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Editor/AnnotationTool.h"
#include "ZelvorApp/Editor/EditorToolbarItems.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QSlider;

namespace brisklet {

class LocalizationStore;
class ScreenshotEditorModel;

/// The options of the selected tool under (or above) the primary toolbar: the shape's kind and
/// fill, the arrow's style, the redaction's mode, the line width and the font size, each bound to
/// the editor's style. Empty, and hidden by the primary toolbar, for tools without options.
class EditorSecondaryToolbar final : public QWidget {
public:
    EditorSecondaryToolbar(ScreenshotEditorModel& model, const LocalizationStore& localization, bool dark,
                           QWidget* parent);

    /// Rebuilds the controls when the tool changed and shows the style's current values.
    void refresh();
    bool hasControls() const { return !controls_.empty(); }
    const std::vector<EditorSecondaryControl>& controls() const { return controls_; }

    QSize sizeHint() const override;
    QSize barSize() const;

    /// The two choices of a pair control (shape kind, fill, arrow style, redaction mode), or
    /// null when it is not shown.
    QAbstractButton* choice(EditorSecondaryControl control, int index) const;
    QSlider* strokeWidthSlider() const { return width_; }
    QComboBox* fontSizeBox() const { return fontSize_; }

    /// After a control changed the style: the window repaints (a selected item may have changed).
    std::function<void()> onStyleChanged;
    /// The bar changed its controls and so its size.
    std::function<void()> onControlsChanged;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Pair {
        EditorSecondaryControl control;
        QAbstractButton* first = nullptr;
        QAbstractButton* second = nullptr;
    };

    void rebuild();
    void clear();
    void addPair(EditorSecondaryControl control, L10nKey first, L10nKey second, std::function<void(int)> choose);
    void addStrokeWidth();
    void addFontSize();
    QLabel* addCaption(L10nKey key);
    void showValues();
    void changed();

    ScreenshotEditorModel& model_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    QHBoxLayout* layout_ = nullptr;
    std::optional<AnnotationTool> builtFor_;
    bool built_ = false;
    std::vector<EditorSecondaryControl> controls_;
    std::vector<Pair> pairs_;
    QSlider* width_ = nullptr;
    QLabel* widthValue_ = nullptr;
    QComboBox* fontSize_ = nullptr;
};

} // namespace brisklet
