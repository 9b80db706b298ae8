// Real timers: the Nth expiry never comes before N periods after arming, a timer cancelled from
// its own handler stays quiet, and the program's readout follows real ticks.
#include "qt_fixture.h"

#include "runtime/window_description.h"

#include <chrono>
#include <vector>

namespace velmora_qt_test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kTimerWindowId = 7;
constexpr ComponentRef kTimer{kTimerWindowId, 2};
constexpr std::int32_t kPeriodMs = 25;
constexpr std::size_t kTicksBeforeCancel = 6;

std::vector<Clock::time_point> tickTimes;

// Stops its own timer from inside the handler of the last tick it wants.
void recordTick() {
    tickTimes.push_back(Clock::now());
    if (tickTimes.size() == kTicksBeforeCancel) {
        writeProperty(kTimer, Property::period, 0);
    }
}

constexpr EventBinding kTickBindings[] = {{Event::tick, recordTick}};
constexpr Entry kTimerWindowEntries[] = {
    {.id = 1,
     .kind = Kind::window,
     .width = 200,
     .height = 120,
     .flags = {.visible = true},
     .window = {.title = "t"}},
    {.id = 2, .kind = Kind::timer, .bindings = kTickBindings, .timer = {.period = kPeriodMs}},
};
constexpr WindowDescription kTimerWindowData[] = {
    {.id = kTimerWindowId, .entries = kTimerWindowEntries}};

class RealTimer : public QtTest {
  protected:
    void TearDown() override {
        rt::testing::clearWindowDataOverride();
        QtTest::TearDown();
    }
};

TEST_F(RealTimer, ExpiriesKeepTheirAbsoluteScheduleAndStopWhenCancelledFromTheHandler) {
    tickTimes.clear();
    rt::testing::overrideWindowData(kTimerWindowData);
    initRuntime();
    const Clock::time_point beforeArming = Clock::now();
    loadStartupWindow(kTimerWindowId); // a timer created with a period arms itself

    ASSERT_TRUE(waitUntil([] { return tickTimes.size() >= kTicksBeforeCancel; }));
    for (std::size_t n = 1; n <= tickTimes.size(); ++n) {
        EXPECT_GE(tickTimes[n - 1] - beforeArming,
                  static_cast<int>(n) * std::chrono::milliseconds(kPeriodMs))
            << "expiry " << n << " came early";
    }
    // Eight more periods of quiet.
    const Clock::time_point quietUntil = Clock::now() + 8 * std::chrono::milliseconds(kPeriodMs);
    waitUntil([&] { return Clock::now() >= quietUntil; });
    EXPECT_EQ(tickTimes.size(), kTicksBeforeCancel);
}

TEST_F(QtTest, TheReadoutFollowsRealSecondsFromTheStartClick) {
    openWindow();
    auto* edit = qobject_cast<QLineEdit*>(widgetOf(编辑框1));
    struct Seen {
        Clock::duration after;
        std::string text;
    };
    std::vector<Seen> seen;
    QObject guard;
    const Clock::time_point beforeClick = Clock::now();
    QObject::connect(edit, &QLineEdit::textChanged, &guard, [&](const QString& text) {
        seen.push_back({Clock::now() - beforeClick, rt::qt::toGbk(text)});
    });
    clickOn(按钮1);

    ASSERT_TRUE(waitUntil([&] { return seen.size() >= 2; }, 8000)) << "ticks seen: " << seen.size();
    EXPECT_EQ(seen[0].text, "00" + gbk::kColon + "00" + gbk::kColon + "01");
    EXPECT_EQ(seen[1].text, "00" + gbk::kColon + "00" + gbk::kColon + "02");
    EXPECT_GE(seen[0].after, std::chrono::milliseconds(1000)) << "the first tick came early";
    EXPECT_GE(seen[1].after, std::chrono::milliseconds(2000)) << "the second tick came early";

    clickOn(按钮2);
    const auto timers = mainWindow()->findChildren<QTimer*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(timers.size(), 1);
    EXPECT_FALSE(timers.front()->isActive()) << "pausing left the platform timer running";
}

} // namespace
} // namespace velmora_qt_test
