#include "runtime/qt/qt_edit_box.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <limits>

namespace rt::qt {

namespace {
// How long the caret blinks after the last input before it settles, shown.
constexpr int kBlinkForMs = 10'000;
} // namespace

EditBox::EditBox(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setFrame(true);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // No length limit: QLineEdit's default cuts texts at 32767 characters.
    setMaxLength(std::numeric_limits<int>::max());
    // Read-only is not greyed: the active and inactive looks keep black on white. A disabled
    // box keeps the style's disabled colours, as the system's own edit boxes do.
    QPalette colours = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Base, Qt::white);
        colours.setColor(group, QPalette::Text, Qt::black);
    }
    // The selection is not shown while the box lacks the focus. QLineEdit drops it when the
    // focus moves on inside the window but keeps it, drawn inactive, when the window loses the
    // focus: drawn in the plain colours, it does not show.
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    setPalette(colours);
    connect(this, &QLineEdit::cursorPositionChanged, this, [this] { restartBlink(); });
    connect(this, &QLineEdit::selectionChanged, this, [this] { update(); });
}

void EditBox::replaceText(const QString& text) {
    const int caret = std::min(cursorPosition(), static_cast<int>(text.size()));
    setText(text);
    setCursorPosition(caret);
    deselect();
}

QRect EditBox::caretRect() const {
    // QLineEdit's cursor rectangle reaches 5 pixels to the left of the insertion point and is
    // one pixel taller than the line.
    const QRect around = cursorRect();
    const int width = std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
    return {around.left() + 5, around.top(), width, std::max(1, around.height() - 1)};
}

void EditBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (caretShown()) {
        QPainter painter(this);
        painter.fillRect(caretRect(), palette().color(QPalette::Text));
    }
}

void EditBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    restartBlink();
}

void EditBox::focusOutEvent(QFocusEvent* event) {
    blink_.stop();
    caretOn_ = false;
    QLineEdit::focusOutEvent(event);
    update();
}

void EditBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != blink_.timerId()) {
        QLineEdit::timerEvent(event);
        return;
    }
    caretOn_ = !caretOn_;
    if (--blinksLeft_ <= 0 && caretOn_) {
        blink_.stop();
    }
    update();
}

void EditBox::restartBlink() {
    if (!hasFocus()) {
        return;
    }
    caretOn_ = true;
    // A flash time of 0 or less asks for a caret that does not blink.
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0) {
        const int half = std::max(1, flash / 2);
        blinksLeft_ = kBlinkForMs / half;
        blink_.start(half, this);
    } else {
        blink_.stop();
    }
    update();
}

} // namespace rt::qt
