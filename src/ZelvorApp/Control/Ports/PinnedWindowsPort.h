#pragma once

#include "Platform/DisplayServer.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Models/PreferenceChoices.h"

#include <optional>
#include <string>

namespace brisklet {

/// Screenshots and texts floating above every window.
class PinnedWindowsPort {
public:
    virtual ~PinnedWindowsPort() = default;
    /// `frame` in global desktop points.
    virtual void pinImage(const Image& image, const Rect& frame, PinnedMouseDoubleClickAction leftDoubleClick) = 0;
    virtual void pinText(const std::string& text, const std::optional<DisplayScreen>& screen) = 0;
    virtual int pinnedImageCount() const = 0;
    /// Closes the selected pinned screenshot, or the most recent one when none is selected.
    virtual void closeSelectedOrMostRecentImage() = 0;

    /// Re-editing a pin: it hides while the editor has its picture, then either shows the edited
    /// picture in its place or comes back unchanged. Unknown ids are ignored.
    virtual void setImageHidden(const std::string& id, bool hidden) = 0;
    virtual void replaceImage(const std::string& id, const Image& image) = 0;
};

} // namespace brisklet
