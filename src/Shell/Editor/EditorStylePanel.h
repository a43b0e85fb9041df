#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorCore/Models/StoredColor.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class QGridLayout;
class QLabel;
class QToolButton;

namespace brisklet {

class AnnotationStyleController;
class LocalizationStore;

/// The colour popover of the editor's style button: the five fixed colours, the recent colours
/// and a custom colour. Every choice goes through the style controller, which remembers it and
/// keeps the recent colours.
///
/// It opens as a child of the editor window next to its anchor (its own popup window when it has
/// no parent). A click elsewhere in the window closes it and is swallowed, except on the widgets
/// given to `setPassThrough` (the toolbars), whose clicks go on to them; Esc closes it too.
class EditorStylePanel final : public QWidget {
public:
    /// Lets the user pick a colour starting from `initial`: `preview` follows the colour under
    /// consideration, `finish` is called once with the chosen colour or nothing when cancelled.
    using CustomColorPicker =
        std::function<void(QWidget* owner, const StoredColor& initial, std::function<void(const StoredColor&)> preview,
                           std::function<void(std::optional<StoredColor>)> finish)>;

    EditorStylePanel(AnnotationStyleController& style, const LocalizationStore& localization, bool dark,
                     QWidget* parent);
    ~EditorStylePanel() override;

    /// Shows the panel below `anchor` (above it when there is no room), in the parent's coordinates.
    void popUp(const QRect& anchor);
    void refresh();
    void setPassThrough(QList<QWidget*> widgets);
    /// The button that opens the panel: its clicks are left to it, so a second click closes.
    void setAnchorWidget(QWidget* anchor) { anchor_ = anchor; }

    /// The custom colour button's picker; until the editor has its own colour wheel popover, the
    /// desktop's colour dialog (`pickWithColorDialog`).
    void setCustomColorPicker(CustomColorPicker picker) { picker_ = std::move(picker); }
    /// The stand-in picker: a non-modal colour dialog that previews while it is open.
    static void pickWithColorDialog(QWidget* owner, const StoredColor& initial,
                                    std::function<void(const StoredColor&)> preview,
                                    std::function<void(std::optional<StoredColor>)> finish);

    QSize sizeHint() const override;

    /// The swatches as shown: the fixed colours, then the recent ones.
    const QList<QAbstractButton*>& fixedSwatches() const { return fixed_; }
    const QList<QAbstractButton*>& recentSwatches() const { return recent_; }
    QToolButton* customColorButton() const { return custom_; }

    /// After the style's colour changed or was previewed: the toolbar and the picture update.
    std::function<void()> onColorChanged;
    /// The panel closed (a choice, Esc, a click elsewhere).
    std::function<void()> onClosed;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void rebuildRecents();
    QAbstractButton* makeSwatch(const StoredColor& color);
    void choose(const StoredColor& color);
    void pickCustomColor();
    bool isPopupWindow() const;

    AnnotationStyleController& style_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    CustomColorPicker picker_;
    QList<QAbstractButton*> fixed_;
    QList<QAbstractButton*> recent_;
    QGridLayout* recentGrid_ = nullptr;
    QLabel* recentCaption_ = nullptr;
    QToolButton* custom_ = nullptr;
    QList<QPointer<QWidget>> passThrough_;
    QPointer<QWidget> anchor_;
    QPointer<QWidget> previousFocus_;
    std::vector<StoredColor> shownRecents_;
};

} // namespace brisklet
