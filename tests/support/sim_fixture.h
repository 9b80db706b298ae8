// A fresh run time on a fresh simulated platform for every test, and the helpers the tests share.
#pragma once

#include "app/program_main.h"
#include "runtime/sim/sim_platform.h"
#include "runtime/testing.h"
#include "timing/control.h"
#include "timing/counter.h"
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace velmora_test {

// GBK texts the tests compare against, byte for byte.
namespace gbk {
inline const std::string kStart = "\xbf\xaa\xca\xbc\xbc\xc6\xca\xb1";    // 开始计时
inline const std::string kPause = "\xd4\xdd\xcd\xa3\xbc\xc6\xca\xb1";    // 暂停计时
inline const std::string kRunning = "\xd5\xfd\xd4\xda\xbc\xc6\xca\xb1";  // 正在计时
inline const std::string kContinue = "\xbc\xcc\xd0\xf8\xbc\xc6\xca\xb1"; // 继续计时
inline const std::string kColon = "\xa3\xba";                            // ：
inline const std::string kReportHead =
    "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n"; // 运行时出错!
inline const std::string kMessageLabel = "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba"; // 错误信息：
inline const std::string kCodeLabel = "\xb4\xed\xce\xf3\xb4\xfa\xc2\xeb\xa3\xba"; // 错误代码：

// "hh：mm：ss" from ASCII "hh:mm:ss".
inline std::string readout(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c == ':' ? kColon : std::string(1, c);
    }
    return out;
}
} // namespace gbk

class SimTest : public ::testing::Test {
  protected:
    rt::sim::SimPlatform sim;

    void SetUp() override {
        rt::testing::resetRuntime();
        rt::attachPlatform(&sim);
        rt::testing::setAllocationBudget(-1);
        forgetProgramState();
        liveAtStart_ = rt::testing::liveTextCount();
    }

    void TearDown() override {
        rt::testing::setAllocationBudget(-1);
        forgetProgramState();
        rt::testing::resetRuntime();
        rt::attachPlatform(nullptr);
    }

    // Start-up as programMain does it, short of the loop, so the test can act as the user.
    void startProgram() {
        initRuntime();
        registerExitRoutine(releaseTexts);
        loadStartupWindow(kMainWindowId);
    }

    // The whole life of the process: programMain with the user's script, then the host entry's
    // endProgram. Returns the process exit code.
    std::uint32_t runProgram(std::function<void()> script) {
        sim.script = std::move(script);
        try {
            const std::int32_t code = programMain();
            endProgram(static_cast<std::uint32_t>(code));
            return static_cast<std::uint32_t>(code);
        } catch (const rt::sim::SimProcessExit& exit) {
            return exit.code;
        }
    }

    // Runs one action that is expected to end the process; returns the exit code.
    template <typename Action> std::uint32_t expectExit(Action action) {
        try {
            action();
        } catch (const rt::sim::SimProcessExit& exit) {
            return exit.code;
        }
        ADD_FAILURE() << "the process did not end";
        return 0;
    }

    std::string readout() const { return sim.textOf(编辑框1); }
    std::size_t textsHeldByTest() const { return rt::testing::liveTextCount() - liveAtStart_; }

  private:
    static void forgetProgramState() {
        // Texts a failed run left behind are released here, so that tests stay independent.
        freeText(secondsText);
        freeText(minutesText);
        freeText(hoursText);
        secondsText = minutesText = hoursText = nullptr;
        seconds = minutes = hours = 0;
    }

    std::size_t liveAtStart_ = 0;
};

// Compares back-end traffic with an expected table and prints both, row by row, on a mismatch.
inline ::testing::AssertionResult sameCalls(const std::vector<rt::sim::Call>& expected,
                                            const std::vector<rt::sim::Call>& actual) {
    if (expected == actual) {
        return ::testing::AssertionSuccess();
    }
    auto row = [](const rt::sim::Call* c) {
        if (c == nullptr) {
            return std::string("-");
        }
        std::ostringstream s;
        s << c->op << " " << c->target.windowId << "/" << c->target.componentId << " " << c->value;
        return s.str();
    };
    std::ostringstream out;
    out << "back-end calls differ (expected | actual):\n";
    for (std::size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const auto* e = i < expected.size() ? &expected[i] : nullptr;
        const auto* a = i < actual.size() ? &actual[i] : nullptr;
        out << (e && a && *e == *a ? "   " : "=> ") << row(e) << " | " << row(a) << "\n";
    }
    return ::testing::AssertionFailure() << out.str();
}

} // namespace velmora_test
