// The buttons page, the mouse picture and the per-button editor as windows,
// offscreen: clicks on the controls reach the profile, the editor's result
// goes through the rules, and keys arrive from the input hooks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "base/KeyTables.h"
#include "base/Text.h"
#include "buttons/DlgMainSet.h"
#include "buttons/MouseDlg.h"
#include "buttons/SettingDlg.h"
#include "buttons/Setting_AdvanceDlg.h"
#include "buttons/Setting_BaseDlg.h"
#include "buttons/Setting_MacroDlg.h"
#include "buttons/Setting_SingleComboDlg.h"
#include "i18n/LanguageTable.h"
#include "tests/common/MacroBuilder.h"
#include "tests/common/UiTestSupport.h"
#include "ui/BitmapEdit.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/IrrButton.h"
#include "ui/ListBoxEx.h"
#include "ui/PngHSlider.h"
#include "ui/layout/SkinLayout.h"

namespace qx::test {
namespace {

using buttons::CDlgMainSet;
using buttons::CMouseDlg;
using buttons::CSettingDlg;

// The main window's stand-in: it records the hints and holds both pages.
class ButtonsPage : public ::testing::Test {
protected:
    void SetUp() override { Build(false); }

    void Build(bool chinese) {
        delete mainWindow;
        LoadLanguageFile(language, AppFolder() / (chinese ? "Language/sc.xml" : "Language/en.xml"));
        language.chineseMode = chinese;
        language.currentLanguage = chinese ? 1 : 2;
        MakeDefaultProfile(state.settings, chinese);
        mainWindow = new RecordingWindow;
        mainWindow->resize(959, 639);
        env = std::make_unique<ui::PageEnvironment>(
            ui::PageEnvironment{AppFolder(), AppFolder() / "skins" / "QX600", language, notifier,
                                tooltips, mainWindow->Handle()});
        page = new CDlgMainSet(mainWindow, *env, state, {macros, hooks, layout, &dialogs});
        mouse = new CMouseDlg(mainWindow, *env, u"QX600");
        page->move(17, 128);
        mouse->move(716, 128);
        page->RefreshFromProfile();
        hooks.InstallInputHooks(mainWindow->Handle());
        mainWindow->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow));
    }
    void TearDown() override { delete mainWindow; }

    // A list row as the user picks it: the list reports only the user's changes.
    void ClickRow(ui::CListBoxEx* list, int row) {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    void Click(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton);
        Pump();
    }
    std::vector<int> Dpi() const {
        std::vector<int> out;
        for (int v : state.settings.dpiList)
            if (v) out.push_back(v);
        return out;
    }
    std::vector<int> ShownDpi() const {
        std::vector<int> out;
        for (int i = 0; i < kDpiListSize; ++i)
            if (page->DpiBox(i)->GetSelected()) out.push_back(page->DpiBox(i)->GetValue());
        return out;
    }
    std::vector<LParam> Hints() const {
        std::vector<LParam> out;
        for (const Posted& p : mainWindow->Of(kMsgHint)) out.push_back(p.lParam);
        return out;
    }

    // Presses tab i as a person does and runs `act` inside the editor's
    // modal loop; act must end the editor.
    void WithEditor(int button, std::function<void(CSettingDlg&)> act) {
        bool ran = false;
        ui::CIrrButton* tab = page->Tab(button);
        QTest::mousePress(tab, Qt::LeftButton, {}, tab->Shape().boundingRect().center());
        // Queued behind the press's command, so it runs in the editor's loop.
        QTimer::singleShot(0, [&] {
            auto* editor = qobject_cast<CSettingDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            ran = true;
            act(*editor);
            // Whatever act left open is cancelled so the test never hangs.
            QTimer::singleShot(0, editor, [editor] {
                if (editor->isVisible()) editor->done(kIdCancel);
            });
        });
        Pump();
        QTest::mouseRelease(tab, Qt::LeftButton, {}, tab->Shape().boundingRect().center());
        EXPECT_TRUE(ran);
        EXPECT_EQ(page->OpenButton(), -1);
        EXPECT_FALSE(hooks.KeyForwarding());
    }
    const ButtonSetting& Button(int i) const { return state.settings.buttons[i]; }

