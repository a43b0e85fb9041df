#pragma once

#include "Platform/InputMonitor.h"

namespace brisklet {

/// Pointer events the test sends by hand.
class ScriptedInputMonitor final : public InputMonitor {
public:
    void start(PointHandler onMove, PointHandler onLeftButtonDown) override {
        onMove_ = std::move(onMove);
        onDown_ = std::move(onLeftButtonDown);
        isRunning_ = true;
    }
    void stop() override {
        onMove_ = nullptr;
        onDown_ = nullptr;
        isRunning_ = false;
    }
    Point currentLocation() const override { return location_; }

    bool isRunning() const { return isRunning_; }
    void move(Point p) {
        location_ = p;
        if (onMove_)
            onMove_(p);
    }
    void click(Point p) {
        location_ = p;
        if (onDown_)
            onDown_(p);
    }

private:
    PointHandler onMove_;
    PointHandler onDown_;
    Point location_;
    bool isRunning_ = false;
};

} // namespace brisklet
