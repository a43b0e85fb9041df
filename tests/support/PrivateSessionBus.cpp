#include "support/PrivateSessionBus.h"

#include <csignal>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brisklet::testing {

namespace {
constexpr const char* daemonPath = "/usr/bin/dbus-daemon";
constexpr int startTimeoutMs = 10000;
} // namespace

PrivateSessionBus::PrivateSessionBus() {
    int fds[2];
    if (::access(daemonPath, X_OK) != 0 || ::pipe(fds) != 0) {
        return;
    }
    const std::string printAddress = "--print-address=" + std::to_string(fds[1]);
    pid_ = ::fork();
    if (pid_ == 0) {
        // The bus goes when the test program goes, however it ends.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::close(fds[0]);
        ::execl(daemonPath, "dbus-daemon", "--session", "--nofork", printAddress.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(fds[1]);
    // The daemon writes its address, then a newline, once it accepts connections.
    pollfd wait{fds[0], POLLIN, 0};
    std::string address;
    char c = 0;
    while (pid_ > 0 && ::poll(&wait, 1, startTimeoutMs) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') {
        address.push_back(c);
    }
    ::close(fds[0]);
    address_ = address;
}

PrivateSessionBus::~PrivateSessionBus() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
}

} // namespace brisklet::testing
