// The core's rules on the simulated platform: timer periods, property writes and their failures,
// event delivery, window placement, the loop and the exit routines.
#include "support/sim_fixture.h"

#include "runtime/window_description.h"

using namespace velmora_test;
using rt::sim::Call;

namespace {

// A window of our own, so the rules are seen without the program's handlers in the way.
int ticks = 0;
int clicks = 0;
void countTick() {
    ++ticks;
}
void countClick() {
    ++clicks;
}

constexpr std::uint32_t kTestWindowId = 9;
constexpr ComponentRef kTimer{kTestWindowId, 3};
constexpr ComponentRef kButton{kTestWindowId, 4};
constexpr ComponentRef kEdit{kTestWindowId, 5};
constexpr ComponentRef kTestWindow{kTestWindowId, 0};

constexpr EventBinding kTickBinding[] = {{Event::tick, countTick}};
constexpr EventBinding kClickBinding[] = {{Event::click, countClick}};
const Entry kEntries[] = {
    {.id = 2,
     .kind = Kind::window,
     .left = 50,
     .top = 50,
     .width = 321,
     .height = 357,
     .flags = {.visible = true},
     .tag = "\xd6\xf7",
     .window = {.title = "t"}},
    {.id = 3, .kind = Kind::timer, .bindings = kTickBinding},
    {.id = 4,
     .kind = Kind::button,
     .flags = {.visible = true, .tabStop = true},
     .bindings = kClickBinding,
     .tag = "b"},
    {.id = 5, .kind = Kind::editBox, .flags = {.visible = true, .tabStop = true}},
};
const WindowDescription kData[] = {{.id = kTestWindowId, .entries = kEntries}};

class Core : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        ticks = clicks = 0;
        rt::testing::overrideWindowData(kData);
    }
    void load() {
        initRuntime();
        loadStartupWindow(kTestWindowId);
        sim.clearCalls();
    }
};

// --- timer periods
// ---------------------------------------------------------------------------------

struct PeriodStep {
    std::int32_t write;
    std::vector<Call> calls; // what the write asks of the back end
};

struct PeriodCase {
    const char* name;
    std::vector<PeriodStep> steps;
    // Parameters print by name: their padding bytes hold nothing worth showing.
    friend void PrintTo(const PeriodCase&, std::ostream* os) { *os << "PeriodCase"; }
};

class PeriodWrites : public Core, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(PeriodWrites, ArmCancelOrLeaveTheTimerAlone) {
    load();
    for (const PeriodStep& step : GetParam().steps) {
        sim.clearCalls();
        writeProperty(kTimer, Property::period, step.write);
        EXPECT_TRUE(sameCalls(step.calls, sim.calls())) << "writing " << step.write;
    }
}

const Call kArm1000{"arm", kTimer, "1000"};
const Call kArm500{"arm", kTimer, "500"};
const Call kCancel{"cancel", kTimer, ""};

INSTANTIATE_TEST_SUITE_P(
    Rules, PeriodWrites,
    ::testing::Values(
        PeriodCase{"ZeroOnAStoppedTimerDoesNothing", {{0, {}}}},
        PeriodCase{"NegativeCountsAsZero", {{-5, {}}, {1000, {kArm1000}}, {-1, {kCancel}}}},
        PeriodCase{"TheSameValueDoesNotRestart", {{1000, {kArm1000}}, {1000, {}}}},
        PeriodCase{"ANewValueCancelsThenArms", {{1000, {kArm1000}}, {500, {kCancel, kArm500}}}},
        PeriodCase{"ZeroCancels", {{500, {kArm500}}, {0, {kCancel}}, {0, {}}}}),
    [](const auto& p) { return p.param.name; });

TEST_F(Core, ARepeatedPeriodKeepsTheElapsedPartAndANewOneDiscardsIt) {
    load();
    writeProperty(kTimer, Property::period, 1000);
    sim.advance(600);
    writeProperty(kTimer, Property::period, 1000);
    sim.advance(400);
    EXPECT_EQ(ticks, 1);
    sim.advance(600);
    writeProperty(kTimer, Property::period, 0);
    writeProperty(kTimer, Property::period, 1000);
    sim.advance(999);
    EXPECT_EQ(ticks, 1);
    sim.advance(1);
    EXPECT_EQ(ticks, 2);
}

TEST_F(Core, TicksBoundaryIsExactlyOnePeriod) {
    load();
    writeProperty(kTimer, Property::period, 1000);
    sim.advance(999);
    EXPECT_EQ(ticks, 0);
    sim.advance(1);
    EXPECT_EQ(ticks, 1);
    sim.advance(9000);
    EXPECT_EQ(ticks, 10);
}