    Localization language;
    RecordingNotifier notifier;
    TooltipObservers tooltips;
    ProfileState state;
    MacroTable macros;
    InputHooks hooks;
    UsKeyboardLayout layout;
    FakeFileDialogs dialogs;
    std::unique_ptr<ui::PageEnvironment> env;
    RecordingWindow* mainWindow = nullptr;
    CDlgMainSet* page = nullptr;
    CMouseDlg* mouse = nullptr;
};

TEST_F(ButtonsPage, DpiBoxClicksKeepOneToSevenAscendingLevels) {
    // The default profile has seven levels: an eighth box stays clear.
    EXPECT_EQ(ShownDpi(), (std::vector<int>{750, 1250, 1500, 2000, 2500, 3500, 4000}));
    Click(page->DpiBox(13));
    EXPECT_EQ(Dpi(), (std::vector<int>{750, 1250, 1500, 2000, 2500, 3500, 4000}));
    EXPECT_FALSE(page->DpiBox(13)->GetSelected());
    for (int box : {1, 3, 4, 6, 9, 10}) Click(page->DpiBox(box));  // all but 2000 off
    EXPECT_EQ(Dpi(), (std::vector<int>{2000}));
    Click(page->DpiBox(5));  // the last level stays
    EXPECT_EQ(Dpi(), (std::vector<int>{2000}));
    Click(page->DpiBox(13));
    Click(page->DpiBox(0));
    Click(page->DpiBox(5));
    EXPECT_EQ(Dpi(), (std::vector<int>{500, 7000}));
    EXPECT_EQ(ShownDpi(), Dpi());

    // An imported 1750 has no box but stays in the list until a box is clicked.
    std::fill(std::begin(state.settings.dpiList), std::end(state.settings.dpiList), 0);
    state.settings.dpiList[0] = 1750;
    state.settings.dpiList[1] = 3000;
    page->RefreshFromProfile();
    EXPECT_EQ(ShownDpi(), (std::vector<int>{3000}));
    EXPECT_EQ(Dpi(), (std::vector<int>{1750, 3000}));
}

TEST_F(ButtonsPage, ReportRateAccuracyAndSliders) {
    Click(page->ReportRate(1));
    EXPECT_EQ(state.settings.reportInterval, 4);
    Click(page->ReportRate(0));
    EXPECT_EQ(state.settings.reportInterval, 8);
    EXPECT_TRUE(page->ReportRate(0)->GetSelected());
    EXPECT_FALSE(page->ReportRate(1)->GetSelected());

    ASSERT_EQ(state.settings.enhancePrecision, 0);
    Click(page->AccuracyBox());
    EXPECT_EQ(state.settings.enhancePrecision, 1);
    EXPECT_TRUE(page->AccuracyBox()->GetSelected());
    Click(page->AccuracyBox());
    EXPECT_EQ(state.settings.enhancePrecision, 0);

    // A click at the right end of each track gives its maximum.
    auto* speed = page->PointerSpeedSlider();
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(speed->width() - 1, speed->height() / 2));
    auto* height = page->SensorHeightSlider();
    QTest::mouseClick(height, Qt::LeftButton, {}, QPoint(1, height->height() / 2));
    Pump();
    EXPECT_EQ(state.settings.pointerSpeed, 20);
    EXPECT_EQ(state.settings.sensorHeight, 1);
}

