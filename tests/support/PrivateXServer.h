#pragma once

#include <string>
#include <sys/types.h>

namespace brisklet::testing {

/// A private Xvfb for the length of one test: `Xvfb -displayfd` picks a free display number and
/// writes it once the server accepts connections, so no test ever races a half-started server or
/// touches the user's display. `display()` is empty when Xvfb is not installed or did not start;
/// tests skip then.
class PrivateXServer {
public:
    struct Options {
        int width = 320;
        int height = 240;
        /// A black root instead of the default weave, for tests that compare pixels.
        bool blackRoot = false;
    };

    PrivateXServer() : PrivateXServer(Options{}) {}
    explicit PrivateXServer(Options options);
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    /// ":N", or empty when there is no server.
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace brisklet::testing
