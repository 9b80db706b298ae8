// The main window as real widgets: its frame and place, the components' places, the read-only
// edit box that is not greyed, the caret at start, and the captions after start and pause.
#include "qt_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPushButton>
#include <QScreen>

namespace velmora_qt_test {
namespace {

// Lightness of a pixel: 0 black, 255 white.
int grey(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y));
}

TEST_F(QtTest, WindowIsFixedCentredTitledAndFramedAsAsked) {
    const ScopedPalette desktop(ScopedPalette::dark());
    openWindow();
    QWidget* window = mainWindow();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    // No window manager offscreen: the outer frame is the client area.
    EXPECT_EQ(window->frameGeometry(),
              QRect((screen.width() - 321) / 2, (screen.height() - 357) / 2, 321, 357));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the user could resize it";
    EXPECT_EQ(window->windowFlags(), Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint);
    EXPECT_EQ(rt::qt::toGbk(window->windowTitle()), "Velmora");
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(128, 128)))
        << "the program's icon is not compiled in";
    EXPECT_TRUE(window->autoFillBackground());
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0x50, 0x50, 0x58))
        << "the client area is not in the colour of button faces";

    const struct {
        ComponentRef component;
        QRect place;
    } places[] = {
        {按钮2, {176, 184, 112, 56}}, {按钮1, {24, 184, 112, 56}}, {编辑框1, {16, 64, 280, 88}}};
    for (const auto& p : places) {
        const QWidget* w = widgetOf(p.component);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), p.place) << textOf(p.component);
        EXPECT_TRUE(w->isVisible()) << textOf(p.component);
        EXPECT_EQ(w->font(), QApplication::font()) << textOf(p.component);
    }
    EXPECT_EQ(widgetOf(时钟1), nullptr) << "a timer has no visible part";
    for (const ComponentRef button : {按钮1, 按钮2}) {
        const auto* b = qobject_cast<QPushButton*>(widgetOf(button));
        EXPECT_FALSE(b->autoDefault() || b->isDefault()) << "Enter would click it";
    }
}

