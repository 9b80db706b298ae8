// The loop's end and the error box: Esc and the close box end the loop with quit code 0 and take
// the window, its components and its timer with them; the error box shows the report as given,
// drops every event while it is up, and the process then ends with exit status 255.
#include "qt_fixture.h"

#include <QMessageBox>

#include <cstdio>

namespace velmora_qt_test {
namespace {

enum class CloseBy : std::uint8_t { escape, closeBox };

struct CloseCase {
    const char* name;
    CloseBy by;
    bool timing; // the start button clicked first
    friend void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }
};

class Closing : public QtTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(Closing, EndsTheLoopWithQuitCodeZeroAndTakesTheWindowWithIt) {
    const CloseCase& c = GetParam();
    QPointer<QWidget> window;
    QPointer<QTimer> timer;
    bool acted = false;
    bool openAfterShiftEsc = false;
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (acted || QApplication::focusWidget() == nullptr) {
            return; // not active yet
        }
        acted = true;
        window = mainWindow();
        timer = window->findChild<QTimer*>();
        if (c.timing) {
            clickOn(按钮1);
        }
        if (c.by == CloseBy::escape) {
            press(Qt::Key_Escape, Qt::ShiftModifier); // not Esc
            openAfterShiftEsc = window->isVisible();
            press(Qt::Key_Escape);
        } else {
            window->close(); // what the window manager's close makes Qt do
        }
    });
    driver.start();

    const std::int32_t code = programMain();
    driver.stop();

    ASSERT_TRUE(acted);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(platform.quitCode(), std::optional<std::int32_t>(0));
    if (c.by == CloseBy::escape) {
        EXPECT_TRUE(openAfterShiftEsc) << "Shift+Esc closed the window";
    }
    EXPECT_EQ(rt::elementOf(按钮1), 0u) << "the core still counts the window as open";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "the window widget was not destroyed";
    EXPECT_TRUE(timer.isNull()) << "the platform timer outlived its window";
}

INSTANTIATE_TEST_SUITE_P(Ways, Closing,
                         ::testing::Values(CloseCase{"Esc", CloseBy::escape, false},
                                           CloseCase{"EscWhileTiming", CloseBy::escape, true},
                                           CloseCase{"CloseBox", CloseBy::closeBox, false},
                                           CloseCase{"CloseBoxWhileTiming", CloseBy::closeBox,
                                                     true}),
                         [](const auto& test) { return std::string(test.param.name); });

// What the box showed, read while it was up.
struct BoxSeen {
    bool shown = false;
    std::string title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
    bool owned = true;
};

// What the error box shows now.
BoxSeen readBox(QMessageBox& box) {
    BoxSeen seen;
    seen.shown = true;
    seen.title = rt::qt::toGbk(box.windowTitle());
    seen.text = box.text();
    seen.icon = box.icon();
    seen.buttons = box.standardButtons();
    seen.format = box.textFormat();
    seen.owned = box.parentWidget() != nullptr;
    return seen;
}

TEST_F(QtTest, TheErrorBoxShowsTheReportAsGivenAndReturnsWhenDismissed) {
    // 运行时出错! / 错误信息：<b>x</b> & y / 0, 0 — the markup must show as typed.
    const std::string report = "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n\r\n"
                               "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba<b>x</b> & y\r\n\r\n"
                               "0, 0\r\n";
    BoxSeen seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && !seen.shown) {
            seen = readBox(*box);
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll.start();
    platform.showErrorBox(report.c_str());
    poll.stop();

    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, gbk::kErrorTitle);
    EXPECT_EQ(seen.text, QString::fromUtf16(u"运行时出错!\n\n错误信息：<b>x</b> & y\n\n0, 0\n"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_FALSE(seen.owned) << "the box has an owner window";
}

class QtDeathTest : public QtTest {
  protected:
    // The whole program in this process: start timing, let the heap refuse the first tick's
    // request, and while the report is up click the pause button and let the timer expire once
    // more. Prints its verdict on the box and the events to stderr; never returns.
    void runIntoTheReport() {
        bool started = false, boxUp = false, tickDropped = false, clickDropped = false;
        int deliveredWhileUp = 0;
        rt::testing::setDeliveryObserver([&](ComponentRef, Event e, rt::testing::Delivery d) {
            if (!boxUp) {
                return;
            }
            deliveredWhileUp += d == rt::testing::Delivery::delivered ? 1 : 0;
            tickDropped |= d == rt::testing::Delivery::dropped && e == Event::tick;
            clickDropped |= d == rt::testing::Delivery::dropped && e == Event::click;
        });
        QElapsedTimer upFor;
        QTimer driver;
        driver.setInterval(10);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (!started) {
                if (QApplication::focusWidget() != nullptr) {
                    started = true;
                    clickOn(按钮1);
                    rt::testing::setAllocationBudget(0);
                }
                return;
            }
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            if (!boxUp) {
                boxUp = true;
                upFor.start();
                // The box is modal, so this stands in for a click that gets past it.
                qobject_cast<QAbstractButton*>(widgetOf(按钮2))->click();
                return;
            }
            if (!tickDropped && upFor.elapsed() < 4000) {
                return; // the next expiry is due a second after the failed one
            }
            driver.stop();
            const BoxSeen seen = readBox(*box);
            std::string problems;
            if (seen.title != gbk::kErrorTitle) {
                problems += " title";
            }
            if (!seen.text.startsWith(QString::fromUtf16(u"运行时出错!\n"))) {
                problems += " text";
            }
            if (seen.icon != QMessageBox::Critical || seen.buttons != QMessageBox::Ok) {
                problems += " look";
            }
            if (!tickDropped || !clickDropped) {
                problems += " events-not-dropped";
            }
            if (deliveredWhileUp != 0) {
                problems += " a-handler-ran";
            }
            std::fprintf(stderr, "error box checked: %s\n",
                         problems.empty() ? "ok" : ("FAILED" + problems).c_str());
            box->button(QMessageBox::Ok)->click();
        });
        driver.start();
        programMain();
        std::fprintf(stderr, "the loop ended without a report\n");
        std::_Exit(3);
    }
};

TEST_F(QtDeathTest, ARunTimeErrorShowsTheBoxDropsEventsAndEndsWithStatus255) {
    EXPECT_EXIT(runIntoTheReport(), ::testing::ExitedWithCode(255), "error box checked: ok");
}

} // namespace
} // namespace velmora_qt_test
