#include <gtest/gtest.h>

#include <QTest>

#include "base/MenuLibrary.h"
#include "tests/common/UiTestSupport.h"

namespace qx::test {
namespace {

QxMenuItem Item(std::int32_t value, std::u16string_view text) {
    QxMenuItem item{255, value, {}};
    for (std::size_t i = 0; i < text.size() && i < 39; ++i) item.text[i] = text[i];
    return item;
}

QWidget* OpenList() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->windowFlags() & Qt::Popup) == Qt::Popup) return w;
    return nullptr;
}

class MenuLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        library = MenuLibrary::Load(AppFolder() / kMenuLibraryFile);
        ASSERT_NE(library, nullptr);
        const std::string menu = (AppFolder() / "skins" / "Menu").string();
        for (int i = 0; i < 8; ++i) {
            static const char* names[8] = {"MenuNor_Model.BMP",   "MenuOver_Model.BMP",
                                           "MenuDown_Model.BMP",  "MenuNor_Model.BMP",
                                           "MenuNorHaveSub.BMP",  "MenuOverHaveSub.BMP",
                                           "MenuDownHaveSub.BMP", "MenuNorHaveSub.BMP"};
            paths[i] = menu + "/" + names[i];
            pictures[i] = paths[i].c_str();
        }
        items = {Item(33, u"QX100"), Item(37, u"QX200"), Item(38, u"QX300")};
    }
    void TearDown() override {
        if (library) library->DestroyMenuEx();
    }
    std::unique_ptr<MenuLibrary> library;
    std::string paths[8];
    const char* pictures[8];
    std::vector<QxMenuItem> items;
    RecordingWindow owner;
};

TEST_F(MenuLibraryTest, ShowsTheItemsAtThePointAndPostsTheChosenValue) {
    library->CreateMenuEx(&owner, 24, {85, 106}, 0xA0A0A0, 0xFFFFFF, 0xB98C15, pictures,
                          items.data(), static_cast<int>(items.size()));
    QWidget* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->pos(), QPoint(85, 106));
    EXPECT_EQ(list->height(), 3 * 22 + 2);
    const QPoint third(20, 1 + 2 * 22 + 11);
    QTest::mouseClick(list, Qt::LeftButton, {}, third);
    Pump();
    ASSERT_EQ(owner.Of(kMsgMenuChoice).size(), 1u);
    EXPECT_EQ(owner.Of(kMsgMenuChoice)[0].lParam, 38);
    library->DestroyMenuEx();
    Pump();
    EXPECT_EQ(OpenList(), nullptr);
}

TEST_F(MenuLibraryTest, DestroyWithoutAListIsHarmlessAndANewListReplacesTheOld) {
    library->DestroyMenuEx();
    library->DestroyMenuEx();
    library->CreateMenuEx(&owner, 24, {10, 10}, 0, 0, 0, pictures, items.data(), 3);
    library->CreateMenuEx(&owner, 24, {40, 40}, 0, 0, 0, pictures, items.data(), 1);
    Pump();
    QWidget* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->pos(), QPoint(40, 40));
    EXPECT_EQ(list->height(), 22 + 2);
    EXPECT_FALSE(library->DllPreTranslateMessage == nullptr);
}

}  // namespace
}  // namespace qx::test
