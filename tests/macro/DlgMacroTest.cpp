// The macro page's window, offscreen: what it shows of the model, and the
// list notifications and in-place edits that must never make it load or
// store the wrong macro.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <cstdlib>

#include "base/DataFile.h"
#include "macro/DlgMacro.h"
#include "tests/common/MacroBuilder.h"
#include "tests/common/TempDir.h"
#include "tests/common/UiTestSupport.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/ListBoxEx.h"

namespace qx::macro {
namespace {

using namespace qx::test;
using namespace std::chrono_literals;

constexpr std::uint32_t kVkA = 0x41;

QWidget* OpenPopup() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->windowFlags() & Qt::Popup) == Qt::Popup) return w;
    return nullptr;
}

class DlgMacroTest : public ::testing::Test {
protected:
    DlgMacroTest() {
        LoadLanguageFile(language, AppFolder() / "Language" / "en.xml");
        menus = MenuLibrary::Load(AppFolder() / kMenuLibraryFile);
        clock.Set(1000);
    }
    ~DlgMacroTest() override {
        page.reset();
        Pump();
    }

    void Open(std::vector<std::unique_ptr<MacroEntry>> records) {
        for (const auto& r : records) ASSERT_TRUE(table.StoreRecord(*r));
        ASSERT_TRUE(store.SaveMacroFile());
        notifier.Clear();
        environment = std::make_unique<ui::PageEnvironment>(
            ui::PageEnvironment{AppFolder(), AppFolder() / "skins" / "QX600", language, notifier,
                                tooltips, main.Handle()});
        ASSERT_NE(menus, nullptr);
        page = std::make_unique<CDlgMacro>(&main, *environment, store, hooks, profiles, keyboard,
                                           *menus, clock);
        main.resize(page->size());
        page->FillMacroList(kMacroCategoryOwn);
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        Pump();
    }

    std::vector<std::uint32_t> ListedIds() const {
        std::vector<std::uint32_t> out;
        auto* list = page->MacroListBox();
        for (int i = 0; i < list->count(); ++i)
            out.push_back(static_cast<std::uint32_t>(list->GetItemData(i)));
        return out;
    }
    std::vector<QString> EventTexts() const {
        std::vector<QString> out;
        auto* list = page->EventListBox();
        for (int i = 0; i < list->count(); ++i) out.push_back(list->GetText(i));
        return out;
    }
    std::u16string NameOf(std::uint32_t id) const {
        const auto slot = table.FindMacroById(id);
        return slot ? FromBuffer(table.Slot(*slot).name) : u"(none)";
    }
    QPoint ItemCentre(ui::CListBoxEx* list, int row) const {
        return list->visualItemRect(list->item(row)).center();
    }
    void ClickItem(ui::CListBoxEx* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, ItemCentre(list, row));
        Pump();
    }
    void ClickControl(Control c) {
        QTest::mouseClick(page->ControlWidget(c), Qt::LeftButton);
        Pump();
    }
    // Opens the rename editor by a double click and types a name.
    void Rename(int row, const QString& name) {
        auto* list = page->MacroListBox();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, ItemCentre(list, row));
        Pump();
        ASSERT_TRUE(list->IsEditing());
        list->Editor()->setText(name);
    }

    TempDir dir;
    RecordingNotifier notifier;
    RecordingSleeper sleeper;
    Localization language;
    FakeFileDialogs dialogs;
    MacroTable table;
    MacroStore store{table, dir.path(), notifier, sleeper, language, dialogs};
    InputHooks hooks;
    FakeClock clock;
    UsKeyboardLayout keyboard;
    ProfileState profiles;
    TooltipObservers tooltips;
    std::unique_ptr<MenuLibrary> menus;
    RecordingWindow main;
    std::unique_ptr<ui::PageEnvironment> environment;
    std::unique_ptr<CDlgMacro> page;
};

std::vector<std::unique_ptr<MacroEntry>> ThreeMacros() {
    std::vector<std::unique_ptr<MacroEntry>> r;
    r.push_back(Record(0x16000001, {Press(kVkA)}, u"one"));
    r.push_back(Record(0x11000001, {Press(0x42), Release(0x42)}, u"craft"));
    r.push_back(Record(0x16000002, {Press(kVkA), Pause(100), Release(kVkA)}, u"two"));
    return r;
}

