#include "runtime/win32/win32_platform.h"

#include <algorithm>
#include <chrono>

namespace rt::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"VelmoraWindow";
constexpr wchar_t kTimerClass[] = L"VelmoraTimer";
constexpr UINT_PTR kTimerId = 1000;
constexpr UINT kGbk = 936;

// The element an HWND of one of our classes, or one of our subclassed controls, was given at
// creation. Only our own window procedures read it: other windows of the thread (the error box,
// its controls) keep something else there.
template <class T> T* userData(HWND hwnd) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

Key keyOf(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_TAB:
        return Key::tab;
    case VK_ESCAPE:
        return Key::escape;
    case VK_RETURN:
        return Key::enter;
    case VK_F1:
        return Key::f1;
    case VK_SPACE:
        return Key::space;
    default:
        return Key::other;
    }
}

Modifiers currentModifiers() {
    Modifiers m = kNoModifier;
    // The high bit of GetKeyState is the state as of the message being looked at.
    if (GetKeyState(VK_SHIFT) < 0) {
        m = static_cast<Modifiers>(m | kShift);
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        m = static_cast<Modifiers>(m | kControl);
    }
    if (GetKeyState(VK_MENU) < 0) {
        m = static_cast<Modifiers>(m | kAlt);
    }
    return m;
}

DWORD windowStyleOf(const WindowLook& look) {
    DWORD style = WS_CLIPCHILDREN;
    if (look.titleBar) {
        style |= WS_CAPTION;
    } else {
        style |= WS_POPUP;
    }
    if (look.systemMenu) {
        style |= WS_SYSMENU;
    }
    if (look.minimizeBox) {
        style |= WS_MINIMIZEBOX;
    }
    if (look.maximizeBox) {
        style |= WS_MAXIMIZEBOX;
    }
    if (!look.fixedFrame) {
        style |= WS_THICKFRAME;
    }
    return style;
}

DWORD windowExStyleOf(const WindowLook& look) {
    DWORD exStyle = 0;
    if (look.alwaysOnTop) {
        exStyle |= WS_EX_TOPMOST;
    }
    if (!look.taskBarButton) {
        exStyle |= WS_EX_TOOLWINDOW;
    }
    return exStyle;
}

} // namespace

