#pragma once

#include "Platform/HttpClient.h"

#include <map>
#include <string>
#include <vector>

namespace brisklet {

/// Answers from a table by exact address and records every request; addresses not in the table
/// fail as a refused connection.
class ScriptedHttpClient final : public HttpClient {
public:
    void respond(const std::string& url, int status, std::string body) {
        answers_.insert_or_assign(url, Result<HttpResponse, HttpError>::success(HttpResponse{status, std::move(body)}));
    }
    void fail(const std::string& url, HttpError error) {
        answers_.insert_or_assign(url, Result<HttpResponse, HttpError>::failure(std::move(error)));
    }

    Result<HttpResponse, HttpError> get(const std::string& url, double timeoutSeconds) const override {
        requests_.push_back(Request{url, timeoutSeconds});
        const auto answer = answers_.find(url);
        if (answer == answers_.end()) {
            return Result<HttpResponse, HttpError>::failure(
                HttpError{HttpError::Kind::requestFailed, "Connection refused"});
        }
        return answer->second;
    }

    struct Request {
        std::string url;
        double timeoutSeconds = 0;
    };
    const std::vector<Request>& requests() const { return requests_; }

private:
    std::map<std::string, Result<HttpResponse, HttpError>> answers_;
    mutable std::vector<Request> requests_;
};

} // namespace brisklet
