// HttpDownload over libcurl. Each Get is one easy handle, so one instance may
// serve several threads.
#pragma once

#include "platform/HttpDownload.h"

namespace qx {

class CurlHttpDownload final : public HttpDownload {
public:
    // Initialises libcurl once per process; construct it on the main thread
    // before other threads use libcurl.
    CurlHttpDownload();
    HttpError Get(std::string_view url, const HttpLimits& limits,
                  std::vector<std::uint8_t>& body) override;
};

}  // namespace qx
