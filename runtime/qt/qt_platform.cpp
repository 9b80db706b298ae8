#include "runtime/qt/qt_platform.h"

#include "runtime/qt/qt_edit_box.h"
#include "runtime/qt/qt_text.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace rt::qt {

namespace {

// 错误
constexpr ConstText kErrorBoxTitle = "\xb4\xed\xce\xf3";

PeriodicSchedule::Duration now() {
    return std::chrono::duration_cast<PeriodicSchedule::Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

Qt::WindowFlags flagsOf(const WindowLook& look) {
    // CustomizeWindowHint: only the decorations asked for below, nothing the style adds.
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if (!look.taskBarButton) {
        flags |= Qt::Tool;
    }
    if (look.titleBar) {
        flags |= Qt::WindowTitleHint;
    }
    if (look.systemMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (look.minimizeBox) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (look.maximizeBox) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    if (look.alwaysOnTop) {
        flags |= Qt::WindowStaysOnTopHint;
    }
    return flags;
}

std::optional<std::pair<Key, Modifiers>> keyOf(const QKeyEvent& event) {
    Modifiers modifiers = kNoModifier;
    const Qt::KeyboardModifiers held = event.modifiers();
    if (held & Qt::ShiftModifier) {
        modifiers |= kShift;
    }
    if (held & Qt::ControlModifier) {
        modifiers |= kControl;
    }
    if (held & Qt::AltModifier) {
        modifiers |= kAlt;
    }
    switch (event.key()) {
    case Qt::Key_Tab:
        return std::pair{Key::tab, modifiers};
    case Qt::Key_Backtab: // what X11 makes of Shift+Tab
        return std::pair{Key::tab, static_cast<Modifiers>(modifiers | kShift)};
    case Qt::Key_Escape:
        return std::pair{Key::escape, modifiers};
    case Qt::Key_Return:
    case Qt::Key_Enter: // the keypad's
        return std::pair{Key::enter, modifiers};
    case Qt::Key_F1:
        return std::pair{Key::f1, modifiers};
    case Qt::Key_Space:
        return std::pair{Key::space, modifiers};
    case Qt::Key_unknown:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        return std::nullopt; // a modifier going down on its own is not a key press of interest
    default:
        return std::pair{Key::other, modifiers};
    }
}

} // namespace

QtPlatform::QtPlatform() {
    assert(qApp != nullptr && "the Qt back end needs a QApplication");
    // The core asks for the quit itself once the last window is gone; Qt must not do it behind
    // its back (the error box, say, would otherwise end the loop when it closes).
    QGuiApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
}

QtPlatform::~QtPlatform() {
    qApp->removeEventFilter(this);
    std::vector<QPointer<QWidget>> windows;
    for (auto& [id, e] : elements_) {
        if (e.kind == Kind::window) {
            windows.push_back(e.widget);
        }
    }
    elements_.clear();
    byObject_.clear();
    for (const QPointer<QWidget>& w : windows) {
        delete w.data();
    }
}

QtPlatform::Element* QtPlatform::find(ElementId id) {
    const auto it = elements_.find(id);
    return it != elements_.end() ? &it->second : nullptr;
}

const QtPlatform::Element* QtPlatform::find(ElementId id) const {
    const auto it = elements_.find(id);
    return it != elements_.end() ? &it->second : nullptr;
}

ElementId QtPlatform::elementOfObject(const QObject* object) const {
    const auto it = byObject_.find(object);
    return it != byObject_.end() ? it->second : 0;
}

QWidget* QtPlatform::widget(ElementId element) const {
    const Element* e = find(element);
    return e != nullptr ? e->widget.data() : nullptr;
}

Size QtPlatform::screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
}

// --- creation ------------------------------------------------------------------------------------

bool QtPlatform::createWindow(ElementId window, const WindowLook& look, Rect outer) {
    auto* w = new QWidget(nullptr, flagsOf(look));
    w->setWindowTitle(fromGbk(look.title));
    w->setWindowIcon(QIcon(QStringLiteral(":/velmora.png")));
    // The client area in the colour of button faces. The font stays the application's default.
    QPalette colours = w->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setBrush(group, QPalette::Window, colours.brush(group, QPalette::Button));
    }
    w->setPalette(colours);
    w->setAutoFillBackground(true);

