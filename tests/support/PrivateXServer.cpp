#include "support/PrivateXServer.h"

#include <csignal>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace brisklet::testing {

namespace {
constexpr const char* xvfbPath = "/usr/bin/Xvfb";
/// A server that has not said its display number by then is not coming up.
constexpr int startTimeoutMs = 10000;
} // namespace

PrivateXServer::PrivateXServer(Options options) {
    int fds[2];
    if (::access(xvfbPath, X_OK) != 0 || ::pipe(fds) != 0) {
        return;
    }
    const std::string fd = std::to_string(fds[1]);
    const std::string size = std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
    std::vector<const char*> argv{"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", size.c_str(), "-nolisten", "tcp"};
    if (options.blackRoot) {
        argv.push_back("-br");
    }
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        // A test that crashes must not leave its server running: an orphaned server would keep the
        // test runner's output pipe open and hang the whole suite.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::close(fds[0]);
        ::execv(xvfbPath, const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    ::close(fds[1]);
    pollfd wait{fds[0], POLLIN, 0};
    std::string number;
    char c = 0;
    while (pid_ > 0 && ::poll(&wait, 1, startTimeoutMs) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') {
        number.push_back(c);
    }
    ::close(fds[0]);
    if (!number.empty()) {
        display_ = ":" + number;
    }
}

PrivateXServer::~PrivateXServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
}

} // namespace brisklet::testing
