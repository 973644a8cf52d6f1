#include "platform/CurlHttpDownload.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>
#include <mutex>
#include <string>

namespace qx {
namespace {

struct Transfer {
    std::vector<std::uint8_t>* body;
    std::size_t maxBytes;
    const std::atomic<bool>* proceed;
    bool tooLarge = false;
};

// A body larger than announced (or sent without a length) is cut off here.
std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (n > t->maxBytes - t->body->size()) {
        t->tooLarge = true;
        return 0;  // any short count makes libcurl stop with CURLE_WRITE_ERROR
    }
    t->body->insert(t->body->end(), data, data + n);
    return n;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* t = static_cast<Transfer*>(user);
    return t->proceed && !t->proceed->load() ? 1 : 0;
}

// Only an explicit http:// or https:// is fetched: libcurl would otherwise
// guess a scheme for a bare host name.
bool HasAllowedScheme(std::string_view url, bool allowHttp) {
    std::string head;
    for (char c : url.substr(0, 8))
        head += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (head.starts_with("https://")) return true;
    return allowHttp && head.starts_with("http://");
}

HttpError FromCurl(CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return HttpError::None;
        case CURLE_UNSUPPORTED_PROTOCOL:
            return HttpError::Scheme;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
            return HttpError::Connect;
        case CURLE_OPERATION_TIMEDOUT:
            return HttpError::Timeout;
        case CURLE_HTTP_RETURNED_ERROR:
            return HttpError::Status;
        case CURLE_FILESIZE_EXCEEDED:
            return HttpError::TooLarge;
        case CURLE_ABORTED_BY_CALLBACK:
            return HttpError::Cancelled;
        default:
            return HttpError::Other;
    }
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

}  // namespace

CurlHttpDownload::CurlHttpDownload() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpError CurlHttpDownload::Get(std::string_view url, const HttpLimits& limits,
                                std::vector<std::uint8_t>& body) {
    body.clear();
    if (!HasAllowedScheme(url, limits.allowHttp)) return HttpError::Scheme;
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) return HttpError::Other;
    CURL* e = easy.get();

    const std::string address(url);
    Transfer transfer{&body, limits.maxBytes, limits.proceed};
    const char* schemes = limits.allowHttp ? "http,https" : "https";
    curl_easy_setopt(e, CURLOPT_URL, address.c_str());
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, schemes);
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, schemes);
#else
    const long mask = limits.allowHttp ? (CURLPROTO_HTTP | CURLPROTO_HTTPS) : CURLPROTO_HTTPS;
    curl_easy_setopt(e, CURLOPT_PROTOCOLS, mask);
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS, mask);
#endif
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM on a worker thread
    curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.transferTimeout.count()));
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(e, CURLOPT_USERAGENT, "OrvikQX-Driver");
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Progress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(e);
    HttpError error = transfer.tooLarge ? HttpError::TooLarge : FromCurl(code);
    if (error == HttpError::None) {
        long status = 0;
        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
        if (status < 200 || status > 299) error = HttpError::Status;
    }
    if (error != HttpError::None) body.clear();
    return error;
}

}  // namespace qx
