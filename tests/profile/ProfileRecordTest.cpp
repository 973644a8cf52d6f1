#include "base/ProfileRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/Text.h"

namespace qx {
namespace {

TEST(ProfileRecord, DefaultBlockIsByteExact) {
    auto p = std::make_unique<ProfileSettings>();
    std::memset(p.get(), 0xAB, sizeof *p);
    MakeDefaultProfile(*p, false);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(p.get());
    EXPECT_EQ(bytes[0], 0x41);
    EXPECT_EQ(bytes[1], 0x6E);
    EXPECT_EQ(bytes[2], 0x80);
    EXPECT_EQ(bytes[3], 0x80);
    std::int32_t dpi[14];
    std::memcpy(dpi, bytes + 22040, sizeof dpi);
    const std::int32_t expected[14] = {750, 1250, 1500, 2000, 2500, 3500, 4000,
                                       0,   0,    0,    0,    0,    0,    0};
    EXPECT_EQ(std::memcmp(dpi, expected, sizeof dpi), 0);
    // Reserved areas are zero, not left over.
    for (std::size_t i = 22096; i < 22160; ++i) ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(p->buttons[0].reserved1068[2079], 0);
    // Scalars at their file offsets.
    auto at = [&](std::size_t offset) {
        std::int32_t v;
        std::memcpy(&v, bytes + offset, 4);
        return v;
    };
    EXPECT_EQ(at(22160), 15);
    EXPECT_EQ(at(22164), 1);
    EXPECT_EQ(at(22168), 5);
    EXPECT_EQ(at(22176), 255);
    EXPECT_EQ(at(22188), 255);
    EXPECT_EQ(at(22192), 1);
    EXPECT_EQ(at(22224), 1);
    EXPECT_EQ(at(22232), 10);
    EXPECT_EQ(at(22244), 4);
    EXPECT_EQ(at(22248), 3);
}

TEST(ProfileRecord, DefaultButtonsCarryTheirNamesInTheCurrentLanguage) {
    auto p = std::make_unique<ProfileSettings>();
    MakeDefaultProfile(*p, false);
    const char16_t* english[] = {u"Click", u"Middle",    u"Menu",       u"Forward",
                                 u"Back",  u"Scroll up", u"Scroll down"};
    const std::int32_t codes[] = {1, 4, 2, 8, 16, 11, 22};
    for (int i = 0; i < kButtonCount; ++i) {
        EXPECT_EQ(p->buttons[i].function, codes[i]);
        EXPECT_EQ(FromBuffer(p->buttons[i].displayName), english[i]);
        EXPECT_EQ(p->buttons[i].macroId, 0);
    }
    MakeDefaultProfile(*p, true);
    EXPECT_EQ(FromBuffer(p->buttons[5].displayName), u"滚轮前滚");
}

TEST(ProfileRecord, FullLengthPathFitsItsBuffer) {
    ButtonSetting button{};
    std::memset(button.reserved544, 0x5A, sizeof button.reserved544);
    ToBuffer(std::u16string(300, u'x'), button.actionPath);
    EXPECT_EQ(FromBuffer(button.actionPath).size(), 259u);
    EXPECT_EQ(button.actionPath[259], 0);
    EXPECT_EQ(button.reserved544[0], 0x5A);  // nothing written past the 520 bytes
}

TEST(FunctionCatalogue, NamesFollowOnlySimplifiedChinese) {
    EXPECT_EQ(FunctionName(126, false), u"sreen zoom in");
    EXPECT_EQ(FunctionName(32, true), u"播放/暂停");
    EXPECT_EQ(FunctionName(121, false), u"Disable key");
    EXPECT_EQ(FunctionName(5, false), u"");
    EXPECT_EQ(FunctionName(999, true), u"");
}

}  // namespace
}  // namespace qx