std::wstring widen(std::string_view gbk) {
    if (gbk.empty()) {
        return {};
    }
    const int length = static_cast<int>(gbk.size());
    const int needed = MultiByteToWideChar(kGbk, 0, gbk.data(), length, nullptr, 0);
    std::wstring utf16(static_cast<std::size_t>(std::max(needed, 0)), L'\0');
    if (needed > 0) {
        MultiByteToWideChar(kGbk, 0, gbk.data(), length, utf16.data(), needed);
    }
    return utf16;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int length = static_cast<int>(utf16.size());
    const int needed =
        WideCharToMultiByte(kGbk, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    std::string gbk(static_cast<std::size_t>(std::max(needed, 0)), '\0');
    if (needed > 0) {
        WideCharToMultiByte(kGbk, 0, utf16.data(), length, gbk.data(), needed, nullptr, nullptr);
    }
    return gbk;
}

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {
    QueryPerformanceFrequency(&frequency_);
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    // The image is one 128 x 128 picture; the system scales it to the two sizes a window uses.
    bigIcon_ = static_cast<HICON>(
        LoadImageW(instance_, L"DEFAULT_ICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    smallIcon_ = static_cast<HICON>(
        LoadImageW(instance_, L"DEFAULT_ICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    // An EDIT's line is exactly the height of its font's cell.
    if (HDC dc = GetDC(nullptr)) {
        const HGDIOBJ old = SelectObject(dc, font_);
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(dc, &metrics)) {
            lineHeight_ = metrics.tmHeight;
        }
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
}

Win32Platform::~Win32Platform() {
    for (auto& [id, e] : elements_) {
        if (e.kind == ElementKind::window && e.hwnd != nullptr) {
            DestroyWindow(e.hwnd);
        }
    }
    if (classesRegistered_) {
        UnregisterClassW(kWindowClass, instance_);
        UnregisterClassW(kTimerClass, instance_);
    }
    if (bigIcon_ != nullptr) {
        DestroyIcon(bigIcon_);
    }
    if (smallIcon_ != nullptr) {
        DestroyIcon(smallIcon_);
    }
}

bool Win32Platform::registerClasses() {
    if (classesRegistered_) {
        return true;
    }
    WNDCLASSEXW window{};
    window.cbSize = sizeof window;
    window.lpfnWndProc = windowProc;
    window.hInstance = instance_;
    window.hIcon = bigIcon_;
    window.hIconSm = smallIcon_;
    window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    window.lpszClassName = kWindowClass;
    if (RegisterClassExW(&window) == 0) {
        return false;
    }
    WNDCLASSEXW timer{};
    timer.cbSize = sizeof timer;
    timer.lpfnWndProc = timerProc;
    timer.hInstance = instance_;
    timer.lpszClassName = kTimerClass;
    if (RegisterClassExW(&timer) == 0) {
        UnregisterClassW(kWindowClass, instance_);
        return false;
    }
    classesRegistered_ = true;
    return true;
}

Win32Platform::Element* Win32Platform::find(ElementId id) {
    const auto it = elements_.find(id);
    return it != elements_.end() && it->second.hwnd != nullptr ? &it->second : nullptr;
}

Win32Platform::Element* Win32Platform::elementOfHwnd(HWND hwnd) {
    if (hwnd == nullptr) {
        return nullptr;
    }
    for (auto& [id, e] : elements_) {
        if (e.hwnd == hwnd) {
            return &e;
        }
    }
    return nullptr;
}

std::chrono::nanoseconds Win32Platform::now() const {
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    const long long ticks = count.QuadPart;
    const long long perSecond = frequency_.QuadPart;
    // Split so that the product cannot overflow however long the machine has been up.
    return std::chrono::nanoseconds((ticks / perSecond) * 1'000'000'000LL +
                                    (ticks % perSecond) * 1'000'000'000LL / perSecond);
}

void Win32Platform::reportSystemFailure() {
    reportRuntimeError(nullptr, static_cast<std::int32_t>(GetLastError()), 0, 0);
}

// --- creation ------------------------------------------------------------------------------------

Size Win32Platform::screenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool Win32Platform::createWindow(ElementId window, const WindowLook& look, Rect outer) {
    if (!registerClasses()) {
        return false;
    }
    Element& e = elements_[window];
    e = Element{.owner = this, .id = window, .kind = ElementKind::window, .window = window};
    // WM_NCCREATE stores &e in the new window and fills in e.hwnd.
    const HWND hwnd = CreateWindowExW(
        windowExStyleOf(look), kWindowClass, widen(look.title).c_str(), windowStyleOf(look),
        outer.left, outer.top, outer.width, outer.height, nullptr, nullptr, instance_, &e);
    if (hwnd == nullptr) {
        elements_.erase(window);
        return false;
    }
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (bigIcon_ != nullptr) {
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    }
    if (smallIcon_ != nullptr) {
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    }
    return true;
}

bool Win32Platform::createControl(ElementId window, ElementId id, ElementKind kind,
                                  const wchar_t* className, DWORD style, DWORD exStyle, Rect place,
                                  std::string_view text) {
    Element* parent = find(window);
    if (parent == nullptr) {
        return false;
    }
    // Children are created hidden, each below the ones before it: list order is stacking order.
    const HWND hwnd =
        CreateWindowExW(exStyle, className, widen(text).c_str(), style, place.left, place.top,
                        place.width, place.height, parent->hwnd,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance_, nullptr);
    if (hwnd == nullptr) {
        return false;
    }
    Element& e = elements_[id];
    e = Element{.owner = this, .id = id, .kind = kind, .window = window, .hwnd = hwnd};
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&e));
    e.controlProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc)));
    return true;
}

