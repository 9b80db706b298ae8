// The end-to-end driver for the Windows build. It does what a user or an automation client does:
// it launches the real program, finds its window, reads styles, rectangles, texts, enabled
// states and the focus, sends real mouse and key input (SendInput), waits for ticks and collects
// the exit code. Texts are read as UTF-16 and turned back into GBK through code page 936, so
// every caption is compared byte for byte with the program's own bytes.
//
//   velmora_driver SCENARIO PROGRAM.exe
//
// The show-* scenarios check nothing: they leave the program in a state for a screenshot.
//
// Each scenario prints what it checks, "FAIL expected/actual" for each difference, and exits
// with 0 only when everything held. A program left running is ended when the driver ends.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// --- the program's texts, as GBK bytes --------------------------------------------------------

constexpr std::string_view kStartCaption = "\xbf\xaa\xca\xbc\xbc\xc6\xca\xb1";    // 开始计时
constexpr std::string_view kPauseCaption = "\xd4\xdd\xcd\xa3\xbc\xc6\xca\xb1";    // 暂停计时
constexpr std::string_view kTimingCaption = "\xd5\xfd\xd4\xda\xbc\xc6\xca\xb1";   // 正在计时
constexpr std::string_view kContinueCaption = "\xbc\xcc\xd0\xf8\xbc\xc6\xca\xb1"; // 继续计时
constexpr std::string_view kErrorCaption = "\xb4\xed\xce\xf3";                    // 错误

// 00：00：0n, the readout after n ticks (n < 10).
std::string readout(int seconds) {
    std::string text = "00\xa3\xba"
                       "00\xa3\xba"
                       "0"; // 00：00：0
    text += static_cast<char>('0' + seconds);
    return text;
}

// --- checks
// ---------------------------------------------------------------------------------------

int failures = 0;

std::string printable(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7f && b != '\\') {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", b);
            out += escaped;
        }
    }
    return out;
}

void check(bool ok, const std::string& what, const std::string& expected,
           const std::string& actual) {
    if (ok) {
        std::printf("ok   %s\n", what.c_str());
    } else {
        ++failures;
        std::printf("FAIL %s\n     expected: %s\n     actual:   %s\n", what.c_str(),
                    expected.c_str(), actual.c_str());
    }
    std::fflush(stdout);
}

void checkText(const std::string& what, std::string_view expected, std::string_view actual) {
    check(expected == actual, what, "\"" + printable(expected) + "\"",
          "\"" + printable(actual) + "\"");
}

void checkValue(const std::string& what, long long expected, long long actual) {
    check(expected == actual, what, std::to_string(expected), std::to_string(actual));
}

std::string hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

void checkBits(const std::string& what, unsigned long long expected, unsigned long long actual) {
    check(expected == actual, what, hex(expected), hex(actual));
}

void checkTrue(const std::string& what, bool ok, const std::string& detail = "") {
    check(ok, what, "true", detail.empty() ? "false" : detail);
}

// A scenario that cannot go on; main reports it after the program under test has been ended.
struct GiveUp {
    std::string why;
};

[[noreturn]] void giveUp(const std::string& why) {
    throw GiveUp{why};
}

// --- time, text and geometry ---------------------------------------------------------------------

double nowMs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Pumps the driver's own window between polls, so that it can be activated and clicked.
void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool waitUntil(const std::function<bool()>& ready, int timeoutMs) {
    const double until = nowMs() + timeoutMs;
    while (!ready()) {
        if (nowMs() > until) {
            return false;
        }
        pump();
        Sleep(1);
    }
    return true;
}

void pause(int ms) {
    waitUntil([] { return false; }, ms);
}

std::string gbkOf(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(936, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string gbk(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(936, 0, utf16.data(), static_cast<int>(utf16.size()), gbk.data(), n,
                        nullptr, nullptr);
    return gbk;
}

// The text a window shows, read across the process boundary and turned back into GBK. Only
// WM_GETTEXT reaches a control's own text: GetWindowText of another process's window reads the
// caption the system keeps, which an EDIT does not update.
std::string textOf(HWND hwnd) {
    wchar_t buffer[1024];
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL,
                             5000, &n)) {
        return "<no answer>";
    }
    return gbkOf(std::wstring_view(buffer, static_cast<std::size_t>(n)));
}

std::wstring classOf(HWND hwnd) {
    wchar_t name[256];
    const int n = GetClassNameW(hwnd, name, 256);
    return std::wstring(name, static_cast<std::size_t>(std::max(n, 0)));
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// A child's rectangle in its parent's client coordinates.
RECT placeOf(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT clientInScreen(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT centreOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The screen's pixels in a rectangle, top row first, each 0x00RRGGBB.
std::vector<DWORD> capture(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width * height));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (DWORD& p : pixels) {
        p &= 0xFFFFFF;
    }
    return pixels;
}

// --- real input
// -----------------------------------------------------------------------------------

void sendInputs(std::vector<INPUT>& inputs) {
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        giveUp("SendInput refused the input (error " + std::to_string(GetLastError()) + ")");
    }
}

