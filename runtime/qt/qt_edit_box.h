// The single-line, read-only edit box: black on white even though it is read-only, a sunken
// frame, one line vertically centred, selectable and copyable, with a blinking caret while it
// has the focus. Like the desktop's own text fields, the caret stops blinking (and stays shown)
// after a while without input, so that an idle window costs no wake-ups at all.
//
// QLineEdit draws no caret at all once it is read-only, so this one draws its own; the user
// still moves it with the arrow keys and the mouse, and selects and copies from it, but cannot
// change the text.
#pragma once

#include <QBasicTimer>
#include <QLineEdit>

namespace rt::qt {

class EditBox final : public QLineEdit {
  public:
    explicit EditBox(QWidget* parent);

    // Replaces the whole text. QLineEdit::setText puts the caret at the end; the caret stays
    // where it was instead (at the end of the new text if that is shorter), and nothing is
    // selected.
    void replaceText(const QString& text);

    // Whether the caret is drawn at this moment (it blinks).
    bool caretShown() const { return hasFocus() && caretOn_ && !hasSelectedText(); }
    QRect caretRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    void restartBlink();

    QBasicTimer blink_;
    bool caretOn_ = false;
    int blinksLeft_ = 0;
};

} // namespace rt::qt
