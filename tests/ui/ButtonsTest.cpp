#include <gtest/gtest.h>

#include <QTest>
#include <thread>

#include "tests/common/UiTestSupport.h"
#include "ui/ColorBtn.h"
#include "ui/GDIBitmapBtn.h"
#include "ui/IrrButton.h"

namespace qx::test {
namespace {

using ui::CGDIBitmapBtn;
using Look = CGDIBitmapBtn::Look;

QImage Filled(QColor c) {
    QImage img(200, 100, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

class BitmapButton : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 100);
        button = new CGDIBitmapBtn(&window, 42);
        button->SetImages(10, 10, 60, 30, &normal, &over, &down, &disabled);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QColor PixelShown() { return button->grab().toImage().pixelColor(2, 2); }
    QImage normal = Filled(Qt::darkGray), over = Filled(Qt::cyan), down = Filled(Qt::yellow),
           disabled = Filled(Qt::black);
    RecordingWindow window;
    CGDIBitmapBtn* button;
};

TEST_F(BitmapButton, TakesItsRectangleAndDrawsTheStatePictures) {
    EXPECT_EQ(button->geometry(), QRect(10, 10, 50, 20));
    EXPECT_EQ(PixelShown(), QColor(Qt::darkGray));
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(button->CurrentLook(), Look::Over);
    EXPECT_EQ(PixelShown(), QColor(Qt::cyan));
    button->setEnabled(false);
    EXPECT_EQ(button->CurrentLook(), Look::Disabled);
    EXPECT_EQ(PixelShown(), QColor(Qt::black));
}

TEST_F(BitmapButton, CheckModeKeepsTheDownLookAfterTheMouseLeaves) {
    button->SetCheckMode(true);
    button->SetSelected(true);
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QApplication::sendEvent(button, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->CurrentLook(), Look::Down);
    EXPECT_EQ(PixelShown(), QColor(Qt::yellow));
}

TEST_F(BitmapButton, PlainButtonIsDownOnlyWhilePressed) {
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button->CurrentLook(), Look::Down);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->CurrentLook(), Look::Normal);
    EXPECT_EQ(PixelShown(), QColor(Qt::darkGray));
}

TEST_F(BitmapButton, ToggleOnClickFlipsTheSelectionAndClickPostsTheCommand) {
    button->SetCheckMode(true);
    button->SetToggleOnClick(true);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->GetSelected());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->GetSelected());
    Pump();
    const auto commands = window.Of(kWmCommand);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].wParam, 42u);
    EXPECT_EQ(commands[0].lParam, ui::WindowHandle(button));
}

TEST_F(BitmapButton, MouseMovesReachTheParentInItsCoordinates) {
    QTest::mouseMove(button, QPoint(7, 4));
    QMouseEvent move(QEvent::MouseMove, QPointF(7, 4), QPointF(17, 14), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    Pump();
    const auto moves = window.Of(kWmMouseMove);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back().lParam, ui::MakeLParam(17, 14));
}

// The moves carry the Windows key flags of WM_MOUSEMOVE, not Qt's bits (Qt's
// right button is 2 and middle 4, where Windows has 2 and 16, and Qt puts
// no modifiers there at all).
TEST(MouseMoveFlags, BothButtonKindsForwardTheWindowsKeyFlags) {
    const struct {
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        WParam flags;
    } cases[] = {
        {Qt::NoButton, Qt::NoModifier, 0x00},
        {Qt::LeftButton, Qt::NoModifier, 0x01},     // MK_LBUTTON
        {Qt::RightButton, Qt::NoModifier, 0x02},    // MK_RBUTTON
        {Qt::NoButton, Qt::ShiftModifier, 0x04},    // MK_SHIFT
        {Qt::NoButton, Qt::ControlModifier, 0x08},  // MK_CONTROL
        {Qt::MiddleButton, Qt::NoModifier, 0x10},   // MK_MBUTTON
        {Qt::XButton1 | Qt::XButton2, Qt::NoModifier, 0x60},
        {Qt::LeftButton | Qt::MiddleButton, Qt::ShiftModifier | Qt::ControlModifier, 0x1D},
        {Qt::NoButton, Qt::AltModifier, 0x00},  // Alt has no flag
    };
    RecordingWindow window;
    window.resize(200, 100);
    auto* bitmap = new CGDIBitmapBtn(&window, 1);
    bitmap->setGeometry(10, 10, 50, 20);
    auto* colour = new ui::CColorBtn(&window, 2);
    colour->setGeometry(100, 10, 29, 29);
    window.show();
    for (QWidget* button : std::initializer_list<QWidget*>{bitmap, colour}) {
        for (const auto& c : cases) {
            window.posted.clear();
            QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), QPointF(4, 4), Qt::NoButton,
                             c.buttons, c.modifiers);
            QApplication::sendEvent(button, &move);
            Pump();
            const auto moves = window.Of(kWmMouseMove);
            ASSERT_FALSE(moves.empty());
            EXPECT_EQ(moves.back().wParam, c.flags)
                << button->metaObject()->className() << " buttons " << c.buttons.toInt()
                << " modifiers " << c.modifiers.toInt();
        }
    }
}

