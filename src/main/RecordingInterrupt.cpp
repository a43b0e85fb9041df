#include "main/RecordingInterrupt.h"

#include <atomic>

namespace brisklet {

namespace {

/// Set from the signal handler; the recording loop turns it into a stop.
std::atomic<bool> stopRequested{false};

extern "C" void requestRecordingStop(int) {
    stopRequested = true;
}

} // namespace

RecordingInterrupt::RecordingInterrupt() {
    stopRequested = false;
    struct sigaction action {};
    action.sa_handler = requestRecordingStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInterrupt_);
    sigaction(SIGTERM, &action, &previousTerminate_);
}

RecordingInterrupt::~RecordingInterrupt() {
    sigaction(SIGINT, &previousInterrupt_, nullptr);
    sigaction(SIGTERM, &previousTerminate_, nullptr);
}

bool RecordingInterrupt::takeRequest() {
    return stopRequested.exchange(false);
}

} // namespace brisklet
