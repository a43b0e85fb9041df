#pragma once

#include "Platform/DisplayServer.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Models/RecordingOptions.h"

#include <functional>

namespace brisklet {

/// The recording options bar beside a confirmed GIF or video region.
class RecordingOptionsBarPort {
public:
    struct Handlers {
        std::function<void(RecordingOptions)> onConfirm;
        std::function<void()> onCancel;
    };
    virtual ~RecordingOptionsBarPort() = default;
    virtual void present(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options,
                         Handlers handlers) = 0;
    /// Closes the bar and its selection border.
    virtual void close() = 0;
};

/// A scrolling capture or a recording in progress, with its bars and borders; it reports the
/// finished file (or the failure) through the controller's export bookkeeping.
class CaptureSessionPort {
public:
    virtual ~CaptureSessionPort() = default;
    /// Starts the session on `region` of `screen`; false when it could not start.
    virtual bool start(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    /// Finishes and exports what was captured.
    virtual void stop() = 0;
    /// Ends without exporting.
    virtual void cancel() = 0;
    virtual bool isActive() const = 0;
};

} // namespace brisklet
