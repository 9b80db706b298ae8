// The window description: constant data from which the run time builds a window and its
// components. The program holds one per window; initRuntime reads and checks them all, and
// loadStartupWindow builds one. Every setting carries its kind's default, so an entry writes down
// only what differs (designated initialisers leave the rest alone).
#pragma once

#include "runtime/runtime.h"

#include <cstdint>
#include <span>

enum class Kind : std::uint8_t { window, editBox, button, timer };

// The events a component can raise. A button also raises focus events, which this program binds
// to nothing; an edit box raises contentChanged once for every content write.
enum class Event : std::uint8_t { click, tick, contentChanged, gotFocus, lostFocus };

struct EventBinding {
    Event event;
    Routine handler;
};

struct StateFlags {
    bool visible = false;
    bool disabled = false;
    bool tabStop = false;
};

struct WindowSettings {
    ConstText title = "";
    std::int32_t border = 2; // 0 none, 1 sizing, 2 fixed, 3/4 tool, 5/6 with client edge
    bool controlBox = true;  // system menu and close box
    bool maximizeButton = false;
    bool minimizeButton = true;
    std::int32_t position = 1; // 0 stored place, 1 centred, 2 minimised, 3 maximised
    bool movable = true;
    bool escCloses = true;
    bool enterMovesFocus = false;
    bool f1OpensHelp = false;
    bool shownInTaskBar = true;
    bool alwaysOnTop = false;
};

struct ButtonSettings {
    ConstText caption = "\xb0\xb4\xc5\xa5"; // 按钮
    std::int32_t buttonType = 0;            // 0 push button, 1 default button
    std::int32_t horizontalAlignment = 1;   // 0 left, 1 centred, 2 right
    std::int32_t verticalAlignment = 1;     // 0 top, 1 centred, 2 bottom
};

struct EditBoxSettings {
    ConstText content = "";
    std::int32_t border = 1; // 1 sunken client edge
    bool hideSelection = true;
    std::int32_t maxLength = 0; // 0 no limit
    bool multiLine = false;
    std::int32_t alignment = 0; // 0 left, 1 centred, 2 right
    std::int32_t inputMode = 0; // 0 ordinary, 1 read-only, 2 password
};

struct TimerSettings {
    std::int32_t period = 0; // milliseconds, 0 stopped
};

// One entry of a description: the window itself (first) or one component. Only the settings of
// the entry's own kind are read.
struct Entry {
    std::uint32_t id = 0;
    Kind kind = Kind::window;
    ConstText name = "";
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    StateFlags flags{};
    std::int32_t tabKey = 0;
    std::span<const EventBinding> bindings{};
    ConstText tag = "";
    WindowSettings window{};
    ButtonSettings button{};
    EditBoxSettings editBox{};
    TimerSettings timer{};
};

struct WindowDescription {
    std::uint32_t id = 0;
    std::span<const Entry> entries{}; // the window first, then its components in list order
};

// The program's window data, defined by the program and read by initRuntime.
std::span<const WindowDescription> programWindowData();
