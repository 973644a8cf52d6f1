#include "i18n/XmlReader.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <unordered_map>

#include "base/DataFile.h"
#include "base/Text.h"
#include "i18n/XmlEncoding.h"

namespace qx {
namespace {

// The declared encoding is looked for in the first bytes only.
constexpr std::size_t kHeadBytes = 1024;

// Sorted by name (byte order), so a capital form comes before its small form.
constexpr XmlEntity kEntities[] = {
    {"AElig", 0x00C6},   {"Aacute", 0x00C1},  {"Acirc", 0x00C2},    {"Agrave", 0x00C0},
    {"Alpha", 0x0391},   {"Aring", 0x00C5},   {"Atilde", 0x00C3},   {"Auml", 0x00C4},
    {"Beta", 0x0392},    {"Ccedil", 0x00C7},  {"Chi", 0x03A7},      {"Dagger", 0x2021},
    {"Delta", 0x0394},   {"ETH", 0x00D0},     {"Eacute", 0x00C9},   {"Ecirc", 0x00CA},
    {"Egrave", 0x00C8},  {"Epsilon", 0x0395}, {"Eta", 0x0397},      {"Euml", 0x00CB},
    {"Gamma", 0x0393},   {"Iacute", 0x00CD},  {"Icirc", 0x00CE},    {"Igrave", 0x00CC},
    {"Iota", 0x0399},    {"Iuml", 0x00CF},    {"Kappa", 0x039A},    {"Lambda", 0x039B},
    {"Mu", 0x039C},      {"Ntilde", 0x00D1},  {"Nu", 0x039D},       {"OElig", 0x0152},
    {"Oacute", 0x00D3},  {"Ocirc", 0x00D4},   {"Ograve", 0x00D2},   {"Omega", 0x03A9},
    {"Omicron", 0x039F}, {"Oslash", 0x00D8},  {"Otilde", 0x00D5},   {"Ouml", 0x00D6},
    {"Phi", 0x03A6},     {"Pi", 0x03A0},      {"Prime", 0x2033},    {"Psi", 0x03A8},
    {"Rho", 0x03A1},     {"Scaron", 0x0160},  {"Sigma", 0x03A3},    {"THORN", 0x00DE},
    {"Tau", 0x03A4},     {"Theta", 0x0398},   {"Uacute", 0x00DA},   {"Ucirc", 0x00DB},
    {"Ugrave", 0x00D9},  {"Upsilon", 0x03A5}, {"Uuml", 0x00DC},     {"Xi", 0x039E},
    {"Yacute", 0x00DD},  {"Yuml", 0x0178},    {"Zeta", 0x0396},     {"aacute", 0x00E1},
    {"acirc", 0x00E2},   {"acute", 0x00B4},   {"aelig", 0x00E6},    {"agrave", 0x00E0},
    {"alefsym", 0x2135}, {"alpha", 0x03B1},   {"amp", 0x0026},      {"and", 0x2227},
    {"ang", 0x2220},     {"apos", 0x0027},    {"aring", 0x00E5},    {"asymp", 0x2248},
    {"atilde", 0x00E3},  {"auml", 0x00E4},    {"bdquo", 0x201E},    {"beta", 0x03B2},
    {"brvbar", 0x00A6},  {"bull", 0x2022},    {"cap", 0x2229},      {"ccedil", 0x00E7},
    {"cedil", 0x00B8},   {"cent", 0x00A2},    {"chi", 0x03C7},      {"circ", 0x02C6},
    {"clubs", 0x2663},   {"cong", 0x2245},    {"copy", 0x00A9},     {"crarr", 0x21B5},
    {"cup", 0x222A},     {"curren", 0x00A4},  {"dArr", 0x21D3},     {"dagger", 0x2020},
    {"darr", 0x2193},    {"deg", 0x00B0},     {"delta", 0x03B4},    {"diams", 0x2666},
    {"divide", 0x00F7},  {"eacute", 0x00E9},  {"ecirc", 0x00EA},    {"egrave", 0x00E8},
    {"empty", 0x2205},   {"emsp", 0x2003},    {"ensp", 0x2002},     {"epsilon", 0x03B5},
    {"equiv", 0x2261},   {"eta", 0x03B7},     {"eth", 0x00F0},      {"euml", 0x00EB},
    {"euro", 0x20AC},    {"exist", 0x2203},   {"fnof", 0x0192},     {"forall", 0x2200},
    {"frac12", 0x00BD},  {"frac14", 0x00BC},  {"frac34", 0x00BE},   {"frasl", 0x2044},
    {"gamma", 0x03B3},   {"ge", 0x2265},      {"gt", 0x003E},       {"hArr", 0x21D4},
    {"harr", 0x2194},    {"hearts", 0x2665},  {"hellip", 0x2026},   {"iacute", 0x00ED},
    {"icirc", 0x00EE},   {"iexcl", 0x00A1},   {"igrave", 0x00EC},   {"image", 0x2111},
    {"infin", 0x221E},   {"int", 0x222B},     {"iota", 0x03B9},     {"iquest", 0x00BF},
    {"isin", 0x2208},    {"iuml", 0x00EF},    {"kappa", 0x03BA},    {"lArr", 0x21D0},
    {"lambda", 0x03BB},  {"lang", 0x2329},    {"laquo", 0x00AB},    {"larr", 0x2190},
    {"lceil", 0x2308},   {"ldquo", 0x201C},   {"le", 0x2264},       {"lfloor", 0x230A},
    {"lowast", 0x2217},  {"loz", 0x25CA},     {"lrm", 0x200E},      {"lsaquo", 0x2039},
    {"lsquo", 0x2018},   {"lt", 0x003C},      {"macr", 0x00AF},     {"mdash", 0x2014},
    {"micro", 0x00B5},   {"middot", 0x00B7},  {"minus", 0x2212},    {"mu", 0x03BC},
    {"nabla", 0x2207},   {"nbsp", 0x00A0},    {"ndash", 0x2013},    {"ne", 0x2260},
    {"ni", 0x220B},      {"not", 0x00AC},     {"notin", 0x2209},    {"nsub", 0x2284},
    {"ntilde", 0x00F1},  {"nu", 0x03BD},      {"oacute", 0x00F3},   {"ocirc", 0x00F4},
    {"oelig", 0x0153},   {"ograve", 0x00F2},  {"oline", 0x203E},    {"omega", 0x03C9},
    {"omicron", 0x03BF}, {"oplus", 0x2295},   {"or", 0x2228},       {"ordf", 0x00AA},
    {"ordm", 0x00BA},    {"oslash", 0x00F8},  {"otilde", 0x00F5},   {"otimes", 0x2297},
    {"ouml", 0x00F6},    {"para", 0x00B6},    {"part", 0x2202},     {"permil", 0x2030},
    {"perp", 0x22A5},    {"phi", 0x03C6},     {"pi", 0x03C0},       {"piv", 0x03D6},
    {"plusmn", 0x00B1},  {"pound", 0x00A3},   {"prime", 0x2032},    {"prod", 0x220F},
    {"prop", 0x221D},    {"psi", 0x03C8},     {"quot", 0x0022},     {"rArr", 0x21D2},
    {"radic", 0x221A},   {"rang", 0x232A},    {"raquo", 0x00BB},    {"rarr", 0x2192},
    {"rceil", 0x2309},   {"rdquo", 0x201D},   {"real", 0x211C},     {"reg", 0x00AE},
    {"rfloor", 0x230B},  {"rho", 0x03C1},     {"rlm", 0x200F},      {"rsaquo", 0x203A},
    {"rsquo", 0x2019},   {"sbquo", 0x201A},   {"scaron", 0x0161},   {"sdot", 0x22C5},
    {"sect", 0x00A7},    {"shy", 0x00AD},     {"sigma", 0x03C3},    {"sigmaf", 0x03C2},
    {"sim", 0x223C},     {"spades", 0x2660},  {"sub", 0x2282},      {"sube", 0x2286},
    {"sum", 0x2211},     {"sup", 0x2283},     {"sup1", 0x00B9},     {"sup2", 0x00B2},
    {"sup3", 0x00B3},    {"supe", 0x2287},    {"szlig", 0x00DF},    {"tau", 0x03C4},
    {"there4", 0x2234},  {"theta", 0x03B8},   {"thetasym", 0x03D1}, {"thinsp", 0x2009},
    {"thorn", 0x00FE},   {"tilde", 0x02DC},   {"times", 0x00D7},    {"trade", 0x2122},
    {"uArr", 0x21D1},    {"uacute", 0x00FA},  {"uarr", 0x2191},     {"ucirc", 0x00FB},
    {"ugrave", 0x00F9},  {"uml", 0x00A8},     {"upsih", 0x03D2},    {"upsilon", 0x03C5},
    {"uuml", 0x00FC},    {"weierp", 0x2118},  {"xi", 0x03BE},       {"yacute", 0x00FD},
    {"yen", 0x00A5},     {"yuml", 0x00FF},    {"zeta", 0x03B6},     {"zwj", 0x200D},
    {"zwnj", 0x200C},
};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

std::size_t FindNoCase(std::string_view text, std::string_view what, std::size_t from = 0) {
    if (what.size() > text.size()) return std::string_view::npos;
    for (std::size_t i = from; i + what.size() <= text.size(); ++i)
        if (EqualNoCase(text.substr(i, what.size()), what)) return i;
    return std::string_view::npos;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsBlank16(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsNameEnd(char16_t c) {
    switch (c) {
        case u' ':
        case u'\t':
        case u'\n':
        case u'\r':
        case u'<':
        case u'>':
        case u'=':
        case u'\\':
        case u'/':
        case u'?':
        case u'!':
        case u'"':
        case u'\'':
        case u';':
            return true;
        default:
            return false;
    }
}

// The value of an attribute in the text of one tag ("" when absent). The name
// must follow a blank, so "content" is not found inside "Content-Type".
std::string_view AttributeValue(std::string_view tag, std::string_view name) {
    for (std::size_t at = FindNoCase(tag, name); at != std::string_view::npos;
         at = FindNoCase(tag, name, at + 1)) {
        if (at == 0 || !IsBlank(tag[at - 1])) continue;
        std::size_t i = at + name.size();
        while (i < tag.size() && IsBlank(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && IsBlank(tag[i])) ++i;
        if (i >= tag.size()) return {};
        if (tag[i] == '"' || tag[i] == '\'') {
            const std::size_t end = tag.find(tag[i], i + 1);
            return tag.substr(i + 1, (end == std::string_view::npos ? tag.size() : end) - i - 1);
        }
        std::size_t end = i;
        while (end < tag.size() && !IsBlank(tag[end]) && tag[end] != '>' && tag[end] != '/') ++end;
        return tag.substr(i, end - i);
    }
    return {};
}

// Skips blanks, comments, processing instructions and declarations before the
// first element; returns the offset of its '<' or npos.
std::size_t FirstElement(std::string_view head) {
    std::size_t i = 0;
    while (i < head.size()) {
        if (IsBlank(head[i])) {
            ++i;
        } else if (head.substr(i, 4) == "<!--") {
            const std::size_t end = head.find("-->", i + 4);
            if (end == std::string_view::npos) return end;
            i = end + 3;
        } else if (head.substr(i, 2) == "<?" || head.substr(i, 2) == "<!") {
            const std::size_t end = head.find('>', i);
            if (end == std::string_view::npos) return end;
            i = end + 1;
        } else {
            return head[i] == '<' ? i : std::string_view::npos;
        }
    }
    return std::string_view::npos;
}

// The encoding a document names: its XML declaration's, or for html the
// charset of the Content-Type meta element in its head.
std::string DeclaredEncoding(std::string_view head) {
    if (head.starts_with("<?xml") && head.size() > 5 && (IsBlank(head[5]) || head[5] == '?')) {
        const std::size_t end = head.find("?>");
        const std::string_view declaration = head.substr(0, end);
        const std::string_view value = AttributeValue(declaration, "encoding");
        if (!value.empty()) return std::string(value);
    }
    const std::size_t first = FirstElement(head);
    if (first == std::string_view::npos || !EqualNoCase(head.substr(first + 1, 4), "html") ||
        (first + 5 < head.size() && !IsNameEnd(static_cast<unsigned char>(head[first + 5]))))
        return {};
    const std::size_t headEnd = FindNoCase(head, "</head", first);
    const std::string_view body = head.substr(0, headEnd);
    for (std::size_t at = FindNoCase(body, "<meta", first); at != std::string_view::npos;
         at = FindNoCase(body, "<meta", at + 5)) {
        const std::size_t end = body.find('>', at);
        const std::string_view tag =
            body.substr(at, end == std::string_view::npos ? end : end - at);
        if (!EqualNoCase(AttributeValue(tag, "http-equiv"), "content-type")) continue;
        const std::string_view content = AttributeValue(tag, "content");
        const std::size_t charset = FindNoCase(content, "charset");
        if (charset == std::string_view::npos) continue;
        std::size_t i = charset + 7;
        while (i < content.size() && IsBlank(content[i])) ++i;
        if (i >= content.size() || content[i] != '=') continue;
        ++i;
        while (i < content.size() && IsBlank(content[i])) ++i;
        std::size_t valueEnd = i;
        while (valueEnd < content.size() && !IsBlank(content[valueEnd]) &&
               content[valueEnd] != ';' && content[valueEnd] != '"' && content[valueEnd] != '\'')
            ++valueEnd;
        return std::string(content.substr(i, valueEnd - i));
    }
    return {};
}

const char* CodePageName(int codePage) {
    switch (codePage) {
        case kCodePageUtf8:
            return "UTF-8";
        case kCodePageUtf16Le:
            return "UTF-16LE";
        case kCodePageUtf16Be:
            return "UTF-16BE";
        case kAnsiCodePage:
            return "windows-1252";
        default: {
            const char* name = IconvNameOfCodePage(codePage);
            return name ? name : "unknown";
        }
    }
}

// A decimal or hexadecimal number; 0 when a character is not a digit.
char32_t CharacterNumber(std::string_view digits, bool hex) {
    if (digits.empty()) return 0;
    char32_t value = 0;
    for (const char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return 0;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    }
    return value;
}

// Exact spelling first, so &oslash; is ø and &Oslash; is Ø; any other letter
// case (&AMP;, &OSLASH;) falls back to the capital form.
char16_t EntityValue(std::string_view name, std::string_view folded) {
    const auto* end = std::end(kEntities);
    const auto* it =
        std::lower_bound(std::begin(kEntities), end, name,
                         [](const XmlEntity& e, std::string_view n) { return e.name < n; });
    if (it != end && it->name == name) return it->value;
    for (const auto& entity : kEntities)
        if (EqualNoCase(entity.name, folded)) return entity.value;
    return 0;
}

}  // namespace

std::span<const XmlEntity> XmlEntityTable() {
    return kEntities;
}

namespace {

// The value of the reference whose '&' is at text[at], 0 when there is none;
// `length` is the length of its name. Surrogate halves are returned as they
// are: only the caller sees whether a second half follows.
char32_t ReferenceAt(std::u16string_view text, std::size_t at, std::size_t& length) {
    const std::size_t n = text.size();
    // Up to 9 characters, all below 128, then ';'.
    std::array<char, 9> name{};
    std::array<char, 9> folded{};
    length = 0;
    bool terminated = false;
    for (; length <= 9 && at + 1 + length < n; ++length) {
        const char16_t c = text[at + 1 + length];
        if (c == u';') {
            terminated = true;
            break;
        }
        if (c >= 128 || length == 9) break;
        name[length] = static_cast<char>(c);
        folded[length] = LowerAscii(static_cast<char>(c));
    }
    if (!terminated || length == 0) return 0;
    const std::string_view raw(name.data(), length);
    const std::string_view lower(folded.data(), length);
    if (lower[0] != '#') return EntityValue(raw, lower);
    const bool hex = length > 1 && lower[1] == 'x';
    const char32_t value = CharacterNumber(lower.substr(hex ? 2 : 1), hex);
    return value > 0x10FFFF ? 0 : value;  // beyond Unicode: no character
}

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

void AppendDecodedText(std::u16string_view text, std::u16string& out) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t amp = text.find(u'&', i);
        if (amp == std::u16string_view::npos) {
            out.append(text.substr(i));
            return;
        }
        out.append(text.substr(i, amp - i));
        i = amp;
        std::size_t length = 0;
        char32_t value = ReferenceAt(text, i, length);
        if (IsHighSurrogate(value)) {
            // Two references that spell a surrogate pair are one character; a
            // half on its own is none.
            const std::size_t next = i + length + 2;
            std::size_t lowLength = 0;
            const char32_t low =
                next < n && text[next] == u'&' ? ReferenceAt(text, next, lowLength) : 0;
            if (IsLowSurrogate(low)) {
                out += static_cast<char16_t>(value);
                out += static_cast<char16_t>(low);
                i = next + lowLength + 2;
                continue;
            }
            value = 0;
        } else if (IsLowSurrogate(value)) {
            value = 0;
        }
        if (value == 0) {
            out += u'&';
            ++i;
            continue;
        }
        AppendCodePoint(out, value);
        i += length + 2;
    }
}

void XmlReader::Clear() {
    fileError_ = FileError::None;
    document_.clear();
    elements_.assign(1, Element{});
    result_.clear();
    bom_ = ByteOrderMark::None;
    codePage_ = 0;
    problems_ = false;
    ResetPosition();
}

bool XmlReader::LoadXmlFile(const std::filesystem::path& path, std::size_t maxBytes) {
    Clear();
    maxBytes = std::min(maxBytes, kMaxFileBytes);
    std::vector<std::uint8_t> bytes;
    // One allocation of the right size instead of growing by doubling; the
    // size is only a hint (a FIFO or a folder is refused by the read).
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size <= maxBytes) bytes.reserve(static_cast<std::size_t>(size));
    fileError_ = ReadWholeFile(path, bytes, maxBytes);
    if (fileError_ != FileError::None) {
        result_ = "Cannot read file\n";
        return false;
    }
    return LoadXmlBytes(bytes);
}

bool XmlReader::LoadXmlBytes(std::span<const std::uint8_t> bytes) {
    Clear();
    if (bytes.size() > kMaxFileBytes) {
        result_ = "File too large\n";
        return false;
    }
    DecodeBytes(bytes);
    result_ += "Encoding " + std::string(CodePageName(codePage_)) + ", file length " +
               std::to_string(bytes.size()) + ", document length " +
               std::to_string(document_.size()) + "\n";
    return Parse();
}

void XmlReader::DecodeBytes(std::span<const std::uint8_t> bytes) {
    std::size_t skip = 0;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bom_ = ByteOrderMark::Utf8;
        codePage_ = kCodePageUtf8;
        skip = 3;
    } else if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bom_ = ByteOrderMark::Utf16Le;
        codePage_ = kCodePageUtf16Le;
        skip = 2;
    } else if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        bom_ = ByteOrderMark::Utf16Be;
        codePage_ = kCodePageUtf16Be;
        skip = 2;
    }

    if (bom_ == ByteOrderMark::Utf16Le || bom_ == ByteOrderMark::Utf16Be) {
        const bool big = bom_ == ByteOrderMark::Utf16Be;
        document_.reserve((bytes.size() - skip) / 2);
        for (std::size_t i = skip; i + 1 < bytes.size(); i += 2) {
            const auto unit = static_cast<char16_t>(big ? (bytes[i] << 8) | bytes[i + 1]
                                                        : bytes[i] | (bytes[i + 1] << 8));
            if (unit != 0) document_ += unit;
        }
        return;
    }

    if (codePage_ == 0) {
        const std::string_view head(reinterpret_cast<const char*>(bytes.data()),
                                    std::min(bytes.size(), kHeadBytes));
        const std::string declared = DeclaredEncoding(head);
        if (!declared.empty()) {
            codePage_ = CodePageOfCharset(declared);
            if (codePage_ == 0) codePage_ = kAnsiCodePage;
            // A declaration readable as 8-bit text proves the file is not in a
            // 16- or 32-bit form (with the zeros gone it could not be anyway):
            // decide as for an undeclared file.
            if (codePage_ == kCodePageUtf16Le || codePage_ == kCodePageUtf16Be ||
                codePage_ == kCodePageUtf32)
                codePage_ = 0;
        } else if (!bytes.empty() && bytes[0] == '<') {
            codePage_ = kCodePageUtf8;
        }
    }

    std::span<const std::uint8_t> rest = bytes.subspan(skip);
    std::vector<std::uint8_t> withoutZeros;
    if (std::find(rest.begin(), rest.end(), 0) != rest.end()) {
        withoutZeros.reserve(rest.size());
        std::copy_if(rest.begin(), rest.end(), std::back_inserter(withoutZeros),
                     [](std::uint8_t b) { return b != 0; });
        rest = withoutZeros;
    }
    if (codePage_ == 0) codePage_ = IsValidUtf8(rest) ? kCodePageUtf8 : kAnsiCodePage;
    document_ = ConvertToUtf16(rest, codePage_);
}

