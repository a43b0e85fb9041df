#pragma once

#include "Platform/HttpClient.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace brisklet {

/// Answers from a table by exact address and records every request; addresses not in the table
/// fail as a refused connection. Downloads write the scripted body the way a real transfer does:
/// only for 2xx answers, cut at the byte limit, in chunks of `downloadChunkSize` with a progress
/// report after each.
class ScriptedHttpClient final : public HttpClient {
public:
    void respond(const std::string& url, int status, std::string body) {
        const std::lock_guard lock(mutex_);
        answers_.insert_or_assign(url, Result<HttpResponse, HttpError>::success(HttpResponse{status, std::move(body)}));
    }
    void fail(const std::string& url, HttpError error) {
        const std::lock_guard lock(mutex_);
        answers_.insert_or_assign(url, Result<HttpResponse, HttpError>::failure(std::move(error)));
    }

    Result<HttpResponse, HttpError> send(const HttpRequest& request) const override { return answer(request); }

    Result<HttpDownload, HttpError> download(const HttpRequest& request, const std::filesystem::path& destination,
                                             std::optional<std::int64_t> byteLimit,
                                             const ProgressHandler& onProgress) const override {
        const auto scripted = answer(request);
        if (!scripted) {
            return Result<HttpDownload, HttpError>::failure(scripted.error());
        }
        std::ofstream file(destination, std::ios::binary | std::ios::trunc);
        if (!file) {
            return Result<HttpDownload, HttpError>::failure(
                HttpError{HttpError::Kind::writeFailed, destination.string()});
        }
        const HttpResponse& response = scripted.value();
        HttpDownload result{response.status, 0, false};
        if (response.status < 200 || response.status >= 300) {
            return Result<HttpDownload, HttpError>::success(result);
        }
        const auto total = static_cast<std::int64_t>(response.body.size());
        for (std::int64_t offset = 0; offset < total; offset += downloadChunkSize) {
            const std::int64_t chunk = std::min(downloadChunkSize, total - offset);
            std::int64_t accepted = chunk;
            if (byteLimit && offset + chunk > *byteLimit) {
                accepted = std::max<std::int64_t>(0, *byteLimit - offset);
                result.exceededLimit = true;
            }
            file.write(response.body.data() + offset, accepted);
            result.byteCount += chunk;
            if (afterChunk) {
                afterChunk(result.byteCount);
            }
            if (result.exceededLimit) {
                return Result<HttpDownload, HttpError>::success(result);
            }
            if (onProgress && !onProgress(HttpTransferProgress{result.byteCount, total})) {
                return Result<HttpDownload, HttpError>::failure(HttpError{HttpError::Kind::cancelled, "cancelled"});
            }
        }
        return Result<HttpDownload, HttpError>::success(result);
    }

    struct Request {
        std::string url;
        double timeoutSeconds = 0;
        std::vector<HttpHeader> headers;
    };
    std::vector<Request> requests() const {
        const std::lock_guard lock(mutex_);
        return requests_;
    }

    /// Bytes per simulated network read of a download.
    std::int64_t downloadChunkSize = 1024;
    /// Runs after every chunk of a download with the bytes received so far (a test moves its
    /// clock or cancels here).
    std::function<void(std::int64_t)> afterChunk;

private:
    Result<HttpResponse, HttpError> answer(const HttpRequest& request) const {
        const std::lock_guard lock(mutex_);
        requests_.push_back(Request{request.url, request.timeoutSeconds, request.headers});
        const auto found = answers_.find(request.url);
        if (found == answers_.end()) {
            return Result<HttpResponse, HttpError>::failure(
                HttpError{HttpError::Kind::requestFailed, "Connection refused"});
        }
        return found->second;
    }

    mutable std::mutex mutex_;
    std::map<std::string, Result<HttpResponse, HttpError>> answers_;
    mutable std::vector<Request> requests_;
};

} // namespace brisklet
