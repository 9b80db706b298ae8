// A fresh run time on a fresh Qt back end for every test, real widgets (offscreen unless the
// environment says otherwise), and the helpers the tests share.
#pragma once

#include "app/program_main.h"
#include "runtime/qt/qt_edit_box.h"
#include "runtime/qt/qt_platform.h"
#include "runtime/qt/qt_text.h"
#include "runtime/testing.h"
#include "timing/counter.h"
#include "ui/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace velmora_qt_test {

// GBK texts the tests compare against, byte for byte.
namespace gbk {
inline const std::string kStart = "\xbf\xaa\xca\xbc\xbc\xc6\xca\xb1";    // 开始计时
inline const std::string kPause = "\xd4\xdd\xcd\xa3\xbc\xc6\xca\xb1";    // 暂停计时
inline const std::string kRunning = "\xd5\xfd\xd4\xda\xbc\xc6\xca\xb1";  // 正在计时
inline const std::string kContinue = "\xbc\xcc\xd0\xf8\xbc\xc6\xca\xb1"; // 继续计时
inline const std::string kErrorTitle = "\xb4\xed\xce\xf3";               // 错误
inline const std::string kColon = "\xa3\xba";                            // ：
} // namespace gbk

// Runs the event loop until the condition holds or the time is up; returns the condition.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return condition();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

// A desktop palette for the length of a test: the back end's own colours must win over it.
class ScopedPalette {
  public:
    explicit ScopedPalette(const QPalette& palette) : saved_(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~ScopedPalette() { QApplication::setPalette(saved_); }
    ScopedPalette(const ScopedPalette&) = delete;
    ScopedPalette& operator=(const ScopedPalette&) = delete;

    // Dark, with window and button faces told apart.
    static QPalette dark() {
        QPalette p;
        p.setColor(QPalette::Window, QColor(0x30, 0x20, 0x20));
        p.setColor(QPalette::Button, QColor(0x50, 0x50, 0x58));
        p.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        p.setColor(QPalette::Text, QColor(0xc0, 0xc0, 0xc0));
        p.setColor(QPalette::WindowText, QColor(0xc0, 0xc0, 0xc0));
        p.setColor(QPalette::ButtonText, QColor(0xc0, 0xc0, 0xc0));
        return p;
    }

  private:
    QPalette saved_;
};

class QtTest : public ::testing::Test {
  protected:
    rt::qt::QtPlatform platform;

    void SetUp() override {
        rt::testing::resetRuntime();
        rt::attachPlatform(&platform);
        rt::testing::setAllocationBudget(-1);
        forgetProgramState();
        // A broken loop fails the test instead of hanging it: the reaper dismisses any box and
        // ends the loop.
        reaper_.setSingleShot(true);
        QObject::connect(&reaper_, &QTimer::timeout, [this] {
            ADD_FAILURE() << "the reaper ended a loop that did not end by itself";
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
            platform.postQuit(-1);
        });
        reaper_.start(20'000);
    }

    void TearDown() override {
        reaper_.stop();
        rt::testing::setAllocationBudget(-1);
        rt::testing::setDeliveryObserver(nullptr);
        forgetProgramState();
        rt::testing::resetRuntime();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Start-up as programMain does it, short of the loop; returns once the window is active and
    // its first focus has been given.
    void openWindow() {
        initRuntime();
        registerExitRoutine(releaseTexts);
        loadStartupWindow(kMainWindowId);
        ASSERT_TRUE(waitUntil([] { return QApplication::focusWidget() != nullptr; }))
            << "the window never became active";
    }

    QWidget* widgetOf(ComponentRef component) const {
        return platform.widget(rt::elementOf(component));
    }
    QWidget* mainWindow() const { return widgetOf({kMainWindowId, 0}); }
    QWindow* handle() const { return mainWindow()->windowHandle(); }

    // Input as the windowing system delivers it: through the window, to whatever has the focus
    // or is under the pointer, shortcuts and modality included.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(handle(), key, modifiers);
    }
    void clickOn(ComponentRef component) {
        QWidget* w = widgetOf(component);
        QTest::mouseClick(handle(), Qt::LeftButton, Qt::NoModifier,
                          w->mapTo(mainWindow(), w->rect().center()));
    }

    // The text a widget shows, back in GBK.
    std::string textOf(ComponentRef component) const {
        QWidget* w = widgetOf(component);
        if (const auto* button = qobject_cast<QAbstractButton*>(w)) {
            return rt::qt::toGbk(button->text());
        }
        if (const auto* edit = qobject_cast<QLineEdit*>(w)) {
            return rt::qt::toGbk(edit->text());
        }
        return "(no such widget)";
    }

  private:
    static void forgetProgramState() {
        releaseTexts();
        secondsText = minutesText = hoursText = nullptr;
        seconds = minutes = hours = 0;
    }

    QTimer reaper_;
};

} // namespace velmora_qt_test