TEST_F(ButtonsPage, WheelChoicesEnableTheLinesControls) {
    Click(page->WheelScreen());
    EXPECT_EQ(state.settings.scrollLines, -1);
    EXPECT_TRUE(page->WheelScreen()->GetSelected());
    EXPECT_FALSE(page->WheelLines()->GetSelected());
    EXPECT_FALSE(page->LinesEdit()->isEnabled());
    EXPECT_FALSE(page->LinesUp()->isEnabled());
    // Timer 152 leaves the edit alone while the whole screen is chosen.
    page->OnTimer(CDlgMainSet::kLinesTimer);
    EXPECT_EQ(state.settings.scrollLines, -1);

    Click(page->WheelLines());
    EXPECT_EQ(state.settings.scrollLines, 3);  // the number last shown
    EXPECT_TRUE(page->LinesDown()->isEnabled());
    Click(page->LinesUp());
    EXPECT_EQ(state.settings.scrollLines, 4);
    EXPECT_EQ(page->LinesEdit()->text(), "4");

    page->LinesEdit()->setText("007");
    page->OnTimer(CDlgMainSet::kLinesTimer);
    EXPECT_EQ(page->LinesEdit()->text(), "7");
    EXPECT_EQ(state.settings.scrollLines, 7);
    page->LinesEdit()->setText("45");
    page->NormalizeLinesEdit();
    EXPECT_EQ(state.settings.scrollLines, 30);
    Click(page->LinesUp());
    EXPECT_EQ(page->LinesEdit()->text(), "30");
    page->LinesEdit()->setText("");
    page->NormalizeLinesEdit();
    EXPECT_EQ(page->LinesEdit()->text(), "1");
    Click(page->LinesDown());
    EXPECT_EQ(state.settings.scrollLines, 1);

    // Only digits; Space, Enter and Escape never reach the edit.
    page->LinesEdit()->setFocus();
    QTest::keyClicks(page->LinesEdit(), "x 2");
    QTest::keyClick(page->LinesEdit(), Qt::Key_Return);
    EXPECT_EQ(page->LinesEdit()->text(), "12");
}

TEST_F(ButtonsPage, RefreshShowsTheWholeProfile) {
    state.settings.reportInterval = 2;
    state.settings.enhancePrecision = 1;
    state.settings.pointerSpeed = 17;
    state.settings.sensorHeight = 4;
    state.settings.scrollLines = -1;
    state.settings.buttons[3].function = 5;
    page->RefreshFromProfile();
    EXPECT_TRUE(page->ReportRate(2)->GetSelected());
    EXPECT_TRUE(page->AccuracyBox()->GetSelected());
    EXPECT_EQ(page->PointerSpeedSlider()->GetPos(), 17);
    EXPECT_EQ(page->SensorHeightSlider()->GetPos(), 4);
    EXPECT_TRUE(page->WheelScreen()->GetSelected());
    EXPECT_EQ(page->LinesEdit()->text(), "1");
    for (int i = 0; i < kButtonCount; ++i) EXPECT_EQ(page->Tab(i)->GetSelected(), i == 3) << i;
}

TEST_F(ButtonsPage, HintsFromThePageAndFromItsControls) {
    // Over a bitmap button (which passes its move on), a slider and a heading.
    QTest::mouseMove(page->DpiBox(0), QPoint(5, 5));
    Pump();
    QTest::mouseMove(page, QPoint(200, 172));
    Pump();
    QTest::mouseMove(page, QPoint(240, 425));  // a tab
    Pump();
    QTest::mouseMove(page, QPoint(50, 30));
    Pump();
    const auto hints = Hints();
    ASSERT_FALSE(hints.empty());
    EXPECT_NE(std::find(hints.begin(), hints.end(), 12), hints.end());
    EXPECT_NE(std::find(hints.begin(), hints.end(), 13), hints.end());
    EXPECT_NE(std::find(hints.begin(), hints.end(), 68), hints.end());
    EXPECT_EQ(hints.back(), 64);
}

