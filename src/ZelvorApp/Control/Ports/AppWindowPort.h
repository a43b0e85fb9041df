#pragma once

namespace brisklet {

/// One of the application's ordinary windows (settings, library, welcome).
class AppWindowPort {
public:
    virtual ~AppWindowPort() = default;
    /// Shows the window and brings it to the front, creating it on first use.
    virtual void present() = 0;
    virtual bool isVisible() const = 0;
    /// Takes the window off the screen (it keeps its state).
    virtual void hide() = 0;
    /// Shows a window hidden by `hide` again, without taking the focus.
    virtual void show() = 0;
};

} // namespace brisklet
