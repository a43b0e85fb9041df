#include "Platform/Linux/Http/CurlHttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace brisklet {

namespace {

using Answer = Result<HttpResponse, HttpError>;
using DownloadAnswer = Result<HttpDownload, HttpError>;

struct EasyHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

bool isHttpAddress(const std::string& url) {
    return url.starts_with("http://") || url.starts_with("https://");
}

HttpError::Kind kindOf(CURLcode code) {
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return HttpError::Kind::timedOut;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return HttpError::Kind::invalidURL;
    default:
        return HttpError::Kind::requestFailed;
    }
}

HttpError errorOf(CURLcode code, const char* message) {
    return HttpError{kindOf(code), message[0] != '\0' ? message : curl_easy_strerror(code)};
}

// libcurl treats 0 as "no limit"; a tiny positive timeout must still time out.
long millisecondsOf(double seconds) {
    return std::max(1L, std::lround(seconds * 1000.0));
}

/// The options every request shares. The header list must outlive the transfer.
HeaderList configure(CURL* curl, const HttpRequest& request, char* message) {
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    if (!request.usesEnvironmentProxy) {
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    }
    if (request.followsRedirects) {
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
        // A secure address must not be redirected to one anybody on the way can change.
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR,
                         request.url.starts_with("https://") ? "https" : "http,https");
    }
    curl_slist* list = nullptr;
    for (const HttpHeader& header : request.headers) {
        list = curl_slist_append(list, (header.name + ": " + header.value).c_str());
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);
    return HeaderList(list);
}

long responseStatus(CURL* curl) {
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

/// Where a download's bytes go and what became of them.
struct DownloadSink {
    CURL* curl = nullptr;
    std::FILE* file = nullptr;
    std::optional<std::int64_t> byteLimit;
    const HttpClient::ProgressHandler* onProgress = nullptr;
    std::int64_t received = 0;
    bool exceeded = false;
    bool writeFailed = false;
    bool cancelled = false;
};

std::size_t writeToFile(char* data, std::size_t size, std::size_t count, void* context) {
    auto& sink = *static_cast<DownloadSink*>(context);
    const std::size_t bytes = size * count;
    const long status = responseStatus(sink.curl);
    if (status < 200 || status >= 300) {
        return bytes;
    }
    std::size_t accepted = bytes;
    if (sink.byteLimit && sink.received + static_cast<std::int64_t>(bytes) > *sink.byteLimit) {
        accepted = static_cast<std::size_t>(std::max<std::int64_t>(0, *sink.byteLimit - sink.received));
        sink.exceeded = true;
    }
    if (accepted > 0 && std::fwrite(data, 1, accepted, sink.file) != accepted) {
        sink.writeFailed = true;
        return 0;
    }
    sink.received += static_cast<std::int64_t>(bytes);
    // Anything but `bytes` stops the transfer.
    return sink.exceeded ? 0 : bytes;
}

int reportProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& sink = *static_cast<DownloadSink*>(context);
    if (!sink.onProgress || !*sink.onProgress) {
        return 0;
    }
    HttpTransferProgress progress{sink.received, std::nullopt};
    const long status = responseStatus(sink.curl);
    curl_off_t announced = -1;
    if (status >= 200 && status < 300 &&
        curl_easy_getinfo(sink.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK && announced >= 0) {
        progress.expectedByteCount = static_cast<std::int64_t>(announced);
    }
    if (!(*sink.onProgress)(progress)) {
        sink.cancelled = true;
        return 1;
    }
    return 0;
}

} // namespace

Answer CurlHttpClient::send(const HttpRequest& request) const {
    if (!isHttpAddress(request.url)) {
        return Answer::failure(HttpError{HttpError::Kind::invalidURL, "not an http or https address: " + request.url});
    }
    const EasyHandle handle(curl_easy_init());
    if (!handle) {
        return Answer::failure(HttpError{HttpError::Kind::requestFailed, "libcurl could not start a request"});
    }
    std::string body;
    char message[CURL_ERROR_SIZE] = {};
    CURL* curl = handle.get();
    const HeaderList headers = configure(curl, request, message);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, millisecondsOf(request.timeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        return Answer::failure(errorOf(code, message));
    }
    return Answer::success(HttpResponse{static_cast<int>(responseStatus(curl)), std::move(body)});
}

DownloadAnswer CurlHttpClient::download(const HttpRequest& request, const std::filesystem::path& destination,
                                        std::optional<std::int64_t> byteLimit,
                                        const ProgressHandler& onProgress) const {
    if (!isHttpAddress(request.url)) {
        return DownloadAnswer::failure(
            HttpError{HttpError::Kind::invalidURL, "not an http or https address: " + request.url});
    }
    const EasyHandle handle(curl_easy_init());
    if (!handle) {
        return DownloadAnswer::failure(HttpError{HttpError::Kind::requestFailed, "libcurl could not start a request"});
    }
    std::FILE* file = std::fopen(destination.c_str(), "wbe");
    if (!file) {
        return DownloadAnswer::failure(
            HttpError{HttpError::Kind::writeFailed, destination.string() + ": " + std::strerror(errno)});
    }
    char message[CURL_ERROR_SIZE] = {};
    CURL* curl = handle.get();
    const HeaderList headers = configure(curl, request, message);
    DownloadSink sink;
    sink.curl = curl;
    sink.file = file;
    sink.byteLimit = byteLimit;
    sink.onProgress = &onProgress;
    const long stallSeconds = std::max(1L, std::lround(request.timeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, millisecondsOf(request.timeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, reportProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &sink);
    const CURLcode code = curl_easy_perform(curl);
    const bool closed = std::fclose(file) == 0;
    if (sink.cancelled) {
        return DownloadAnswer::failure(HttpError{HttpError::Kind::cancelled, "download cancelled"});
    }
    if (sink.writeFailed || !closed) {
        return DownloadAnswer::failure(
            HttpError{HttpError::Kind::writeFailed, destination.string() + ": " + std::strerror(errno)});
    }
    const int status = static_cast<int>(responseStatus(curl));
    if (sink.exceeded) {
        return DownloadAnswer::success(HttpDownload{status, sink.received, true});
    }
    if (code != CURLE_OK) {
        return DownloadAnswer::failure(errorOf(code, message));
    }
    return DownloadAnswer::success(HttpDownload{status, sink.received, false});
}

} // namespace brisklet
