// A read-only XML reader: the whole file becomes UTF-16 text, its elements are
// indexed in one pass, and lookups walk the index by element name. Attributes,
// namespaces, DTDs and validation are not needed by any caller and do not exist.
//
// There is no process-wide shared instance. The language loading and the
// firmware update check (on its own thread) each use a reader of their own, so
// a language change during a running check cannot disturb either document.
// One XmlReader must not be used from two threads at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/DataFile.h"

namespace qx {

class XmlReader {
public:
    enum class ByteOrderMark { None, Utf8, Utf16Le, Utf16Be };

    // Reads and parses the file, replacing the previous document. True when the
    // file was read and parsed without a problem. A file that cannot be read
    // (or is larger than maxBytes) leaves an empty document: every lookup
    // fails, every text is empty; FileReadError() then says why.
    static constexpr std::size_t kMaxFileBytes = 64u << 20;  // offsets are 32-bit
    bool LoadXmlFile(const std::filesystem::path& path, std::size_t maxBytes = kMaxFileBytes);
    // Why the last LoadXmlFile could not read its file; None when it could.
    FileError FileReadError() const { return fileError_; }
    // The same from bytes already in memory.
    bool LoadXmlBytes(std::span<const std::uint8_t> bytes);

    void ResetPosition();
    // The next element among the current parent's children after the current
    // one; an empty name matches any element.
    bool FindNextElement(std::u16string_view name = {});
    // The next child of that name of the current element, after the current child.
    bool FindChildElement(std::u16string_view name);
    bool StepIntoChild();
    // Text of the current child: references decoded, CDATA taken as written,
    // comments and processing instructions left out; empty when it has child
    // elements.
    std::u16string ChildElementText() const;

    // The text of the first `child` element inside the first `parent` element
    // below the root; when that parent lacks the child, the search goes on in the
    // first `parent` element inside it, one level deeper each time.
    std::u16string ReadChildText(std::u16string_view parent, std::u16string_view child);
    std::u16string ReadChildText(std::string_view parent, std::string_view child);

    const std::u16string& DocumentText() const { return document_; }
    ByteOrderMark Bom() const { return bom_; }
    int CodePage() const { return codePage_; }
    // What the last load found: encoding, lengths and every parse problem.
    bool HadProblems() const { return problems_; }
    const std::string& ResultText() const { return result_; }
    std::size_t ElementCount() const { return elements_.size() - 1; }

private:
    enum Flags : std::uint32_t { kNotEnded = 1, kEmptyTag = 2 };
    struct Element {
        std::uint32_t start = 0;  // offset of '<'
        std::uint32_t length = 0;
        std::uint32_t startTagLength = 0;
        std::uint32_t endTagLength = 0;
        std::uint32_t nameLength = 0;
        std::uint32_t parent = 0;
        std::uint32_t firstChild = 0;
        std::uint32_t lastChild = 0;
        std::uint32_t nextSibling = 0;
        std::uint32_t prevSibling = 0;
        std::uint32_t flags = 0;
    };

    void Clear();
    void DecodeBytes(std::span<const std::uint8_t> bytes);
    bool Parse();
    void Problem(std::string text);
    std::string NameOf(std::uint32_t element) const;
    std::string_view ProblemName(std::size_t offset, std::size_t length) const;
    std::u16string_view Name(std::uint32_t element) const;
    bool Matches(std::uint32_t element, std::u16string_view name) const;
    std::uint32_t FindAfter(std::uint32_t parent, std::uint32_t after,
                            std::u16string_view name) const;

    std::u16string document_;
    std::vector<Element> elements_{1};  // [0] is the document node
    std::string result_;
    ByteOrderMark bom_ = ByteOrderMark::None;
    int codePage_ = 0;
    bool problems_ = false;
    FileError fileError_ = FileError::None;
    std::uint32_t parent_ = 0;
    std::uint32_t current_ = 0;
    std::uint32_t child_ = 0;
};

// Decodes character and entity references in a text run. A reference that is
// not understood stays as written.
void AppendDecodedText(std::u16string_view text, std::u16string& out);

// The named character references: the HTML 4 entity set plus "apos".
struct XmlEntity {
    std::string_view name;
    char16_t value;
};
std::span<const XmlEntity> XmlEntityTable();

}  // namespace qx