    Element e;
    e.kind = Kind::window;
    e.window = window;
    e.widget = w;
    e.outer = outer;
    e.fixedSize = look.fixedFrame;
    elements_[window] = std::move(e);
    byObject_[w] = window;
    connect(w, &QObject::destroyed, this, [this, w] { byObject_.erase(w); });
    fitFrame(elements_[window], true);
    return true;
}

bool QtPlatform::addComponent(ElementId window, ElementId id, Element&& element, Rect place,
                              bool disabled) {
    QWidget* w = element.widget;
    w->setGeometry(place.left, place.top, place.width, place.height);
    w->setEnabled(!disabled);
    w->hide(); // shown by showElement, not with its window
    element.window = window;
    elements_[id] = std::move(element);
    byObject_[w] = id;
    connect(w, &QObject::destroyed, this, [this, w] { byObject_.erase(w); });
    return true;
}

bool QtPlatform::createButton(ElementId window, ElementId button, Rect place,
                              std::string_view caption, bool disabled) {
    QWidget* parent = widget(window);
    if (parent == nullptr) {
        return false;
    }
    auto* b = new QPushButton(fromGbk(caption), parent);
    // An ordinary push button: Enter is not its business.
    b->setAutoDefault(false);
    b->setDefault(false);
    connect(b, &QPushButton::clicked, this, [button] { input::click(button); });
    Element e;
    e.kind = Kind::button;
    e.widget = b;
    return addComponent(window, button, std::move(e), place, disabled);
}

bool QtPlatform::createEditBox(ElementId window, ElementId edit, Rect place,
                               std::string_view content, bool disabled) {
    QWidget* parent = widget(window);
    if (parent == nullptr) {
        return false;
    }
    auto* box = new EditBox(parent);
    box->replaceText(fromGbk(content));
    box->setCursorPosition(0);
    Element e;
    e.kind = Kind::editBox;
    e.widget = box;
    return addComponent(window, edit, std::move(e), place, disabled);
}

bool QtPlatform::createTimer(ElementId window, ElementId timer) {
    QWidget* parent = widget(window);
    if (parent == nullptr) {
        return false;
    }
    // Single-shot, re-armed after every expiry against the absolute schedule: a periodic
    // QTimer restarts its interval from the moment it fired and so drifts late.
    auto* t = new QTimer(parent);
    t->setSingleShot(true);
    t->setTimerType(Qt::PreciseTimer);
    connect(t, &QTimer::timeout, this, [this, timer] { onTimerFired(timer); });
    Element e;
    e.kind = Kind::timer;
    e.window = window;
    e.timer = t;
    elements_[timer] = std::move(e);
    return true;
}

// --- the outer frame -----------------------------------------------------------------------------

// The core speaks of the outer rectangle, frame included; Qt sizes the client area, and the
// frame is known only once the window manager has framed the window (on X11 it announces its
// extents in _NET_FRAME_EXTENTS after mapping). So the client is sized to the outer size less
// the frame as far as it is known, and fitted again each time the frame changes. The position
// is set before the window exists, which makes it the frame's position; it is set again only
// when the frame first becomes known, since after that the user may have moved the window.
void QtPlatform::fitFrame(Element& window, bool force) {
    QWidget* w = window.widget;
    if (w == nullptr) {
        return;
    }
    const QWindow* handle = w->windowHandle();
    const QMargins frame = handle != nullptr ? handle->frameMargins() : QMargins();
    const bool frameKnown = !frame.isNull();
    if (!force && frame == window.fittedFrame && (window.placed || !frameKnown)) {
        return;
    }
    const bool move = !window.placed;
    // Recorded first: resizing a shown window sends events that come back here.
    window.fittedFrame = frame;
    window.placed = window.placed || frameKnown;
    const Rect& outer = window.outer;
    const QSize client(std::max(1, outer.width - frame.left() - frame.right()),
                       std::max(1, outer.height - frame.top() - frame.bottom()));
    if (window.fixedSize) {
        w->setFixedSize(client); // the window manager gets min = max
    } else {
        w->resize(client);
    }
    if (move) {
        w->move(outer.left, outer.top);
    }
}

