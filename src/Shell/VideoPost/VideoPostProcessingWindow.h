#pragma once

#include "Shell/Recording/RecordingEditWindow.h"
#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Control/Ports/VideoPostProcessingPort.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"


#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;
class QScreen;

namespace brisklet {

class LocalizationStore;
class VideoPostProcessingModel;

/// The window between a finished video recording and its file: the first frame, the format,
/// length and size, and Export / Cancel with the export's progress or its error (Export then
/// reads "Try Again"). A thin view of `VideoPostProcessingModel`. Keys: Return exports, Escape
/// cancels; closing the window cancels too.
class VideoPostProcessingWindow final : public RecordingEditWindow {
public:
    VideoPostProcessingWindow(const VideoPostProcessingModel& model, const VideoRecordingSummary& summary,
                              const LocalizationStore& localization, ShellAppearance appearance);

    /// Shows what the model holds.
    void refresh();
    /// Shows the window centred on `screen`, in front, with the keyboard.
    void presentCentered(QScreen* screen);

    /// "MP4 · 00:02 · 640 × 360 pixels".
    static std::string detailsText(const VideoRecordingSummary& summary, RecordingOutputFormat format,
                                   const LocalizationStore& localization);

    // The controls, for tests.
    QLabel* previewLabel() const { return preview_; }
    QLabel* detailsLabel() const { return details_; }
    QLabel* noteLabel() const { return note_; }
    QLabel* errorLabel() const { return error_; }
    QProgressBar* progressBar() const { return progress_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    bool canExport() const override;

private:
    QWidget* buildFooter();
    QString text(L10nKey key) const;
    QString styleSheet() const;

    const VideoPostProcessingModel& model_;
    VideoRecordingSummary summary_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    QLabel* preview_ = nullptr;
    QLabel* details_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* error_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* export_ = nullptr;
};

} // namespace brisklet
