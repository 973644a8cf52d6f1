#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "tests/common/UiTestSupport.h"
#include "ui/ListBoxEx.h"
#include "ui/SkinPicture.h"
#include "ui/SkinScrollBar.h"
#include "ui/layout/SkinFiles.h"

namespace qx::test {
namespace {

using ui::CListBoxEx;

class ListBox : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(300, 300);
        list = new CListBoxEx(&window, 257);
        list->setGeometry(0, 0, 280, 200);
        list->SetItemHeight(18);
        list->SetEditEnabled(true);
        for (const char* name : {"Reload", "Grenade", "Sprint"}) list->AddString(name, 0x10);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        Pump();
        window.posted.clear();
    }
    RecordingWindow window;
    CListBoxEx* list;
};

TEST_F(ListBox, TypedItemsKeepTheTypeInTheTopByte) {
    const int i = list->AddTypedString("Delay 50 ms", 4, 0x7F123456);
    EXPECT_EQ(list->GetItemData(i), 0x04123456);
    EXPECT_EQ(CListBoxEx::ItemType(list->GetItemData(i)), 4);
    EXPECT_EQ(list->GetItemData(99), 0);
}

// What reaches the notify window: WM_USER+101 and WM_USER+112 in order.
std::vector<Posted> ListMessages(const RecordingWindow& window) {
    std::vector<Posted> out;
    for (const auto& p : window.posted)
        if (p.message == kMsgListSelChange || p.message == kMsgListEditDone) out.push_back(p);
    return out;
}

TEST_F(ListBox, TheUsersSelectionChangesPostTheIdAndIndex) {
    std::vector<int> signalled;
    QObject::connect(list, &CListBoxEx::UserSelectionChanged,
                     [&](int row) { signalled.push_back(row); });
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);  // no change: nothing
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    Pump();
    EXPECT_EQ(ListMessages(window),
              (std::vector<Posted>{{kMsgListSelChange, 257, 1}, {kMsgListSelChange, 257, 2}}));
    EXPECT_EQ(signalled, (std::vector<int>{1, 2}));
}

// The pages load a macro on WM_USER+101: the list's own changes must not
// post it (a Windows list box sends LBN_SELCHANGE for the user's changes only).
TEST_F(ListBox, ChangesMadeByTheProgramNotifyNobody) {
    list->setCurrentRow(1);
    list->AddString("Jump", 0x10);
    list->InsertString(0, "Crouch", 0x10);
    delete list->takeItem(0);
    list->setCurrentRow(-1);
    Pump();
    EXPECT_EQ(ListMessages(window), std::vector<Posted>{});

    // Committing an in-place edit replaces the item and selects it: only the
    // edit is reported.
    list->setCurrentRow(2);
    list->BeginEdit(2);
    QTest::keyClicks(list->Editor(), "Dash");
    QTest::keyClick(list->Editor(), Qt::Key_Return);
    list->BeginEdit(1);
    QTest::keyClick(list->Editor(), Qt::Key_Escape);
    list->clear();
    Pump();
    EXPECT_EQ(ListMessages(window), (std::vector<Posted>{{kMsgListEditDone, 257, 2}}));
}

// A receiver that selects another row in answer to the user's change does
// not make the list report again.
TEST_F(ListBox, AReceiversOwnSelectionIsNotTheUsers) {
    QObject::connect(list, &CListBoxEx::UserSelectionChanged, [&](int row) {
        if (row == 1) list->setCurrentRow(2);
    });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    Pump();
    EXPECT_EQ(ListMessages(window), (std::vector<Posted>{{kMsgListSelChange, 257, 1}}));
    EXPECT_EQ(list->currentRow(), 2);
}

TEST_F(ListBox, EnterReleaseCommitsTheEditWithTheSameData) {
    list->BeginEdit(1);
    QLineEdit* edit = list->Editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->maxLength(), 20);
    EXPECT_EQ(edit->selectedText(), "Grenade");
    QTest::keyClicks(edit, "Smoke grenade thrown far away");  // longer than 20
    QTest::keyClick(edit, Qt::Key_Return);
    Pump();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->GetText(1), QString("Smoke grenade thrown"));
    EXPECT_EQ(list->GetItemData(1), 0x10);
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), 1);
    ASSERT_EQ(window.Of(kMsgListEditDone).size(), 1u);
    EXPECT_EQ(window.Of(kMsgListEditDone)[0], (Posted{kMsgListEditDone, 257, 1}));
}

TEST_F(ListBox, EscapeReleaseDiscardsAndPostsNothing) {
    list->BeginEdit(0);
    QTest::keyClicks(list->Editor(), "Oops");
    QTest::keyClick(list->Editor(), Qt::Key_Escape);
    Pump();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->GetText(0), QString("Reload"));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(window.Of(kMsgListEditDone).empty());
}

TEST_F(ListBox, OpeningASecondEditAnywhereCommitsTheFirst) {
    auto* other = new CListBoxEx(&window, 256);
    other->setGeometry(0, 200, 280, 100);
    other->AddString("Customize", 22);
    other->show();
    list->BeginEdit(2);
    list->Editor()->setText("Dash");
    other->BeginEdit(0);
    Pump();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_TRUE(other->IsEditing());
    EXPECT_EQ(list->GetText(2), QString("Dash"));
    EXPECT_EQ(window.Of(kMsgListEditDone).size(), 1u);
}

