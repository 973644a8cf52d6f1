#include "i18n/XmlEncoding.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace qx {
namespace {

// Sorted by name for binary search.
constexpr CharsetAlias kCharsets[] = {
    {"437", 437},
    {"ansi_x3.4-1968", 20127},
    {"ansi_x3.4-1986", 20127},
    {"arabic", 28596},
    {"ascii", 20127},
    {"asmo-708", 28596},
    {"big5", 950},
    {"big5-hkscs", 950},
    {"chinese", 936},
    {"cn-big5", 950},
    {"cn-gb", 936},
    {"cp037", 37},
    {"cp1250", 1250},
    {"cp1251", 1251},
    {"cp1252", 1252},
    {"cp1253", 1253},
    {"cp1254", 1254},
    {"cp1255", 1255},
    {"cp1256", 1256},
    {"cp1257", 1257},
    {"cp1258", 1258},
    {"cp367", 20127},
    {"cp437", 437},
    {"cp819", 28591},
    {"cp850", 850},
    {"cp852", 852},
    {"cp855", 855},
    {"cp857", 857},
    {"cp860", 860},
    {"cp861", 861},
    {"cp863", 863},
    {"cp864", 864},
    {"cp865", 865},
    {"cp866", 866},
    {"cp869", 869},
    {"cp875", 875},
    {"cp932", 932},
    {"cp936", 936},
    {"cp949", 949},
    {"cp950", 950},
    {"csascii", 20127},
    {"csbig5", 950},
    {"cseuckr", 949},
    {"cseucpkdfmtjapanese", 51932},
    {"csgb2312", 936},
    {"csgb231280", 936},
    {"csiso2022jp", 50221},
    {"csiso2022kr", 50225},
    {"csiso58gb231280", 936},
    {"csisolatin1", 28591},
    {"csisolatin2", 28592},
    {"csisolatin3", 28593},
    {"csisolatin4", 28594},
    {"csisolatin5", 28599},
    {"csisolatin9", 28605},
    {"csisolatinarabic", 28596},
    {"csisolatincyrillic", 28595},
    {"csisolatingreek", 28597},
    {"csisolatinhebrew", 28598},
    {"cskoi8r", 20866},
    {"csksc56011987", 949},
    {"cspc8codepage437", 437},
    {"csshiftjis", 932},
    {"csunicode", 1200},
    {"csunicode11utf7", 65000},
    {"cswindows31j", 932},
    {"cyrillic", 28595},
    {"dos-862", 862},
    {"dos-874", 874},
    {"ecma-114", 28596},
    {"ecma-118", 28597},
    {"elot_928", 28597},
    {"euc-cn", 936},
    {"euc-jp", 51932},
    {"euc-kr", 949},
    {"extended_unix_code_packed_format_for_japanese", 51932},
    {"gb18030", 54936},
    {"gb2312", 936},
    {"gb2312-80", 936},
    {"gb231280", 936},
    {"gb_2312-80", 936},
    {"gbk", 936},
    {"greek", 28597},
    {"greek8", 28597},
    {"hebrew", 28598},
    {"ibm01047", 1047},
    {"ibm037", 37},
    {"ibm1026", 1026},
    {"ibm273", 20273},
    {"ibm277", 20277},
    {"ibm278", 20278},
    {"ibm280", 20280},
    {"ibm284", 20284},
    {"ibm285", 20285},
    {"ibm290", 20290},
    {"ibm297", 20297},
    {"ibm367", 20127},
    {"ibm420", 20420},
    {"ibm423", 20423},
    {"ibm424", 20424},
    {"ibm437", 437},
    {"ibm500", 500},
    {"ibm737", 737},
    {"ibm775", 775},
    {"ibm819", 28591},
    {"ibm850", 850},
    {"ibm852", 852},
    {"ibm855", 855},
    {"ibm857", 857},
    {"ibm860", 860},
    {"ibm861", 861},
    {"ibm863", 863},
    {"ibm864", 864},
    {"ibm865", 865},
    {"ibm866", 866},
    {"ibm869", 869},
    {"ibm870", 870},
    {"ibm871", 20871},
    {"ibm880", 20880},
    {"ibm905", 20905},
    {"iso-10646-ucs-2", 1200},
    {"iso-2022-jp", 50220},
    {"iso-2022-kr", 50225},
    {"iso-8859-1", 28591},
    {"iso-8859-11", 874},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"iso-8859-2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},
    {"iso-8859-8 visual", 28598},
    {"iso-8859-8-i", 28598},
    {"iso-8859-9", 28599},
    {"iso-ir-100", 28591},
    {"iso-ir-101", 28592},
    {"iso-ir-109", 28593},
    {"iso-ir-110", 28594},
    {"iso-ir-126", 28597},
    {"iso-ir-127", 28596},
    {"iso-ir-138", 28598},
    {"iso-ir-144", 28595},
    {"iso-ir-148", 28599},
    {"iso-ir-149", 949},
    {"iso-ir-58", 936},
    {"iso-ir-6", 20127},
    {"iso646-us", 20127},
    {"iso8859-1", 28591},
    {"iso8859-2", 28592},
    {"iso_646.irv:1991", 20127},
    {"iso_8859-1", 28591},
    {"iso_8859-15", 28605},
    {"iso_8859-1:1987", 28591},
    {"iso_8859-2", 28592},
    {"iso_8859-2:1987", 28592},
    {"iso_8859-3", 28593},
    {"iso_8859-3:1988", 28593},
    {"iso_8859-4", 28594},
    {"iso_8859-4:1988", 28594},
    {"iso_8859-5", 28595},
    {"iso_8859-5:1988", 28595},
    {"iso_8859-6", 28596},
    {"iso_8859-6:1987", 28596},
    {"iso_8859-7", 28597},
    {"iso_8859-7:1987", 28597},
    {"iso_8859-8", 28598},
    {"iso_8859-8:1988", 28598},
    {"iso_8859-9", 28599},
    {"iso_8859-9:1989", 28599},
    {"johab", 1361},
    {"koi", 20866},
    {"koi8", 20866},
    {"koi8-r", 20866},
    {"koi8-ru", 21866},
    {"koi8-u", 21866},
    {"koi8r", 20866},
    {"korean", 949},
    {"ks_c_5601", 949},
    {"ks_c_5601-1987", 949},
    {"ks_c_5601-1989", 949},
    {"ks_c_5601_1987", 949},
    {"ksc5601", 949},
    {"ksc_5601", 949},
    {"l1", 28591},
    {"l2", 28592},
    {"l3", 28593},
    {"l4", 28594},
    {"l5", 28599},
    {"l9", 28605},
    {"latin-9", 28605},
    {"latin1", 28591},
    {"latin2", 28592},
    {"latin3", 28593},
    {"latin4", 28594},
    {"latin5", 28599},
    {"latin9", 28605},
    {"logical", 28598},
    {"mac", 10000},
    {"macintosh", 10000},
    {"ms_kanji", 932},
    {"shift-jis", 932},
    {"shift_jis", 932},
    {"sjis", 932},
    {"tis-620", 874},
    {"ucs-2", 1200},
    {"uhc", 949},
    {"unicode", 1200},
    {"unicode-1-1-utf-7", 65000},
    {"unicode-1-1-utf-8", 65001},
    {"unicode-2-0-utf-7", 65000},
    {"unicode-2-0-utf-8", 65001},
    {"unicodefffe", 1201},
    {"us", 20127},
    {"us-ascii", 20127},
    {"utf-16", 1200},
    {"utf-16be", 1201},
    {"utf-16le", 1200},
    {"utf-7", 65000},
    {"utf-8", 65001},
    {"utf8", 65001},
    {"visual", 28598},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1252", 1252},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"windows-31j", 932},
    {"windows-874", 874},
    {"windows-936", 936},
    {"x-ansi", 1252},
    {"x-cp1250", 1250},
    {"x-cp1251", 1251},
    {"x-cp20936", 936},
    {"x-euc", 51932},
    {"x-euc-cn", 936},
    {"x-euc-jp", 51932},
    {"x-mac-ce", 10029},
    {"x-mac-cyrillic", 10007},
    {"x-mac-icelandic", 10079},
    {"x-mac-ukrainian", 10017},
    {"x-ms-cp932", 932},
    {"x-sjis", 932},
    {"x-unicode-1-1-utf-7", 65000},
    {"x-unicode-1-1-utf-8", 65001},
    {"x-unicode-2-0-utf-7", 65000},
    {"x-unicode-2-0-utf-8", 65001},
    {"x-x-big5", 950},
};

struct IconvName {
    int codePage;
    const char* name;
};

constexpr IconvName kIconvNames[] = {
    {37, "IBM037"},          {437, "CP437"},         {500, "IBM500"},
    {737, "CP737"},          {775, "CP775"},         {850, "CP850"},
    {852, "CP852"},          {855, "CP855"},         {857, "CP857"},
    {860, "CP860"},          {861, "CP861"},         {862, "CP862"},
    {863, "CP863"},          {864, "CP864"},         {865, "CP865"},
    {866, "CP866"},          {869, "CP869"},         {870, "IBM870"},
    {874, "CP874"},          {875, "IBM875"},        {932, "CP932"},
    {936, "CP936"},          {949, "CP949"},         {950, "BIG5"},
    {1026, "IBM1026"},       {1047, "IBM1047"},      {1200, "UTF-16LE"},
    {1201, "UTF-16BE"},      {1250, "CP1250"},       {1251, "CP1251"},
    {1252, "CP1252"},        {1253, "CP1253"},       {1254, "CP1254"},
    {1255, "CP1255"},        {1256, "CP1256"},       {1257, "CP1257"},
    {1258, "CP1258"},        {1361, "JOHAB"},        {10000, "MACINTOSH"},
    {10007, "MAC-CYRILLIC"}, {10017, "MAC-UK"},      {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},       {20127, "ASCII"},       {20273, "IBM273"},
    {20277, "IBM277"},       {20278, "IBM278"},      {20280, "IBM280"},
    {20284, "IBM284"},       {20285, "IBM285"},      {20290, "IBM290"},
    {20297, "IBM297"},       {20420, "IBM420"},      {20423, "IBM423"},
    {20424, "IBM424"},       {20866, "KOI8-R"},      {20871, "IBM871"},
    {20880, "IBM880"},       {20905, "IBM905"},      {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},   {28592, "ISO-8859-2"},  {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"},   {28595, "ISO-8859-5"},  {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},   {28598, "ISO-8859-8"},  {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"},  {28605, "ISO-8859-15"}, {50220, "ISO-2022-JP"},
    {50221, "ISO-2022-JP"},  {50225, "ISO-2022-KR"}, {51932, "EUC-JP"},
    {54936, "GB18030"},      {65000, "UTF-7"},       {65001, "UTF-8"},
    {65005, "UTF-32LE"},
};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    return true;
}

