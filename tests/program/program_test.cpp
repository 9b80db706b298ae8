// The timer program on the simulated platform: the readout, start and pause, and its whole life
// from start-up to exit code.
#include "support/sim_fixture.h"

#include "runtime/window_description.h"
#include "timing/control.h"

using namespace velmora_test;
using rt::sim::Call;

namespace {

constexpr ComponentRef kWindow{kMainWindowId, 0};

// --- the readout ---------------------------------------------------------------------------------

struct ReadoutCase {
    std::int32_t hours, minutes, seconds; // held before the tick
    const char* expected;                 // after it, with ':' standing for the full-width colon
    // Parameters print by name: their padding bytes hold nothing worth showing.
    friend void PrintTo(const ReadoutCase&, std::ostream* os) { *os << "ReadoutCase"; }
};

class Readout : public SimTest, public ::testing::WithParamInterface<ReadoutCase> {};

TEST_P(Readout, OneTickCarriesAndPadsTheFields) {
    const ReadoutCase& c = GetParam();
    startProgram();
    hours = c.hours;
    minutes = c.minutes;
    seconds = c.seconds;
    sim.click(按钮1);
    sim.advance(1000);
    EXPECT_EQ(readout(), gbk::readout(c.expected));
    EXPECT_LE(seconds, 59);
    EXPECT_LE(minutes, 59);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Readout,
    ::testing::Values(ReadoutCase{0, 0, 0, "00:00:01"}, ReadoutCase{0, 0, 8, "00:00:09"},
                      ReadoutCase{0, 0, 9, "00:00:10"}, ReadoutCase{0, 0, 59, "00:01:00"},
                      ReadoutCase{0, 8, 59, "00:09:00"}, ReadoutCase{0, 59, 59, "01:00:00"},
                      ReadoutCase{8, 59, 59, "09:00:00"}, ReadoutCase{9, 59, 59, "10:00:00"},
                      ReadoutCase{99, 59, 59, "100:00:00"},
                      ReadoutCase{12345, 59, 58, "12345:59:59"}));

TEST_F(SimTest, ReadoutBytesAreExactAndTheBoxStartsEmpty) {
    startProgram();
    EXPECT_EQ(readout(), "");
    sim.click(按钮1);
    sim.advance(65'000);
    // 00：01：05 — ASCII digits around the GBK full-width colon A3 BA, and nothing else.
    EXPECT_EQ(readout(), std::string("00\xa3\xba"
                                     "01\xa3\xba"
                                     "05"));
    EXPECT_EQ(readout().size(), 10u);
}

TEST_F(SimTest, EachTickHoldsExactlyThreeTexts) {
    startProgram();
    EXPECT_EQ(textsHeldByTest(), 0u); // nothing before the first tick
    sim.click(按钮1);
    for (int i = 0; i < 70; ++i) {
        sim.advance(1000);
        ASSERT_EQ(textsHeldByTest(), 3u) << "after tick " << i + 1;
    }
}

// --- start and pause -----------------------------------------------------------------------------

struct ControlState {
    bool timing;
    std::string caption1;
    bool enabled1, enabled2;
};

void expectState(const rt::sim::SimPlatform& sim, const ControlState& s, const char* when) {
    SCOPED_TRACE(when);
    EXPECT_EQ(sim.armedOf(时钟1), s.timing);
    EXPECT_EQ(sim.textOf(按钮1), s.caption1);
    EXPECT_EQ(sim.textOf(按钮2), gbk::kPause);
    EXPECT_EQ(sim.enabledOf(按钮1), s.enabled1);
    EXPECT_EQ(sim.enabledOf(按钮2), s.enabled2);
}

TEST_F(SimTest, StartPauseAndContinueFollowTheStateTable) {
    const ControlState idle{false, gbk::kStart, true, true};
    const ControlState running{true, gbk::kRunning, false, true};
    const ControlState paused{false, gbk::kContinue, true, false};

    startProgram();
    expectState(sim, idle, "idle");
    sim.click(按钮1);
    expectState(sim, running, "running");
    sim.click(按钮1); // disabled: no event
    onStartClicked(); // and a second call changes nothing either
    expectState(sim, running, "running, start again");
    sim.click(按钮2);
    expectState(sim, paused, "paused");
    sim.click(按钮2);
    onPauseClicked();
    expectState(sim, paused, "paused, pause again");
    sim.click(按钮1);
    expectState(sim, running, "continued");
}

TEST_F(SimTest, PauseFirstThenStartCountsFromZero) {
    startProgram();
    sim.click(按钮2);
    EXPECT_EQ(sim.textOf(按钮1), gbk::kContinue);
    EXPECT_TRUE(sim.enabledOf(按钮1));
    EXPECT_FALSE(sim.enabledOf(按钮2));
    sim.advance(5000);
    EXPECT_EQ(readout(), "");
    sim.click(按钮1);
    EXPECT_EQ(sim.textOf(按钮1), gbk::kRunning);
    sim.advance(1000);
    EXPECT_EQ(readout(), gbk::readout("00:00:01"));
}

TEST_F(SimTest, StartTickTickPauseStartMakesExactlyTheseWrites) {
    startProgram();
    sim.clearCalls();
    sim.advance(250);
    sim.click(按钮1);
    sim.advance(2000);
    sim.click(按钮2);
    sim.click(按钮1);
    const std::vector<Call> expected = {
        {"arm", 时钟1, "1000"},
        {"text", 按钮1, gbk::kRunning},
        {"enable", 按钮1, "0"},
        {"enable", 按钮2, "1"},
        {"text", 编辑框1, gbk::readout("00:00:01")},
        {"text", 编辑框1, gbk::readout("00:00:02")},
        {"cancel", 时钟1, ""},
        {"text", 按钮1, gbk::kContinue},
        {"enable", 按钮1, "1"},
        {"enable", 按钮2, "0"},
        {"arm", 时钟1, "1000"},
        {"text", 按钮1, gbk::kRunning},
        {"enable", 按钮1, "0"},
        {"enable", 按钮2, "1"},
    };
    EXPECT_TRUE(sameCalls(expected, sim.calls()));
}

TEST_F(SimTest, FirstTickComesOneFullPeriodAfterTheStart) {
    startProgram();
    sim.advance(300);
    sim.click(按钮1);
    sim.advance(999);
    EXPECT_EQ(readout(), "");
    sim.advance(1);
    EXPECT_EQ(readout(), gbk::readout("00:00:01"));
}

TEST_F(SimTest, APauseMidSecondLosesThatPart) {
    startProgram();
    sim.click(按钮1);
    sim.advance(1700); // one tick, 700 ms into the next second
    sim.click(按钮2);
    sim.advance(10'000);
    EXPECT_EQ(readout(), gbk::readout("00:00:01"));
    sim.click(按钮1);
    sim.advance(999);
    EXPECT_EQ(readout(), gbk::readout("00:00:01"));
    sim.advance(1);
    EXPECT_EQ(readout(), gbk::readout("00:00:02"));
}

TEST_F(SimTest, StartAndPauseFasterThanOnceASecondNeverCount) {
    startProgram();
    for (int i = 0; i < 20; ++i) {
        sim.click(按钮1);
        sim.advance(900);
        sim.click(按钮2);
        sim.advance(900);
    }
    EXPECT_EQ(readout(), "");
}

TEST_F(SimTest, StartWhileRunningDoesNotRestartTheInterval) {
    startProgram();
    sim.click(按钮1);
    sim.advance(600);
    onStartClicked();
    sim.advance(400);
    EXPECT_EQ(readout(), gbk::readout("00:00:01"));
}

TEST_F(SimTest, AnHourOfTicksShowsAnHourWithNoDrift) {
    startProgram();
    sim.click(按钮1);
    sim.advance(3600 * 1000);
    EXPECT_EQ(readout(), gbk::readout("01:00:00"));
}

// --- the whole life of the process
// -----------------------------------------------------------------

TEST_F(SimTest, ClosingWhileTimingEndsWithZeroAndFreesTheTexts) {
    const std::uint32_t code = runProgram([&] {
        sim.click(按钮1);
        sim.advance(3000);
        sim.pressCloseBox(kWindow);
        sim.advance(5000); // no tick after the window is gone
    });
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(seconds, 3);
    EXPECT_EQ(textsHeldByTest(), 0u);
    EXPECT_EQ(sim.quitCode, 0);
}

TEST_F(SimTest, EscBeforeAnyTickEndsWithZeroAndFreesNothing) {
    const std::uint32_t code = runProgram([&] { sim.pressKey(rt::Key::escape); });
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(secondsText, nullptr);
    EXPECT_EQ(minutesText, nullptr);
    EXPECT_EQ(hoursText, nullptr);
    EXPECT_EQ(textsHeldByTest(), 0u);
}

TEST_F(SimTest, AStartupShowsTheWindowCentredWithTheFocusInTheEmptyReadout) {
    startProgram();
    const auto* window = sim.element(kWindow);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->rect, (rt::Rect{799, 361, 321, 357}));
    EXPECT_EQ(window->text, "Velmora");
    EXPECT_TRUE(window->shown);
    EXPECT_EQ(sim.focus(), 编辑框1);
    EXPECT_TRUE(sim.lastLook.minimizeBox);
    EXPECT_FALSE(sim.lastLook.maximizeBox);
    EXPECT_TRUE(sim.lastLook.fixedFrame);
    for (ComponentRef c : {按钮1, 按钮2, 编辑框1}) {
        EXPECT_TRUE(sim.element(c)->shown);
        EXPECT_TRUE(sim.enabledOf(c));
    }
    EXPECT_FALSE(sim.element(时钟1)->shown);
    EXPECT_FALSE(sim.armedOf(时钟1));
    EXPECT_EQ(sim.element(编辑框1)->rect, (rt::Rect{16, 64, 280, 88}));
    EXPECT_EQ(sim.element(按钮1)->rect, (rt::Rect{24, 184, 112, 56}));
    EXPECT_EQ(sim.element(按钮2)->rect, (rt::Rect{176, 184, 112, 56}));
}

// --- failures ------------------------------------------------------------------------------------

TEST_F(SimTest, AHeapRefusalInATickReportsAndEndsWithoutTheExitRoutine) {
    std::vector<std::string> whileBoxUp;
    const std::uint32_t code = runProgram([&] {
        sim.click(按钮1);
        sim.advance(2000);
        rt::testing::setAllocationBudget(0); // the next request, intToText(3) for 2 bytes, fails
        sim.whileErrorBoxShown = [&] {
            const std::string before = readout();
            sim.advance(5000);
            sim.click(按钮2);
            whileBoxUp.push_back(readout() == before ? "unchanged" : "changed");
            whileBoxUp.push_back(sim.enabledOf(按钮2) ? "pause enabled" : "pause disabled");
        };
        sim.advance(1000);
    });
    EXPECT_EQ(code, 4294967295u);
    ASSERT_EQ(sim.errorBoxes.size(), 1u);
    EXPECT_EQ(sim.errorBoxes[0], gbk::kReportHead + "\r\n" + gbk::kMessageLabel +
                                     "\xb7\xd6\xc5\xe4 2 \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7"
                                     "\xb0\xdc!\r\n\r\n0, 0\r\n");
    EXPECT_EQ(whileBoxUp, (std::vector<std::string>{"unchanged", "pause enabled"}));
    EXPECT_EQ(readout(), gbk::readout("00:00:02"));
    EXPECT_NE(secondsText, nullptr); // releaseTexts did not run
}

const EventBinding kNoBindings[1] = {{Event::click, onStartClicked}};
const Entry kOtherWindow[] = {{.id = 7, .kind = Kind::window, .width = 100, .height = 100},
                              {.id = 8, .kind = Kind::button, .bindings = kNoBindings}};
const WindowDescription kOnlyOtherWindow[] = {{.id = 2, .entries = kOtherWindow}};
const Entry kBrokenEntries[] = {{.id = 8, .kind = Kind::button}};
const WindowDescription kBrokenData[] = {{.id = 1, .entries = kBrokenEntries}};

struct StartupFailure {
    const char* name;
    std::function<void(rt::sim::SimPlatform&)> arrange;
    std::string report;
    // Parameters print by name: their padding bytes hold nothing worth showing.
    friend void PrintTo(const StartupFailure&, std::ostream* os) { *os << "StartupFailure"; }
};

class StartupFailures : public SimTest, public ::testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupFailures, ReportAndEndWithAllBitsSet) {
    GetParam().arrange(sim);
    const std::uint32_t code = runProgram([] {});
    EXPECT_EQ(code, 4294967295u);
    ASSERT_EQ(sim.errorBoxes.size(), 1u);
    EXPECT_EQ(sim.errorBoxes[0], GetParam().report);
    std::size_t shown = 0;
    for (const Call& c : sim.calls()) {
        shown += c.op == "show" ? 1 : 0;
    }
    EXPECT_EQ(shown, 0u) << "no window may be shown";
    EXPECT_EQ(rt::testing::exitRoutineCount(), 0u);
    EXPECT_FALSE(rt::testing::loopRunning());
}

const std::string kStartupFailed =
    "\xd4\xd8\xc8\xeb\xc6\xf4\xb6\xaf\xb4\xb0\xbf\xda\xca\xa7\xb0\xdc";

INSTANTIATE_TEST_SUITE_P(
    Startup, StartupFailures,
    ::testing::Values(
        StartupFailure{
            "MissingDescription",
            [](rt::sim::SimPlatform&) { rt::testing::overrideWindowData(kOnlyOtherWindow); },
            gbk::kReportHead + "\r\n" + gbk::kMessageLabel + kStartupFailed +
                "\r\n\r\n1, 0\r\n"
                // 未找到所指定的窗口
                "\xce\xb4\xd5\xd2\xb5\xbd\xcb\xf9\xd6\xb8\xb6\xa8\xb5\xc4\xb4\xb0\xbf"
                "\xda\r\n"},
        StartupFailure{"WindowNotCreated",
                       [](rt::sim::SimPlatform& sim) { sim.refuseWindowCreation = true; },
                       gbk::kReportHead + "\r\n" + gbk::kMessageLabel + kStartupFailed +
                           "\r\n\r\n1, 0\r\n\"\"\r\n\"\"\r\n"},
        StartupFailure{"ComponentNotCreated",
                       [](rt::sim::SimPlatform& sim) { sim.refuseComponentCreation = 按钮1; },
                       gbk::kReportHead + "\r\n" + gbk::kMessageLabel + kStartupFailed +
                           "\r\n\r\n1, 0\r\n\"\"\r\n\"\"\r\n"},
        StartupFailure{"UnreadableWindowData",
                       [](rt::sim::SimPlatform&) { rt::testing::overrideWindowData(kBrokenData); },
                       gbk::kReportHead + "\r\n" + gbk::kMessageLabel +
                           // 载入窗口模板数据段出错!
                           "\xd4\xd8\xc8\xeb\xb4\xb0\xbf\xda\xc4\xa3\xb0\xe5\xca\xfd\xbe\xdd\xb6"
                           "\xce\xb3\xf6\xb4\xed!\r\n\r\n0, 0\r\n"}),
    [](const ::testing::TestParamInfo<StartupFailure>& p) { return p.param.name; });

} // namespace