Size QtPlatform::outerSize(ElementId window) {
    const Element* e = find(window);
    if (e == nullptr || e->widget == nullptr) {
        return {};
    }
    const QWindow* handle = e->widget->windowHandle();
    const QMargins frame = handle != nullptr ? handle->frameMargins() : QMargins();
    const QSize client = e->widget->size();
    return {client.width() + frame.left() + frame.right(),
            client.height() + frame.top() + frame.bottom()};
}

void QtPlatform::setOuterRect(ElementId window, Rect outer) {
    Element* e = find(window);
    if (e == nullptr || e->kind != Kind::window) {
        return;
    }
    e->outer = outer;
    e->placed = false;
    fitFrame(*e, true);
}

// --- showing, enabling, labelling ----------------------------------------------------------------

void QtPlatform::showElement(ElementId element) {
    if (QWidget* w = widget(element)) {
        w->show(); // a child: showing it activates nothing
    }
}

void QtPlatform::showWindow(ElementId window) {
    Element* e = find(window);
    if (e == nullptr || e->widget == nullptr) {
        return;
    }
    // Qt reports the activation (WindowActivate) once the windowing system has done it.
    e->widget->show();
    e->widget->raise();
    e->widget->activateWindow();
    fitFrame(*e);
}

void QtPlatform::setEnabled(ElementId element, bool enabled) {
    if (QWidget* w = widget(element)) {
        w->setEnabled(enabled);
    }
}

void QtPlatform::setText(ElementId element, std::string_view gbk) {
    Element* e = find(element);
    if (e == nullptr || e->widget == nullptr) {
        return;
    }
    switch (e->kind) {
    case Kind::window:
        e->widget->setWindowTitle(fromGbk(gbk));
        break;
    case Kind::button:
        static_cast<QPushButton*>(e->widget.data())->setText(fromGbk(gbk));
        break;
    case Kind::editBox:
        static_cast<EditBox*>(e->widget.data())->replaceText(fromGbk(gbk));
        break;
    case Kind::timer:
        break;
    }
}

// --- timers --------------------------------------------------------------------------------------

void QtPlatform::startTimerFor(Element& timer) {
    using namespace std::chrono;
    const auto remaining = timer.schedule.nextDue() - now();
    // Rounded up: a wait cut short by rounding would only come back early.
    const auto ms = remaining > PeriodicSchedule::Duration::zero()
                        ? duration_cast<milliseconds>(remaining + milliseconds(1) - nanoseconds(1))
                        : milliseconds(0);
    timer.timer->start(static_cast<int>(std::min<milliseconds::rep>(ms.count(), 0x7fffffff)));
}

void QtPlatform::armTimer(ElementId timer, std::int32_t periodMs) {
    Element* e = find(timer);
    if (e == nullptr || e->kind != Kind::timer || e->timer == nullptr) {
        return;
    }
    if (periodMs <= 0) {
        cancelTimer(timer);
        return;
    }
    e->schedule.arm(now(), periodMs);
    e->armed = true;
    startTimerFor(*e);
}

void QtPlatform::cancelTimer(ElementId timer) {
    Element* e = find(timer);
    if (e == nullptr || e->kind != Kind::timer) {
        return;
    }
    e->armed = false;
    if (e->timer != nullptr) {
        e->timer->stop();
    }
}

void QtPlatform::onTimerFired(ElementId timer) {
    Element* e = find(timer);
    if (e == nullptr || !e->armed || e->timer == nullptr) {
        return;
    }
    // Even a precise QTimer may wake a little before its deadline; an expiry is never early.
    if (now() < e->schedule.nextDue()) {
        startTimerFor(*e);
        return;
    }
    // Re-armed before the report: the handler may cancel it, and a late expiry leaves the next
    // deadline where it was, so one that is already due comes straight after.
    e->schedule.expired();
    startTimerFor(*e);
    input::timerExpired(timer);
}

// --- focus ---------------------------------------------------------------------------------------

