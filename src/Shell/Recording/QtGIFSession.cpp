#include "Shell/Recording/QtGIFSession.h"

#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Export/ExportService.h"

namespace brisklet {

QtGIFSession::QtGIFSession(Backends backends, Services services, GIFRecordingCoordinator::Hooks hooks,
                           GIFControlBarWindow::Actions actions)
    : recorder_({backends.capture, services.exportService, backends.mouse, backends.encoder, services.mainQueue,
                 backends.captureQueue, backends.exportQueue, services.clock, &services.annotationRenderer,
                 &backends.stream}),
      windows_(services.model, services.localization, services.annotationRenderer, std::move(actions)),
      coordinator_({recorder_, backends.encoder, services.clock, services.mainQueue, backends.exportQueue,
                    services.displays, services.localization,
                    [&model = services.model] { return model.preferences(); }, &services.annotationRenderer,
                    services.backgroundRenderer, true},
                   std::move(hooks).copyingFilesWith(services.exportService), &windows_) {}

} // namespace brisklet
