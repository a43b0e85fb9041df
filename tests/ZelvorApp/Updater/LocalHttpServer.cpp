#include "ZelvorApp/Updater/LocalHttpServer.h"

#include <arpa/inet.h>
#include <cctype>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace brisklet::updater_testing {

namespace {

std::string lowercased(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    const std::size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

/// Sends everything, or stops when the client went away (a refused download hangs up early).
void sendAll(int client, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t count = ::send(client, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(count);
    }
}

} // namespace

LocalHttpServer::LocalHttpServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 8) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

LocalHttpServer::~LocalHttpServer() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (listener_ >= 0) {
        ::close(listener_);
    }
}

void LocalHttpServer::answer(const std::string& path, Answer answer) {
    const std::lock_guard lock(mutex_);
    answers_[path] = std::move(answer);
}

std::vector<LocalHttpServer::Request> LocalHttpServer::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<LocalHttpServer::Request> LocalHttpServer::requestsFor(const std::string& path) const {
    std::vector<Request> matching;
    for (const auto& request : requests()) {
        if (request.path == path) {
            matching.push_back(request);
        }
    }
    return matching;
}

void LocalHttpServer::serve() {
    while (!stopping_) {
        pollfd wait{listener_, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0) {
            continue;
        }
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            handle(client);
            ::close(client);
        }
    }
}

void LocalHttpServer::handle(int client) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t count = ::recv(client, buffer, sizeof buffer, 0);
        if (count <= 0) {
            return;
        }
        head.append(buffer, static_cast<std::size_t>(count));
    }
    Request request;
    const std::size_t start = head.find(' ') + 1;
    request.path = head.substr(start, head.find(' ', start) - start);
    std::size_t line = head.find("\r\n") + 2;
    while (line < head.size()) {
        const std::size_t end = head.find("\r\n", line);
        const std::string header = head.substr(line, end - line);
        if (header.empty()) {
            break;
        }
        const std::size_t colon = header.find(':');
        if (colon != std::string::npos) {
            request.headers[lowercased(header.substr(0, colon))] = trimmed(header.substr(colon + 1));
        }
        line = end + 2;
    }
    Answer answer{404, "no such path", {}};
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
        if (const auto found = answers_.find(request.path); found != answers_.end()) {
            answer = found->second;
        }
    }
    std::string response = "HTTP/1.1 " + std::to_string(answer.status) +
                           " Test\r\nContent-Length: " + std::to_string(answer.body.size()) +
                           "\r\nConnection: close\r\n";
    for (const auto& header : answer.headers) {
        response += header + "\r\n";
    }
    response += "\r\n" + answer.body;
    sendAll(client, response);
}

} // namespace brisklet::updater_testing
