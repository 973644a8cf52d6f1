// Any bytes as a language file or update description: no crash, no overread,
// no hang, and whatever the lookups return lies inside the document.
#include <cstddef>
#include <cstdint>
#include <span>

#include "i18n/XmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::XmlReader reader;
    reader.LoadXmlBytes(std::span<const std::uint8_t>(data, size));
    // Decoding never lengthens a text, so no text can outgrow the document.
    const std::size_t limit = reader.DocumentText().size();
    const auto check = [limit](const std::u16string& text) {
        if (text.size() > limit) __builtin_trap();
    };
    for (const auto key : {"str_main", "str_msg2", "str_firmware_version", "k"})
        check(reader.ReadChildText("config", key));
    check(reader.ReadChildText("firmware", "current"));

    // Walk the tree as far as the position operations reach.
    reader.ResetPosition();
    for (int step = 0; step < 4096; ++step) {
        if (reader.FindChildElement(u"")) {
            check(reader.ChildElementText());
            if (step % 3 == 0) reader.StepIntoChild();
        } else if (!reader.FindNextElement()) {
            break;
        }
    }
    std::u16string decoded;
    qx::AppendDecodedText(reader.DocumentText(), decoded);
    if (decoded.size() > limit) __builtin_trap();
    return 0;
}
