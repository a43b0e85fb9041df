#include "main/CommandScreenCapture.h"

#include "main/RegionArgument.h"

#include "Platform/Linux/X11/X11DisplayServer.h"
#include "Platform/Linux/X11/X11ImportScreenshotTool.h"
#include "Platform/Linux/X11/X11ScreenCapture.h"
#include "Platform/Paths.h"
#include "ZelvorApp/Capture/ScreenCaptureErrorText.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <charconv>

namespace brisklet {

class CommandScreenCapture::Run {
public:
    Run(const Paths& paths, const ImageCodec& codec, std::ostream& err, std::string commandName,
        const std::string& displayName)
        : err_(err), command_(std::move(commandName)), displayName_(displayName), displays_(displayName),
          backend_(displayName), tool_(displayName),
          service_(backend_, tool_, codec, paths.temporaryDirectory(), LocalizationStore::shared()) {}

    std::optional<Image> run(const CommandCaptureRequest& request) {
        arguments_ = request;
        rect_.reset();
        if (!displays_.isConnected() || !backend_.isConnected()) {
            err_ << command_ << ": cannot open the X11 display "
                 << (displayName_.empty() ? "(DISPLAY is not set)" : displayName_) << "\n";
            return std::nullopt;
        }
        screens_ = displays_.screens();
        if (screens_.empty()) {
            return fail(ScreenCaptureError::missingScreen);
        }
        if (arguments_.mode == "full") {
            return full();
        }
        if (arguments_.mode == "region") {
            return region();
        }
        return window();
    }

private:
    std::optional<Image> fail(ScreenCaptureError error) {
        err_ << command_ << ": " << localizedDescription(error, LocalizationStore::shared()) << " (" << toString(error)
             << ")\n";
        return std::nullopt;
    }

    std::optional<Image> finish(Result<Image, ScreenCaptureError> image) {
        if (!image) {
            return fail(image.error());
        }
        return std::move(image).value();
    }

    std::optional<Image> full() {
        const DisplayScreen* screen = &screens_.front();
        if (arguments_.screen) {
            screen = nullptr;
            for (const DisplayScreen& each : screens_) {
                if (each.displayID == arguments_.screen) {
                    screen = &each;
                }
            }
            if (!screen) {
                err_ << command_ << ": there is no screen " << *arguments_.screen << "\n";
                return std::nullopt;
            }
        }
        auto context = ScreenCaptureService::makeContext(*screen, screens_);
        if (!context) {
            return fail(context.error());
        }
        rect_ = screen->frame;
        return finish(service_.capture(screen->frame, context.value(), true));
    }

    std::optional<Image> region() {
        const std::optional<Rect> pixels = RegionArgument::parse(*arguments_.target);
        if (!pixels) {
            err_ << command_ << ": " << *arguments_.target
                 << " is not a region; give WxH+X+Y with a width and height of at least 2\n";
            return std::nullopt;
        }
        auto anyContext = ScreenCaptureService::makeContext(screens_.front(), screens_);
        if (!anyContext) {
            return fail(anyContext.error());
        }
        const Rect& desktop = anyContext.value().virtualDesktopFrame;
        const std::optional<Rect> onDesktop = RegionArgument::onDesktop(*pixels, desktop);
        if (!onDesktop) {
            err_ << command_ << ": the region " << *arguments_.target << " does not fit on the " << desktop.width()
                 << "x" << desktop.height() << " screen\n";
            return std::nullopt;
        }
        const Rect rect = *onDesktop;
        rect_ = rect;
        if (const DisplayScreen* screen = RegionArgument::screenHolding(screens_, rect)) {
            auto context = ScreenCaptureService::makeContext(*screen, screens_);
            if (!context) {
                return fail(context.error());
            }
            return finish(service_.capture(rect, context.value(), true));
        }
        // Across screens: the mechanisms capture any part of the desktop directly.
        return finish(service_.captureWithSystemTool(rect, anyContext.value(), true));
    }

    std::optional<Image> window() {
        const std::optional<std::uint32_t> id = CommandScreenCapture::parseNumber(*arguments_.target);
        if (!id || *id == 0) {
            err_ << command_ << ": " << *arguments_.target << " is not a window ID\n";
            return std::nullopt;
        }
        return finish(service_.captureWindow(*id, false));
    }

public:
    std::optional<Rect> rect() const { return rect_; }

private:
    CommandCaptureRequest arguments_;
    std::optional<Rect> rect_;
    std::ostream& err_;
    std::string command_;
    std::string displayName_;
    X11DisplayServer displays_;
    X11ScreenCapture backend_;
    X11ImportScreenshotTool tool_;
    ScreenCaptureService service_;
    std::vector<DisplayScreen> screens_;
};

CommandScreenCapture::CommandScreenCapture(const Paths& paths, const ImageCodec& codec, std::ostream& err,
                                           std::string commandName, const std::string& displayName)
    : run_(std::make_unique<Run>(paths, codec, err, std::move(commandName), displayName)) {}

CommandScreenCapture::~CommandScreenCapture() = default;

std::optional<Image> CommandScreenCapture::capture(const CommandCaptureRequest& request) {
    return run_->run(request);
}

std::optional<Rect> CommandScreenCapture::lastRect() const {
    return run_->rect();
}

std::optional<std::uint32_t> CommandScreenCapture::parseNumber(const std::string& text) {
    std::uint32_t value = 0;
    int base = 10;
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
        base = 16;
    }
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc{} || end != digits.data() + digits.size() || digits.empty()) {
        return std::nullopt;
    }
    return value;
}

} // namespace brisklet
