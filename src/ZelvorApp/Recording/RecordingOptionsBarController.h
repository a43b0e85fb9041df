#pragma once

#include "ZelvorApp/Recording/RecordingOptionsBarModel.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Models/AppLanguage.h"

#include <functional>
#include <string_view>

namespace brisklet {

/// What the options bar beside a confirmed recording region does: its place, its choices, and
/// one answer, Start (with the chosen options) or Cancel. The window only draws and forwards.
class RecordingOptionsBarController {
public:
    static constexpr const char* presentedLogLine = "Recording options panel presented; forcing arrow cursor";

    RecordingOptionsBarController(Rect selectionRect, Rect screenFrame, RecordingOptions options,
                                  VisualAppearanceMode appearanceMode, std::function<void(RecordingOptions)> onStart,
                                  std::function<void()> onCancel);

    RecordingOptionsBarModel& model() { return model_; }
    const RecordingOptionsBarModel& model() const { return model_; }
    Rect selectionRect() const { return selectionRect_; }
    VisualAppearanceMode appearanceMode() const { return appearanceMode_; }
    /// The bar's frame in global points (y up).
    Rect windowRect() const;

    /// The window is on screen: says so in the log.
    void presented() const;
    /// Start and Cancel answer once; later presses do nothing.
    void start();
    void cancel();
    bool hasAnswered() const { return answered_; }
    /// Return starts, Escape cancels; true when the key was one of them.
    bool handleKey(std::string_view token);

private:
    Rect selectionRect_;
    Rect screenFrame_;
    RecordingOptionsBarModel model_;
    VisualAppearanceMode appearanceMode_;
    std::function<void(RecordingOptions)> onStart_;
    std::function<void()> onCancel_;
    bool answered_ = false;
};

} // namespace brisklet
