#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "tests/common/UiTestSupport.h"
#include "ui/ListBoxEx.h"
#include "ui/SkinScrollBar.h"

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

TEST_F(ListBox, SelectionChangePostsTheIdAndIndex) {
    list->setCurrentRow(2);
    Pump();
    ASSERT_EQ(window.Of(kMsgListSelChange).size(), 1u);
    EXPECT_EQ(window.Of(kMsgListSelChange)[0], (Posted{kMsgListSelChange, 257, 2}));
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
