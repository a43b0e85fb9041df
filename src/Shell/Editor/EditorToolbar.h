#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Editor/AnnotationTool.h"
#include "ZelvorApp/Editor/EditorToolbarItems.h"
#include "ZelvorCore/Models/StoredColor.h"

#include <QIcon>
#include <QMargins>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QToolButton;

namespace brisklet {

class EditorSecondaryToolbar;
class EditorStylePanel;
class LocalizationStore;
class ScreenshotEditorModel;
struct AppPreferences;

/// What the toolbar's buttons ask of the editor. An empty function falls back to the model's own
/// operation where there is one (the tool, undo, copy, pin, save and cancel, with source
/// "toolbar"); background, translate and text recognition do nothing without one.
struct EditorToolbarActions {
    std::function<void(std::optional<AnnotationTool>)> selectTool;
    std::function<void()> undo, toggleBackground, copy, translate, toggleTextRecognition, pin, save, cancel;
};

/// The look the editor's floating bars share: a rounded, shadowed surface in the shell's light or
/// dark colours, and icons that turn white on the accent when checked.
struct EditorToolbarChrome {
    static constexpr int cornerRadius = 10;
    /// Room around the surface for its shadow; part of each bar's widget geometry.
    static QMargins shadowMargins() { return {10, 8, 10, 12}; }

    static void paintSurface(QPainter& painter, const QRect& surface, const ShellAppearance& appearance);
    /// The style sheet of the bars' buttons, segments, sliders and boxes.
    static QString styleSheet(const ShellAppearance& appearance);
    /// Our own drawing of `symbol` in the text colour, white when checked and faded when disabled.
    /// The bars keep their own colours whatever the desktop theme is, so theme icons could vanish
    /// on them.
    static QIcon icon(const std::string& symbol, const ShellAppearance& appearance);
    /// Shows `popover` (its size hint with the shadow) under `anchor`, or above it when there is
    /// no room below, kept inside `bounds`, and gives it the keyboard.
    static void popUpBelow(QWidget& popover, const QRect& anchor, const QRect& bounds);
};

/// The editor's primary toolbar: the tools, style and undo, the output actions and save/cancel,
/// in groups. It is a child of the editor window; the secondary toolbar and the style panel are
/// its siblings in the same window (their own windows when the toolbar has no parent).
///
/// Placing: call `place(selection, bounds)` with rectangles in the parent's coordinates, after
/// showing the toolbar and whenever the selection or the window changes; both bars then follow
/// when the secondary bar appears, disappears or changes size.
class EditorToolbar final : public QWidget {
public:
    EditorToolbar(ScreenshotEditorModel& model, const LocalizationStore& localization, bool dark,
                  EditorToolbarActions actions, QWidget* parent);
    ~EditorToolbar() override;

    /// Re-reads `model.toolbarState()` and the style: checked and enabled buttons, the colour on
    /// the style button, the secondary toolbar and an open style panel. Cheap enough to call after
    /// every model change.
    void refresh();
    /// The state the window knows (background, translation); text recognition also shows as
    /// selected while the model is in a recognition mode.
    void setContext(const EditorToolbarContext& context);
    const EditorToolbarContext& context() const { return context_; }
    /// The editor hotkeys shown in the tooltips (the defaults until set).
    void setHotkeyPreferences(const AppPreferences& preferences);

    /// Places this bar and the secondary bar around `selection` inside `bounds`.
    void place(const QRect& selection, const QRect& bounds);

    QSize sizeHint() const override;
    /// The visible bar, without the shadow around it.
    QSize barSize() const;
    /// The visible bar inside this widget.
    QRect barRect() const;

    EditorSecondaryToolbar* secondary() const;
    EditorStylePanel* stylePanel() const;
    /// The button of an item, for the window's focus order and for tests.
    QToolButton* button(const EditorToolbarItem& item) const;

    /// After the toolbar changed the model itself (tool, style, colour, undo): the window repaints.
    std::function<void()> onModelChanged;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void build();
    QToolButton* makeButton(const EditorToolbarItem& item);
    void trigger(const EditorToolbarItem& item);
    /// Runs `action`, or `fallback` when it is empty, then refreshes unless the editor closed.
    void perform(const std::function<void()>& action, const std::function<void()>& fallback);
    void toggleStylePanel();
    void openStylePanel();
    void updateStyleIcon();
    /// Tooltips and accessible names, from the language and the editor hotkeys.
    void retranslate();
    void syncSecondary();
    void relayout();
    void modelChanged();

    ScreenshotEditorModel& model_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    EditorToolbarActions actions_;
    EditorToolbarContext context_;
    std::unique_ptr<AppPreferences> hotkeys_;
    std::vector<std::pair<const EditorToolbarItem*, QToolButton*>> buttons_;
    QToolButton* styleButton_ = nullptr;
    std::optional<StoredColor> iconColor_;
    QPointer<EditorSecondaryToolbar> secondary_;
    QPointer<EditorStylePanel> stylePanel_;
    std::optional<QRect> placedSelection_;
    QRect placedBounds_;
};

} // namespace brisklet