TEST_F(ButtonsPage, SpotsLightOnlyWhileTheMainWindowIsActive) {
    for (int i = 0; i < kButtonCount; ++i) EXPECT_TRUE(mouse->Spot(i)->isVisible());
    auto pointAt = [&](int tab) {
        QCursor::setPos(page->mapToGlobal(page->Tab(tab)->geometry().center()));
        page->OnTimer(CDlgMainSet::kSpotTimer);
    };
    mainWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
    pointAt(4);
    EXPECT_TRUE(mouse->SpotSelected(4));
    EXPECT_FALSE(mouse->SpotSelected(3));

    // Another window in front: a spot under the pointer keeps what it shows.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    pointAt(4);
    EXPECT_TRUE(mouse->SpotSelected(4));
    pointAt(5);
    EXPECT_FALSE(mouse->SpotSelected(5));
    EXPECT_FALSE(mouse->SpotSelected(4));  // off its tab a spot goes dark regardless

    mainWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
    pointAt(5);
    EXPECT_TRUE(mouse->SpotSelected(5));
    // The slanted ends are left out: 17 pixels in from the box's left edge.
    const QRect box = page->Tab(5)->geometry();
    QCursor::setPos(page->mapToGlobal(QPoint(box.left() + 16, box.center().y())));
    page->OnTimer(CDlgMainSet::kSpotTimer);
    EXPECT_FALSE(mouse->SpotSelected(5));
}

TEST_F(ButtonsPage, AnUnknownModelHasNoSpots) {
    CMouseDlg unknown(mainWindow, *env, u"NULL");
    for (int i = 0; i < kButtonCount; ++i) {
        EXPECT_FALSE(unknown.Spot(i)->isVisibleTo(&unknown));
        unknown.SetSpotSelected(i, true);  // harmless
    }
}

TEST_F(ButtonsPage, BasicFunctionFromTheEditorReachesTheProfile) {
    WithEditor(2, [&](CSettingDlg& editor) {
        // It opens on the key combination tab, whatever the button does.
        EXPECT_TRUE(editor.TabWindow(1)->isVisible());
        EXPECT_FALSE(editor.TabWindow(3)->isVisible());
        EXPECT_TRUE(hooks.KeyForwarding());
        EXPECT_EQ(page->OpenButton(), 2);
        Click(editor.TabButton(3));
        EXPECT_TRUE(editor.TabWindow(3)->isVisible());
        EXPECT_FALSE(hooks.KeyForwarding());
        auto* list = editor.BaseTab()->List();
        ASSERT_EQ(list->count(), 24);
        EXPECT_EQ(list->GetText(15), "Play/Pause");
        list->setCurrentRow(15);
        Click(editor.OkButton());
    });
    EXPECT_EQ(Button(2).function, 32);
    EXPECT_EQ(FromBuffer(Button(2).displayName), u"Play/Pause");
    EXPECT_TRUE(page->Tab(2)->GetSelected());
    EXPECT_TRUE(notifier.Messages().empty());
}

TEST_F(ButtonsPage, CombinationFromTheKeyboardHook) {
    WithEditor(5, [&](CSettingDlg& editor) {
        // What the input tap delivers: Shift held, A pressed and released.
        hooks.KeyboardHookProc({0xA0, kKeyFlagInjected});
        hooks.KeyboardHookProc({0x41, kKeyFlagInjected});
        hooks.KeyboardHookProc({0x41, kKeyFlagInjected | kKeyFlagUp});
        hooks.KeyboardHookProc({0xA0, kKeyFlagInjected | kKeyFlagUp});
        Pump();
        auto* combo = editor.ComboTab();
        EXPECT_TRUE(combo->ModifierBox(2)->GetSelected());
        EXPECT_FALSE(combo->ModifierBox(0)->GetSelected());
        EXPECT_EQ(combo->KeyText(), "A");
        // The editor itself drops Enter, Escape and Space.
        QTest::keyClick(&editor, Qt::Key_Escape);
        QTest::keyClick(&editor, Qt::Key_Return);
        EXPECT_TRUE(editor.isVisible());
        Click(editor.OkButton());
    });
    EXPECT_EQ(Button(5).function, kFunctionKeyCombination);
    EXPECT_EQ(Button(5).comboCode, CombinationCode(kModShift, 0x04));
    EXPECT_EQ(FromBuffer(Button(5).displayName), u"Shift + A");
    EXPECT_TRUE(page->Tab(5)->GetSelected());
}