void clickAt(POINT at) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs(3);
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>((at.x * 65535LL + width / 2) / (width - 1));
        input.mi.dy = static_cast<LONG>((at.y * 65535LL + height / 2) / (height - 1));
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    sendInputs(inputs);
}

void click(HWND hwnd) {
    clickAt(centreOf(hwnd));
}

INPUT keyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void pressKey(WORD vk, WORD modifier = 0) {
    std::vector<INPUT> inputs;
    if (modifier != 0) {
        inputs.push_back(keyInput(modifier, false));
    }
    inputs.push_back(keyInput(vk, false));
    inputs.push_back(keyInput(vk, true));
    if (modifier != 0) {
        inputs.push_back(keyInput(modifier, true));
    }
    sendInputs(inputs);
}

// The point of the window's frame that answers the mouse with this hit-test code.
POINT framePoint(HWND window, LRESULT code) {
    RECT r{};
    GetWindowRect(window, &r);
    for (int y = r.top; y < r.top + 40; ++y) {
        for (int x = r.right - 1; x > r.left; --x) {
            DWORD_PTR hit = 0;
            SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 2000, &hit);
            if (static_cast<LRESULT>(hit) == code) {
                // Aim at the middle of the box, not at its edge.
                int right = x;
                while (right + 1 < r.right) {
                    SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(right + 1, y),
                                        SMTO_NORMAL, 2000, &hit);
                    if (static_cast<LRESULT>(hit) != code) {
                        break;
                    }
                    ++right;
                }
                int left = x;
                while (left - 1 > r.left) {
                    SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(left - 1, y),
                                        SMTO_NORMAL, 2000, &hit);
                    if (static_cast<LRESULT>(hit) != code) {
                        break;
                    }
                    --left;
                }
                return {(left + right) / 2, y + 4};
            }
        }
    }
    giveUp("no point of the frame answers with hit-test code " + std::to_string(code));
}

// --- the program under test
// -----------------------------------------------------------------------

std::wstring windowsPath(const char* path) {
    std::wstring wide;
    for (const char* p = path; *p != '\0'; ++p) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    // A path from the build on the Unix side: Wine's drive Z: is the Unix root.
    if (!wide.empty() && wide[0] == L'/') {
        std::replace(wide.begin(), wide.end(), L'/', L'\\');
        wide = L"Z:" + wide;
    }
    return wide;
}

struct App {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    HWND edit = nullptr;        // 编辑框1
    HWND start = nullptr;       // 按钮1
    HWND pause = nullptr;       // 按钮2
    HWND timer = nullptr;       // 时钟1's hidden element
    std::vector<HWND> children; // in stacking order, topmost first

    App() = default;
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App() {
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.hProcess, 1);
                WaitForSingleObject(process.hProcess, 5000);
            }
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }

    // Leaves the program running when the driver ends.
    void detach() {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = {};
    }

    // The exit code, or STILL_ACTIVE when the process has not ended within the time.
    DWORD exitCode(int timeoutMs) const {
        WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs));
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    GUITHREADINFO threadInfo() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(process.dwThreadId, &info);
        return info;
    }
    HWND focus() const { return threadInfo().hwndFocus; }
};

