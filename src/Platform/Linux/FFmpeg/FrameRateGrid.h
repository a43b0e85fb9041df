#pragma once

#include <optional>

namespace brisklet {

/// Places captured pictures on a constant frame-rate grid. A picture takes the slot nearest to
/// its capture time, or the next free slot while it is less than `kLateTolerance` frames late for
/// it; slots that no picture reached are filled with the previous one, and a picture whose slot
/// is already taken is dropped, so a late capture never turns into a burst. Held time
/// (pause to resume) is taken out of the timeline. Slot 0 is the first picture's; the grid's phase
/// then follows the earliest arrivals, since pictures only ever come late.
class FrameRateGrid {
public:
    /// Slots [`firstRepeat`, `index`) show the previous picture again; `index` is this picture's
    /// slot, or none when it is dropped.
    struct Placement {
        long long firstRepeat = 0;
        long long repeatEnd = 0;
        std::optional<long long> index;
    };

    FrameRateGrid(int frameRate, std::optional<long long> maxFrameCount);

    /// How late, in frames, a picture may be and still take the next free slot.
    static constexpr double kLateTolerance = 0.9;

    /// Where the picture captured at `seconds` (monotonic) goes.
    Placement place(double seconds);
    /// The slots still to fill with the last picture when the recording ends at `seconds`: every
    /// slot that had begun by then.
    Placement finish(double seconds) const;
    void pause(double seconds);
    void resume(double seconds);

    bool hasOrigin() const { return origin_.has_value(); }
    /// Monotonic time of slot 0.
    double origin() const { return origin_.value_or(0); }
    /// Held time so far (the current hold included up to its start only).
    double heldSeconds() const { return heldSeconds_; }
    bool isPaused() const { return pausedAt_.has_value(); }
    /// Slots filled so far.
    long long frameCount() const { return last_ + 1; }
    /// The file's length so far, in seconds.
    double duration() const { return static_cast<double>(frameCount()) / frameRate_; }
    bool isFull() const { return maxFrameCount_ && frameCount() >= *maxFrameCount_; }

private:
    /// Seconds of recorded time at monotonic `seconds`.
    double timelineSeconds(double seconds) const;
    long long clampToLimit(long long slot) const;

    int frameRate_;
    std::optional<long long> maxFrameCount_;
    std::optional<double> origin_;
    std::optional<double> pausedAt_;
    double heldSeconds_ = 0;
    long long last_ = -1;
};

} // namespace brisklet