TEST_F(ButtonsPage, ModifiersAloneCloseWithoutAChange) {
    WithEditor(1, [&](CSettingDlg& editor) {
        Click(editor.ComboTab()->ModifierBox(0));
        Click(editor.ComboTab()->ModifierBox(1));
        Click(editor.OkButton());
    });
    EXPECT_EQ(Button(1).function, 4);
    EXPECT_FALSE(page->Tab(1)->GetSelected());
}

TEST_F(ButtonsPage, RefusedAssignmentShowsItsMessageAndStoresNothing) {
    const ProfileSettings before = state.settings;
    WithEditor(0, [&](CSettingDlg& editor) {
        Click(editor.TabButton(3));
        editor.BaseTab()->List()->setCurrentRow(10);  // str_mouseright: Menu
        Click(editor.OkButton());
    });
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].text, kMsgKeepClickEn);
    EXPECT_EQ(std::memcmp(&before, &state.settings, sizeof before), 0);
    EXPECT_FALSE(page->Tab(0)->GetSelected());
}

TEST_F(ButtonsPage, MacroOfTheChosenCategory) {
    macros.StoreRecord(*Record(0x11000007, {Press(0x41)}, u"Build"));
    macros.StoreRecord(*Record(0x16000008, {Press(0x42)}, u"Mine"));
    WithEditor(3, [&](CSettingDlg& editor) {
        Click(editor.TabButton(2));
        auto* tab = editor.MacroTab();
        EXPECT_EQ(tab->CategoryList()->count(), 22);
        EXPECT_EQ(tab->MacroList()->count(), 0);
        ClickRow(tab->CategoryList(), 16);  // Minecraft, category 17
        Pump();
        ASSERT_EQ(tab->MacroList()->count(), 1);
        EXPECT_EQ(tab->MacroList()->GetText(0), "Build");
        ClickRow(tab->MacroList(), 0);
        Click(editor.OkButton());
    });
    EXPECT_EQ(Button(3).function, kFunctionMacro);
    EXPECT_EQ(Button(3).macroId, 0x11000007);
    EXPECT_EQ(state.macroIds[3], 0x11000007);
    EXPECT_EQ(FromBuffer(Button(3).displayName), u"Build");
}

TEST_F(ButtonsPage, SoftwareFunctionWithAChosenProgram) {
    dialogs.answers = {std::filesystem::path("/usr/bin/x terminal"),
                       std::filesystem::path("/" + std::string(300, 'p'))};
    WithEditor(4, [&](CSettingDlg& editor) {
        Click(editor.TabButton(4));
        auto* tab = editor.AdvanceTab();
        Click(tab->Browse(1));
        EXPECT_TRUE(tab->Choice(1)->GetSelected());
        EXPECT_EQ(tab->PathBox(1)->text(), "/usr/bin/x terminal");
        // A path the button cannot hold is refused, and the box keeps its path.
        QTest::mouseDClick(tab->PathBox(1), Qt::LeftButton);
        Pump();
        EXPECT_EQ(tab->PathBox(1)->text(), "/usr/bin/x terminal");
        Click(editor.OkButton());
    });
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].startFolder, "/usr/bin");
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].text, kMsgPathTooLongEn);
    EXPECT_EQ(Button(4).function, kFunctionSoftware);
    EXPECT_EQ(Button(4).actionCode, 0xD0);
    EXPECT_EQ(Button(4).actionValue, ((0xD0 + 4) << 16) | 6);
    EXPECT_EQ(FromBuffer(Button(4).actionPath), u"/usr/bin/x terminal");
}

