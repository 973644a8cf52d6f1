// Fetching one file over HTTP(S). What comes back is untrusted: the caller
// says how much it accepts, how long it waits and whether plain http may be
// used, for the request and for every redirect. Declared without any library
// so that the update check can be tested with a fake.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qx {

struct HttpLimits {
    std::size_t maxBytes = 1u << 20;
    std::chrono::milliseconds connectTimeout{10000};
    // The whole request, redirects included.
    std::chrono::milliseconds transferTimeout{30000};
    // https is always allowed; http only when the configuration names it.
    bool allowHttp = false;
    // When set, the transfer stops as soon as it reads false (shutting down).
    const std::atomic<bool>* proceed = nullptr;
};

enum class HttpError {
    None,
    Scheme,    // not http(s), http without permission, or a redirect elsewhere
    TooLarge,  // more than maxBytes announced or received
    Connect,   // no such host, or nobody listening
    Timeout,
    Status,     // the server answered with something other than 2xx
    Cancelled,  // `proceed` went false
    Other,      // cut transfer, TLS, too many redirects, ...
};

class HttpDownload {
public:
    virtual ~HttpDownload() = default;
    // GET of the URL. On success `body` holds the whole content; on any
    // failure it is empty.
    virtual HttpError Get(std::string_view url, const HttpLimits& limits,
                          std::vector<std::uint8_t>& body) = 0;
};

}  // namespace qx