TEST_F(Core, ATimerStoppedFromItsOwnHandlerTicksNoMore) {
    static bool stopInHandler;
    stopInHandler = true;
    constexpr EventBinding kStopping[] = {{Event::tick, [] {
                                               ++ticks;
                                               if (stopInHandler) {
                                                   writeProperty(kTimer, Property::period, 0);
                                               }
                                           }}};
    static const Entry entries[] = {kEntries[0],
                                    {.id = 3, .kind = Kind::timer, .bindings = kStopping}};
    static const WindowDescription data[] = {{.id = kTestWindowId, .entries = entries}};
    rt::testing::overrideWindowData(data);
    load();
    writeProperty(kTimer, Property::period, 100);
    sim.advance(1000);
    EXPECT_EQ(ticks, 1);
}

// --- property writes
// -------------------------------------------------------------------------------

TEST_F(Core, AContentWriteReplacesTheTextAndRaisesOneContentChange) {
    load();
    std::vector<Event> events;
    rt::testing::setDeliveryObserver([&](ComponentRef c, Event e, rt::testing::Delivery d) {
        if (c == kEdit) {
            events.push_back(e);
            EXPECT_EQ(d, rt::testing::Delivery::unbound);
        }
    });
    Text t = intToText(5);
    writeProperty(kEdit, Property::content, t);
    freeText(t);                                  // the box keeps its own copy
    writeProperty(kEdit, Property::content, "5"); // the same text is written again
    writeProperty(kEdit, Property::content, nullptr);
    EXPECT_EQ(sim.textOf(kEdit), "");
    EXPECT_EQ(events, (std::vector<Event>{Event::contentChanged, Event::contentChanged,
                                          Event::contentChanged}));
    EXPECT_TRUE(
        sameCalls({{"text", kEdit, "5"}, {"text", kEdit, "5"}, {"text", kEdit, ""}}, sim.calls()));
}

TEST_F(Core, CaptionAndDisabledWritesTakeEffectAtOnceAndRaiseNoEvent) {
    load();
    int events = 0;
    rt::testing::setDeliveryObserver([&](ComponentRef, Event, rt::testing::Delivery) { ++events; });
    writeProperty(kButton, Property::caption, "x");
    writeProperty(kButton, Property::disabled, 7); // any nonzero value is true
    EXPECT_EQ(sim.textOf(kButton), "x");
    EXPECT_FALSE(sim.enabledOf(kButton));
    writeProperty(kButton, Property::disabled, 0);
    EXPECT_TRUE(sim.enabledOf(kButton));
    EXPECT_EQ(events, 0);
}

struct WriteFailure {
    const char* name;
    bool loaded;
    ComponentRef target;
    Property property;
    std::string message;
    std::string location;
    // Parameters print by name: their padding bytes hold nothing worth showing.
    friend void PrintTo(const WriteFailure&, std::ostream* os) { *os << "WriteFailure"; }
};

class WriteFailures : public Core, public ::testing::WithParamInterface<WriteFailure> {};

TEST_P(WriteFailures, AreReportedWithTheirLocation) {
    initRuntime();
    if (GetParam().loaded) {
        loadStartupWindow(kTestWindowId);
    }
    const WriteFailure& f = GetParam();
    const std::uint32_t code = expectExit([&] {
        if (f.property == Property::content || f.property == Property::caption) {
            writeProperty(f.target, f.property, "x");
        } else {
            writeProperty(f.target, f.property, 1);
        }
    });
    EXPECT_EQ(code, 4294967295u);
    ASSERT_EQ(sim.errorBoxes.size(), 1u);
    EXPECT_EQ(sim.errorBoxes[0],
              gbk::kReportHead + "\r\n" + gbk::kMessageLabel + f.message + "\r\n\r\n" + f.location);
}

// 未载入欲访问窗口组件所在的窗口
const std::string kNotLoaded = "\xce\xb4\xd4\xd8\xc8\xeb\xd3\xfb\xb7\xc3\xce\xca\xb4\xb0\xbf\xda"
                               "\xd7\xe9\xbc\xfe\xcb\xf9\xd4\xda\xb5\xc4\xb4\xb0\xbf\xda";
// 修改组件属性时发现指定窗口尚未载入
const std::string kMissing =
    "\xd0\xde\xb8\xc4\xd7\xe9\xbc\xfe\xca\xf4\xd0\xd4\xca\xb1\xb7\xa2"
    "\xcf\xd6\xd6\xb8\xb6\xa8\xb4\xb0\xbf\xda\xc9\xd0\xce\xb4\xd4\xd8\xc8\xeb";
// 组件没有所指定的属性
const std::string kNoProperty =
    "\xd7\xe9\xbc\xfe\xc3\xbb\xd3\xd0\xcb\xf9\xd6\xb8\xb6\xa8\xb5\xc4\xca\xf4\xd0\xd4";
// 未找到所指定的窗口组件
const std::string kNoComponent =
    "\xce\xb4\xd5\xd2\xb5\xbd\xcb\xf9\xd6\xb8\xb6\xa8\xb5\xc4\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe";

