// The debug capture helper's window list over real HTTP (libcurl) from a tiny server in the test.

#include "Platform/Clock.h"
#include "Platform/Fake/ScriptedWindowList.h"
#include "Platform/Linux/Http/CurlHttpClient.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/Foundation/JsonCoding.h"
#include "main/WindowsCommand.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace brisklet {
namespace {

/// Serves one fixed answer to every request on 127.0.0.1 (ephemeral port) and records the
/// request targets, until destroyed.
class OneAnswerHttpServer {
public:
    OneAnswerHttpServer(int status, const std::string& body)
        : response_("HTTP/1.1 " + std::to_string(status) + " Answer\r\nContent-Type: application/json\r\n" +
                    "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener_, 4) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~OneAnswerHttpServer() {
        stopping_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        ::close(listener_);
    }

    std::string baseURL() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<std::string> targets() const {
        const std::lock_guard lock(mutex_);
        return targets_;
    }

    OneAnswerHttpServer(const OneAnswerHttpServer&) = delete;
    OneAnswerHttpServer& operator=(const OneAnswerHttpServer&) = delete;

private:
    void serve() {
        while (!stopping_) {
            pollfd wait{listener_, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0) {
                continue;
            }
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client >= 0) {
                answer(client);
                ::close(client);
            }
        }
    }

    void answer(int client) {
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t count = ::read(client, buffer, sizeof buffer);
            if (count <= 0) {
                return;
            }
            request.append(buffer, static_cast<std::size_t>(count));
        }
        // "GET /windows?exclude_pid=N HTTP/1.1"
        const std::size_t start = request.find(' ') + 1;
        {
            const std::lock_guard lock(mutex_);
            targets_.push_back(request.substr(start, request.find(' ', start) - start));
        }
        std::size_t sent = 0;
        while (sent < response_.size()) {
            const ssize_t count = ::write(client, response_.data() + sent, response_.size() - sent);
            if (count <= 0) {
                return;
            }
            sent += static_cast<std::size_t>(count);
        }
    }

    std::string response_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> targets_;
};

constexpr const char* helperWindows =
    R"([{"id": 31, "title": "Inbox", "ownerName": "Mail", "bounds": {"x": 40, "y": 60, "width": 800, "height": 600}}])";

std::optional<std::string> lookup(const std::map<std::string, std::string>& environment, const std::string& name) {
    const auto found = environment.find(name);
    return found == environment.end() ? std::nullopt : std::optional<std::string>(found->second);
}

TEST(DebugHelperHttpTest, TheEnumeratorFetchesTheHelperListOverHttp) {
    OneAnswerHttpServer server(200, helperWindows);
    const CurlHttpClient http;
    const SystemClock clock;
    DebugHelperWindowCache cache;
    const ScriptedWindowList noWindows;
    const LocalizationStore english([] { return std::vector<std::string>{"en"}; });
    const WindowEnumerator enumerator(noWindows, english,
                                      DebugCaptureHelper{{server.baseURL(), true}, http, clock, cache, false});
    const auto windows = enumerator.windows(1234);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0], (CapturedWindowInfo{31, "Inbox", "Mail", std::nullopt, Rect{{40, 60}, {800, 600}}}));
    EXPECT_EQ(server.targets(), std::vector<std::string>{"/windows?exclude_pid=1234"});
}

TEST(DebugHelperHttpTest, ServerErrorsAndRefusedConnectionsAreFailures) {
    const CurlHttpClient http;
    {
        OneAnswerHttpServer server(500, "broken");
        const auto answer = http.get(server.baseURL() + "/windows", 5.0);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer.value(), (HttpResponse{500, "broken"}));
    }
    // Bind and close a socket to get a port nobody listens on.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ::close(probe);
    const auto refused = http.get("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/windows", 5.0);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, HttpError::Kind::requestFailed);
    EXPECT_FALSE(refused.error().description.empty());
    const auto notHttp = http.get("file:///etc/passwd", 5.0);
    ASSERT_FALSE(notHttp);
    EXPECT_EQ(notHttp.error().kind, HttpError::Kind::invalidURL);
}

TEST(DebugHelperHttpTest, WindowsCommandWithoutDisplayListsTheHelperWindows) {
    OneAnswerHttpServer server(200, helperWindows);
    std::map<std::string, std::string> environment{{"BRISKLET_DEBUG_CAPTURE_HELPER_URL", server.baseURL()},
                                                   {"BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION", "1"}};
    const auto variable = [&](const std::string& name) { return lookup(environment, name); };
    std::ostringstream out, err;
    ASSERT_EQ(runWindowsCommand({"--json"}, out, err, "", variable), 0) << err.str();
    const Json listed = json::parse(out.str());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]["id"], 31);
    EXPECT_EQ(listed[0]["title"], "Inbox");
    EXPECT_EQ(listed[0]["bounds"]["width"], 800);
    EXPECT_EQ(server.targets(), std::vector<std::string>{"/windows?exclude_pid=" + std::to_string(::getpid())});

    // Without the bypass the helper is not asked, and there is no display to fall back to.
    environment.erase("BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION");
    std::ostringstream none, noDisplay;
    EXPECT_EQ(runWindowsCommand({}, none, noDisplay, "", variable), 1);
    EXPECT_NE(noDisplay.str().find("DISPLAY is not set"), std::string::npos);
    EXPECT_EQ(server.targets().size(), 1u);
}

} // namespace
} // namespace brisklet