TEST_F(DlgMacroTest, ControlsSitAtTheirRectanglesAndShowTheModel) {
    Open(ThreeMacros());
    for (int i = 0; i < kControlCount; ++i) {
        QWidget* w = page->ControlWidget(static_cast<Control>(i));
        if (!w) continue;
        const layout::Rect& r = kControls[i].rect;
        EXPECT_EQ(w->geometry(), QRect(r.left, r.top, r.Width(), r.Height())) << i;
        EXPECT_EQ(w->isVisibleTo(page.get()), page->Model().State(static_cast<Control>(i)).visible)
            << i;
    }
    EXPECT_EQ(ListedIds(), (std::vector<std::uint32_t>{0x16000001, 0x16000002}));
    EXPECT_EQ(page->MacroListBox()->currentRow(), 1);
    EXPECT_EQ(EventTexts(), (std::vector<QString>{"A", "100  ms", "A"}));
    auto* category = static_cast<ui::CGDIBitmapBtn*>(page->ControlWidget(kCategoryButton));
    EXPECT_EQ(category->text(), "Customisze");
    auto* record = static_cast<ui::CGDIBitmapBtn*>(page->ControlWidget(kRecordButton));
    EXPECT_EQ(record->text(), "Start Record");
    EXPECT_EQ(page->ControlWidget(kNewMacroButton)->toolTip(), "New macro");

    ClickControl(kInsertButton);
    EXPECT_TRUE(page->ControlWidget(kKeyTypeButton)->isVisible());
    ClickControl(kDelayTypeButton);
    auto* delayType = static_cast<ui::CGDIBitmapBtn*>(page->ControlWidget(kDelayTypeButton));
    EXPECT_TRUE(delayType->GetSelected());
    EXPECT_TRUE(page->ControlWidget(kDelayEdit)->isVisible());
    EXPECT_TRUE(page->ControlWidget(kDelayEdit)->hasFocus());
    // The delay edit takes digits only.
    QTest::keyClicks(page->ControlWidget(kDelayEdit), "5x0");
    EXPECT_EQ(static_cast<QLineEdit*>(page->ControlWidget(kDelayEdit))->text(), "50");
    // QX_SCREENSHOT_DIR keeps a picture of the page for the documentation.
    if (const char* shots = std::getenv("QX_SCREENSHOT_DIR"))
        page->grab().save(QString::fromStdString(std::string(shots) + "/macro-page.png"));
    ClickControl(kDelayOkButton);
    EXPECT_EQ(EventTexts(), (std::vector<QString>{"A", "150  ms", "A"}));
    EXPECT_FALSE(page->ControlWidget(kDelayEdit)->isVisible());
}

TEST_F(DlgMacroTest, ClickingAMacroLoadsItsEvents) {
    Open(ThreeMacros());
    ClickItem(page->MacroListBox(), 0);
    EXPECT_EQ(EventTexts(), std::vector<QString>{"A"});
    EXPECT_EQ(page->Model().rememberedMacro(), 0);
}

// A notification that reports the page's own change (a refill, a select call)
// is not a choice of the user's: nothing is loaded or stored.
TEST_F(DlgMacroTest, ANotificationOfThePagesOwnChangeLoadsNothing) {
    Open(ThreeMacros());
    const auto saves = sleeper.Pauses().size();
    page->PostMessage(kMsgListSelChange, kMacroListId, 0);
    page->PostMessage(kMsgListSelChange, kEventListId, 0);
    Pump();
    EXPECT_EQ(EventTexts(), (std::vector<QString>{"A", "100  ms", "A"}));
    EXPECT_EQ(page->Model().rememberedMacro(), 1);
    EXPECT_EQ(sleeper.Pauses().size(), saves);

    // A refill's own selections are no user's either.
    page->FillMacroList(17);
    Pump();
    EXPECT_EQ(ListedIds(), std::vector<std::uint32_t>{0x11000001});
    EXPECT_EQ(EventTexts(), (std::vector<QString>{"B", "B"}));
    EXPECT_EQ(sleeper.Pauses().size(), saves);
}

TEST_F(DlgMacroTest, ARenameCommitsIntoTheEditedMacroOnly) {
    Open(ThreeMacros());
    Rename(0, "renamed");
    // The editor loses the focus to the other item.
    ClickItem(page->MacroListBox(), 1);
    Pump();
    EXPECT_EQ(NameOf(0x16000001), u"renamed");
    EXPECT_EQ(NameOf(0x16000002), u"two");
    EXPECT_EQ(EventTexts(), (std::vector<QString>{"A", "100  ms", "A"}));
    EXPECT_EQ(page->MacroListBox()->GetText(0), "renamed");
}