INSTANTIATE_TEST_SUITE_P(
    Failures, WriteFailures,
    ::testing::Values(WriteFailure{"WindowNotLoaded", false, kButton, Property::caption, kNotLoaded,
                                   "9, 4\r\n\"\xd6\xf7\"\r\n\"b\"\r\n"},
                      WriteFailure{"UnknownComponent",
                                   true,
                                   {kTestWindowId, 77},
                                   Property::disabled,
                                   kMissing,
                                   "9, 77\r\n\"\xd6\xf7\"\r\n" + kNoComponent + "\r\n"},
                      WriteFailure{"PeriodOfAButton", true, kButton, Property::period, kNoProperty,
                                   "9, 4\r\n\"\xd6\xf7\"\r\n\"b\"\r\n"},
                      WriteFailure{"CaptionOfAnEditBox", true, kEdit, Property::caption,
                                   kNoProperty, "9, 5\r\n\"\xd6\xf7\"\r\n\"\"\r\n"}),
    [](const auto& p) { return p.param.name; });

// --- placement
// -------------------------------------------------------------------------------------

struct PlacementCase {
    rt::Size screen;
    rt::Rect expected;
    // Parameters print by name: their padding bytes hold nothing worth showing.
    friend void PrintTo(const PlacementCase&, std::ostream* os) { *os << "PlacementCase"; }
};

class Placement : public Core, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(Placement, CentresTheOuterFrameOnTheWholeScreenTruncating) {
    sim.screen = GetParam().screen;
    load();
    EXPECT_EQ(sim.element(kTestWindow)->rect, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Screens, Placement,
                         ::testing::Values(PlacementCase{{1920, 1080}, {799, 361, 321, 357}},
                                           PlacementCase{{1366, 768}, {522, 205, 321, 357}},
                                           PlacementCase{{1025, 769}, {352, 206, 321, 357}},
                                           PlacementCase{{300, 300}, {-10, -28, 321, 357}}));

TEST_F(Core, AFrameOfTheWrongSizeIsSetBackToTheDescribedOuterSize) {
    sim.extraFrame = {6, 4};
    initRuntime();
    loadStartupWindow(kTestWindowId);
    EXPECT_EQ(sim.element(kTestWindow)->rect, (rt::Rect{799, 361, 321, 357}));
}

// --- delivery, the loop and the end
// ------------------------------------------------------------------

TEST_F(Core, EventsAreDroppedOnceTheEndHasBegun) {
    load();
    std::vector<rt::testing::Delivery> seen;
    rt::testing::setDeliveryObserver(
        [&](ComponentRef, Event, rt::testing::Delivery d) { seen.push_back(d); });
    writeProperty(kTimer, Property::period, 1000);
    sim.click(kButton);
    endProgram(0);
    sim.click(kButton);
    sim.advance(1000);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ticks, 0);
    using D = rt::testing::Delivery;
    EXPECT_EQ(seen, (std::vector<D>{D::delivered, D::dropped, D::dropped}));
}

TEST_F(Core, TheLoopReturnsAtOnceWithNoWindowAndQuitsWhenTheLastCloses) {
    initRuntime();
    runMessageLoop();
    EXPECT_TRUE(rt::testing::loopRunning());
    EXPECT_FALSE(sim.quitCode.has_value());

    rt::testing::resetRuntime();
    rt::testing::overrideWindowData(kData);
    initRuntime();
    loadStartupWindow(kTestWindowId);
    writeProperty(kTimer, Property::period, 1000);
    sim.script = [&] {
        sim.pressCloseBox(kTestWindow);
        sim.advance(5000);
    };
    runMessageLoop();
    EXPECT_EQ(sim.quitCode, 0);
    EXPECT_EQ(ticks, 0); // the timer went with its window
}

TEST_F(Core, ClosingBeforeTheLoopRunsIssuesNoQuit) {
    load();
    sim.pressCloseBox(kTestWindow);
    EXPECT_FALSE(sim.quitCode.has_value());
}

std::vector<char> order;
void routineA() {
    order.push_back('A');
}
void routineB() {
    order.push_back('B');
}

TEST_F(Core, ExitRoutinesRunOnceInOrderWithoutDuplicates) {
    order.clear();
    initRuntime();
    registerExitRoutine(routineA);
    registerExitRoutine(routineB);
    registerExitRoutine(routineA);
    EXPECT_EQ(rt::testing::exitRoutineCount(), 2u);
    endProgram(0);
    endProgram(0);
    EXPECT_EQ(order, (std::vector<char>{'A', 'B'}));
}

TEST_F(Core, ExitRoutinesNeverRunAfterAReport) {
    order.clear();
    initRuntime();
    registerExitRoutine(routineA);
    EXPECT_EQ(expectExit([] { reportRuntimeError("m", 0, 0, 0); }), 4294967295u);
    endProgram(0);
    EXPECT_TRUE(order.empty());
}

TEST_F(Core, AFailureInsideTheReportEndsTheProcessWithoutASecondBox) {
    initRuntime();
    sim.whileErrorBoxShown = [] { reportRuntimeError("again", 0, 0, 0); };
    EXPECT_EQ(expectExit([] { reportRuntimeError("first", 0, 0, 0); }), 4294967295u);
    EXPECT_EQ(sim.errorBoxes.size(), 1u);
}

} // namespace
