// The keyboard on real widgets: keys reach the core before the widget and only the core moves
// the focus; Space clicks a focused button; Enter and F1 do nothing.
#include "qt_fixture.h"

#include "timing/control.h"

#include <sstream>
#include <vector>

namespace velmora_qt_test {
namespace {

struct Named {
    ComponentRef component;
    const char* name;
};
constexpr Named kFocusable[] = {{编辑框1, "编辑框1"}, {按钮1, "按钮1"}, {按钮2, "按钮2"}};

std::string nameOf(ComponentRef component) {
    for (const Named& n : kFocusable) {
        if (n.component == component) {
            return n.name;
        }
    }
    return "?";
}

struct TabCase {
    const char* name;
    void (*setup)(); // the program's state before the first key
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<ComponentRef> expected; // the focus after each press, starting from 编辑框1
    friend void PrintTo(const TabCase& c, std::ostream* os) { *os << c.name; }
};

class TabOrder : public QtTest, public ::testing::WithParamInterface<TabCase> {
  protected:
    std::string focusName() const {
        const QWidget* f = QApplication::focusWidget();
        for (const Named& n : kFocusable) {
            if (f != nullptr && f == widgetOf(n.component)) {
                return n.name;
            }
        }
        return f == nullptr ? "(none)" : "(another widget)";
    }
};

TEST_P(TabOrder, EachPressMovesTheFocusOneStop) {
    const TabCase& c = GetParam();
    openWindow();
    if (c.setup != nullptr) {
        c.setup();
    }
    clickOn(编辑框1);
    ASSERT_EQ(QApplication::focusWidget(), widgetOf(编辑框1));
    std::ostringstream expected, actual;
    for (const ComponentRef step : c.expected) {
        press(c.key, c.modifiers);
        expected << nameOf(step) << " ";
        actual << focusName() << " ";
    }
    EXPECT_EQ(actual.str(), expected.str());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TabOrder,
    ::testing::Values(
        TabCase{"Tab", nullptr, Qt::Key_Tab, Qt::NoModifier, {按钮1, 按钮2, 编辑框1, 按钮1}},
        // X11 sends Shift+Tab as Backtab; other systems as Tab with Shift.
        TabCase{"Backtab", nullptr, Qt::Key_Backtab, Qt::ShiftModifier, {按钮2, 按钮1, 编辑框1}},
        TabCase{"ShiftTab", nullptr, Qt::Key_Tab, Qt::ShiftModifier, {按钮2, 按钮1, 编辑框1}},
        TabCase{"TabWhileRunning",
                onStartClicked,
                Qt::Key_Tab,
                Qt::NoModifier,
                {按钮2, 编辑框1, 按钮2}},
        TabCase{
            "TabWhilePaused", onPauseClicked, Qt::Key_Tab, Qt::NoModifier, {按钮1, 编辑框1, 按钮1}},
        TabCase{"CtrlTab", nullptr, Qt::Key_Tab, Qt::ControlModifier, {编辑框1, 编辑框1}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(QtTest, SpaceClicksTheFocusedButton) {
    openWindow();
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), widgetOf(按钮1));
    press(Qt::Key_Space);
    EXPECT_EQ(textOf(按钮1), gbk::kRunning);
    EXPECT_FALSE(widgetOf(按钮1)->isEnabled());
}

TEST_F(QtTest, EnterAndF1DoNothingWhereverTheFocusIs) {
    openWindow();
    std::vector<std::string> delivered;
    rt::testing::setDeliveryObserver([&](ComponentRef c, Event e, rt::testing::Delivery d) {
        if (e != Event::gotFocus && e != Event::lostFocus) {
            delivered.push_back(std::to_string(c.componentId) + "/" +
                                std::to_string(static_cast<int>(e)) + "/" +
                                std::to_string(static_cast<int>(d)));
        }
    });
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{Qt::Key_Return, Qt::NoModifier},
                {Qt::Key_Enter, Qt::KeypadModifier},
                {Qt::Key_F1, Qt::NoModifier}};
    for (const ComponentRef focus : {编辑框1, 按钮1, 按钮2}) {
        widgetOf(focus)->setFocus();
        for (const auto& k : keys) {
            press(k.key, k.modifiers);
        }
    }
    EXPECT_TRUE(delivered.empty()) << "first: " << delivered.front();
    EXPECT_EQ(textOf(按钮1), gbk::kStart);
    EXPECT_EQ(textOf(编辑框1), "");
    EXPECT_TRUE(mainWindow()->isVisible());
}

} // namespace
} // namespace velmora_qt_test