TEST_F(QtTest, EditBoxIsReadOnlyButBlackOnWhiteWithOneCentredLine) {
    const ScopedPalette desktop(ScopedPalette::dark());
    openWindow();
    auto* edit = qobject_cast<QLineEdit*>(widgetOf(编辑框1));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_TRUE(edit->hasFrame());
    EXPECT_EQ(edit->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        EXPECT_EQ(edit->palette().color(group, QPalette::Base), QColor(Qt::white)) << group;
        EXPECT_EQ(edit->palette().color(group, QPalette::Text), QColor(Qt::black)) << group;
    }
    EXPECT_EQ(edit->palette().color(QPalette::Inactive, QPalette::Highlight), QColor(Qt::white))
        << "the selection shows while the window lacks the focus";

    const std::string readout = "88" + gbk::kColon + "88" + gbk::kColon + "88";
    writeProperty(编辑框1, Property::content, readout.c_str());
    EXPECT_EQ(textOf(编辑框1), readout);

    // What is drawn: white inside the frame, text in black (not a read-only grey), in one line
    // whose middle is the box's middle.
    const QImage image = edit->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() - 12, image.height() / 2), QColor(Qt::white));
    int darkest = 255, top = image.height(), bottom = -1;
    for (int y = 4; y < image.height() - 4; ++y) {
        for (int x = 4; x < image.width() / 2; ++x) {
            darkest = std::min(darkest, grey(image, x, y));
            if (grey(image, x, y) < 128) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_LT(darkest, 48) << "the text is greyed";
    ASSERT_GE(bottom, top) << "no text drawn";
    EXPECT_LE(bottom - top + 1, edit->fontMetrics().height()) << "more than one line";
    EXPECT_NEAR((top + bottom) / 2.0, image.height() / 2.0, 4.0) << "rows " << top << "-" << bottom;
}

TEST_F(QtTest, EditBoxTakesNoTypingButItsTextCanBeSelectedAndCopied) {
    openWindow();
    auto* edit = qobject_cast<QLineEdit*>(widgetOf(编辑框1));
    ASSERT_EQ(QApplication::focusWidget(), edit);
    const std::string readout = "00" + gbk::kColon + "00" + gbk::kColon + "07";
    writeProperty(编辑框1, Property::content, readout.c_str());
    press(Qt::Key_1);
    press(Qt::Key_2);
    press(Qt::Key_End);
    press(Qt::Key_Backspace);
    press(Qt::Key_Home);
    press(Qt::Key_Delete);
    press(Qt::Key_V, Qt::ControlModifier);
    press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(textOf(编辑框1), readout);

    QGuiApplication::clipboard()->setText(QStringLiteral("nothing yet"));
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(rt::qt::toGbk(QGuiApplication::clipboard()->text()), readout);
}

TEST_F(QtTest, EditBoxStartsFocusedWithTheCaretAtItsStartAndAWriteMovesNoCaret) {
    openWindow();
    auto* edit = static_cast<rt::qt::EditBox*>(widgetOf(编辑框1));
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_EQ(edit->cursorPosition(), 0);
    EXPECT_FALSE(edit->hasSelectedText());

    // The caret blinks; once it is on, it is drawn as a dark bar at the start of the line.
    ASSERT_TRUE(waitUntil([&] { return edit->caretShown(); }));
    const QRect caret = edit->caretRect();
    EXPECT_LT(caret.left(), 12) << "the caret is not at the start";
    const QImage image = edit->grab().toImage();
    int darkRows = 0;
    for (int y = caret.top(); y <= caret.bottom(); ++y) {
        darkRows += grey(image, caret.left(), y) < 64 ? 1 : 0;
    }
    EXPECT_GE(darkRows, caret.height() * 3 / 4) << "no caret drawn at x " << caret.left();

    // A content write replaces the whole text and leaves caret and selection alone.
    const std::string readout = "00" + gbk::kColon + "00" + gbk::kColon + "01";
    writeProperty(编辑框1, Property::content, readout.c_str());
    EXPECT_EQ(edit->cursorPosition(), 0);
    edit->setCursorPosition(4);
    writeProperty(编辑框1, Property::content, "0");
    EXPECT_EQ(edit->cursorPosition(), 1) << "kept where it was, within the shorter text";
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(textOf(编辑框1), "0");
}

TEST_F(QtTest, SwitchingAwayAndBackReturnsTheFocusToTheComponentThatHadIt) {
    openWindow();
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), widgetOf(按钮2));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return other.isActiveWindow(); }));
    mainWindow()->activateWindow();
    ASSERT_TRUE(waitUntil([&] { return mainWindow()->isActiveWindow(); }));
    EXPECT_EQ(QApplication::focusWidget(), widgetOf(按钮2));
}

TEST_F(QtTest, ClicksStartAndPauseAndTheCaptionsComeBackAsTheSameGbk) {
    openWindow();
    EXPECT_EQ(textOf(按钮1), gbk::kStart);
    EXPECT_EQ(textOf(按钮2), gbk::kPause);

    clickOn(按钮1);
    EXPECT_EQ(textOf(按钮1), gbk::kRunning);
    EXPECT_FALSE(widgetOf(按钮1)->isEnabled());
    EXPECT_TRUE(widgetOf(按钮2)->isEnabled());

    clickOn(按钮1); // disabled: the platform gives it no input
    EXPECT_EQ(textOf(按钮1), gbk::kRunning);

    clickOn(按钮2);
    EXPECT_EQ(textOf(按钮1), gbk::kContinue);
    EXPECT_EQ(textOf(按钮2), gbk::kPause);
    EXPECT_TRUE(widgetOf(按钮1)->isEnabled());
    EXPECT_FALSE(widgetOf(按钮2)->isEnabled());
}

} // namespace
} // namespace velmora_qt_test
