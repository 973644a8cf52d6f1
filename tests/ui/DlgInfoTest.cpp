#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <future>

#include "i18n/LanguageTable.h"

#include "tests/common/UiTestSupport.h"
#include "ui/DlgInfo.h"
#include "ui/GDIBitmapBtn.h"

namespace qx::test {
namespace {

using ui::CDlgInfo;

// Runs the box and does `act` once it is shown.
template <class F>
int RunWith(CDlgInfo& box, F act) {
    QTimer::singleShot(0, &box, [&] { act(); });
    return box.Run();
}

TEST(InfoBox, OkButtonMovesWhenCancelIsThere) {
    CDlgInfo alone(AppFolder(), false);
    alone.text = u"Saved.";
    EXPECT_EQ(RunWith(alone, [&] { alone.OkButton()->click(); }), kIdOk);
    EXPECT_EQ(alone.OkButton()->geometry(), QRect(240, 127, 66, 32));
    EXPECT_EQ(alone.CancelButton(), nullptr);
    EXPECT_EQ(alone.size(), QSize(330, 170));

    CDlgInfo both(AppFolder(), false);
    both.withCancel = 1;
    EXPECT_EQ(RunWith(both, [&] { both.CancelButton()->click(); }), kIdCancel);
    EXPECT_EQ(both.OkButton()->geometry(), QRect(178, 127, 66, 32));
    EXPECT_EQ(both.CancelButton()->geometry(), QRect(245, 127, 66, 32));
    EXPECT_EQ(both.CloseButton()->geometry(), QRect(300, 0, 29, 29));
}

TEST(InfoBox, CaptionsFollowChineseMode) {
    struct Case {
        bool chinese;
        const char* ok;
        const char* cancel;
    };
    for (const Case c : {Case{true, "确定", "取消"}, Case{false, "OK", "Cancel"}}) {
        CDlgInfo box(AppFolder(), c.chinese);
        box.withCancel = 1;
        RunWith(box, [&] { box.done(kIdCancel); });
        EXPECT_EQ(box.OkButton()->text(), QString::fromUtf8(c.ok));
        EXPECT_EQ(box.CancelButton()->text(), QString::fromUtf8(c.cancel));
        EXPECT_EQ(box.windowTitle(), QString("OrvikInfoDlg"));
    }
}

TEST(InfoBox, EnterIsOkAndEscapeAndTheCloseButtonAreCancel) {
    CDlgInfo enter(AppFolder(), false);
    enter.withCancel = 1;
    EXPECT_EQ(RunWith(enter, [&] { QTest::keyClick(&enter, Qt::Key_Return); }), kIdOk);
    CDlgInfo escape(AppFolder(), false);
    EXPECT_EQ(RunWith(escape, [&] { QTest::keyClick(&escape, Qt::Key_Escape); }), kIdCancel);
    CDlgInfo closeButton(AppFolder(), false);
    EXPECT_EQ(RunWith(closeButton, [&] { closeButton.CloseButton()->click(); }), kIdCancel);
}

TEST(InfoBox, LongTextRunsBelowItsBoxInsteadOfBeingCut) {
    CDlgInfo box(AppFolder(), false);
    box.text =
        u"Failed to open file, check whether there is a "
        u"/home/user/.local/share/ORVIK/6E41/Profile/ConfigInfo.cfg path?";
    RunWith(box, [&] { box.done(kIdOk); });
    const QRect shown = box.TextRect();
    EXPECT_EQ(shown.topLeft(), QPoint(90, 73));
    EXPECT_EQ(shown.width(), 215);
    EXPECT_GT(shown.height(), 18);
    box.text = u"Short";
    EXPECT_EQ(box.TextRect(), QRect(90, 73, 215, 18));
}

TEST(Notice, CountsDownOnItsOkButtonAndShowsNoughtBeforeItCloses) {
    for (const bool chinese : {false, true}) {
        CDlgInfo box(AppFolder(), chinese);
        box.notice = 1;
        std::vector<QString> captions;
        QElapsedTimer sinceLastTick;
        const int result = RunWith(box, [&] {
            captions.push_back(box.OkButton()->text());
            for (int tick = 0; tick < 6; ++tick) {
                box.OnTimer(CDlgInfo::kNoticeTimer);
                captions.push_back(box.OkButton()->text());
            }
            sinceLastTick.start();
            EXPECT_TRUE(box.isVisible());  // the last moment
        });
        EXPECT_EQ(result, kIdCancel);
        EXPECT_GE(sinceLastTick.elapsed(), CDlgInfo::kLastMomentMs - 5);
        const QString ok = chinese ? QString::fromUtf8("确定") : QString("OK");
        std::vector<QString> expected;
        for (const int seconds : {5, 5, 4, 3, 2, 1, 0})
            expected.push_back(QString("%1 (%2s)").arg(ok).arg(seconds));
        EXPECT_EQ(captions, expected);
    }
}

TEST(Notice, LeftAloneItClosesItselfWithCancelAndOkBeforeThatIsOk) {
    CDlgInfo::SetNoticePeriodForTests(20);
    CDlgInfo idle(AppFolder(), true);
    idle.notice = 1;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(idle.Run(), kIdCancel);
    EXPECT_GE(clock.elapsed(), 6 * 20 + CDlgInfo::kLastMomentMs - 5);
    EXPECT_EQ(idle.OkButton()->text(), QString::fromUtf8("确定 (0s)"));

    CDlgInfo pressed(AppFolder(), false);
    pressed.notice = 1;
    EXPECT_EQ(RunWith(pressed, [&] { pressed.OkButton()->click(); }), kIdOk);
    CDlgInfo::SetNoticePeriodForTests(CDlgInfo::kNoticePeriodMs);
}

TEST(Notice, SitsInTheLowerRightCorner) {
    CDlgInfo box(AppFolder(), false);
    box.notice = 1;
    RunWith(box, [&] { box.done(kIdOk); });
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(box.x(), screen.right() + 1 - box.width() - 10);
    EXPECT_EQ(box.y(), screen.bottom() + 1 - box.height());
}

// Answers the next modal box on the window thread.
template <class F>
void WhenModal(F answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            answer(modal);
        }
    });
    poll->start(5);
}

TEST(QtNotifierTest, AWorkerThreadGetsTheBoxOnTheWindowThreadAndItsAnswer) {
    Localization loc;
    loc.chineseMode = true;
    ui::QtNotifier notifier(AppFolder(), loc);
    QString caption;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<CDlgInfo*>(modal);
        ASSERT_NE(box, nullptr);
        caption = box->CancelButton()->text();
        box->CancelButton()->click();
    });
    auto answer =
        std::async(std::launch::async, [&] { return notifier.ShowInfoMessage(u"删除？", true); });
    while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(answer.get(), kIdCancel);
    EXPECT_EQ(caption, QString::fromUtf8("取消"));
}

TEST(QtNotifierTest, StandardBoxIsCaptionedInfo) {
    Localization loc;
    ui::QtNotifier notifier(AppFolder(), loc);
    QString title, text;
    WhenModal([&](QWidget* modal) {
        title = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            text = box->text();
            box->accept();
        }
    });
    notifier.ShowStandardInfo(u"Profile exported.");
    EXPECT_EQ(title, QString("Info"));
    EXPECT_EQ(text, QString("Profile exported."));
}

}  // namespace
}  // namespace qx::test
