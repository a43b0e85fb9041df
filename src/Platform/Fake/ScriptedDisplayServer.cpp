#include "Platform/Fake/ScriptedDisplayServer.h"

namespace brisklet {

DisplayScreen ScriptedDisplayServer::screen(std::uint32_t displayID, const Rect& frame, bool isPrimary) {
    DisplayScreen screen;
    screen.displayID = displayID;
    screen.name = "screen-" + std::to_string(displayID);
    screen.frame = frame;
    screen.visibleFrame = frame;
    screen.isPrimary = isPrimary;
    return screen;
}

} // namespace brisklet