bool Win32Platform::createButton(ElementId window, ElementId button, Rect place,
                                 std::string_view caption, bool disabled) {
    DWORD style = BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE | WS_TABSTOP | WS_CHILD |
                  WS_CLIPSIBLINGS;
    if (disabled) {
        style |= WS_DISABLED;
    }
    if (!createControl(window, button, ElementKind::button, L"BUTTON", style, 0, place, caption)) {
        return false;
    }
    SendMessageW(elements_[button].hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return true;
}

bool Win32Platform::createEditBox(ElementId window, ElementId edit, Rect place,
                                  std::string_view content, bool disabled) {
    DWORD style = WS_TABSTOP | WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL | ES_READONLY;
    if (disabled) {
        style |= WS_DISABLED;
    }
    if (!createControl(window, edit, ElementKind::editBox, L"EDIT", style, WS_EX_CLIENTEDGE, place,
                       content)) {
        return false;
    }
    const HWND hwnd = elements_[edit].hwnd;
    // The client area was measured before our subclass saw WM_NCCALCSIZE; measure it again so
    // that it shrinks to the one centred line. The font comes after, since the control lays its
    // formatting rectangle out from the client area when it takes a font.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(hwnd, EM_LIMITTEXT, 0, 0); // 0: no limit of our own
    SendMessageW(hwnd, EM_SETSEL, 0, 0);
    SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
    return true;
}

bool Win32Platform::createTimer(ElementId window, ElementId timer) {
    Element* parent = find(window);
    if (parent == nullptr) {
        return false;
    }
    Element& e = elements_[timer];
    e = Element{.owner = this, .id = timer, .kind = ElementKind::timer, .window = window};
    // Never shown: it exists to receive its WM_TIMER and goes when the window goes.
    const HWND hwnd = CreateWindowExW(0, kTimerClass, L"", WS_CHILD, 0, 0, 0, 0, parent->hwnd,
                                      nullptr, instance_, &e);
    if (hwnd == nullptr) {
        elements_.erase(timer);
        return false;
    }
    return true;
}

// --- window management ---------------------------------------------------------------------------

Size Win32Platform::outerSize(ElementId window) {
    Element* e = find(window);
    RECT r{};
    if (e == nullptr || !GetWindowRect(e->hwnd, &r)) {
        return {};
    }
    return {r.right - r.left, r.bottom - r.top};
}

void Win32Platform::setOuterRect(ElementId window, Rect outer) {
    if (Element* e = find(window)) {
        SetWindowPos(e->hwnd, nullptr, outer.left, outer.top, outer.width, outer.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Win32Platform::showElement(ElementId element) {
    if (Element* e = find(element)) {
        ShowWindow(e->hwnd, SW_SHOWNA);
    }
}

void Win32Platform::showWindow(ElementId window) {
    if (Element* e = find(window)) {
        // Activates the window: WM_ACTIVATE reports it, and the core gives out the first focus.
        ShowWindow(e->hwnd, SW_SHOWNORMAL);
        UpdateWindow(e->hwnd);
    }
}

void Win32Platform::setEnabled(ElementId element, bool enabled) {
    if (Element* e = find(element)) {
        // A focused control that is disabled loses the focus to no one; keys then reach the
        // active window itself (as WM_SYSKEYDOWN), where the key filter still sees them.
        EnableWindow(e->hwnd, enabled ? TRUE : FALSE);
    }
}

void Win32Platform::setText(ElementId element, std::string_view gbk) {
    Element* e = find(element);
    if (e == nullptr) {
        return;
    }
    const std::wstring text = widen(gbk);
    if (!gbk.empty() && text.empty()) {
        reportSystemFailure();
    }
    // WM_SETTEXT on an EDIT sends EN_UPDATE and EN_CHANGE to us; those are the platform's, and
    // the core raises the program's own content event itself.
    if (!SetWindowTextW(e->hwnd, text.c_str())) {
        reportSystemFailure();
    }
}

void Win32Platform::setFocus(ElementId element) {
    if (Element* e = find(element)) {
        SetFocus(e->hwnd);
    }
}

ElementId Win32Platform::focusedElement(ElementId window) {
    const Element* e = elementOfHwnd(GetFocus());
    if (e == nullptr || e->kind == ElementKind::window || e->window != window) {
        return 0;
    }
    return e->id;
}

void Win32Platform::closeWindow(ElementId window) {
    if (Element* e = find(window)) {
        DestroyWindow(e->hwnd);
    }
}

// --- timers --------------------------------------------------------------------------------------

void Win32Platform::armTimer(ElementId timer, std::int32_t periodMs) {
    Element* e = find(timer);
    if (e == nullptr || e->kind != ElementKind::timer) {
        return;
    }
    e->schedule.arm(now(), periodMs);
    e->armed = true;
    scheduleNext(*e);
}

void Win32Platform::cancelTimer(ElementId timer) {
    Element* e = find(timer);
    if (e == nullptr || !e->armed) {
        return;
    }
    e->armed = false;
    KillTimer(e->hwnd, kTimerId);
}

// WM_TIMER is low priority, coalesced and rounded to the system tick, so it is only a wake-up:
// each expiry falls due against its absolute deadline, and SetTimer is re-armed for the time that
// is left, rounded up, so that an expiry is never reported before its deadline.
void Win32Platform::scheduleNext(Element& timer) {
    const auto left = timer.schedule.nextDue() - now();
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    const UINT elapse =
        static_cast<UINT>(std::clamp<long long>(ms, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
    if (SetTimer(timer.hwnd, kTimerId, elapse, nullptr) == 0) {
        reportSystemFailure();
    }
}

void Win32Platform::onTimer(Element& timer) {
    if (!timer.armed) {
        KillTimer(timer.hwnd, kTimerId); // one that was already queued when it was cancelled
        return;
    }
    if (now() < timer.schedule.nextDue()) {
        scheduleNext(timer); // early: wait for the rest
        return;
    }
    timer.schedule.expired();
    scheduleNext(timer);
    // The program's handler may cancel or re-arm this very timer; the next deadline is already
    // in place for either.
    input::timerExpired(timer.id);
}

// --- the loop, the keyboard and the end ----------------------------------------------------------

bool Win32Platform::filterKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return false;
    }
    // The key goes to the focused control, or to the active window itself when none has the
    // focus; either way it is aimed at one of our elements or at none.
    Element* target = nullptr;
    for (HWND h = message.hwnd; h != nullptr && target == nullptr; h = GetParent(h)) {
        target = elementOfHwnd(h);
    }
    if (target == nullptr || target->kind == ElementKind::timer) {
        return false;
    }
    return input::key(target->id, keyOf(message.wParam), currentModifiers());
}

void Win32Platform::runLoop() {
    // No IsDialogMessage: Tab, Esc and Enter are the core's, applied before a control sees them.
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (filterKey(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (got == -1) {
        reportSystemFailure();
    }
}

void Win32Platform::postQuit(std::int32_t code) {
    PostQuitMessage(code);
}

void Win32Platform::showErrorBox(ConstText gbkText) {
    // Static storage: the report may be about a heap that has just refused a request. The core's
    // report is at most 4095 bytes, and no GBK byte sequence widens to more UTF-16 units.
    static wchar_t text[4096];
    static wchar_t caption[8];
    if (MultiByteToWideChar(kGbk, 0, gbkText != nullptr ? gbkText : "", -1, text, 4096) == 0) {
        text[0] = L'\0';
    }
    MultiByteToWideChar(kGbk, 0, "\xb4\xed\xce\xf3", -1, caption, 8); // 错误
    // No owner: the main window stays up, and its WM_TIMERs, dispatched by the box's own loop,
    // reach the core, which drops them.
    MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

void Win32Platform::exitProcess(std::uint32_t code) {
    ExitProcess(code);
}

// --- window procedures ---------------------------------------------------------------------------

// The element a window of one of our classes belongs to. WM_NCCREATE hands it over with the
// creation parameters and it is kept in GWLP_USERDATA; messages before that one go to
// DefWindowProc, since the element is not known yet.
Win32Platform::Element* Win32Platform::elementOf(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* e = static_cast<Element*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        e->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(e));
    }
    return userData<Element>(hwnd);
}

LRESULT CALLBACK Win32Platform::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Element* e = elementOf(hwnd, message, lParam);
    if (e == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return e->owner->onWindowMessage(*e, message, wParam, lParam);
}

LRESULT Win32Platform::onWindowMessage(Element& window, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
    const HWND hwnd = window.hwnd;
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            const Element* button = elementOfHwnd(reinterpret_cast<HWND>(lParam));
            if (button != nullptr && button->kind == ElementKind::button) {
                input::click(button->id);
            }
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC: // a read-only EDIT asks with this one, not with WM_CTLCOLOREDIT
    case WM_CTLCOLOREDIT: {
        const HWND control = reinterpret_cast<HWND>(lParam);
        const Element* edit = elementOfHwnd(control);
        if (edit != nullptr && edit->kind == ElementKind::editBox && IsWindowEnabled(control)) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        break;
    }
    case WM_ACTIVATE:
        // Handled here rather than by DefWindowProc, which would put the focus on the window
        // itself: the core decides where it goes.
        if (LOWORD(wParam) == WA_INACTIVE) {
            input::windowDeactivated(window.id);
        } else if (HIWORD(wParam) == 0) { // not while minimised
            input::windowActivated(window.id);
        }
        return 0;
    case WM_SETFOCUS:
        // The window itself got the focus (restored from the task bar, say): pass it on as the
        // core wants, exactly as on activation.
        input::windowActivated(window.id);
        return 0;
    case WM_DESTROY:
        // The children still exist here; they go right after.
        input::windowDestroyed(window.id);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window.hwnd = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Platform::timerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Element* e = elementOf(hwnd, message, lParam);
    if (e != nullptr) {
        if (message == WM_TIMER && wParam == kTimerId) {
            e->owner->onTimer(*e);
            return 0;
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            e->hwnd = nullptr;
            e->armed = false;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Platform::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Element* e = userData<Element>(hwnd);
    return e->owner->onControlMessage(*e, message, wParam, lParam);
}

LRESULT Win32Platform::onControlMessage(Element& control, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
    const HWND hwnd = control.hwnd;
    const WNDPROC inherited = control.controlProc;
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT r = CallWindowProcW(inherited, hwnd, message, wParam, lParam);
        input::focusChanged(control.id, message == WM_SETFOCUS);
        return r;
    }
    case WM_NCCALCSIZE:
        if (control.kind == ElementKind::editBox) {
            const LRESULT r = CallWindowProcW(inherited, hwnd, message, wParam, lParam);
            RECT& client = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                  : *reinterpret_cast<RECT*>(lParam);
            centreLine(client);
            return r;
        }
        break;
    case WM_NCPAINT:
        if (control.kind == ElementKind::editBox) {
            const LRESULT r = CallWindowProcW(inherited, hwnd, message, wParam, lParam);
            paintEditBand(control);
            return r;
        }
        break;
    case WM_NCHITTEST:
        if (control.kind == ElementKind::editBox) {
            const LRESULT r = CallWindowProcW(inherited, hwnd, message, wParam, lParam);
            return editHitTest(control, lParam, r);
        }
        break;
    case WM_NCDESTROY: {
        control.hwnd = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inherited));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return CallWindowProcW(inherited, hwnd, message, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcW(inherited, hwnd, message, wParam, lParam);
}

// --- the edit box's one centred line -------------------------------------------------------------
//
// A single-line EDIT draws its line at the top of its client area and ignores EM_SETRECT (that
// message is for multi-line boxes). So the client area itself is made one line high, centred in
// the space inside the sunken edge; the bands above and below become non-client area, painted in
// the box's background colour and answering the mouse as border.

void Win32Platform::centreLine(RECT& client) const {
    const LONG inner = client.bottom - client.top;
    if (lineHeight_ <= 0 || inner <= lineHeight_) {
        return;
    }
    client.top += (inner - lineHeight_) / 2;
    client.bottom = client.top + lineHeight_;
}

void Win32Platform::paintEditBand(Element& edit) {
    const HWND hwnd = edit.hwnd;
    RECT window{};
    RECT client{};
    if (!GetWindowRect(hwnd, &window) || !GetClientRect(hwnd, &client)) {
        return;
    }
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    // Inside the sunken edge, in window coordinates.
    RECT inner{client.left, GetSystemMetrics(SM_CYEDGE), client.right,
               (window.bottom - window.top) - GetSystemMetrics(SM_CYEDGE)};
    const HDC dc = GetWindowDC(hwnd);
    if (dc == nullptr) {
        return;
    }
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    // The same brush the control paints its client area with, so the bands never show.
    const bool asStatic =
        IsWindowEnabled(hwnd) == FALSE || (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY) != 0;
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(hwnd), asStatic ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                     reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (brush == nullptr) {
        brush = GetSysColorBrush(asStatic ? COLOR_BTNFACE : COLOR_WINDOW);
    }
    FillRect(dc, &inner, brush);
    ReleaseDC(hwnd, dc);
}

LRESULT Win32Platform::editHitTest(Element& edit, LPARAM lParam, LRESULT inherited) {
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT window{};
    RECT client{};
    GetWindowRect(edit.hwnd, &window);
    GetClientRect(edit.hwnd, &client);
    MapWindowPoints(edit.hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (PtInRect(&window, at) && !PtInRect(&client, at)) {
        return HTBORDER;
    }
    return inherited;
}

} // namespace rt::win32
