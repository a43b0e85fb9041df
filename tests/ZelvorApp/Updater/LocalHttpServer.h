#pragma once

// A small HTTP/1.1 server on 127.0.0.1 (ephemeral port) for tests of the real HTTP client: fixed
// answers per path, every request recorded with its headers. One connection at a time, each
// closed after its answer.

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brisklet::updater_testing {

class LocalHttpServer {
public:
    struct Answer {
        int status = 200;
        std::string body;
        /// Extra header lines, e.g. "Location: /files/a.deb".
        std::vector<std::string> headers;
    };
    struct Request {
        std::string path;
        /// Header names in lower case.
        std::map<std::string, std::string> headers;
    };

    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool isListening() const { return port_ != 0; }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    void answer(const std::string& path, Answer answer);
    std::vector<Request> requests() const;
    /// The recorded requests for `path`.
    std::vector<Request> requestsFor(const std::string& path) const;

private:
    void serve();
    void handle(int client);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::vector<Request> requests_;
    std::thread thread_;
};

} // namespace brisklet::updater_testing
