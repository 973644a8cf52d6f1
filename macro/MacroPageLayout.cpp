#include "macro/MacroPageLayout.h"

namespace qx::macro {

// The texts are the product's own, trailing blanks and spellings included.
const std::array<CategoryTexts, kCategoryCount> kCategories{{
    {u"Battlefield 3 ", u"Battlefield 3", u"战地 3 ", u"战地 3"},
    {u"Star Wars: The Old Republic", u"Star Wars: The Old Republic", u"星球大战:旧共和国",
     u"星球大战:旧共和国"},
    {u"Counter-Strike: Global Offensive", u"Counter-Strike: Global Offensive", u"反恐精英:全球攻势",
     u"反恐精英:全球攻势"},
    {u"Elder Scrolls V: Skyrim", u"Elder Scrolls V: Skyrim", u"上古卷轴5：天际",
     u"上古卷轴5：天际"},
    {u"Team Fortress 2", u"Team Fortress 2", u"军团要塞2", u"军团要塞 2"},
    {u"Batman Arkham City", u"Batman Arkham City", u"蝙蝠侠：阿甘之城", u"蝙蝠侠：阿甘之城"},
    {u"Civilization 5 ", u"Civilization 5 ", u"文明 5 ", u"文明 5 "},
    {u"World of Tanks", u"World of Tanks", u"坦克世界", u"坦克世界"},
    {u"Borderlands 2", u"Borderlands 2", u"无主之地 2", u"无主之地 2"},
    {u"Anno 2070", u"Anno 2070", u"纪元 2070：雷诺起源", u"纪元 2070：雷诺起源"},
    {u"League of Legends", u"League of Legends", u"英雄联盟(LOL)", u"英雄联盟(LOL)"},
    {u"Football Manager 2013 (EA)", u"Football Manager 2013 (EA)", u"足球经理 2013 (EA)",
     u"足球经理 2013 (EA)"},
    {u"Dota 2 ", u"Dota 2 ", u"远古遗迹守卫2（Dota 2） ", u"远古遗迹守卫2（Dota 2）"},
    {u"Battlefield 4", u"Battlefield 4", u"战地 4", u"战地 4"},
    {u"World of Warplanes", u"World of Warplanes", u"战机世界", u"战机世界"},
    {u"Football Manager 2013 (SEGA)", u"Football Manager 2013 (SEGA)", u"足球经理 2013 (SEGA)",
     u"足球经理 2013 (SEGA)"},
    {u"Minecraft", u"Minecraft", u"我的世界", u"我的世界"},
    {u"Neverwinter", u"Neverwinter", u"无冬之夜", u"无冬之夜"},
    {u"Path of Exile", u"Path of Exile", u"流亡黯道", u"流亡黯道"},
    {u"War Thunder", u"War Thunder", u"战争雷霆", u"战争雷霆"},
    {u"PLAYERUNKNOWN'S BATTLEGROUNDS", u"PLAYERUNKNOWN'S BATTLEGROUNDS", u"绝地求生", u"绝地求生"},
    {u"Customize", u"Customisze", u"玩家自定义", u"玩家自定义"},
}};

std::u16string_view CategoryButtonText(std::int32_t id, bool chinese) {
    if (id < 1 || id > kCategoryCount) return {};
    const auto& row = kCategories[id - 1];
    return chinese ? row.chineseButton : row.englishButton;
}

std::u16string_view CategoryMenuText(std::int32_t id, bool chinese) {
    if (id < 1 || id > kCategoryCount) return {};
    const auto& row = kCategories[id - 1];
    return chinese ? row.chineseMenu : row.englishMenu;
}

}  // namespace qx::macro
