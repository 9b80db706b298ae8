// The main window's keyboard rules and focus memory, on the program's own window.
#include "support/sim_fixture.h"

using namespace velmora_test;
using rt::Key;

namespace {

constexpr ComponentRef kWindow{kMainWindowId, 0};

struct TabCase {
    const char* name;
    std::function<void()> arrange; // the program's handlers, or nothing
    rt::Modifiers modifiers;
    std::vector<ComponentRef> visits; // the focus after each press, starting from 编辑框1
    // Parameters print by name: their padding bytes hold nothing worth showing.
    friend void PrintTo(const TabCase&, std::ostream* os) { *os << "TabCase"; }
};

class TabOrder : public SimTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabOrder, VisitsTheEnabledTabStopsAndWraps) {
    startProgram();
    if (GetParam().arrange) {
        GetParam().arrange();
    }
    sim.setFocus(rt::elementOf(编辑框1));
    for (std::size_t i = 0; i < GetParam().visits.size(); ++i) {
        sim.pressKey(Key::tab, GetParam().modifiers);
        ASSERT_EQ(sim.focus(), GetParam().visits[i]) << "press " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TabOrder,
    ::testing::Values(
        TabCase{"Tab", nullptr, rt::kNoModifier, {按钮1, 按钮2, 编辑框1, 按钮1}},
        TabCase{"ShiftTab", nullptr, rt::kShift, {按钮2, 按钮1, 编辑框1, 按钮2}},
        TabCase{"TabWhileRunning", onStartClicked, rt::kNoModifier, {按钮2, 编辑框1, 按钮2}},
        TabCase{"ShiftTabWhileRunning", onStartClicked, rt::kShift, {按钮2, 编辑框1}},
        TabCase{"TabWhilePaused", onPauseClicked, rt::kNoModifier, {按钮1, 编辑框1, 按钮1}},
        TabCase{"CtrlTabIsNotTab", nullptr, rt::kControl, {编辑框1}}),
    [](const auto& p) { return p.param.name; });

TEST_F(SimTest, SpaceClicksTheFocusedButtonOnly) {
    startProgram();
    sim.pressKey(Key::space); // on the readout: nothing
    EXPECT_FALSE(sim.armedOf(时钟1));
    sim.pressKey(Key::tab);
    sim.pressKey(Key::space);
    EXPECT_TRUE(sim.armedOf(时钟1));
    EXPECT_EQ(sim.textOf(按钮1), gbk::kRunning);
}

TEST_F(SimTest, EnterF1AndModifiedEscDoNothing) {
    startProgram();
    sim.pressKey(Key::tab); // 按钮1, where Enter would click a default button
    sim.clearCalls();
    for (auto [key, modifiers] :
         {std::pair{Key::enter, rt::kNoModifier}, std::pair{Key::f1, rt::kNoModifier},
          std::pair{Key::escape, rt::kShift}, std::pair{Key::escape, rt::kControl}}) {
        sim.pressKey(key, modifiers);
    }
    EXPECT_TRUE(sim.calls().empty());
    EXPECT_EQ(sim.focus(), 按钮1);
    EXPECT_FALSE(sim.armedOf(时钟1));
}

TEST_F(SimTest, EscClosesTheWindowEvenWithNoFocusedComponent) {
    const std::uint32_t code = runProgram([&] {
        sim.pressKey(Key::tab);
        sim.pressKey(Key::space); // 按钮1 disables itself and the focus is gone
        ASSERT_FALSE(sim.focus().has_value());
        sim.pressKey(Key::tab); // nothing to move from
        ASSERT_FALSE(sim.focus().has_value());
        sim.pressKey(Key::escape);
    });
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(sim.quitCode, 0);
}

TEST_F(SimTest, KeysAimedAtADisabledComponentAreLeftAlone) {
    startProgram();
    onStartClicked();
    EXPECT_FALSE(rt::input::key(rt::elementOf(按钮1), Key::escape, rt::kNoModifier));
    EXPECT_FALSE(rt::input::key(rt::elementOf(按钮1), Key::tab, rt::kNoModifier));
    EXPECT_NE(sim.element(kWindow), nullptr);
}

TEST_F(SimTest, TheFocusComesBackAfterSwitchingAway) {
    startProgram();
    EXPECT_EQ(sim.focus(), 编辑框1); // first focus: the first tab stop
    sim.pressKey(Key::tab, rt::kShift);
    EXPECT_EQ(sim.focus(), 按钮2);
    sim.deactivate(kWindow);
    EXPECT_FALSE(sim.focus().has_value());
    sim.activate(kWindow);
    EXPECT_EQ(sim.focus(), 按钮2);
}

TEST_F(SimTest, MinimisingAndRestoringDoesNotStopTheCount) {
    startProgram();
    sim.click(按钮1);
    sim.advance(1500);
    sim.deactivate(kWindow);
    sim.advance(2000);
    sim.activate(kWindow);
    sim.advance(500);
    EXPECT_EQ(readout(), gbk::readout("00:00:04"));
}

} // namespace
