// The main window as data. The run time builds it; nothing here runs.
#include "ui/main_window.h"

#include "runtime/window_description.h"
#include "timing/control.h"
#include "timing/counter.h"

namespace {

constexpr EventBinding kPauseBindings[] = {{Event::click, onPauseClicked}};
constexpr EventBinding kTickBindings[] = {{Event::tick, onTick}};
constexpr EventBinding kStartBindings[] = {{Event::click, onStartClicked}};

constexpr StateFlags kShown{.visible = true};
constexpr StateFlags kShownTabStop{.visible = true, .tabStop = true};

// List order is stacking order (first on top); every tab-order key is 0, so Tab visits the
// components in the reverse of this order: 编辑框1, 按钮1, 按钮2. Each row: identifier, kind, name,
// place and size, state flags, event bindings, then the kind's settings that differ from its
// defaults.
// clang-format off
constexpr Entry kMainWindowEntries[] = {
    {.id = entry_id::kWindow, .kind = Kind::window, .name = "",
     .left = 50, .top = 50, .width = 321, .height = 357, .flags = kShown,
     .window = {.title = "Velmora"}},
    {.id = entry_id::k按钮2, .kind = Kind::button, .name = "\xb0\xb4\xc5\xa5\x32", // 按钮2
     .left = 176, .top = 184, .width = 112, .height = 56, .flags = kShownTabStop,
     .bindings = kPauseBindings,
     .button = {.caption = "\xd4\xdd\xcd\xa3\xbc\xc6\xca\xb1"}}, // 暂停计时
    {.id = entry_id::k时钟1, .kind = Kind::timer, .name = "\xca\xb1\xd6\xd3\x31", // 时钟1
     .left = 8, .top = 296, .width = 26, .height = 26,
     .bindings = kTickBindings},
    {.id = entry_id::k按钮1, .kind = Kind::button, .name = "\xb0\xb4\xc5\xa5\x31", // 按钮1
     .left = 24, .top = 184, .width = 112, .height = 56, .flags = kShownTabStop,
     .bindings = kStartBindings,
     .button = {.caption = "\xbf\xaa\xca\xbc\xbc\xc6\xca\xb1"}}, // 开始计时
    {.id = entry_id::k编辑框1, .kind = Kind::editBox, .name = "\xb1\xe0\xbc\xad\xbf\xf2\x31", // 编辑框1
     .left = 16, .top = 64, .width = 280, .height = 88, .flags = kShownTabStop,
     .editBox = {.inputMode = 1}}, // read-only
};
// clang-format on

constexpr WindowDescription kWindowData[] = {
    {.id = kMainWindowId, .entries = kMainWindowEntries},
};

} // namespace

std::span<const WindowDescription> programWindowData() {
    return kWindowData;
}
