#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class AnnotationRenderer;
class ImageCodec;

/// "brisklet annotate IMAGE --items ITEMS.json -o OUT.png [--enhance]": draws the annotations
/// listed in ITEMS.json ({"items": [...]}, each item in the case-keyed form such as
/// {"arrow": {"start": [40, 40], "end": [200, 120], "style": "brush", "color": {...},
/// "lineWidth": 4}}) onto IMAGE and writes OUT.png. Never overwrites OUT.png and leaves nothing
/// behind on failure. Returns the process exit code (0 done, 1 failed, 2 usage).
int runAnnotateCommand(const std::vector<std::string>& args, const ImageCodec& codec,
                       const AnnotationRenderer& renderer, std::ostream& out, std::ostream& err);

/// The same with the real PNG/JPEG codec and the Qt renderer. Creates a QGuiApplication on the
/// "offscreen" platform when the process has none yet (the command needs fonts, not a display).
int runAnnotateCommandHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace brisklet
