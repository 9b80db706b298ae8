// The narrow interface between the run-time core and a windowing system.
//
// Calls go down through Platform: a back end creates, shows, enables and labels native elements,
// arms timers, runs the loop and shows the error box. It keeps no rule of its own: placement,
// property semantics, tab order, the keyboard rules, focus memory and event delivery are the
// core's. Events come up through the rt::input functions below and nowhere else; a back end never
// calls a program handler itself.
//
// Texts cross this interface as GBK bytes. A back end converts them from code page 936 to the
// toolkit's Unicode form when it shows them, and back when a test reads them.
//
// Back ends: runtime/qt (Qt 6 Widgets), runtime/win32 (USER32/GDI32), runtime/sim (a simulated
// platform with a virtual clock, driven by the tests).
#pragma once

#include "runtime/runtime.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

// Names one native element (a window or a component); handed out by the core, never 0.
using ElementId = std::uint32_t;

struct Size {
    std::int32_t width = 0, height = 0;
    friend constexpr bool operator==(Size, Size) = default;
};

struct Rect {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    friend constexpr bool operator==(Rect, Rect) = default;
};

// What a top-level window looks like, derived by the core from the window settings.
struct WindowLook {
    ConstText title = "";
    bool fixedFrame = true; // no sizing border
    bool titleBar = true;
    bool systemMenu = true; // system menu and close box
    bool minimizeBox = true;
    bool maximizeBox = false;
    bool taskBarButton = true;
    bool alwaysOnTop = false;
};

enum class Key : std::uint8_t { other, tab, escape, enter, f1, space };

enum Modifier : std::uint8_t { kNoModifier = 0, kShift = 1, kControl = 2, kAlt = 4 };
using Modifiers = std::uint8_t;

class Platform {
  public:
    virtual ~Platform() = default;

    // The whole primary screen, not the work area.
    virtual Size screenSize() = 0;

    // Creation: every element is created hidden. A false result means the windowing system
    // refused; the core reports it.
    virtual bool createWindow(ElementId window, const WindowLook& look, Rect outer) = 0;
    // A push button, caption centred both ways and allowed to wrap, default GUI font.
    virtual bool createButton(ElementId window, ElementId button, Rect place,
                              std::string_view caption, bool disabled) = 0;
    // A single-line, read-only edit box with a sunken edge, black on white (not greyed), its one
    // line vertically centred; selectable and copyable, never editable by the user.
    virtual bool createEditBox(ElementId window, ElementId edit, Rect place,
                               std::string_view content, bool disabled) = 0;
    // The hidden element a timer component arms its platform timer on.
    virtual bool createTimer(ElementId window, ElementId timer) = 0;

    // The window's outer size as the windowing system has it now, frame included.
    virtual Size outerSize(ElementId window) = 0;
    virtual void setOuterRect(ElementId window, Rect outer) = 0;

    // Shows a component without activating it.
    virtual void showElement(ElementId element) = 0;
    // Shows the window normally; this activates it, and the back end reports the activation.
    virtual void showWindow(ElementId window) = 0;

    virtual void setEnabled(ElementId element, bool enabled) = 0;
    // Replaces the whole text shown; sets no caret, selection or scroll position.
    virtual void setText(ElementId element, std::string_view gbk) = 0;

    // Periodic expiries on an absolute schedule: the Nth falls due N periods after this call,
    // never earlier; one late expiry does not move the ones after it. Each expiry is reported
    // with input::timerExpired. Arming an armed timer replaces its schedule.
    virtual void armTimer(ElementId timer, std::int32_t periodMs) = 0;
    virtual void cancelTimer(ElementId timer) = 0;

    virtual void setFocus(ElementId element) = 0;
    // The component that has the keyboard focus in the window, or 0.
    virtual ElementId focusedElement(ElementId window) = 0;

    // Closes the window exactly as its close box does: it and its components are destroyed,
    // and the back end reports input::windowDestroyed.
    virtual void closeWindow(ElementId window) = 0;

    // Takes and dispatches the thread's messages until the quit request.
    virtual void runLoop() = 0;
    virtual void postQuit(std::int32_t code) = 0;

    // A modal box with no owner, caption "错误", an error icon and one OK button; returns when
    // the user dismisses it. Messages go on being dispatched meanwhile. It must not lean on the
    // run time's text heap, which may be the very thing that failed.
    virtual void showErrorBox(ConstText gbkText) = 0;

    [[noreturn]] virtual void exitProcess(std::uint32_t code) = 0;
};

// Installs the back end; the host entry point does this before it calls programMain. The core
// does not own it.
void attachPlatform(Platform* platform);
Platform& platform();

// The way up: every event a back end sees enters the core here.
namespace input {
void click(ElementId button);
void timerExpired(ElementId timer);
// A key press aimed at target (the focused component, or the window when none has the focus),
// before that element sees it. Returns true when the core consumed it; the back end then drops
// it, otherwise it goes on to the element as usual (Space clicks a focused button).
bool key(ElementId target, Key key, Modifiers modifiers);
void focusChanged(ElementId element, bool gained);
void windowActivated(ElementId element);
void windowDeactivated(ElementId element);
// The window is being destroyed, its components with it; called once, while they still exist.
void windowDestroyed(ElementId element);
} // namespace input

// Test and back-end helpers: which element shows a component, and the reverse.
ElementId elementOf(ComponentRef component);
ComponentRef componentOf(ElementId element);

} // namespace rt
