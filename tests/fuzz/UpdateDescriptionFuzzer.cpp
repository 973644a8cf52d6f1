// Any bytes as a downloaded update description: no crash, no hang, and a
// firmware URL comes out of it only when the downloader may fetch it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "i18n/XmlReader.h"
#include "support/FirmwareVersionText.h"
#include "support/UpdateServer.h"

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::XmlReader reader;
    const qx::UpdateDescription d =
        qx::ParseUpdateDescription(reader, std::span<const std::uint8_t>(data, size));
    (void)qx::VersionNumber(d.current);
    (void)qx::FirmwareVersionDisplay(d.current);

    for (const bool allowHttp : {false, true}) {
        const auto server = qx::ParseBaseUrl(allowHttp ? "http://127.0.0.1:8080" : "https://h");
        if (!server) __builtin_trap();
        const auto url = qx::FirmwareUrl(d.newfile, *server);
        if (!url) continue;
        if (url->size() > qx::kMaxUrlLength) __builtin_trap();
        for (const char c : *url)
            if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
                __builtin_trap();
        const bool https = StartsWithNoCase(*url, "https://");
        if (!https && !(allowHttp && StartsWithNoCase(*url, "http://"))) __builtin_trap();
    }
    return 0;
}