TEST_F(ListBox, DoubleClickOpensTheEditOnlyWhenEnabled) {
    const QPoint second = list->visualItemRect(list->item(1)).center();
    list->SetEditEnabled(false);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_FALSE(list->IsEditing());
    list->SetEditEnabled(true);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_TRUE(list->IsEditing());
}

TEST(SkinScroll, ArrowPressScrollsAtOnceThenRepeats) {
    QWidget window;
    window.resize(200, 120);
    auto* list = new CListBoxEx(&window, 1);
    list->setGeometry(0, 0, 200, 120);
    list->SetItemHeight(20);
    for (int i = 0; i < 60; ++i) list->AddString(QString("Item %1").arg(i));
    auto* host = new ui::CSkinScrollWnd(&window, list);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Pump();
    host->Sync();
    ui::CSkinScrollBar* bar = host->VerticalBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_FALSE(list->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
    ASSERT_TRUE(bar->Geometry().hasThumb);
    std::vector<int> codes;
    QObject::connect(bar, &ui::CSkinScrollBar::Scrolled,
                     [&](int code, int) { codes.push_back(code); });
    const QPoint secondArrow(9, bar->height() - 5);
    QTest::mousePress(bar, Qt::LeftButton, {}, secondArrow);
    EXPECT_EQ(codes.size(), 1u);  // at once
    QTest::qWait(300);
    EXPECT_EQ(codes.size(), 1u);  // nothing before 500 ms
    QTest::qWait(700);            // 500 ms, then every 100 ms
    QTest::mouseRelease(bar, Qt::LeftButton, {}, secondArrow);
    EXPECT_GE(codes.size(), 3u);
    for (int code : codes) EXPECT_EQ(code, ui::kSbLineDown);
    EXPECT_EQ(list->verticalScrollBar()->value(), static_cast<int>(codes.size()));
    const auto before = codes.size();
    QTest::qWait(250);
    EXPECT_EQ(codes.size(), before);  // released: no more

    // The first arrow repeats too (its code, SB_LINEUP, is 0).
    codes.clear();
    const QPoint firstArrow(9, 5);
    QTest::mousePress(bar, Qt::LeftButton, {}, firstArrow);
    QTest::qWait(800);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, firstArrow);
    EXPECT_GE(codes.size(), 2u);
    for (int code : codes) EXPECT_EQ(code, ui::kSbLineUp);
}

// The arrows and the thumb take the picture's hover row (row 1) under the
// pointer, and the pressed row (row 2) while held.
TEST(SkinScroll, HoverAndPressDrawTheirRowsOfThePicture) {
    ui::CSkinScrollBar bar(nullptr, Qt::Vertical);
    bar.resize(18, 200);
    bar.SetScrollInfo(0, 99, 10, 0);
    bar.show();
    const QImage cells =
        ui::LoadResourcePicture(skin::kScrollBarCells).image.convertToFormat(QImage::Format_RGB32);
    constexpr int kCell = 18;
    auto cell = [&](int col, int row) {
        return cells.copy(col * kCell, row * kCell, kCell, kCell);
    };
    auto shown = [&](int top) {
        return bar.grab()
            .toImage()
            .convertToFormat(QImage::Format_RGB32)
            .copy(0, top, kCell, kCell);
    };
    auto move = [&](int y) {
        QMouseEvent e(QEvent::MouseMove, QPointF(9, y), QPointF(9, y), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(&bar, &e);
    };
    const int secondArrow = 200 - kCell;
    ASSERT_EQ(shown(0), cell(0, 0));
    move(5);
    EXPECT_EQ(shown(0), cell(0, 1));  // first arrow hovered
    EXPECT_EQ(shown(secondArrow), cell(1, 0));
    move(secondArrow + 5);
    EXPECT_EQ(shown(0), cell(0, 0));
    EXPECT_EQ(shown(secondArrow), cell(1, 1));
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(9, secondArrow + 5));
    EXPECT_EQ(shown(secondArrow), cell(1, 2));  // pressed
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(9, secondArrow + 5));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&bar, &leave);
    EXPECT_EQ(shown(secondArrow), cell(1, 0));
}

TEST(SkinScroll, FirstArrowRepetitionStopsAtTheTop) {
    ui::CSkinScrollBar bar(nullptr, Qt::Vertical);
    bar.resize(18, 200);
    bar.SetScrollInfo(0, 99, 10, 0);
    int sent = 0;
    QObject::connect(&bar, &ui::CSkinScrollBar::Scrolled, [&](int, int) { ++sent; });
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(9, 5));
    QTest::qWait(750);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(9, 5));
    EXPECT_EQ(sent, 1);  // the press itself; the repetition sees the minimum
}

TEST(SkinScroll, DraggingTheThumbTracksAndEndsWithThePosition) {
    ui::CSkinScrollBar bar(nullptr, Qt::Vertical);
    bar.resize(18, 200);
    bar.SetScrollInfo(0, 99, 10, 0);
    std::vector<std::pair<int, int>> sent;
    QObject::connect(&bar, &ui::CSkinScrollBar::Scrolled,
                     [&](int code, int pos) { sent.emplace_back(code, pos); });
    const auto g = bar.Geometry();
    const int grab = g.thumbStart + g.thumbLength / 2;
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(9, grab));
    QMouseEvent move(QEvent::MouseMove, QPointF(9, grab + 500), QPointF(9, grab + 500),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&bar, &move);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(9, grab + 500));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], std::make_pair(ui::kSbThumbTrack, 90));
    EXPECT_EQ(sent[1], std::make_pair(ui::kSbThumbPosition, 90));
}

}  // namespace
}  // namespace qx::test
