#include "base/Text.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(FormatText, SubstitutesInOrderAndKeepsOtherConversions) {
    EXPECT_EQ(FormatText(u"%s is an invaild Profile!", {u"/a/b.cfg"}),
              u"/a/b.cfg is an invaild Profile!");
    EXPECT_EQ(FormatText(u"%s-%s", {u"a", u"b"}), u"a-b");
    EXPECT_EQ(FormatText(u"100%% %d %s", {u"x"}), u"100% %d x");
    EXPECT_EQ(FormatText(u"no args %s"), u"no args ");
    EXPECT_EQ(FormatText(u"trailing %"), u"trailing %");
}

TEST(Utf8, RoundTripsAndReplacesBrokenSequences) {
    const std::u16string text = u"Profil \u00e9 \u5355\u51fb \U0001F5B1";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(FromUtf8("a\xC3"), u"a\uFFFD");                    // cut sequence
    EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
}

TEST(FixedBuffer, CutsAndTerminates) {
    char16_t buffer[4];
    ToBuffer(u"abcdef", buffer);
    EXPECT_EQ(FromBuffer(buffer), u"abc");
    ToBuffer(u"x", buffer);
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(buffer[3], 0);
    const char16_t full[3] = {u'a', u'b', u'c'};  // no terminator: stops at the end
    EXPECT_EQ(FromBuffer(full), u"abc");
}

}  // namespace
}  // namespace qx
