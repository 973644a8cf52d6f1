#include "macro/MacroCategories.h"

namespace qx {
namespace {

// The menu and button texts differ in a few trailing blanks and spellings;
// both are kept exactly as the utility has always shown them.
constexpr std::array<MacroCategoryTexts, kMacroCategoryCount> kCategories{{
    {1, u"Battlefield 3 ", u"Battlefield 3", u"战地 3 ", u"战地 3"},
    {2, u"Star Wars: The Old Republic", u"Star Wars: The Old Republic", u"星球大战:旧共和国",
     u"星球大战:旧共和国"},
    {3, u"Counter-Strike: Global Offensive", u"Counter-Strike: Global Offensive",
     u"反恐精英:全球攻势", u"反恐精英:全球攻势"},
    {4, u"Elder Scrolls V: Skyrim", u"Elder Scrolls V: Skyrim", u"上古卷轴5：天际",
     u"上古卷轴5：天际"},
    {5, u"Team Fortress 2", u"Team Fortress 2", u"军团要塞2", u"军团要塞 2"},
    {6, u"Batman Arkham City", u"Batman Arkham City", u"蝙蝠侠：阿甘之城", u"蝙蝠侠：阿甘之城"},
    {7, u"Civilization 5 ", u"Civilization 5 ", u"文明 5 ", u"文明 5 "},
    {8, u"World of Tanks", u"World of Tanks", u"坦克世界", u"坦克世界"},
    {9, u"Borderlands 2", u"Borderlands 2", u"无主之地 2", u"无主之地 2"},
    {10, u"Anno 2070", u"Anno 2070", u"纪元 2070：雷诺起源", u"纪元 2070：雷诺起源"},
    {11, u"League of Legends", u"League of Legends", u"英雄联盟(LOL)", u"英雄联盟(LOL)"},
    {12, u"Football Manager 2013 (EA)", u"Football Manager 2013 (EA)", u"足球经理 2013 (EA)",
     u"足球经理 2013 (EA)"},
    {13, u"Dota 2 ", u"Dota 2 ", u"远古遗迹守卫2（Dota 2） ", u"远古遗迹守卫2（Dota 2）"},
    {14, u"Battlefield 4", u"Battlefield 4", u"战地 4", u"战地 4"},
    {15, u"World of Warplanes", u"World of Warplanes", u"战机世界", u"战机世界"},
    {16, u"Football Manager 2013 (SEGA)", u"Football Manager 2013 (SEGA)", u"足球经理 2013 (SEGA)",
     u"足球经理 2013 (SEGA)"},
    {17, u"Minecraft", u"Minecraft", u"我的世界", u"我的世界"},
    {18, u"Neverwinter", u"Neverwinter", u"无冬之夜", u"无冬之夜"},
    {19, u"Path of Exile", u"Path of Exile", u"流亡黯道", u"流亡黯道"},
    {20, u"War Thunder", u"War Thunder", u"战争雷霆", u"战争雷霆"},
    {21, u"PLAYERUNKNOWN'S BATTLEGROUNDS", u"PLAYERUNKNOWN'S BATTLEGROUNDS", u"绝地求生",
     u"绝地求生"},
    {22, u"Customize", u"Customisze", u"玩家自定义", u"玩家自定义"},
}};

const MacroCategoryTexts* Find(std::uint32_t id) {
    return id >= 1 && id <= kMacroCategoryCount ? &kCategories[id - 1] : nullptr;
}

}  // namespace

const std::array<MacroCategoryTexts, kMacroCategoryCount>& MacroCategories() {
    return kCategories;
}

std::u16string_view MacroCategoryMenuText(std::uint32_t id, bool chineseMode) {
    const auto* c = Find(id);
    if (!c) return {};
    return chineseMode ? c->chineseMenu : c->englishMenu;
}

std::u16string_view MacroCategoryButtonText(std::uint32_t id, bool chineseMode) {
    const auto* c = Find(id);
    if (!c) return {};
    return chineseMode ? c->chineseButton : c->englishButton;
}

}  // namespace qx