// Feeds the bytes through iconv into UTF-16LE units; a byte iconv rejects
// becomes U+FFFD and is skipped.
bool IconvToUtf16(std::span<const std::uint8_t> bytes, const char* from, std::u16string& out) {
    iconv_t cd = iconv_open("UTF-16LE", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    out.reserve(bytes.size());
    std::array<char, 8192> buffer;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    const auto flush = [&](std::size_t produced) {
        for (std::size_t i = 0; i + 1 < produced; i += 2)
            out += static_cast<char16_t>(static_cast<std::uint8_t>(buffer[i]) |
                                         (static_cast<std::uint8_t>(buffer[i + 1]) << 8));
    };
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        flush(buffer.size() - outLeft);
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ (a byte the code page lacks) or EINVAL (cut off at the end).
        out += u'\uFFFD';
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);  // end any shift state
    flush(buffer.size() - outLeft);
    iconv_close(cd);
    return true;
}

// UTF-8 to UTF-16 with a fast path for ASCII runs: documents are mostly
// markup. Each byte of an invalid sequence becomes U+FFFD. Units go through a
// small buffer so the large result is written once, not zeroed first.
std::u16string Utf8ToUtf16(std::span<const std::uint8_t> bytes) {
    std::u16string out;
    out.reserve(bytes.size());  // never more units than bytes
    std::array<char16_t, 4096> buffer;
    std::size_t used = 0;
    const auto put = [&](char16_t unit) {
        buffer[used++] = unit;
        if (used == buffer.size()) {
            out.append(buffer.data(), used);
            used = 0;
        }
    };
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t b = bytes[i];
        if (b < 0x80) {
            // A run of ASCII, as far as the buffer has room.
            const std::size_t room = std::min(n - i, buffer.size() - used);
            std::size_t k = 0;
            while (k < room && bytes[i + k] < 0x80) {
                buffer[used + k] = bytes[i + k];
                ++k;
            }
            used += k;
            i += k;
            if (used == buffer.size()) {
                out.append(buffer.data(), used);
                used = 0;
            }
            continue;
        }
        const int extra = (b & 0xE0) == 0xC0   ? 1
                          : (b & 0xF0) == 0xE0 ? 2
                          : (b & 0xF8) == 0xF0 ? 3
                                               : -1;
        bool ok = extra > 0 && n - i > static_cast<std::size_t>(extra);
        char32_t c = b & (0x7F >> (extra + 1));
        for (int k = 1; ok && k <= extra; ++k) {
            ok = (bytes[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (bytes[i + k] & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (ok && (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
        if (!ok) {
            put(u'\uFFFD');
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            put(static_cast<char16_t>(0xD800 + (c >> 10)));
            put(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            put(static_cast<char16_t>(c));
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    out.append(buffer.data(), used);
    return out;
}

}  // namespace

std::span<const CharsetAlias> CharsetTable() {
    return kCharsets;
}

int CodePageOfCharset(std::string_view name) {
    if (StartsWithNoCase(name, "utf-32")) return kCodePageUtf32;
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
    const auto* end = std::end(kCharsets);
    const auto* it =
        std::lower_bound(std::begin(kCharsets), end, lower,
                         [](const CharsetAlias& a, const std::string& b) { return a.name < b; });
    return it != end && it->name == lower ? it->codePage : 0;
}

const char* IconvNameOfCodePage(int codePage) {
    for (const auto& entry : kIconvNames)
        if (entry.codePage == codePage) return entry.name;
    return nullptr;
}

bool IsValidUtf8(std::span<const std::uint8_t> bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const std::uint8_t b = bytes[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t c;
        if ((b & 0xE0) == 0xC0) {
            extra = 1;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            c = b & 0x07;
        } else {
            return false;
        }
        if (n - i <= static_cast<std::size_t>(extra)) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
            c = (c << 6) | (bytes[i + k] & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::u16string ConvertToUtf16(std::span<const std::uint8_t> bytes, int codePage) {
    if (codePage == kCodePageUtf8) return Utf8ToUtf16(bytes);
    std::u16string out;
    const char* name = IconvNameOfCodePage(codePage);
    if (name && IconvToUtf16(bytes, name, out)) return out;
    if (IconvToUtf16(bytes, IconvNameOfCodePage(kAnsiCodePage), out)) return out;
    // No iconv module at all: Latin-1 is the part of windows-1252 that needs none.
    out.assign(bytes.begin(), bytes.end());
    return out;
}

}  // namespace qx
