#pragma once

#include <csignal>

namespace brisklet {

/// While alive, Ctrl+C (and SIGTERM) ask the running recording to end and keep what it has
/// instead of killing the process; the previous handlers come back afterwards.
class RecordingInterrupt {
public:
    RecordingInterrupt();
    ~RecordingInterrupt();
    RecordingInterrupt(const RecordingInterrupt&) = delete;
    RecordingInterrupt& operator=(const RecordingInterrupt&) = delete;

    /// Whether a stop was asked for since the last call.
    static bool takeRequest();

private:
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
};

} // namespace brisklet