void XmlReader::Problem(std::string text) {
    problems_ = true;
    result_ += text;
    result_ += '\n';
}

std::u16string_view XmlReader::Name(std::uint32_t element) const {
    const Element& e = elements_[element];
    return std::u16string_view(document_).substr(e.start + 1, e.nameLength);
}

std::string XmlReader::NameOf(std::uint32_t element) const {
    return ToUtf8(Name(element));
}

bool XmlReader::Matches(std::uint32_t element, std::u16string_view name) const {
    // Lookups walk long sibling lists: compare the length before any character.
    const Element& e = elements_[element];
    return e.nameLength == name.size() &&
           std::char_traits<char16_t>::compare(document_.data() + e.start + 1, name.data(),
                                               name.size()) == 0;
}

bool XmlReader::Parse() {
    const std::u16string_view d(document_);
    const std::size_t n = d.size();
    const auto at = [](std::size_t offset) { return " at offset " + std::to_string(offset); };
    // Every element costs at least a '<' and a '>' and most a start and an end tag.
    elements_.reserve(1 + static_cast<std::size_t>(std::count(d.begin(), d.end(), u'<')) / 2);
    std::vector<std::uint32_t> open;  // the open elements, innermost last; no recursion
    // How many open elements bear each name, so that an end tag without a start
    // tag is known at once instead of after a walk down the whole stack.
    std::unordered_map<std::u16string_view, std::uint32_t> openNames;
    const auto close = [&](std::uint32_t element) {
        const auto it = openNames.find(Name(element));
        if (--it->second == 0) openNames.erase(it);
    };
    std::size_t i = 0;
    while (i < n) {
        i = d.find(u'<', i);
        if (i == std::u16string_view::npos) break;
        if (i + 1 >= n) {
            Problem("tag" + at(i) + " unterminated");
            break;
        }
        const char16_t next = d[i + 1];
        if (next == u'!') {
            if (d.substr(i, 4) == u"<!--") {
                const std::size_t end = d.find(u"-->", i + 4);
                if (end == std::u16string_view::npos) {
                    Problem("Comment" + at(i) + " unterminated");
                    break;
                }
                i = end + 3;
            } else if (d.substr(i, 9) == u"<![CDATA[") {
                const std::size_t end = d.find(u"]]>", i + 9);
                if (end == std::u16string_view::npos) {
                    Problem("CDATA Section" + at(i) + " unterminated");
                    break;
                }
                i = end + 3;
            } else if (d.substr(i, 9) == u"<!DOCTYPE") {
                // Up to the '>' that is outside quotes and the internal subset.
                std::size_t j = i + 9;
                int depth = 0;
                char16_t quote = 0;
                for (; j < n; ++j) {
                    const char16_t c = d[j];
                    if (quote) {
                        if (c == quote) quote = 0;
                    } else if (c == u'"' || c == u'\'') {
                        quote = c;
                    } else if (c == u'[') {
                        ++depth;
                    } else if (c == u']') {
                        if (depth > 0) --depth;
                    } else if (c == u'>' && depth == 0) {
                        break;
                    }
                }
                if (j >= n) {
                    Problem("Doctype" + at(i) + " unterminated");
                    break;
                }
                i = j + 1;
            } else {
                Problem(std::string(d.substr(i, 3) == u"<!-" ? "Incorrect comment tag"
                                                             : "Incorrect ! tag") +
                        at(i));
                const std::size_t end = d.find(u'>', i + 2);
                if (end == std::u16string_view::npos) break;
                i = end + 1;
            }
            continue;
        }
        if (next == u'?') {
            const std::size_t end = d.find(u"?>", i + 2);
            if (end == std::u16string_view::npos) {
                Problem("Processing instruction" + at(i) + " unterminated");
                break;
            }
            i = end + 2;
            continue;
        }
        if (next == u'/') {
            std::size_t nameEnd = i + 2;
            while (nameEnd < n && !IsNameEnd(d[nameEnd])) ++nameEnd;
            const std::size_t gt = d.find(u'>', nameEnd);
            if (gt == std::u16string_view::npos) {
                Problem("Element end tag" + at(i) + " unterminated");
                break;
            }
            const std::u16string_view name = d.substr(i + 2, nameEnd - i - 2);
            if (name.empty() || !openNames.contains(name)) {
                Problem("No start tag for end tag '" + ToUtf8(name) + "'" + at(i));
                i = gt + 1;
                continue;
            }
            std::size_t depth = open.size();
            while (!Matches(open[depth - 1], name)) --depth;
            if (depth != open.size()) {
                const Element& top = elements_[open.back()];
                Problem("End tag '" + ToUtf8(name) + "'" + at(i) + " does not match start tag '" +
                        NameOf(open.back()) + "'" + at(top.start));
                // The elements opened inside end where this end tag begins.
                for (std::size_t k = depth; k < open.size(); ++k) {
                    Element& inner = elements_[open[k]];
                    inner.length = static_cast<std::uint32_t>(i - inner.start);
                    inner.flags |= kNotEnded;
                    close(open[k]);
                }
                open.resize(depth);
            }
            Element& e = elements_[open.back()];
            e.length = static_cast<std::uint32_t>(gt + 1 - e.start);
            e.endTagLength = static_cast<std::uint32_t>(gt + 1 - i);
            close(open.back());
            open.pop_back();
            i = gt + 1;
            continue;
        }

        // A start tag or an empty-element tag.
        std::size_t nameEnd = i + 1;
        while (nameEnd < n && !IsNameEnd(d[nameEnd])) ++nameEnd;
        if (nameEnd == i + 1) {
            // "a < b": the '<' is text.
            Problem("Incorrect tag name character" + at(i + 1));
            ++i;
            continue;
        }
        if (nameEnd < n && !IsBlank16(d[nameEnd]) && d[nameEnd] != u'/' && d[nameEnd] != u'>')
            Problem("Incorrect tag name character" + at(nameEnd));
        std::size_t j = nameEnd;
        char16_t quote = 0;
        bool broken = false;
        for (; j < n; ++j) {
            const char16_t c = d[j];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'>') {
                break;
            } else if (c == u'<') {
                broken = true;
                break;
            }
        }
        if (j >= n) {
            Problem("Element tag" + at(i) + " unterminated");
            break;
        }
        if (broken) {
            // Drop the broken tag and read on from the next '<'.
            Problem("Incorrect tag" + at(i));
            i = j;
            continue;
        }
        const auto index = static_cast<std::uint32_t>(elements_.size());
        const std::uint32_t parent = open.empty() ? 0 : open.back();
        Element e;
        e.start = static_cast<std::uint32_t>(i);
        e.startTagLength = static_cast<std::uint32_t>(j + 1 - i);
        e.nameLength = static_cast<std::uint32_t>(nameEnd - i - 1);
        e.parent = parent;
        e.prevSibling = elements_[parent].lastChild;
        if (d[j - 1] == u'/') {
            e.length = e.startTagLength;
            e.flags |= kEmptyTag;
        }
        elements_.push_back(e);
        Element& p = elements_[parent];
        if (p.lastChild)
            elements_[p.lastChild].nextSibling = index;
        else
            p.firstChild = index;
        p.lastChild = index;
        if (!(e.flags & kEmptyTag)) {
            open.push_back(index);
            ++openNames[Name(index)];
        }
        i = j + 1;
    }
    for (std::size_t k = open.size(); k-- > 0;) {
        Element& e = elements_[open[k]];
        Problem("Element '" + NameOf(open[k]) + "'" + at(e.start) + " not ended");
        e.length = static_cast<std::uint32_t>(n - e.start);
        e.flags |= kNotEnded;
    }
    const Element& root = elements_[0];
    if (document_.empty())
        Problem("Empty document");
    else if (root.firstChild == 0)
        Problem("No root element");
    else if (elements_[root.firstChild].nextSibling != 0)
        Problem("Root element has sibling");
    return !problems_;
}

