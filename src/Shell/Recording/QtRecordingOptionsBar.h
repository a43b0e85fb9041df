#pragma once

#include "ZelvorApp/Control/Ports/CaptureSessionPorts.h"

#include <QPointer>

#include <memory>

namespace brisklet {

class AppModel;
class BorderHighlightWindow;
class LocalizationStore;
class RecordingOptionsBarWindow;

/// The options bar and the border around the region it is about.
class QtRecordingOptionsBar final : public RecordingOptionsBarPort {
public:
    QtRecordingOptionsBar(const AppModel& model, const LocalizationStore& localization);
    ~QtRecordingOptionsBar() override;

    void present(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options,
                 Handlers handlers) override;
    void close() override;

    RecordingOptionsBarWindow* window() const;

private:
    const AppModel& model_;
    const LocalizationStore& localization_;
    QPointer<RecordingOptionsBarWindow> window_;
    std::unique_ptr<BorderHighlightWindow> border_;
};

} // namespace brisklet
