// The Win32 back end: USER32 and GDI32, nothing heavier.
//
// Every element the core names is a real HWND: the window is of our own class, buttons and the
// edit box are the system's BUTTON and EDIT controls, and a timer component is a hidden child
// window of our own class that carries its platform timer (identifier 1000). Texts arrive as GBK
// and are converted from code page 936 to UTF-16 here, at the boundary, and shown with the W
// functions, so the captions read the same on a Windows of any language.
//
// What the back end reports upward: BN_CLICKED, WM_TIMER (only once its absolute deadline has
// come), key presses before the focused control sees them, focus changes of the controls, the
// window's activation and deactivation, and its destruction. It keeps no rule of its own.
#pragma once

#include "runtime/periodic_schedule.h"
#include "runtime/platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace rt::win32 {

// GBK bytes to UTF-16 and back, through code page 936 whatever the system's own code page is.
std::wstring widen(std::string_view gbk);
std::string narrow(std::wstring_view utf16);

class Win32Platform final : public Platform {
  public:
    explicit Win32Platform(HINSTANCE instance);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Size screenSize() override;
    bool createWindow(ElementId window, const WindowLook& look, Rect outer) override;
    bool createButton(ElementId window, ElementId button, Rect place, std::string_view caption,
                      bool disabled) override;
    bool createEditBox(ElementId window, ElementId edit, Rect place, std::string_view content,
                       bool disabled) override;
    bool createTimer(ElementId window, ElementId timer) override;
    Size outerSize(ElementId window) override;
    void setOuterRect(ElementId window, Rect outer) override;
    void showElement(ElementId element) override;
    void showWindow(ElementId window) override;
    void setEnabled(ElementId element, bool enabled) override;
    void setText(ElementId element, std::string_view gbk) override;
    void armTimer(ElementId timer, std::int32_t periodMs) override;
    void cancelTimer(ElementId timer) override;
    void setFocus(ElementId element) override;
    ElementId focusedElement(ElementId window) override;
    void closeWindow(ElementId window) override;
    void runLoop() override;
    void postQuit(std::int32_t code) override;
    void showErrorBox(ConstText gbkText) override;
    [[noreturn]] void exitProcess(std::uint32_t code) override;

  private:
    enum class ElementKind : std::uint8_t { window, button, editBox, timer };

    struct Element {
        Win32Platform* owner = nullptr;
        ElementId id = 0;
        ElementKind kind = ElementKind::window;
        ElementId window = 0;
        HWND hwnd = nullptr;
        WNDPROC controlProc = nullptr; // the system control's own procedure, under our subclass
        PeriodicSchedule schedule{};   // timers
        bool armed = false;            // timers
    };

    static Element* elementOf(HWND hwnd, UINT message, LPARAM lParam);
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK timerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT onWindowMessage(Element& window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onControlMessage(Element& control, UINT message, WPARAM wParam, LPARAM lParam);
    void onTimer(Element& timer);

    // The edit box's single line, vertically centred in its client edge.
    void centreLine(RECT& client) const;
    void paintEditBand(Element& edit);
    LRESULT editHitTest(Element& edit, LPARAM lParam, LRESULT inherited);

    bool registerClasses();
    Element* find(ElementId id);
    Element* elementOfHwnd(HWND hwnd);
    bool createControl(ElementId window, ElementId id, ElementKind kind, const wchar_t* className,
                       DWORD style, DWORD exStyle, Rect place, std::string_view text);
    // A key press on its way to one of our elements; true when the core consumed it.
    bool filterKey(const MSG& message);
    std::chrono::nanoseconds now() const;
    void scheduleNext(Element& timer);
    [[noreturn]] void reportSystemFailure();

    HINSTANCE instance_;
    HFONT font_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    int lineHeight_ = 0; // one line of text in the default GUI font
    LARGE_INTEGER frequency_{};
    bool classesRegistered_ = false;
    // Nodes never move, so an HWND can carry a pointer to its element for its whole life.
    std::map<ElementId, Element> elements_;
};

} // namespace rt::win32
