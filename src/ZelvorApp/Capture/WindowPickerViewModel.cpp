#include "ZelvorApp/Capture/WindowPickerViewModel.h"

#include <algorithm>
#include <utility>

namespace brisklet {

namespace {

/// `fresh` with the windows already listed in their old places (with their new titles and
/// bounds) and the newcomers after them, in enumeration order.
std::vector<CapturedWindowInfo> stableOrder(const std::vector<CapturedWindowInfo>& listed,
                                            std::vector<CapturedWindowInfo> fresh) {
    std::vector<CapturedWindowInfo> ordered;
    ordered.reserve(fresh.size());
    for (const CapturedWindowInfo& old : listed) {
        const auto it =
            std::find_if(fresh.begin(), fresh.end(), [&old](const CapturedWindowInfo& w) { return w.id == old.id; });
        if (it != fresh.end()) {
            ordered.push_back(std::move(*it));
            fresh.erase(it);
        }
    }
    for (CapturedWindowInfo& newcomer : fresh) {
        ordered.push_back(std::move(newcomer));
    }
    return ordered;
}

} // namespace

WindowPickerViewModel::WindowPickerViewModel(std::vector<CapturedWindowInfo> windows, Handlers handlers)
    : windows_(std::move(windows)), handlers_(std::move(handlers)) {
    if (!windows_.empty()) {
        selectedID_ = windows_.front().id;
    }
}

std::optional<std::size_t> WindowPickerViewModel::selectedIndex() const {
    if (!selectedID_) {
        return std::nullopt;
    }
    const auto it = std::find_if(windows_.begin(), windows_.end(),
                                 [this](const CapturedWindowInfo& w) { return w.id == *selectedID_; });
    if (it == windows_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - windows_.begin());
}

bool WindowPickerViewModel::contains(std::int64_t id) const {
    return std::any_of(windows_.begin(), windows_.end(), [id](const CapturedWindowInfo& w) { return w.id == id; });
}

void WindowPickerViewModel::changed() const {
    if (onChange) {
        onChange();
    }
}

void WindowPickerViewModel::select(std::int64_t id) {
    if (finished_ || !contains(id)) {
        return;
    }
    chosenByUser_ = true;
    if (selectedID_ != id) {
        selectedID_ = id;
        changed();
    }
}

void WindowPickerViewModel::activate(std::int64_t id) {
    if (finished_ || !contains(id)) {
        return;
    }
    select(id);
    confirm();
}

bool WindowPickerViewModel::moveTo(std::size_t index) {
    if (index >= windows_.size()) {
        return false;
    }
    select(windows_[index].id);
    return true;
}

bool WindowPickerViewModel::handleKey(Key key) {
    if (finished_) {
        return false;
    }
    const std::optional<std::size_t> current = selectedIndex();
    const std::size_t last = windows_.empty() ? 0 : windows_.size() - 1;
    switch (key) {
    case Key::up:
        // From nothing selected, Up starts at the bottom as list views do.
        return moveTo(current ? (*current == 0 ? 0 : *current - 1) : last);
    case Key::down:
        return moveTo(current ? std::min(*current + 1, last) : 0);
    case Key::home:
        return moveTo(0);
    case Key::end:
        return moveTo(last);
    case Key::confirm:
        if (!canConfirm()) {
            return false;
        }
        confirm();
        return true;
    case Key::cancel:
        cancel();
        return true;
    }
    return false;
}

void WindowPickerViewModel::confirm() {
    const std::optional<std::size_t> index = selectedIndex();
    if (finished_ || !index) {
        return;
    }
    finished_ = true;
    const CapturedWindowInfo picked = windows_[*index];
    // The handler usually closes the picker and may destroy this model with it.
    const auto onPick = std::move(handlers_.onPick);
    handlers_ = {};
    if (onPick) {
        onPick(picked);
    }
}

void WindowPickerViewModel::cancel() {
    if (finished_) {
        return;
    }
    finished_ = true;
    const auto onCancel = std::move(handlers_.onCancel);
    handlers_ = {};
    if (onCancel) {
        onCancel();
    }
}

void WindowPickerViewModel::setWindows(std::vector<CapturedWindowInfo> windows) {
    if (finished_) {
        return;
    }
    windows = stableOrder(windows_, std::move(windows));
    if (windows == windows_) {
        return;
    }
    windows_ = std::move(windows);
    const bool selectionStays = selectedID_ && contains(*selectedID_);
    if (!selectionStays && chosenByUser_) {
        // The chosen window went away; the user chooses again.
        selectedID_.reset();
    } else if (!selectionStays) {
        selectedID_ = windows_.empty() ? std::nullopt : std::optional<std::int64_t>(windows_.front().id);
    }
    changed();
}

std::vector<std::int64_t> WindowPickerViewModel::windowsClearOf(const Rect& pickerFrame) const {
    std::vector<std::int64_t> clear;
    for (const CapturedWindowInfo& window : windows_) {
        if (window.bounds.intersection(pickerFrame).isEmpty()) {
            clear.push_back(window.id);
        }
    }
    return clear;
}

} // namespace brisklet
