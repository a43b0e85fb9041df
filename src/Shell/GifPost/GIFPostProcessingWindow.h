#pragma once

#include "Shell/Recording/RecordingEditWindow.h"
#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Foundation/Uuid.h"

#include <QList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QLabel;
class QProgressBar;
class QPushButton;
class QScreen;
class QToolButton;

namespace brisklet {

class BackgroundRenderer;
class GIFAnnotationFrameRenderer;
class GIFPostProcessingModel;
class GIFPreviewView;
class GIFTimelineView;
class LocalizationStore;

/// The window between a finished GIF recording and its file: the frame at the playhead, large,
/// with the recording's drawings and the chosen background; playback of the kept range; the trim
/// timeline; the background choice; and Export / Cancel with the export's progress or error.
/// A thin view of `GIFPostProcessingModel`. Keys: Space plays or pauses, Left and Right step a
/// frame, Return exports, Escape cancels; closing the window cancels too.
class GIFPostProcessingWindow final : public RecordingEditWindow {
public:
    /// Draw what the export draws; either may be null (the preview then leaves that part out).
    struct Renderers {
        const GIFAnnotationFrameRenderer* annotations = nullptr;
        const BackgroundRenderer* background = nullptr;
    };

    GIFPostProcessingWindow(GIFPostProcessingModel& model, const LocalizationStore& localization,
                            ShellAppearance appearance, Renderers renderers);
    ~GIFPostProcessingWindow() override;

    /// Shows what the model holds.
    void refresh();
    /// Shows the window centred on `screen`, in front, with the keyboard.
    void presentCentered(QScreen* screen);
    /// Also stops the playback.
    void dismiss() override;

    // The controls, for tests.
    GIFTimelineView* timeline() const { return timeline_; }
    GIFPreviewView* preview() const { return preview_; }
    QToolButton* playButton() const { return play_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* errorLabel() const { return error_; }
    QLabel* statusLabel() const { return status_; }
    QLabel* summaryLabel() const { return summary_; }
    QAbstractButton* noBackgroundButton() const { return none_; }
    const QList<QAbstractButton*>& presetButtons() const { return presets_; }
    /// How many times the preview was drawn again (it is only redrawn when what it shows changed).
    int previewRenderCount() const { return previewRenders_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct PreviewKey {
        const void* frame = nullptr;
        std::optional<std::string> presetID;
        std::vector<Uuid> annotations;
        bool operator==(const PreviewKey&) const = default;
    };

    QWidget* buildPlaybackRow();
    QWidget* buildHintRow();
    QWidget* buildBackgroundRow();
    QWidget* buildFooter();
    QWidget* separator();
    void refreshPreview();
    bool canExport() const override;
    QString text(L10nKey key) const;
    QString styleSheet() const;

    GIFPostProcessingModel& model_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    Renderers renderers_;
    GIFPreviewView* preview_ = nullptr;
    GIFTimelineView* timeline_ = nullptr;
    QToolButton* play_ = nullptr;
    QLabel* playhead_ = nullptr;
    QLabel* start_ = nullptr;
    QLabel* end_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* summary_ = nullptr;
    QAbstractButton* none_ = nullptr;
    QList<QAbstractButton*> presets_;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* error_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* export_ = nullptr;
    std::optional<PreviewKey> shownPreview_;
    int previewRenders_ = 0;
};

} // namespace brisklet
