#include <gtest/gtest.h>

#include "platform/X11PointerPosition.h"

#include <memory>
#include <semaphore>
#include <string>

#include "base/Clock.h"
#include "base/Notifier.h"
#include "i18n/LanguageTable.h"
#include "stats/PointerSampler.h"
#include "stats/TrophiesPageModel.h"
#include "tests/common/RecordingTarget.h"
#include "tests/common/TempDir.h"
#include "tests/common/XvfbServer.h"

// Last: their macros (None) clash with the names of the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace qx {
namespace {

using namespace std::chrono_literals;

// Lines the utility wrote (a sanitizer may add its own reports).
int OurLines(const std::string& log) {
    int lines = 0;
    for (std::size_t at = log.find("qx-driver:"); at != std::string::npos;
         at = log.find("qx-driver:", at + 1))
        ++lines;
    return lines;
}

class X11PointerPositionTest : public test::XvfbTest {
protected:
    void SetUpWithServer() override {
        display_ = OpenX11Display(Server().Name().c_str());
        ASSERT_TRUE(display_);
    }

    // Moves the pointer the way a mouse does, through the XTest device.
    void MoveTo(int x, int y) {
        XTestFakeMotionEvent(display_.get(), 0, x, y, CurrentTime);
        XSync(display_.get(), False);
    }

    X11Display display_;
};

TEST_F(X11PointerPositionTest, ReadsWhereThePointerIs) {
    X11PointerPosition source(Server().Name());
    for (const PointerPosition at :
         {PointerPosition{100, 100}, PointerPosition{1279, 0}, PointerPosition{0, 799}}) {
        MoveTo(at.x, at.y);
        EXPECT_EQ(source.ReadPointerPosition(), at) << at.x << "," << at.y;
    }
}

// Lets the sampling thread read only when the test says so.
class GatedSource final : public PointerPositionSource {
public:
    explicit GatedSource(PointerPositionSource& inner) : inner_(inner) {}
    std::optional<PointerPosition> ReadPointerPosition() override {
        gate_.acquire();
        return inner_.ReadPointerPosition();
    }
    void Allow(int reads) { gate_.release(reads); }

private:
    PointerPositionSource& inner_;
    std::counting_semaphore<1000> gate_{0};
};

// The sampler, the X source and the page's counting together: pointer moves
// of a known distance between two samples add that travel.
TEST_F(X11PointerPositionTest, MovesBetweenSamplesBecomeTravel) {
    test::TempDir dir;
    RecordingNotifier notifier;
    Localization language;
    FakeClock clock;
    TrophiesPageModel page(dir.path(), notifier, language, clock);
    page.Load();

    MoveTo(100, 100);
    X11PointerPosition x11(Server().Name());
    GatedSource source(x11);
    SharedSamplePoint point;
    test::RecordingTarget target;
    PointerSampler sampler(source, point, target, 1ms);
    sampler.Start();
    source.Allow(1);
    ASSERT_EQ(target.WaitFor(1, 5s).size(), 1u);
    page.CountSample(point.Load());
    MoveTo(130, 60);
    MoveTo(400, 300);  // between two samples only the end point counts
    MoveTo(130, 60);
    source.Allow(1);
    ASSERT_EQ(target.WaitFor(2, 5s).size(), 2u);
    page.CountSample(point.Load());
    EXPECT_EQ(page.Counters().travel, 70u);
    source.Allow(1000);  // lets the thread out of the gate to stop
}

TEST(X11PointerPositionNoDisplay, NoSamplesAndOneLine) {
    X11PointerPosition source(":4999");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(source.ReadPointerPosition());
    EXPECT_FALSE(source.ReadPointerPosition());
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("no X display"), std::string::npos);
    EXPECT_EQ(OurLines(log), 1) << log;
}

// The X server going away must end the samples, not the process.
TEST(X11PointerPositionServerGone, NoMoreSamplesAndOneLine) {
    if (!test::XvfbInstalled()) GTEST_SKIP() << "Xvfb is not installed";
    auto server = std::make_unique<test::XvfbServer>();
    ASSERT_TRUE(server->Running());
    X11PointerPosition source(server->Name());
    ASSERT_TRUE(source.ReadPointerPosition());
    testing::internal::CaptureStderr();
    server.reset();
    EXPECT_FALSE(source.ReadPointerPosition());
    EXPECT_FALSE(source.ReadPointerPosition());
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("lost the X connection"), std::string::npos) << log;
    EXPECT_EQ(OurLines(log), 1) << log;
}

}  // namespace
}  // namespace qx
