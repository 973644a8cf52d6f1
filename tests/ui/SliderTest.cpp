#include <gtest/gtest.h>

#include <QTest>

#include "tests/common/TempDir.h"
#include "tests/common/UiTestSupport.h"
#include "ui/PngHProgressBar.h"
#include "ui/PngHSlider.h"

namespace qx::test {
namespace {

class Slider : public ::testing::Test {
protected:
    void SetUp() override {
        QImage thumb(10, 14, QImage::Format_ARGB32);
        thumb.fill(Qt::yellow);
        ASSERT_TRUE(thumb.save(QString::fromStdString((dir / "Slider.png").string())));
        picture = QImage(300, 100, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        window.resize(300, 100);
    }
    ui::CPngHSliderBar* Make(int min, int max) {
        auto* bar = new ui::CPngHSliderBar(dir / "Slider.png", QRect(10, 40, 210, 14), &window, 778,
                                           picture);
        bar->SetRange(min, max);
        window.show();
        return bar;
    }
    TempDir dir;
    QImage picture;
    RecordingWindow window;
};

TEST_F(Slider, ClickAt96PercentSelectsTheMaximumOnlyForShortRanges) {
    // Usable track: 210 - 10 (thumb) = 200 pixels; 96 % lies at x 192.
    auto* five = Make(1, 5);
    QTest::mouseClick(five, Qt::LeftButton, {}, QPoint(192, 7));
    EXPECT_EQ(five->GetPos(), 5);
    auto* twenty = Make(1, 20);
    QTest::mouseClick(twenty, Qt::LeftButton, {}, QPoint(192, 7));
    EXPECT_EQ(twenty->GetPos(), 19);
    Pump();
    const auto posted = window.Of(kMsgSliderPos);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0], (Posted{kMsgSliderPos, 5, 778}));
    EXPECT_EQ(posted[1], (Posted{kMsgSliderPos, 19, 778}));
}

TEST_F(Slider, ThumbFollowsThePositionAndDragReportsEveryMove) {
    auto* bar = Make(0, 255);
    bar->SetPos(255);
    EXPECT_EQ(bar->Thumb()->x(), 200);
    bar->SetPos(0);
    EXPECT_EQ(bar->Thumb()->x(), 0);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(3, 7));  // on the thumb
    for (int x : {53, 103}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 7), bar->mapToGlobal(QPointF(x, 7)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
    }
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(103, 7));
    Pump();
    const auto posted = window.Of(kMsgSliderPos);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].wParam, 63u);   // 255 * 50 / 200
    EXPECT_EQ(posted[1].wParam, 127u);  // 255 * 100 / 200
}

TEST_F(Slider, DisabledSliderIgnoresTheMouse) {
    auto* bar = Make(1, 10);
    bar->SetPos(3);
    bar->Enable(false);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(150, 7));
    Pump();
    EXPECT_EQ(bar->GetPos(), 3);
    EXPECT_TRUE(window.Of(kMsgSliderPos).empty());
}

TEST(ProgressBar, DrawsTheFullPictureUpToThePosition) {
    QImage empty(100, 20, QImage::Format_RGB32), full(100, 20, QImage::Format_RGB32);
    empty.fill(Qt::black);
    full.fill(Qt::cyan);
    RecordingWindow window;
    auto* bar = new ui::CPngHProgressBar(&window, 9, QRect(0, 5, 100, 10), empty, full);
    bar->SetRange(0, 100);
    bar->SetPos(40);
    const QImage shown = bar->grab().toImage();
    EXPECT_EQ(shown.pixelColor(39, 5), QColor(Qt::cyan));
    EXPECT_EQ(shown.pixelColor(41, 5), QColor(Qt::black));
    bar->SetPos(250);
    EXPECT_EQ(bar->GetPos(), 100);
    // Used as a slider it reports on release.
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(25, 5));
    Pump();
    EXPECT_TRUE(window.Of(kMsgProgressBarPos).empty());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(25, 5));
    Pump();
    ASSERT_EQ(window.Of(kMsgProgressBarPos).size(), 1u);
    EXPECT_EQ(window.Of(kMsgProgressBarPos)[0], (Posted{kMsgProgressBarPos, 25, 9}));
}

}  // namespace
}  // namespace qx::test
