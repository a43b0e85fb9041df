#pragma once

#include "Platform/Fake/FakeAnnotationRenderer.h"
#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Editor/ScreenshotEditorModel.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace brisklet::testing_support {

/// Collects the lines the code under test logs, through the real log writer on a manual queue.
class LogCapture {
public:
    explicit LogCapture(const Clock& clock)
        : writer_(std::make_shared<RuntimeLogWriter>(std::make_unique<ManualSerialQueue>(RuntimeLogWriter::queueLabel),
                                                     clock, paths_.root() / "Logs",
                                                     [] { return RuntimeLogWriter::InitialState{}; })) {
        RuntimeLogger::install(writer_);
    }
    ~LogCapture() { RuntimeLogger::uninstall(); }

    /// Every message logged so far, without the time and session stamps.
    std::vector<std::string> messages() const {
        writer_->flush();
        std::ifstream in(writer_->sessionLogFileURL());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            const auto end = line.find("] ", line.find("[session"));
            lines.push_back(end == std::string::npos ? line : line.substr(end + 2));
        }
        return lines;
    }
    bool contains(const std::string& message) const {
        for (const auto& line : messages()) {
            if (line == message) {
                return true;
            }
        }
        return false;
    }
    bool containsPrefix(const std::string& prefix) const {
        for (const auto& line : messages()) {
            if (line.rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    }

private:
    TemporaryPaths paths_;
    std::shared_ptr<RuntimeLogWriter> writer_;
};

/// An opaque image with a horizontal gradient, so crops and copies can be told apart.
inline Image gradientImage(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(y % 256), 90);
        }
    }
    return image;
}

/// One editor on fakes: 400 × 300 image shown at scale 1 from the view's origin, appeared long
/// enough ago that closing actions are allowed (tests about the guard move the clock themselves).
class EditorHarness {
public:
    explicit EditorHarness(AppPreferences preferences = AppPreferences::defaults(), bool appeared = true,
                           ScreenshotEditorSetup setup = {}) {
        preferences.exportDirectory = (paths.root() / "exports").string();
        if (setup.baseImage.isEmpty()) {
            setup.baseImage = gradientImage(400, 300);
            setup.selectionRect = {{0, 0}, {400, 300}};
            setup.viewBounds = {{0, 0}, {400, 300}};
        }
        setup.preferences = preferences;
        storedPreferences = preferences;
        ScreenshotEditorCallbacks callbacks;
        callbacks.onUpdateBackgroundPreferences = [this](const std::function<void(AppPreferences&)>& change) {
            change(storedPreferences);
            ++preferenceUpdates;
        };
        callbacks.onFinish = [this](ScreenshotSaveResult result) { finished.push_back(std::move(result)); };
        callbacks.onCopy = [this](ScreenshotCopyPayload payload) { copies.push_back(std::move(payload)); };
        callbacks.onPin = [this](Image image, Rect frame) { pins.emplace_back(std::move(image), frame); };
        callbacks.onCancel = [this] { ++cancels; };
        ScreenshotEditorHooks hooks;
        hooks.tearDown = [this] { ++tearDowns; };
        hooks.renderedContentScreenFrame = [] { return Rect{{100, 200}, {400, 300}}; };
        editor = std::make_unique<ScreenshotEditorModel>(
            std::move(setup), ScreenshotEditorServices{renderer, codec, exportService, clock}, std::move(callbacks),
            std::move(hooks));
        const Size size{static_cast<double>(editor->baseImage().width()),
                        static_cast<double>(editor->baseImage().height())};
        editor->setViewport({{0, 0}, size}, 1);
        if (appeared) {
            editor->editorDidAppear();
            clock.advance(1);
        }
    }

    void click(Point p, int clickCount = 1) {
        editor->mouseDown({p, clickCount});
        editor->mouseUp({p, clickCount});
    }
    void drag(Point from, Point to, int steps = 4) {
        editor->mouseDown({from});
        for (int i = 1; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            editor->mouseDragged({{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t}});
        }
        editor->mouseUp({to});
    }
    bool key(const std::string& token, int modifiers = 0) { return editor->keyDown({token, {modifiers}}); }
    template <class T> std::vector<T> itemsOf() const {
        std::vector<T> result;
        for (const auto& item : editor->annotations()) {
            if (const auto* record = item.as<T>()) {
                result.push_back(*record);
            }
        }
        return result;
    }

    TemporaryPaths paths;
    ManualClock clock;
    FakeAnnotationRenderer renderer;
    LinuxImageCodec codec;
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService exportService{pasteboard, tracker};
    AppPreferences storedPreferences;
    int preferenceUpdates = 0;
    std::vector<ScreenshotSaveResult> finished;
    std::vector<ScreenshotCopyPayload> copies;
    std::vector<std::pair<Image, Rect>> pins;
    int cancels = 0;
    int tearDowns = 0;
    std::unique_ptr<ScreenshotEditorModel> editor;
};

} // namespace brisklet::testing_support
