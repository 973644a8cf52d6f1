#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

#include "tests/common/UiTestSupport.h"
#include "ui/MenuEx.h"

namespace qx::test {
namespace {

TEST(LanguageMenu, TwelveEntriesLaidOutFromSixPixelsDown) {
    RecordingWindow owner;
    auto* menu = new ui::CMenuExA(&owner);
    ASSERT_EQ(menu->Items().size(), 12u);
    EXPECT_EQ(menu->Items()[0].text, QString("Chinese"));
    EXPECT_EQ(menu->Items()[11].text, QString("Trad.Chinese"));
    EXPECT_EQ(menu->Items()[11].value, 12);
    EXPECT_EQ(menu->Items()[11].icon, 141);
    EXPECT_EQ(menu->ItemRect(0), QRect(6, 6, 104, 22));
    EXPECT_EQ(menu->ItemRect(2), QRect(6, 50, 104, 22));
    EXPECT_EQ(menu->size(), QSize(116, 6 + 12 * 22 + 3));
    menu->OpenAtButton(QRect(15, 617, 42, 18));
    EXPECT_EQ(menu->pos(), QPoint(11, 635 - 287));
    menu->close();
}

TEST(LanguageMenu, MagentaBecomesTransparentOverTheFrame) {
    RecordingWindow owner;
    ui::CMenuEx menu(&owner, kMsgApplyLanguage);
    menu.AddItem(1, "One");
    const QImage framed = menu.Compose();
    EXPECT_EQ(qAlpha(framed.pixel(0, 0)), 255);  // no frame: white card, cyan edge
    EXPECT_EQ(framed.pixelColor(0, 0).rgb() & 0xFFFFFF, 0x0093D1u);
    EXPECT_EQ(framed.pixelColor(95, 12).rgb() & 0xFFFFFF, 0xFFFFFFu);
    QImage frame(65, 65, QImage::Format_ARGB32);
    frame.fill(Qt::transparent);
    menu.SetFramePicture(frame);
    EXPECT_EQ(qAlpha(menu.Compose().pixel(60, 20)), 0);  // only the key was under it
}

TEST(LanguageMenu, ClickOnAnEntrySendsItsValueThenTheCloseNotice) {
    RecordingWindow owner;
    QPointer<ui::CMenuExA> menu = new ui::CMenuExA(&owner);
    menu->OpenAt(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.data()));
    const QPoint third = menu->ItemRect(2).center();
    QTest::mouseMove(menu.data(), third);
    QMouseEvent move(QEvent::MouseMove, third, menu->mapToGlobal(third), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(menu.data(), &move);
    EXPECT_EQ(menu->HoverIndex(), 2);
    QTest::mouseClick(menu.data(), Qt::LeftButton, {}, third);
    Pump();
    QTest::qWait(10);
    EXPECT_TRUE(menu.isNull());
    const auto posted = owner.Of(kMsgApplyLanguage);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0], (Posted{kMsgApplyLanguage, 0, 3}));  // French
    EXPECT_EQ(posted[1], (Posted{kMsgApplyLanguage, 0, 0}));  // closed
}

TEST(LanguageMenu, ClickOutsideClosesItWithoutAChoice) {
    RecordingWindow owner;
    owner.setGeometry(0, 0, 600, 600);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    QPointer<ui::CMenuExA> menu = new ui::CMenuExA(&owner);
    menu->OpenAt(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.data()));
    // Pressed on the owner's window: the open popup sees it first and closes.
    QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, {}, QPoint(500, 500));
    Pump();
    QTest::qWait(10);
    EXPECT_TRUE(menu.isNull());
    const auto posted = owner.Of(kMsgApplyLanguage);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], (Posted{kMsgApplyLanguage, 0, 0}));
}

TEST(TrayMenu, CarriesCommandsAndIcons) {
    ui::CXPMenu menu;
    QAction* config = menu.AddItem(0x6000, "Config", 1012);
    QAction* exit = menu.AddItem(0x6001, "Exit", 1011);
    EXPECT_EQ(config->data().toInt(), 0x6000);
    EXPECT_EQ(exit->data().toInt(), 0x6001);
    EXPECT_FALSE(exit->icon().isNull());
}

}  // namespace
}  // namespace qx::test