// The buttons take no focus, so the rename editor stays open while one is
// pressed: the rename must be taken before the button changes the list.
TEST_F(DlgMacroTest, ARenameOpenWhileTheListChangesKeepsToItsMacro) {
    Open(ThreeMacros());
    Rename(1, "second");
    ClickControl(kDeleteMacroButton);  // deletes the selected, renamed macro
    Pump();
    EXPECT_EQ(table.FindMacroById(0x16000002), std::nullopt);
    EXPECT_EQ(NameOf(0x16000001), u"one");
    EXPECT_EQ(page->MacroListBox()->GetText(0), "one");

    // Open on the first macro; a category chosen from the menu refills.
    Rename(0, "first");
    page->PostMessage(kMsgMenuChoice, 0, 17);
    Pump();
    page->setFocus();
    Pump();
    EXPECT_EQ(NameOf(0x16000001), u"first");
    EXPECT_EQ(NameOf(0x11000001), u"craft");
    EXPECT_EQ(page->MacroListBox()->GetText(0), "craft");
}

TEST_F(DlgMacroTest, EnterEscapeAndSpaceDoNothingOnThePage) {
    Open(ThreeMacros());
    Rename(0, "ab");
    QLineEdit* editor = page->MacroListBox()->Editor();
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Space);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(page->MacroListBox()->IsEditing());
    EXPECT_EQ(editor->text(), "ab");
    ClickItem(page->MacroListBox(), 1);
    EXPECT_EQ(NameOf(0x16000001), u"ab");
}

TEST_F(DlgMacroTest, ThePicturesRecordMouseButtons) {
    Open(ThreeMacros());
    ClickControl(kRecordButton);
    ASSERT_TRUE(page->IsRecording());
    EXPECT_EQ(static_cast<ui::CGDIBitmapBtn*>(page->ControlWidget(kRecordButton))->text(),
              "Stop Record");
    EXPECT_FALSE(page->ControlWidget(kNewMacroButton)->isEnabled());
    clock.Advance(40ms);
    ClickControl(kPickerRight);
    Pump();
    EXPECT_EQ(EventTexts(), (std::vector<QString>{"Right Button", "0  ms", "Right Button"}));
    page->StopRecording();
    EXPECT_FALSE(page->IsRecording());
    const auto slot = table.FindMacroById(0x16000002);
    ASSERT_TRUE(slot);
    EXPECT_EQ(table.Slot(*slot).events[0], Press(0x02));
    EXPECT_EQ(table.Slot(*slot).events[2], Release(0x02));
}

TEST_F(DlgMacroTest, APageClosedWhileRecordingKeepsTheRecordingAndFreesTheHooks) {
    Open(ThreeMacros());
    ClickControl(kRecordButton);
    ASSERT_TRUE(hooks.KeyForwarding());
    page->PostMessage(kMsgHookKey, 0x42, 0);
    Pump();
    page.reset();
    EXPECT_FALSE(hooks.KeyForwarding());
    const auto slot = table.FindMacroById(0x16000002);
    ASSERT_TRUE(slot);
    EXPECT_EQ(table.Slot(*slot).eventCount, 1u);
    EXPECT_EQ(table.Slot(*slot).events[0], Press(0x42));
}

TEST_F(DlgMacroTest, HoverNearAControlAsksForItsHelp) {
    Open(ThreeMacros());
    namespace M = layout::macro_page;
    QTest::mouseMove(page.get(), QPoint(M::kNewMacro.left - 1, M::kNewMacro.top - 1));
    Pump();
    ASSERT_FALSE(main.Of(kMsgHint).empty());
    EXPECT_EQ(main.Of(kMsgHint).back().lParam, 40);
}

TEST_F(DlgMacroTest, TheCategoryMenuListsTheGamesAndChoosesOne) {
    Open(ThreeMacros());
    ClickControl(kCategoryButton);
    QWidget* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->height(), 22 * 22 + 2);
    const QPoint below =
        page->ControlWidget(kCategoryButton)
            ->mapToGlobal(QPoint(1, page->ControlWidget(kCategoryButton)->height() + 1));
    EXPECT_EQ(popup->pos(), below);
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(20, 1 + 16 * 22 + 11));  // Minecraft
    Pump();
    EXPECT_EQ(static_cast<ui::CGDIBitmapBtn*>(page->ControlWidget(kCategoryButton))->text(),
              "Minecraft");
    EXPECT_EQ(ListedIds(), std::vector<std::uint32_t>{0x11000001});
    EXPECT_EQ(OpenPopup(), nullptr);
}

}  // namespace
}  // namespace qx::macro