void QtPlatform::setFocus(ElementId element) {
    Element* e = find(element);
    if (e == nullptr || e->kind == Kind::window || e->widget == nullptr) {
        return;
    }
    // Not Qt::TabFocusReason, which would make a line edit select all of its text.
    e->widget->setFocus(Qt::OtherFocusReason);
}

ElementId QtPlatform::focusedElement(ElementId window) {
    const ElementId id = elementOfObject(QApplication::focusWidget());
    const Element* e = find(id);
    return e != nullptr && e->kind != Kind::window && e->window == window ? id : 0;
}

// --- closing and the loop ------------------------------------------------------------------------

void QtPlatform::destroyWindow(ElementId window) {
    Element* e = find(window);
    if (e == nullptr || e->kind != Kind::window) {
        return;
    }
    const QPointer<QWidget> w = e->widget;
    // Reported while the window and its components still exist; the core cancels the timers
    // and asks for the quit.
    input::windowDestroyed(window);
    for (auto it = elements_.begin(); it != elements_.end();) {
        if (it->first == window || it->second.window == window) {
            if (it->second.timer != nullptr) {
                it->second.timer->stop();
            }
            if (it->second.widget != nullptr) {
                byObject_.erase(it->second.widget.data());
            }
            it = elements_.erase(it);
        } else {
            ++it;
        }
    }
    if (w != nullptr) {
        w->hide();
        // Later, not now: this may run inside an event of one of its own widgets (Esc).
        w->deleteLater();
    }
}

void QtPlatform::closeWindow(ElementId window) {
    destroyWindow(window);
}

void QtPlatform::runLoop() {
    if (quitCode_) {
        return;
    }
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
}

void QtPlatform::postQuit(std::int32_t code) {
    quitCode_ = code;
    if (loop_ != nullptr) {
        loop_->exit(code);
    }
}

void QtPlatform::showErrorBox(ConstText gbkText) {
    QString text = fromGbk(gbkText != nullptr ? gbkText : "");
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // No parent: the box has no owner window. exec() dispatches events meanwhile; the core
    // drops every one of them.
    QMessageBox box(QMessageBox::Critical, fromGbk(kErrorBoxTitle), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtPlatform::exitProcess(std::uint32_t code) {
    std::fflush(nullptr);
    // The status is the low 8 bits on Linux: 4294967295 ends as 255.
    std::_Exit(static_cast<int>(code));
}

// --- events on their way up ----------------------------------------------------------------------

bool QtPlatform::onKeyPress(ElementId receiver, QKeyEvent* event) {
    const auto key = keyOf(*event);
    const Element* e = find(receiver);
    if (!key || e == nullptr) {
        return false;
    }
    // A key the focused component leaves alone travels on to its window; the core has seen
    // it already.
    if (e->kind == Kind::window && focusedElement(receiver) != 0) {
        return false;
    }
    return input::key(receiver, key->first, key->second);
}

bool QtPlatform::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::Close:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
        break;
    default:
        return false;
    }
    const ElementId id = elementOfObject(watched);
    Element* e = find(id);
    if (e == nullptr) {
        return false;
    }
    switch (type) {
    case QEvent::KeyPress:
        return onKeyPress(id, static_cast<QKeyEvent*>(event));
    case QEvent::ShortcutOverride: {
        // The keys the window's rules look at are never taken as shortcuts: accepting the
        // override makes Qt send them on as key presses, which the core sees first.
        const auto key = keyOf(*static_cast<QKeyEvent*>(event));
        if (key && key->first != Key::other && key->first != Key::space) {
            event->accept();
            return true;
        }
        return false;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (e->kind != Kind::window) {
            input::focusChanged(id, type == QEvent::FocusIn);
        }
        return false;
    case QEvent::WindowActivate:
        if (e->kind == Kind::window) {
            input::windowActivated(id);
        }
        return false;
    case QEvent::WindowDeactivate:
        if (e->kind == Kind::window) {
            input::windowDeactivated(id);
        }
        return false;
    case QEvent::Close:
        if (e->kind == Kind::window) {
            destroyWindow(id); // the close box: closing always goes ahead
        }
        return false;
    default: // Move, Resize, Show: the frame may have become known or changed
        if (e->kind == Kind::window) {
            fitFrame(*e);
        }
        return false;
    }
}

} // namespace rt::qt