struct FindContext {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK findTopLevel(HWND hwnd, LPARAM lParam) {
    auto* context = reinterpret_cast<FindContext*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == context->processId && classOf(hwnd) == context->className && IsWindowVisible(hwnd)) {
        context->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND topLevelOf(DWORD processId, const wchar_t* className) {
    FindContext context{processId, className, nullptr};
    EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

void launch(App& app, const char* program) {
    const std::wstring path = windowsPath(program);
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &app.process)) {
        giveUp("cannot start " + std::string(program) + " (error " +
               std::to_string(GetLastError()) + ")");
    }
    WaitForInputIdle(app.process.hProcess, 20000);
    if (!waitUntil(
            [&] {
                app.window = topLevelOf(app.process.dwProcessId, L"VelmoraWindow");
                return app.window != nullptr;
            },
            20000)) {
        giveUp("the program shows no window of class VelmoraWindow");
    }
    for (HWND child = GetWindow(app.window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        app.children.push_back(child);
        const std::wstring name = classOf(child);
        if (_wcsicmp(name.c_str(), L"Edit") == 0) {
            app.edit = child;
        } else if (_wcsicmp(name.c_str(), L"Button") == 0) {
            // 按钮1 is the left one, 按钮2 the right one.
            (placeOf(child).left < 100 ? app.start : app.pause) = child;
        } else if (name == L"VelmoraTimer") {
            app.timer = child;
        }
    }
    if (app.edit == nullptr || app.start == nullptr || app.pause == nullptr) {
        giveUp("the window lacks its edit box or one of its buttons");
    }
    // The first focus is given once the window is active; everything after starts from there.
    waitUntil([&] { return app.focus() == app.edit; }, 5000);
}

// Waits for the readout to show this text; false when it does not within the time.
bool waitForReadout(const App& app, std::string_view text, int timeoutMs) {
    return waitUntil([&] { return textOf(app.edit) == text; }, timeoutMs);
}

// Clicks 按钮1 and measures the first few ticks after it. Each tick is bracketed from both sides
// by the polls around it: the click by polls that still saw 按钮1 enabled and the first that saw
// it disabled, a tick by the last poll that still saw the old readout and the first that saw
// the new one.
struct Tick {
    double latest;   // the longest it can have taken after the click
    double earliest; // the shortest it can have taken after the click
};

std::vector<Tick> startAndMeasure(const App& app, int firstSeconds, int count) {
    // The timer is armed a little before 按钮1 is disabled (two property writes earlier), so
    // the click is bracketed on the early side by the poll before the last one that saw 按钮1
    // enabled: polls are a millisecond apart, far more than those two writes take.
    double beforeLastEnabled = nowMs();
    double lastEnabled = beforeLastEnabled;
    click(app.start);
    double disabledSeen = 0;
    if (!waitUntil(
            [&] {
                const double t = nowMs();
                if (IsWindowEnabled(app.start)) {
                    beforeLastEnabled = lastEnabled;
                    lastEnabled = t;
                    return false;
                }
                disabledSeen = t;
                return true;
            },
            5000)) {
        giveUp("a click on the start button was not taken");
    }
    std::vector<Tick> ticks;
    for (int n = 0; n < count; ++n) {
        const std::string expected = readout(firstSeconds + n);
        double lastOld = nowMs();
        double seen = 0;
        if (!waitUntil(
                [&] {
                    const double t = nowMs();
                    if (textOf(app.edit) != expected) {
                        lastOld = t;
                        return false;
                    }
                    seen = t;
                    return true;
                },
                5000)) {
            giveUp("the readout never showed \"" + printable(expected) + "\"");
        }
        ticks.push_back({seen - beforeLastEnabled, lastOld - disabledSeen});
    }
    return ticks;
}

// The Nth tick falls due N periods after the click: never before, and close after.
void checkTicks(const std::string& what, const std::vector<Tick>& ticks) {
    constexpr double kLateness = 200; // the system's timer granularity and a busy machine
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const double due = 1000.0 * static_cast<double>(i + 1);
        char detail[160];
        std::snprintf(detail, sizeof detail, "between %.1f and %.1f ms after the click",
                      ticks[i].earliest, ticks[i].latest);
        const bool ok = ticks[i].latest >= due && ticks[i].earliest <= due + kLateness;
        check(ok,
              what + ": tick " + std::to_string(i + 1) + " due at " +
                  std::to_string(static_cast<int>(due)) + " ms, never earlier (" + detail + ")",
              "due .. due + " + std::to_string(static_cast<int>(kLateness)) + " ms", detail);
    }
}

// --- scenarios
// ------------------------------------------------------------------------------------

// The window as it opens, the readout as it draws, and the Close command.
void scenarioWindow(const char* program) {
    App app;
    launch(app, program);

    checkValue("screen width", 1920, GetSystemMetrics(SM_CXSCREEN));
    checkValue("screen height", 1080, GetSystemMetrics(SM_CYSCREEN));
    RECT outer{};
    GetWindowRect(app.window, &outer);
    checkText("outer rectangle, centred", "799,361 321x357", rectText(outer));
    checkText("title", "Velmora", textOf(app.window));
    // Windows adds WS_CLIPSIBLINGS to every top-level window and WS_EX_WINDOWEDGE to every
    // window with a caption; the rest is ours.
    checkBits("window style",
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                  WS_VISIBLE,
              static_cast<DWORD>(GetWindowLongW(app.window, GWL_STYLE)));
    checkBits("window extended style", WS_EX_WINDOWEDGE,
              static_cast<DWORD>(GetWindowLongW(app.window, GWL_EXSTYLE)));
    // List order is stacking order: 按钮2, 时钟1, 按钮1, 编辑框1.
    const std::vector<HWND> stacking{app.pause, app.timer, app.start, app.edit};
    checkTrue("components stacked in list order", app.children == stacking);
    checkTrue("timer element exists and is never shown",
              app.timer != nullptr && !IsWindowVisible(app.timer));

    // Wine keeps fonts and icons per process, so WM_GETFONT and WM_GETICON cannot be asked
    // across the boundary; the line height below and the screenshots show both.
    const auto gui = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const DWORD buttonStyle = BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE | WS_TABSTOP |
                              WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE;
    struct ButtonCase {
        const char* name;
        HWND hwnd;
        const char* place;
        std::string_view caption;
    };
    for (const ButtonCase& b :
         {ButtonCase{"button 1", app.start, "24,184 112x56", kStartCaption},
          ButtonCase{"button 2", app.pause, "176,184 112x56", kPauseCaption}}) {
        const std::string name = b.name;
        checkText(name + " place", b.place, rectText(placeOf(b.hwnd)));
        checkBits(name + " style", buttonStyle,
                  static_cast<DWORD>(GetWindowLongW(b.hwnd, GWL_STYLE)));
        checkBits(name + " extended style", 0,
                  static_cast<DWORD>(GetWindowLongW(b.hwnd, GWL_EXSTYLE)));
        checkText(name + " caption", b.caption, textOf(b.hwnd));
        checkTrue(name + " enabled", IsWindowEnabled(b.hwnd) != FALSE);
    }

    checkText("edit box place", "16,64 280x88", rectText(placeOf(app.edit)));
    checkBits("edit box style",
              WS_TABSTOP | WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL | ES_READONLY | WS_VISIBLE,
              static_cast<DWORD>(GetWindowLongW(app.edit, GWL_STYLE)));
    checkBits("edit box extended style", WS_EX_CLIENTEDGE,
              static_cast<DWORD>(GetWindowLongW(app.edit, GWL_EXSTYLE)));
    checkText("edit box starts empty", "", textOf(app.edit));
    checkValue("no text limit of our own", 0x7FFFFFFE,
               static_cast<long long>(SendMessageW(app.edit, EM_GETLIMITTEXT, 0, 0)));
    DWORD selStart = 1;
    DWORD selEnd = 1;
    SendMessageW(app.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    checkText("selection at the start, empty", "0..0",
              std::to_string(selStart) + ".." + std::to_string(selEnd));
    const GUITHREADINFO gui0 = app.threadInfo();
    checkTrue("first focus on the edit box", gui0.hwndFocus == app.edit);
    checkTrue("window active", gui0.hwndActive == app.window);
    checkTrue("caret in the edit box", gui0.hwndCaret == app.edit);

    // One line of text high, centred in the space inside the sunken edge.
    int lineHeight = 0;
    if (HDC dc = GetDC(nullptr)) {
        const HGDIOBJ old = SelectObject(dc, gui);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        lineHeight = metrics.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    const int edgeX = GetSystemMetrics(SM_CXEDGE);
    const int edgeY = GetSystemMetrics(SM_CYEDGE);
    const int innerHeight = 88 - 2 * edgeY;
    RECT editOuter{};
    GetWindowRect(app.edit, &editOuter);
    const RECT line = clientInScreen(app.edit);
    const int expectedTop = edgeY + (innerHeight - lineHeight) / 2;
    checkText("edit box line: one line high, centred (left, top, width x height in the box)",
              std::to_string(edgeX) + "," + std::to_string(expectedTop) + " " +
                  std::to_string(280 - 2 * edgeX) + "x" + std::to_string(lineHeight),
              rectText({line.left - editOuter.left, line.top - editOuter.top,
                        line.right - editOuter.left, line.bottom - editOuter.top}));
    const int midX = (line.left + line.right) / 2;
    struct HitCase {
        const char* where;
        int y;
        LRESULT expected;
    };
    for (const HitCase& h : {HitCase{"above the line", line.top - 5, HTBORDER},
                             HitCase{"below the line", line.bottom + 5, HTBORDER},
                             HitCase{"on the line", (line.top + line.bottom) / 2, HTCLIENT}}) {
        checkValue(std::string("edit box hit test ") + h.where, h.expected,
                   SendMessageW(app.edit, WM_NCHITTEST, 0, MAKELPARAM(midX, h.y)));
    }

    // The readout as drawn: start, first tick, pause; then look at the pixels inside the edge.
    click(app.start);
    if (!waitForReadout(app, readout(1), 3000)) {
        giveUp("no readout after the start click");
    }
    click(app.pause);
    waitUntil([&] { return !IsWindowEnabled(app.pause); }, 3000);
    pause(300); // let the window repaint after the clicks
    const int width = editOuter.right - editOuter.left;
    const int height = editOuter.bottom - editOuter.top;
    const std::vector<DWORD> pixels = capture(editOuter);
    int firstInkRow = -1;
    int lastInkRow = -1;
    int firstInkColumn = width;
    int darkest = 255;
    int nonWhiteOutsideLine = 0;
    const int lineTop = line.top - editOuter.top;
    const int lineBottom = line.bottom - editOuter.top;
    for (int y = edgeY; y < height - edgeY; ++y) {
        for (int x = edgeX; x < width - edgeX; ++x) {
            const DWORD p = pixels[static_cast<std::size_t>(y * width + x)];
            if (p == 0xFFFFFF) {
                continue;
            }
            const int grey =
                static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
            darkest = std::min(darkest, grey);
            firstInkRow = firstInkRow < 0 ? y : firstInkRow;
            lastInkRow = y;
            firstInkColumn = std::min(firstInkColumn, x);
            if (y < lineTop || y >= lineBottom) {
                ++nonWhiteOutsideLine;
            }
        }
    }
    checkValue("inside the edge, only the line has anything but white", 0, nonWhiteOutsideLine);
    checkTrue("the readout is drawn", firstInkRow >= 0);
    checkTrue("the readout is black, not greyed", darkest < 64,
              "darkest " + std::to_string(darkest));
    checkTrue("the readout is left aligned", firstInkColumn < edgeX + 12,
              "first ink at column " + std::to_string(firstInkColumn));
    checkTrue("the readout's ink lies in the centred line",
              firstInkRow >= lineTop && lastInkRow < lineBottom,
              "rows " + std::to_string(firstInkRow) + ".." + std::to_string(lastInkRow) +
                  ", line " + std::to_string(lineTop) + ".." + std::to_string(lineBottom - 1));

    // The window's own background: the colour of button faces.
    const RECT client = clientInScreen(app.window);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const DWORD faceRgb =
        (DWORD{GetRValue(face)} << 16) | (DWORD{GetGValue(face)} << 8) | DWORD{GetBValue(face)};
    for (const POINT at : {POINT{8, 8}, POINT{150, 290}}) {
        const RECT one{client.left + at.x, client.top + at.y, client.left + at.x + 1,
                       client.top + at.y + 1};
        checkBits("background at " + std::to_string(at.x) + "," + std::to_string(at.y), faceRgb,
                  capture(one).front());
    }

    // The Close command of the system menu ends the program as the close box does.
    PostMessageW(app.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    checkBits("exit code after Close", 0, app.exitCode(10000));
}

// Pause first, start, ticks on schedule, pause part-way through a second, continue, Esc.
void scenarioTiming(const char* program) {
    App app;
    launch(app, program);

    click(app.pause);
    if (!waitUntil([&] { return !IsWindowEnabled(app.pause); }, 3000)) {
        giveUp("a click on the pause button was not taken");
    }
    checkText("pause first: button 1 caption", kContinueCaption, textOf(app.start));
    checkTrue("pause first: button 1 enabled", IsWindowEnabled(app.start) != FALSE);
    checkText("pause first: button 2 caption", kPauseCaption, textOf(app.pause));
    pause(1300);
    checkText("pause first: no readout", "", textOf(app.edit));

    checkTicks("start", startAndMeasure(app, 1, 3));
    checkText("running: button 1 caption", kTimingCaption, textOf(app.start));
    checkTrue("running: button 2 enabled", IsWindowEnabled(app.pause) != FALSE);

    pause(500); // part-way through the fourth second
    click(app.pause);
    waitUntil([&] { return !IsWindowEnabled(app.pause); }, 3000);
    checkText("paused: button 1 caption", kContinueCaption, textOf(app.start));
    checkTrue("paused: button 1 enabled", IsWindowEnabled(app.start) != FALSE);
    checkTrue("paused: button 2 disabled", IsWindowEnabled(app.pause) == FALSE);
    pause(1500);
    checkText("paused: the count stands", readout(3), textOf(app.edit));

    // The part of the second before the pause is lost: the next tick is a full period away.
    checkTicks("continue", startAndMeasure(app, 4, 1));

    pressKey(VK_ESCAPE);
    checkBits("exit code after Esc", 0, app.exitCode(10000));
}

// Tab order, Enter and F1 doing nothing, Space on a focused button, Tab while a button is
// disabled, and Esc while no component has the focus.
void scenarioKeyboard(const char* program) {
    App app;
    launch(app, program);
    const auto focusName = [&](HWND h) -> std::string {
        if (h == app.edit) {
            return "edit box";
        }
        if (h == app.start) {
            return "button 1";
        }
        if (h == app.pause) {
            return "button 2";
        }
        return h == nullptr ? "nothing" : "another window";
    };
    // One key, then the focus it should leave.
    const auto step = [&](const std::string& what, WORD vk, WORD modifier, HWND expected) {
        pressKey(vk, modifier);
        waitUntil([&] { return app.focus() == expected; }, 3000);
        checkText(what, focusName(expected), focusName(app.focus()));
    };
    checkText("first focus", "edit box", focusName(app.focus()));
    step("Tab from the edit box", VK_TAB, 0, app.start);
    step("Tab from button 1", VK_TAB, 0, app.pause);
    step("Tab from button 2 wraps", VK_TAB, 0, app.edit);
    step("Shift+Tab from the edit box wraps", VK_TAB, VK_SHIFT, app.pause);
    step("Shift+Tab from button 2", VK_TAB, VK_SHIFT, app.start);

    // Enter, F1 and Shift+Esc on the focused button 1 do nothing; the Tab after them shows that
    // they have all been handled.
    pressKey(VK_RETURN);
    pressKey(VK_F1);
    pressKey(VK_ESCAPE, VK_SHIFT);
    step("Tab after Enter, F1 and Shift+Esc", VK_TAB, 0, app.pause);
    checkText("Enter, F1, Shift+Esc: button 1 caption unchanged", kStartCaption, textOf(app.start));
    checkText("Enter, F1, Shift+Esc: no readout", "", textOf(app.edit));
    checkBits("Enter, F1, Shift+Esc: still running", STILL_ACTIVE, app.exitCode(0));

    step("Shift+Tab back to button 1", VK_TAB, VK_SHIFT, app.start);
    pressKey(VK_SPACE);
    waitUntil([&] { return !IsWindowEnabled(app.start); }, 3000);
    checkText("Space on button 1 starts", kTimingCaption, textOf(app.start));
    checkText("button 1 disabled itself: focus", "nothing", focusName(app.focus()));

    // While button 1 is disabled, Tab goes between the edit box and button 2.
    RECT line = clientInScreen(app.edit);
    clickAt({(line.left + line.right) / 2, (line.top + line.bottom) / 2});
    waitUntil([&] { return app.focus() == app.edit; }, 3000);
    checkText("a click in the edit box", "edit box", focusName(app.focus()));
    step("Tab skips the disabled button 1", VK_TAB, 0, app.pause);
    step("Tab from button 2 back to the edit box", VK_TAB, 0, app.edit);
    step("Shift+Tab skips the disabled button 1", VK_TAB, VK_SHIFT, app.pause);

    pressKey(VK_SPACE);
    waitUntil([&] { return !IsWindowEnabled(app.pause); }, 3000);
    checkText("Space on button 2 pauses", kContinueCaption, textOf(app.start));
    checkText("button 2 disabled itself: focus", "nothing", focusName(app.focus()));

    // No component has the focus: the key reaches the window itself, and Esc still closes it.
    pressKey(VK_ESCAPE);
    checkBits("exit code after Esc with no focus", 0, app.exitCode(10000));
}

LRESULT CALLBACK otherWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Switching to another program and back, minimising and restoring while timing, the close box.
void scenarioMinimise(const char* program) {
    App app;
    launch(app, program);

    pressKey(VK_TAB);
    pressKey(VK_TAB);
    waitUntil([&] { return app.focus() == app.pause; }, 3000);
    checkTrue("focus on button 2 before switching away", app.focus() == app.pause);

    // Another program's window, away from ours; a click on it takes the activation.
    WNDCLASSW otherClass{};
    otherClass.lpfnWndProc = otherWindowProc;
    otherClass.hInstance = GetModuleHandleW(nullptr);
    otherClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    otherClass.lpszClassName = L"VelmoraDriverOther";
    RegisterClassW(&otherClass);
    HWND other = CreateWindowExW(0, otherClass.lpszClassName, L"other", WS_OVERLAPPEDWINDOW, 40, 40,
                                 300, 200, nullptr, nullptr, otherClass.hInstance, nullptr);
    ShowWindow(other, SW_SHOWNA);
    pump();
    clickAt({190, 140});
    waitUntil([&] { return GetForegroundWindow() == other; }, 3000);
    checkTrue("the other window is active", GetForegroundWindow() == other);
    checkTrue("our window lost the focus", app.focus() == nullptr);

    // A click on the empty part of our window brings it back, with the focus where it was.
    RECT client = clientInScreen(app.window);
    clickAt({client.left + 150, client.top + 290});
    waitUntil([&] { return app.focus() == app.pause; }, 3000);
    checkTrue("back: the focus returns to button 2", app.focus() == app.pause);
    DestroyWindow(other);

    click(app.start);
    if (!waitForReadout(app, readout(1), 3000)) {
        giveUp("no first tick");
    }
    const RECT line = clientInScreen(app.edit);
    clickAt({(line.left + line.right) / 2, (line.top + line.bottom) / 2});
    waitUntil([&] { return app.focus() == app.edit; }, 3000);
    checkTrue("focus on the edit box before minimising", app.focus() == app.edit);
    clickAt(framePoint(app.window, HTMINBUTTON));
    waitUntil([&] { return IsIconic(app.window) != FALSE; }, 3000);
    checkTrue("minimised by the minimise box", IsIconic(app.window) != FALSE);
    checkTrue("minimised: the count goes on", waitForReadout(app, readout(3), 3500),
              "readout \"" + printable(textOf(app.edit)) + "\"");
    checkTrue("minimised all along", IsIconic(app.window) != FALSE);

    // What a click on the task-bar button does.
    PostMessageW(app.window, WM_SYSCOMMAND, SC_RESTORE, 0);
    RECT outer{};
    waitUntil(
        [&] {
            GetWindowRect(app.window, &outer);
            return IsIconic(app.window) == FALSE && rectText(outer) == "799,361 321x357";
        },
        3000);
    checkTrue("restored", IsIconic(app.window) == FALSE && IsWindowVisible(app.window));
    checkText("restored in place", "799,361 321x357", rectText(outer));
    waitUntil([&] { return app.focus() == app.edit; }, 3000);
    checkTrue("restored: the focus returns to the edit box", app.focus() == app.edit);
    checkTrue("restored: the count goes on", waitForReadout(app, readout(4), 2500),
              "readout \"" + printable(textOf(app.edit)) + "\"");

    clickAt(framePoint(app.window, HTCLOSE));
    checkBits("exit code after the close box", 0, app.exitCode(10000));
}

struct BoxContext {
    HWND text = nullptr;
    std::vector<HWND> buttons;
};

BOOL CALLBACK collectBoxChild(HWND hwnd, LPARAM lParam) {
    auto* box = reinterpret_cast<BoxContext*>(lParam);
    const std::wstring name = classOf(hwnd);
    if (_wcsicmp(name.c_str(), L"Button") == 0) {
        box->buttons.push_back(hwnd);
    } else if (_wcsicmp(name.c_str(), L"Static") == 0 && GetWindowTextLengthW(hwnd) > 0) {
        box->text = hwnd;
    }
    return TRUE;
}

// A build whose heap refuses a request in the third tick: the error box, no handler while it
// is up, and the failure exit code.
void scenarioRefusedHeap(const char* program) {
    App app;
    launch(app, program);
    click(app.start);
    if (!waitForReadout(app, readout(2), 4000)) {
        giveUp("the first two ticks did not come");
    }
    HWND box = nullptr;
    if (!waitUntil(
            [&] {
                box = topLevelOf(app.process.dwProcessId, L"#32770");
                return box != nullptr;
            },
            4000)) {
        giveUp("no error box");
    }
    checkText("error box caption", kErrorCaption, textOf(box));
    checkTrue("error box has no owner", GetWindow(box, GW_OWNER) == nullptr);
    BoxContext parts;
    EnumChildWindows(box, collectBoxChild, reinterpret_cast<LPARAM>(&parts));
    checkValue("error box has one button", 1, static_cast<long long>(parts.buttons.size()));
    checkTrue("error box has its text", parts.text != nullptr);
    // 运行时出错!, 错误信息：分配 2 字节内存失败!, and the location line 0, 0.
    checkText("error box text",
              "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n"
              "\r\n"
              "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba"
              "\xb7\xd6\xc5\xe4 2 \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!\r\n"
              "\r\n"
              "0, 0\r\n",
              parts.text != nullptr ? textOf(parts.text) : std::string());
    checkTrue("the main window stays up", IsWindowVisible(app.window) != FALSE);

    // While the box is up, ticks and clicks reach no handler: a click on the pause button would
    // otherwise change button 1's caption, and a tick the readout.
    click(app.pause);
    pause(2500);
    checkText("box up: the readout stands", readout(2), textOf(app.edit));
    checkText("box up: button 1 caption unchanged", kTimingCaption, textOf(app.start));
    checkTrue("box up: button 2 still enabled", IsWindowEnabled(app.pause) != FALSE);

    SetForegroundWindow(box);
    waitUntil([&] { return GetForegroundWindow() == box; }, 3000);
    if (!parts.buttons.empty()) {
        click(parts.buttons.front());
    }
    checkBits("exit code after the report", 0xFFFFFFFFu, app.exitCode(10000));
}

// What the executable carries: the icon, the manifest, the version, and no DLL of its own.
void scenarioResources(const char* program) {
    const std::wstring path = windowsPath(program);
    HMODULE image = LoadLibraryExW(path.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr) {
        giveUp("cannot open " + std::string(program));
    }
    const auto resource = [&](const wchar_t* type, const wchar_t* name) -> std::string_view {
        HRSRC found = FindResourceW(image, name, type);
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const char*>(LockResource(LoadResource(image, found)));
        return {data, SizeofResource(image, found)};
    };

    // The icon group: one 128 x 128 image of 32 bits per pixel.
    const std::string_view group = resource(MAKEINTRESOURCEW(14), L"DEFAULT_ICON"); // RT_GROUP_ICON
    checkTrue("DEFAULT_ICON present", group.size() >= 6 + 14);
    if (group.size() >= 6 + 14) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(group.data());
        const int count = bytes[4] | (bytes[5] << 8);
        const int width = bytes[6] == 0 ? 256 : bytes[6];
        const int height = bytes[7] == 0 ? 256 : bytes[7];
        const int bits = bytes[6 + 6] | (bytes[6 + 7] << 8);
        checkText("DEFAULT_ICON image", "1 image, 128x128, 32 bits",
                  std::to_string(count) + " image, " + std::to_string(width) + "x" +
                      std::to_string(height) + ", " + std::to_string(bits) + " bits");
    }

    const std::string manifest(resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1))); // RT_MANIFEST
    checkTrue("manifest selects common controls 6",
              manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
                  manifest.find("version=\"6.0.0.0\"") != std::string::npos);
    checkTrue("manifest leaves the code page alone",
              manifest.find("activeCodePage") == std::string::npos);
    checkTrue("version information present",
              !resource(MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1)).empty()); // RT_VERSION
    FreeLibrary(image);

