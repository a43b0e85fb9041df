#include "main/RecordingRegion.h"

#include "Platform/Linux/X11/X11DisplayServer.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "main/RegionArgument.h"

#include <ostream>
#include <vector>

namespace brisklet {

std::optional<RecordingRegion> RecordingRegion::locate(const Rect& rootPixels, const std::string& display,
                                                       std::ostream& err) {
    const X11DisplayServer displays(display);
    const std::vector<DisplayScreen> screens =
        displays.isConnected() ? displays.screens() : std::vector<DisplayScreen>{};
    if (screens.empty()) {
        err << "brisklet record: cannot open the X11 display " << (display.empty() ? "(DISPLAY is not set)" : display)
            << "\n";
        return std::nullopt;
    }
    const auto desktop = ScreenCaptureService::makeContext(screens.front(), screens);
    const auto rect =
        desktop ? RegionArgument::onDesktop(rootPixels, desktop.value().virtualDesktopFrame) : std::nullopt;
    const DisplayScreen* screen = rect ? RegionArgument::screenHolding(screens, *rect) : nullptr;
    const auto context = screen ? ScreenCaptureService::makeContext(*screen, screens) : desktop;
    if (!rect || !screen || !context) {
        err << "brisklet record: the region must lie on one screen\n";
        return std::nullopt;
    }
    return RecordingRegion{*rect, context.value()};
}

} // namespace brisklet