TEST(BitmapButtonReporting, PressAndReleaseGoToTheParentsParent) {
    RecordingWindow top;
    top.resize(200, 100);
    QWidget page(&top);
    page.resize(200, 100);
    auto* button = new CGDIBitmapBtn(&page, 7);
    const QImage pic = Filled(Qt::gray);
    button->SetImages(0, 0, 30, 30, &pic, &pic, &pic, &pic);
    button->SetMouseReporting(true);
    top.show();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    Pump();
    const auto reports = top.Of(kMsgButtonMouse);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], (Posted{kMsgButtonMouse, 513, ui::WindowHandle(button)}));
    EXPECT_EQ(reports[1], (Posted{kMsgButtonMouse, 514, ui::WindowHandle(button)}));
}

TEST(IrregularButton, ClickOnTheTransparentCornerReachesTheWindowBelow) {
    RecordingWindow window;
    window.resize(300, 100);
    // The first main-window tab: slanted right edge from (189,85) to (210,121).
    const layout::Quad tab{{{30, 85}, {189, 85}, {210, 121}, {30, 121}}};
    window.resize(300, 140);
    auto* button = new ui::CIrrButton(&window, tab);
    int pressedCount = 0;
    QObject::connect(button, &QAbstractButton::pressed, [&] { ++pressedCount; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(button->geometry(), QRect(30, 85, 181, 37));
    // (207, 88) lies in the box but right of the slanted edge.
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(207, 88));
    Pump();
    EXPECT_EQ(pressedCount, 0);
    EXPECT_TRUE(window.Of(kWmCommand).empty());
    // Inside the shape the tab gets it, and the command goes out on the press.
    QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, QPoint(100, 100));
    Pump();
    EXPECT_EQ(pressedCount, 1);
    ASSERT_EQ(window.Of(kWmCommand).size(), 1u);
    EXPECT_EQ(window.Of(kWmCommand)[0], (Posted{kWmCommand, 0, ui::WindowHandle(button)}));
    QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, QPoint(100, 100));
    Pump();
    EXPECT_EQ(window.Of(kWmCommand).size(), 1u);  // nothing more on release
}

TEST(PrivateMessages, PostedFromAnotherThreadArriveWithTheirParameters) {
    RecordingWindow window;
    std::thread worker([&] { window.PostMessage(kMsgProgress, 60, -5); });
    worker.join();
    Pump();
    ASSERT_EQ(window.posted.size(), 1u);
    EXPECT_EQ(window.posted[0], (Posted{kMsgProgress, 60, -5}));
}

TEST(PrivateMessages, UnmappedCloseClosesTheWindow) {
    ui::CMessageWidget window;
    window.show();
    window.PostMessage(kWmClose, 0, 0);
    Pump();
    EXPECT_FALSE(window.isVisible());
}

TEST(ColourButton, ShowsItsColourAndForwardsMoves) {
    RecordingWindow window;
    window.resize(100, 100);
    auto* swatch = new ui::CColorBtn(&window, 3);
    swatch->setGeometry(10, 10, 29, 29);
    swatch->SetColor(QColor(250, 5, 126));
    window.show();
    EXPECT_EQ(swatch->grab().toImage().pixelColor(14, 14), QColor(250, 5, 126));
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), QPointF(14, 14), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(swatch, &move);
    Pump();
    ASSERT_EQ(window.Of(kWmMouseMove).size(), 1u);
    EXPECT_EQ(window.Of(kWmMouseMove)[0].lParam, ui::MakeLParam(14, 14));
}

}  // namespace
}  // namespace qx::test