    // Imports: the system's DLLs only (the C++ run time is linked in).
    HMODULE mapped = LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (mapped == nullptr) {
        giveUp("cannot map " + std::string(program));
    }
    const auto* base = reinterpret_cast<const unsigned char*>(mapped);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::string imports;
    std::string foreign;
    for (const auto* d =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         directory.VirtualAddress != 0 && d->Name != 0; ++d) {
        std::string name = reinterpret_cast<const char*>(base + d->Name);
        std::transform(name.begin(), name.end(), name.begin(), [](char c) {
            return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        });
        imports += name + " ";
        if (name != "kernel32.dll" && name != "user32.dll" && name != "gdi32.dll" &&
            name != "msvcrt.dll" && name.rfind("api-ms-win-crt-", 0) != 0 &&
            name != "vcruntime140.dll" && name != "ucrtbase.dll") {
            foreign += name + " ";
        }
    }
    check(foreign.empty(), "imports only the system's DLLs", "none beyond the system's",
          foreign + "(all: " + imports + ")");
    checkValue("GUI subsystem", IMAGE_SUBSYSTEM_WINDOWS_GUI, nt->OptionalHeader.Subsystem);
    FreeLibrary(mapped);
}

// For scripts/screenshot-windows.sh: the program left running in one of its states, and the
// window's outer geometry printed as "window WxH+X+Y" for the screenshot's crop.
void show(const char* program, int ticks, bool paused) {
    App app;
    launch(app, program);
    if (ticks > 0) {
        click(app.start);
        if (!waitForReadout(app, readout(ticks), 1000 * ticks + 3000)) {
            giveUp("the readout did not reach " + std::to_string(ticks) + " seconds");
        }
    }
    if (paused) {
        click(app.pause);
        waitUntil([&] { return !IsWindowEnabled(app.pause); }, 3000);
    }
    pause(500); // the last repaint
    RECT r{};
    GetWindowRect(app.window, &r);
    std::printf("window %ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    app.detach();
}

void showIdle(const char* program) {
    show(program, 0, false);
}
void showRunning(const char* program) {
    show(program, 3, false);
}
void showPaused(const char* program) {
    show(program, 5, true);
}

struct Scenario {
    const char* name;
    void (*run)(const char* program);
};

constexpr Scenario kScenarios[] = {
    {"window", scenarioWindow},
    {"timing", scenarioTiming},
    {"keyboard", scenarioKeyboard},
    {"minimise", scenarioMinimise},
    {"refused-heap", scenarioRefusedHeap},
    {"resources", scenarioResources},
    {"show-idle", showIdle},
    {"show-running", showRunning},
    {"show-paused", showPaused},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: velmora_driver SCENARIO PROGRAM.exe\n");
        return 2;
    }
    for (const Scenario& s : kScenarios) {
        if (std::strcmp(s.name, argv[1]) == 0) {
            try {
                s.run(argv[2]);
            } catch (const GiveUp& e) {
                ++failures;
                std::printf("FAIL %s\n", e.why.c_str());
            }
            std::printf("%s: %d failure(s)\n", s.name, failures);
            return failures == 0 ? 0 : 1;
        }
    }
    std::fprintf(stderr, "velmora_driver: no scenario named %s\n", argv[1]);
    return 2;
}