void XmlReader::ResetPosition() {
    parent_ = current_ = child_ = 0;
}

std::uint32_t XmlReader::FindAfter(std::uint32_t parent, std::uint32_t after,
                                   std::u16string_view name) const {
    std::uint32_t e = after ? elements_[after].nextSibling : elements_[parent].firstChild;
    for (; e != 0; e = elements_[e].nextSibling)
        if (name.empty() || Matches(e, name)) return e;
    return 0;
}

bool XmlReader::FindNextElement(std::u16string_view name) {
    const std::uint32_t found = FindAfter(parent_, current_, name);
    if (!found) return false;
    current_ = found;
    child_ = 0;
    return true;
}

bool XmlReader::FindChildElement(std::u16string_view name) {
    if (!current_ && !FindNextElement()) return false;
    const std::uint32_t found = FindAfter(current_, child_, name);
    if (!found) return false;
    child_ = found;
    return true;
}

bool XmlReader::StepIntoChild() {
    if (!child_) return false;
    parent_ = current_;
    current_ = child_;
    child_ = 0;
    return true;
}

std::u16string XmlReader::ChildElementText() const {
    std::u16string out;
    if (!child_) return out;
    const Element& e = elements_[child_];
    if (e.firstChild || (e.flags & kEmptyTag)) return out;
    const std::u16string_view content = std::u16string_view(document_).substr(
        e.start + e.startTagLength, e.length - e.startTagLength - e.endTagLength);
    if (content.find(u'<') == std::u16string_view::npos) {
        AppendDecodedText(content, out);
        return out;
    }
    const std::size_t n = content.size();
    std::size_t i = 0;
    while (i < n) {
        if (content[i] != u'<') {
            std::size_t end = content.find(u'<', i);
            if (end == std::u16string_view::npos) end = n;
            const std::u16string_view run = content.substr(i, end - i);
            if (!std::all_of(run.begin(), run.end(), IsBlank16)) AppendDecodedText(run, out);
            i = end;
            continue;
        }
        const std::u16string_view rest = content.substr(i);
        std::size_t skip;  // offset past the construct
        if (rest.starts_with(u"<![CDATA[")) {
            const std::size_t end = rest.find(u"]]>", 9);
            out.append(rest.substr(9, end == std::u16string_view::npos ? end : end - 9));
            skip = end == std::u16string_view::npos ? n : i + end + 3;
        } else if (rest.starts_with(u"<!--")) {
            const std::size_t end = rest.find(u"-->", 4);
            skip = end == std::u16string_view::npos ? n : i + end + 3;
        } else if (rest.starts_with(u"<?")) {
            const std::size_t end = rest.find(u"?>", 2);
            skip = end == std::u16string_view::npos ? n : i + end + 2;
        } else if (rest.starts_with(u"</") || rest.starts_with(u"<!")) {
            // A stray end tag or declaration the parse did not take as markup of its own.
            const std::size_t end = rest.find(u'>');
            skip = end == std::u16string_view::npos ? n : i + end + 1;
        } else {
            out += u'<';
            skip = i + 1;
        }
        i = skip;
    }
    return out;
}

std::u16string XmlReader::ReadChildText(std::u16string_view parent, std::u16string_view child) {
    ResetPosition();
    for (;;) {
        if (!FindChildElement(parent)) return {};
        StepIntoChild();
        if (FindChildElement(child)) return ChildElementText();
    }
}

std::u16string XmlReader::ReadChildText(std::string_view parent, std::string_view child) {
    return ReadChildText(std::u16string_view(FromUtf8(parent)),
                         std::u16string_view(FromUtf8(child)));
}

}  // namespace qx
