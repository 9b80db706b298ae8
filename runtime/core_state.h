// The core's own state, shared by its source files and by nothing else: the loaded window
// descriptions, the windows built from them, the exit routines and the event gate.
#pragma once

#include "runtime/platform.h"
#include "runtime/window_description.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rt::detail {

struct Component {
    const Entry* entry = nullptr;
    std::size_t listIndex = 0; // position in the description, the window being 0
    ElementId element = 0;
    bool exists = false; // its native element exists
    bool disabled = false;
    std::int32_t period = 0; // timers
    bool armed = false;      // timers
    std::string text;        // the stored copy of a caption or content
};

struct Window {
    const WindowDescription* description = nullptr;
    bool open = false;
    ElementId element = 0;
    std::vector<Component> components; // list order, the window entry excluded
    ElementId lastFocus = 0;           // the component that last gained the focus
    ElementId rememberedFocus = 0;     // kept across a deactivation
};

struct State {
    Platform* platform = nullptr;
    std::span<const WindowDescription> dataOverride;
    bool overrideSet = false;
    bool initialised = false;
    std::span<const WindowDescription> descriptions; // loaded by initRuntime
    std::vector<Window> windows;                     // one per open or once-opened window
    std::vector<Routine> exitRoutines;
    bool loopRunning = false;
    std::uint32_t eventsSuspended = 0;
    bool ending = false;
    bool reporting = false;
};

State& state();

const WindowDescription* findDescription(std::uint32_t windowId);
Window* findOpenWindow(std::uint32_t windowId);
Window* windowOfElement(ElementId element);
// The component shown by an element, or null when the element is a window or unknown.
Component* componentOfElement(ElementId element, Window** window = nullptr);

// Delivers one event to the handler bound to it, unless events are suspended.
void deliver(const Window& window, const Component* component, Event event);

// Tab stops of a window in tab order.
std::vector<const Component*> tabStops(const Window& window);

// The texts of the run time's own messages.
namespace msg {
inline constexpr ConstText kRuntimeError =
    "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!"; // 运行时出错!
inline constexpr ConstText kErrorCode = "\xb4\xed\xce\xf3\xb4\xfa\xc2\xeb\xa3\xba"; // 错误代码：
inline constexpr ConstText kErrorMessage = "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba"; // 错误信息：
// 未找到所指定的窗口
inline constexpr ConstText kNoSuchWindow =
    "\xce\xb4\xd5\xd2\xb5\xbd\xcb\xf9\xd6\xb8\xb6\xa8\xb5\xc4\xb4\xb0\xbf\xda";
// 未找到所指定的窗口组件
inline constexpr ConstText kNoSuchComponent =
    "\xce\xb4\xd5\xd2\xb5\xbd\xcb\xf9\xd6\xb8\xb6\xa8\xb5\xc4\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe";
// 载入窗口模板数据段出错!
inline constexpr ConstText kBadWindowData =
    "\xd4\xd8\xc8\xeb\xb4\xb0\xbf\xda\xc4\xa3\xb0\xe5\xca\xfd\xbe\xdd\xb6\xce\xb3\xf6\xb4\xed!";
// 载入启动窗口失败
inline constexpr ConstText kStartupWindowFailed =
    "\xd4\xd8\xc8\xeb\xc6\xf4\xb6\xaf\xb4\xb0\xbf\xda\xca\xa7\xb0\xdc";
// 分配 %d 字节内存失败! (split where the number goes)
inline constexpr ConstText kAllocFailedBefore = "\xb7\xd6\xc5\xe4 ";
inline constexpr ConstText kAllocFailedAfter = " \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!";
// 未载入欲访问窗口组件所在的窗口
inline constexpr ConstText kWindowNotLoaded =
    "\xce\xb4\xd4\xd8\xc8\xeb\xd3\xfb\xb7\xc3\xce\xca\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe\xcb\xf9\xd4"
    "\xda\xb5\xc4\xb4\xb0\xbf\xda";
// 修改组件属性时发现指定窗口尚未载入
inline constexpr ConstText kElementMissing =
    "\xd0\xde\xb8\xc4\xd7\xe9\xbc\xfe\xca\xf4\xd0\xd4\xca\xb1\xb7\xa2\xcf\xd6\xd6\xb8\xb6\xa8\xb4"
    "\xb0\xbf\xda\xc9\xd0\xce\xb4\xd4\xd8\xc8\xeb";
// 组件没有所指定的属性 (a property the component's kind does not have)
inline constexpr ConstText kNoSuchProperty =
    "\xd7\xe9\xbc\xfe\xc3\xbb\xd3\xd0\xcb\xf9\xd6\xb8\xb6\xa8\xb5\xc4\xca\xf4\xd0\xd4";
} // namespace msg

// The heap keeps a reserve that the error report hands back to the system before it shows the
// box, so that a refused request still leaves room to say so.
void reserveEmergencyMemory();
void releaseEmergencyMemory();

} // namespace rt::detail
