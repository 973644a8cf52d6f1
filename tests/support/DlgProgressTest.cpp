#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <thread>

#include "i18n/LanguageTable.h"
#include "support/DlgProgress.h"
#include "tests/common/UiTestSupport.h"
#include "ui/PngHProgressBar.h"

namespace qx::test {
namespace {

using support::CDlgProgress;

TEST(ProgressWindow, FollowsTheWriterAndClosesHalfASecondAfter100) {
    Localization loc;
    CDlgProgress dlg(AppFolder(), loc);
    std::vector<int> seen;
    qint64 fullAt = 0;
    QElapsedTimer clock;
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_EQ(dlg.windowTitle(), QString("OrvikProcessDlg"));
        EXPECT_EQ(dlg.size(), QSize(330, 78));
        EXPECT_EQ(dlg.Bar()->geometry(), QRect(35, 47, 260, 9));
        // The writer posts from its own thread.
        std::thread writer([&] {
            for (int p : {7, 14, 60}) dlg.PostMessage(kMsgProgress, p, 0);
        });
        writer.join();
        QTimer::singleShot(20, &dlg, [&] {
            seen.push_back(dlg.Bar()->GetPos());
            clock.start();
            dlg.PostMessage(kMsgProgress, 100, 0);
            QTimer::singleShot(300, &dlg, [&] {
                seen.push_back(dlg.Bar()->GetPos());
                EXPECT_TRUE(dlg.isVisible());  // still at full after 300 ms
            });
        });
    });
    dlg.Run();
    fullAt = clock.elapsed();
    EXPECT_EQ(seen, (std::vector<int>{60, 100}));
    EXPECT_GE(fullAt, 500);
    EXPECT_LT(fullAt, 2000);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(ProgressWindow, UserCannotDismissIt) {
    Localization loc;
    CDlgProgress dlg(AppFolder(), loc);
    bool stillOpen = false;
    QTimer::singleShot(0, &dlg, [&] {
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QTest::keyClick(&dlg, Qt::Key_Return);
        QTest::keyClick(&dlg, Qt::Key_Space);
        QTest::keyClick(&dlg, Qt::Key_F4, Qt::AltModifier);
        dlg.close();  // what the window manager's close would do
        stillOpen = dlg.isVisible();
        dlg.PostMessage(kMsgProgress, 100, 0);
    });
    dlg.Run();
    EXPECT_TRUE(stillOpen);
}

TEST(ProgressWindow, FailureClosesItAtOnceAndItCanRunAgain) {
    Localization loc;
    loc.chineseMode = true;
    CDlgProgress dlg(AppFolder(), loc);
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, &dlg, [&] {
        dlg.PostMessage(kMsgProgress, 14, 0);
        dlg.PostMessage(kMsgSyncFailed, 0, 3);
    });
    dlg.Run();
    EXPECT_LT(clock.elapsed(), 400);
    // Reused for the next synchronisation, starting from zero again.
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_EQ(dlg.Bar()->GetPos(), 0);
        dlg.PostMessage(kMsgProgress, 100, 0);
    });
    dlg.Run();
    EXPECT_FALSE(dlg.isVisible());
}

}  // namespace
}  // namespace qx::test
