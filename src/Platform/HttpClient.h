#pragma once

#include "ZelvorCore/Foundation/Result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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
        /// The caller stopped the transfer.
        cancelled,
        /// The body could not be written where the caller wanted it.
        writeFailed,
    };
    Kind kind = Kind::requestFailed;
    /// A readable description for log lines.
    std::string description;

    bool operator==(const HttpError&) const = default;
};

/// One request header, e.g. {"Accept", "application/json"}.
struct HttpHeader {
    std::string name;
    std::string value;

    bool operator==(const HttpHeader&) const = default;
};

/// A GET request and how it may travel.
struct HttpRequest {
    std::string url;
    std::vector<HttpHeader> headers;
    /// For `send`, the limit of the whole exchange. For `download`, how long the transfer may go
    /// without receiving anything: a large file on a slow line takes as long as it takes.
    double timeoutSeconds = 30;
    /// Follows at most five redirects, never from https to plain http. Published release files
    /// sit behind a redirect to their storage host.
    bool followsRedirects = false;
    /// Goes through the proxy the environment names (http_proxy, https_proxy, no_proxy). Off for
    /// helpers on this machine, on for servers on the internet.
    bool usesEnvironmentProxy = false;

    bool operator==(const HttpRequest&) const = default;
};

/// How far a download has come.
struct HttpTransferProgress {
    std::int64_t receivedByteCount = 0;
    /// What the server announced (Content-Length), when it did.
    std::optional<std::int64_t> expectedByteCount;

    bool operator==(const HttpTransferProgress&) const = default;
};

/// A download the server answered.
struct HttpDownload {
    int status = 0;
    /// Body bytes received; only bodies of 2xx answers are counted and written.
    std::int64_t byteCount = 0;
    /// More than the allowed bytes arrived: the transfer was stopped there and the file holds
    /// only the allowed bytes.
    bool exceededLimit = false;

    bool operator==(const HttpDownload&) const = default;
};

/// Plain HTTP requests, synchronous; the caller picks the thread.
class HttpClient {
public:
    /// Called on the downloading thread as bytes arrive (and about once a second while waiting);
    /// returning false cancels the transfer.
    using ProgressHandler = std::function<bool(const HttpTransferProgress&)>;

    virtual ~HttpClient() = default;

    /// Sends `request` and collects the body in memory. A server's error status is a response,
    /// not an error.
    virtual Result<HttpResponse, HttpError> send(const HttpRequest& request) const = 0;

    /// Streams the body of a 2xx answer into `destination` (created or emptied first); bodies of
    /// other answers are dropped. With `byteLimit`, the transfer stops as soon as more bytes
    /// arrive than that. The caller owns the file afterwards, whatever happened.
    virtual Result<HttpDownload, HttpError> download(const HttpRequest& request,
                                                     const std::filesystem::path& destination,
                                                     std::optional<std::int64_t> byteLimit,
                                                     const ProgressHandler& onProgress) const = 0;

    /// Fetches `url` without extra headers, giving up after `timeoutSeconds` for the whole
    /// exchange.
    Result<HttpResponse, HttpError> get(const std::string& url, double timeoutSeconds) const {
        HttpRequest request;
        request.url = url;
        request.timeoutSeconds = timeoutSeconds;
        return send(request);
    }
};

} // namespace brisklet
