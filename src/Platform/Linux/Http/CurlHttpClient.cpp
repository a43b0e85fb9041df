#include "Platform/Linux/Http/CurlHttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace brisklet {

namespace {

using Answer = Result<HttpResponse, HttpError>;

struct EasyHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

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

} // namespace

Answer CurlHttpClient::get(const std::string& url, double timeoutSeconds) const {
    if (!isHttpAddress(url)) {
        return Answer::failure(HttpError{HttpError::Kind::invalidURL, "not an http or https address: " + url});
    }
    const std::unique_ptr<CURL, EasyHandleDeleter> handle(curl_easy_init());
    if (!handle) {
        return Answer::failure(HttpError{HttpError::Kind::requestFailed, "libcurl could not start a request"});
    }
    // libcurl treats 0 as "no timeout"; a tiny positive timeout must still time out.
    const long timeoutMs = std::max(1L, std::lround(timeoutSeconds * 1000.0));
    std::string body;
    char message[CURL_ERROR_SIZE] = {};
    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        const std::string description = message[0] != '\0' ? message : curl_easy_strerror(code);
        return Answer::failure(HttpError{kindOf(code), description});
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    return Answer::success(HttpResponse{static_cast<int>(status), std::move(body)});
}

} // namespace brisklet
