#pragma once

#include "ZelvorCore/Foundation/Result.h"

#include <string>

namespace brisklet {

/// What came back from a request the server answered, whatever its status.
struct HttpResponse {
    int status = 0;
    std::string body;

    bool operator==(const HttpResponse&) const = default;
};

/// Why a request got no answer at all.
struct HttpError {
    enum class Kind {
        /// The address cannot be used (not http or https, or malformed).
        invalidURL,
        /// No complete answer arrived within the timeout.
        timedOut,
        /// Anything else: refused connection, unknown host, broken transfer.
        requestFailed,
    };
    Kind kind = Kind::requestFailed;
    /// A readable description for log lines.
    std::string description;

    bool operator==(const HttpError&) const = default;
};

/// Plain HTTP requests, synchronous; the caller picks the thread.
class HttpClient {
public:
    virtual ~HttpClient() = default;

    /// Fetches `url`, giving up after `timeoutSeconds` for the whole exchange. A server's error
    /// status is a response, not an error.
    virtual Result<HttpResponse, HttpError> get(const std::string& url, double timeoutSeconds) const = 0;
};

} // namespace brisklet