TEST_F(ButtonsPage, DisableDefaultAndCancel) {
    // A default name stored in the other language is shown in this one.
    ToBuffer(u"滚轮后滚", state.settings.buttons[6].displayName);
    WithEditor(6, [&](CSettingDlg& editor) {
        EXPECT_EQ(editor.CurrentName(), u"Scroll down");
        Click(editor.DisableBox());
        for (int tab = 1; tab <= 4; ++tab) {
            EXPECT_FALSE(editor.TabWindow(tab)->isVisible()) << tab;
            EXPECT_FALSE(editor.TabButton(tab)->GetSelected()) << tab;
        }
        EXPECT_FALSE(hooks.KeyForwarding());
        Click(editor.OkButton());
    });
    EXPECT_EQ(Button(6).function, kFunctionDisable);
    EXPECT_EQ(FromBuffer(Button(6).displayName), u"Disable key");
    EXPECT_TRUE(page->Tab(6)->GetSelected());

    // Cancelled: the mark stays as it was.
    WithEditor(6, [&](CSettingDlg& editor) { Click(editor.CloseButton()); });
    EXPECT_EQ(Button(6).function, kFunctionDisable);
    EXPECT_TRUE(page->Tab(6)->GetSelected());

    WithEditor(6, [&](CSettingDlg& editor) { Click(editor.DefaultButton()); });
    EXPECT_EQ(Button(6).function, 22);
    EXPECT_FALSE(page->Tab(6)->GetSelected());
}

TEST_F(ButtonsPage, ThePageMayGoAwayUnderAnOpenEditor) {
    // The main window destroys its pages when it closes (the mouse unplugged,
    // Exit from the tray), which can happen while the editor runs.
    const QPointer<CDlgMainSet> watched(page);
    ui::CIrrButton* tab = page->Tab(2);
    QTest::mousePress(tab, Qt::LeftButton, {}, tab->Shape().boundingRect().center());
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<CSettingDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        Click(editor->TabButton(3));
        editor->BaseTab()->List()->setCurrentRow(15);
        delete page;
    });
    Pump();
    page = nullptr;
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(hooks.KeyForwarding());
    EXPECT_EQ(Button(2).function, 2);  // nothing was stored
}

// The page and the editor in both languages, for a look; with
// QX_SCREENSHOT_DIR set they are written there as PNG files.
TEST_F(ButtonsPage, RendersInBothLanguages) {
    const char* folder = std::getenv("QX_SCREENSHOT_DIR");
    for (bool chinese : {false, true}) {
        Build(chinese);
        state.settings.buttons[2].function = 32;
        page->RefreshFromProfile();
        const QImage shot = mainWindow->grab(QRect(17, 128, 925, 456)).toImage();
        EXPECT_EQ(shot.size(), QSize(925, 456));
        const QString suffix = chinese ? "zh" : "en";
        if (folder) shot.save(QString("%1/buttons-page-%2.png").arg(folder, suffix));
        WithEditor(3, [&](CSettingDlg& editor) {
            EXPECT_EQ(editor.size(), QSize(412, 300));
            hooks.KeyboardHookProc({0xA2, 0});
            hooks.KeyboardHookProc({0x47, 0});
            Pump();
            if (folder) {
                editor.grab().save(QString("%1/editor-combo-%2.png").arg(folder, suffix));
                Click(editor.TabButton(3));
                editor.BaseTab()->List()->setCurrentRow(2);
                editor.grab().save(QString("%1/editor-basic-%2.png").arg(folder, suffix));
                Click(editor.TabButton(4));
                dialogs.answers = {std::filesystem::path("/usr/share/sounds/bell.wav")};
                Click(editor.AdvanceTab()->Browse(0));
                editor.grab().save(QString("%1/editor-advanced-%2.png").arg(folder, suffix));
                Click(editor.TabButton(2));
                editor.MacroTab()->CategoryList()->setCurrentRow(21);
                Pump();
                editor.grab().save(QString("%1/editor-macro-%2.png").arg(folder, suffix));
            }
            Click(editor.CloseButton());
        });
    }
}

}  // namespace
}  // namespace qx::test
