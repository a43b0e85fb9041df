#pragma once

#include "ZelvorApp/Capture/CapturedWindowInfo.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace brisklet {

/// The window picker's state: the listed windows, which one is selected, and how the choice
/// ends.
///
/// The rows come in enumeration order (front to back). Refreshes while the picker is open keep
/// the rows already listed in their places, so a row never jumps away under the pointer, and add
/// windows that appeared after them.
///
/// The front window starts selected, so Return records it at once and the arrow keys move from
/// there. That is only a suggestion: if that window goes away, the window now first in the list
/// is suggested instead. A window the user chose stays chosen while it exists; if it goes away,
/// nothing is put in its place, so Return never records a window the user did not point at.
///
/// The choice ends exactly once: either `onPick` or `onCancel` runs, once, and everything after
/// that is ignored.
class WindowPickerViewModel {
public:
    struct Handlers {
        std::function<void(CapturedWindowInfo)> onPick;
        std::function<void()> onCancel;
    };

    enum class Key { up, down, home, end, confirm, cancel };

    WindowPickerViewModel(std::vector<CapturedWindowInfo> windows, Handlers handlers);

    const std::vector<CapturedWindowInfo>& windows() const { return windows_; }
    std::optional<std::int64_t> selectedID() const { return selectedID_; }
    /// The selected window's row.
    std::optional<std::size_t> selectedIndex() const;
    bool canConfirm() const { return !finished_ && selectedID_.has_value(); }
    bool isFinished() const { return finished_; }

    /// A click on a row. Unknown ids change nothing.
    void select(std::int64_t id);
    /// A double click on a row: chooses that window.
    void activate(std::int64_t id);
    /// Up/Down move the selection by one row (stopping at the ends), Home/End jump to the first
    /// and last row, confirm picks the selected window, cancel ends without one. False for a
    /// key the picker does not act on now (nothing to move to, nothing to confirm, or finished).
    bool handleKey(Key key);
    /// Picks the selected window; nothing happens without a selection.
    void confirm();
    void cancel();

    /// A fresh enumeration while the picker is open (see the class comment for order and selection).
    void setWindows(std::vector<CapturedWindowInfo> windows);

    /// The windows whose bounds lie clear of `pickerFrame` (window-server space): only their
    /// pixels can be read from the screen while the picker is up, so only their thumbnails are
    /// refreshed live; the others keep the picture taken before the picker opened.
    std::vector<std::int64_t> windowsClearOf(const Rect& pickerFrame) const;

    /// Runs after every change of the list or the selection.
    std::function<void()> onChange;

private:
    bool contains(std::int64_t id) const;
    bool moveTo(std::size_t index);
    void changed() const;

    std::vector<CapturedWindowInfo> windows_;
    Handlers handlers_;
    std::optional<std::int64_t> selectedID_;
    /// Whether the selection is the user's own choice rather than the initial suggestion.
    bool chosenByUser_ = false;
    bool finished_ = false;
};

} // namespace brisklet
