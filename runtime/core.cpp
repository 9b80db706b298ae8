// Start-up, window building, property writes, event delivery, the loop and the orderly end.
#include "runtime/core_state.h"
#include "runtime/testing.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>

namespace rt::detail {

State& state() {
    static State s;
    return s;
}

namespace {

testing::DeliveryObserver& observer() {
    static testing::DeliveryObserver o;
    return o;
}

std::vector<ComponentRef>& elementTable() {
    // ElementId n names elementTable()[n - 1].
    static std::vector<ComponentRef> table;
    return table;
}

ElementId newElement(ComponentRef component) {
    elementTable().push_back(component);
    return static_cast<ElementId>(elementTable().size());
}

bool eventAllowed(Kind kind, Event event) {
    switch (event) {
    case Event::click:
        return kind == Kind::button;
    case Event::tick:
        return kind == Kind::timer;
    case Event::contentChanged:
        return kind == Kind::editBox;
    case Event::gotFocus:
    case Event::lostFocus:
        return kind == Kind::button || kind == Kind::editBox;
    }
    return false;
}

// The checks initRuntime makes of the window data before anything is built from it.
bool descriptionsValid(std::span<const WindowDescription> data) {
    for (std::size_t d = 0; d < data.size(); ++d) {
        const WindowDescription& description = data[d];
        if (description.id == 0 || description.entries.empty() ||
            description.entries.front().kind != Kind::window) {
            return false;
        }
        for (std::size_t other = 0; other < d; ++other) {
            if (data[other].id == description.id) {
                return false;
            }
        }
        for (std::size_t i = 0; i < description.entries.size(); ++i) {
            const Entry& entry = description.entries[i];
            if (entry.id == 0 || entry.name == nullptr || entry.tag == nullptr || entry.width < 0 ||
                entry.height < 0 || (i > 0 && entry.kind == Kind::window)) {
                return false;
            }
            if (entry.window.title == nullptr || entry.button.caption == nullptr ||
                entry.editBox.content == nullptr) {
                return false;
            }
            for (std::size_t j = 0; j < i; ++j) {
                if (description.entries[j].id == entry.id) {
                    return false;
                }
            }
            for (const EventBinding& binding : entry.bindings) {
                if (binding.handler == nullptr || !eventAllowed(entry.kind, binding.event)) {
                    return false;
                }
            }
        }
    }
    return true;
}

WindowLook lookOf(const WindowSettings& s) {
    WindowLook look;
    look.title = s.title;
    look.fixedFrame = s.border == 0 || s.border == 2 || s.border == 4 || s.border == 6;
    look.titleBar = s.border != 0 && (s.title[0] != '\0' || s.controlBox);
    look.systemMenu = look.titleBar && s.controlBox;
    look.minimizeBox = look.systemMenu && s.minimizeButton;
    look.maximizeBox = look.systemMenu && s.maximizeButton;
    look.taskBarButton = s.shownInTaskBar;
    look.alwaysOnTop = s.alwaysOnTop;
    return look;
}

// Position 1 centres the outer frame on the whole primary screen; the division truncates.
Rect placementOf(const Entry& window, Size screen) {
    if (window.window.position == 0) {
        return {window.left, window.top, window.width, window.height};
    }
    return {(screen.width - window.width) / 2, (screen.height - window.height) / 2, window.width,
            window.height};
}

void failStartup(std::uint32_t windowId) {
    reportRuntimeError(msg::kStartupWindowFailed, 0, windowId, 0);
}

Component* findComponent(Window& window, std::uint32_t componentId) {
    for (Component& c : window.components) {
        if (c.entry->id == componentId) {
            return &c;
        }
    }
    return nullptr;
}

// Arms, re-arms or cancels a timer component's platform timer for a new period.
void applyPeriod(Component& timer, std::int32_t value) {
    if (value < 0) {
        value = 0;
    }
    if (value == timer.period) {
        return; // an armed timer keeps the part of its interval already elapsed
    }
    timer.period = value;
    if (timer.armed) {
        state().platform->cancelTimer(timer.element);
        timer.armed = false;
    }
    if (value > 0) {
        state().platform->armTimer(timer.element, value);
        timer.armed = true;
    }
}

struct Target {
    Window* window;
    Component* component; // null for the window itself
};

// Finds what a write names, reporting the write's own failures.
Target writeTarget(ComponentRef ref) {
    Window* window = findOpenWindow(ref.windowId);
    if (window == nullptr) {
        reportRuntimeError(msg::kWindowNotLoaded, 0, ref.windowId, ref.componentId);
    }
    if (ref.componentId == 0 || ref.componentId == window->description->entries.front().id) {
        return {window, nullptr};
    }
    Component* component = findComponent(*window, ref.componentId);
    if (component == nullptr) {
        reportRuntimeError(msg::kElementMissing, 0, ref.windowId, ref.componentId);
    }
    return {window, component};
}

} // namespace

const WindowDescription* findDescription(std::uint32_t windowId) {
    for (const WindowDescription& d : state().descriptions) {
        if (d.id == windowId) {
            return &d;
        }
    }
    return nullptr;
}

Window* findOpenWindow(std::uint32_t windowId) {
    for (Window& w : state().windows) {
        if (w.open && w.description->id == windowId) {
            return &w;
        }
    }
    return nullptr;
}

Window* windowOfElement(ElementId element) {
    if (element == 0 || element > elementTable().size()) {
        return nullptr;
    }
    return findOpenWindow(elementTable()[element - 1].windowId);
}

Component* componentOfElement(ElementId element, Window** windowOut) {
    Window* window = windowOfElement(element);
    if (windowOut != nullptr) {
        *windowOut = window;
    }
    if (window == nullptr) {
        return nullptr;
    }
    for (Component& c : window->components) {
        if (c.element == element) {
            return &c;
        }
    }
    return nullptr;
}

void deliver(const Window& window, const Component* component, Event event) {
    const Entry& entry = component != nullptr ? *component->entry : window.description->entries[0];
    const ComponentRef ref{window.description->id, component != nullptr ? entry.id : 0};
    if (state().eventsSuspended > 0) {
        if (observer()) {
            observer()(ref, event, testing::Delivery::dropped);
        }
        return;
    }
    Routine handler = nullptr;
    for (const EventBinding& binding : entry.bindings) {
        if (binding.event == event) {
            handler = binding.handler;
            break;
        }
    }
    if (observer()) {
        observer()(ref, event, handler ? testing::Delivery::delivered : testing::Delivery::unbound);
    }
    if (handler != nullptr) {
        handler();
    }
}

} // namespace rt::detail

using namespace rt;
using namespace rt::detail;

namespace rt {

void attachPlatform(Platform* p) {
    state().platform = p;
}

Platform& platform() {
    assert(state().platform != nullptr && "no back end attached");
    return *state().platform;
}

ElementId elementOf(ComponentRef component) {
    Window* window = findOpenWindow(component.windowId);
    if (window == nullptr) {
        return 0;
    }
    if (component.componentId == 0 ||
        component.componentId == window->description->entries.front().id) {
        return window->element;
    }
    Component* c = findComponent(*window, component.componentId);
    return c != nullptr ? c->element : 0;
}

ComponentRef componentOf(ElementId element) {
    if (element == 0 || element > elementTable().size()) {
        return {0, 0};
    }
    return elementTable()[element - 1];
}

namespace input {

void click(ElementId button) {
    Window* window = nullptr;
    Component* c = componentOfElement(button, &window);
    if (c != nullptr && c->entry->kind == Kind::button) {
        deliver(*window, c, Event::click);
    }
}

void timerExpired(ElementId timer) {
    Window* window = nullptr;
    Component* c = componentOfElement(timer, &window);
    // An expiry that was already on its way when the timer was cancelled is not an event.
    if (c != nullptr && c->entry->kind == Kind::timer && c->armed) {
        deliver(*window, c, Event::tick);
    }
}

void focusChanged(ElementId element, bool gained) {
    Window* window = nullptr;
    Component* c = componentOfElement(element, &window);
    if (c == nullptr) {
        return;
    }
    if (gained) {
        window->lastFocus = element;
    }
    deliver(*window, c, gained ? Event::gotFocus : Event::lostFocus);
}

void windowDestroyed(ElementId element) {
    Window* window = windowOfElement(element);
    if (window == nullptr || window->element != element) {
        return;
    }
    // The timers go with their elements.
    for (Component& c : window->components) {
        if (c.armed) {
            state().platform->cancelTimer(c.element);
            c.armed = false;
        }
        c.exists = false;
    }
    window->open = false;
    const bool anyOpen = std::any_of(state().windows.begin(), state().windows.end(),
                                     [](const Window& w) { return w.open; });
    if (!anyOpen && state().loopRunning) {
        state().platform->postQuit(0);
    }
}

} // namespace input
} // namespace rt

void initRuntime() {
    State& s = state();
    if (s.initialised) {
        return;
    }
    s.initialised = true;
    reserveEmergencyMemory();
    const std::span<const WindowDescription> data =
        s.overrideSet ? s.dataOverride : programWindowData();
    if (!descriptionsValid(data)) {
        reportRuntimeError(msg::kBadWindowData, 0, 0, 0);
    }
    s.descriptions = data;
}

void registerExitRoutine(Routine routine) {
    if (routine == nullptr) {
        return;
    }
    auto& routines = state().exitRoutines;
    if (std::find(routines.begin(), routines.end(), routine) == routines.end()) {
        routines.push_back(routine);
    }
}

void loadStartupWindow(std::uint32_t windowId) {
    State& s = state();
    const WindowDescription* description = findDescription(windowId);
    if (description == nullptr) {
        failStartup(windowId);
    }
    if (findOpenWindow(windowId) != nullptr) {
        return; // already on screen
    }
    Platform& p = platform();
    const Entry& windowEntry = description->entries.front();

    // Nothing a window or component raises while it is being built reaches the program.
    ++s.eventsSuspended;
    Window window;
    window.description = description;
    window.element = newElement({windowId, 0});
    const Rect outer = placementOf(windowEntry, p.screenSize());
    if (!p.createWindow(window.element, lookOf(windowEntry.window), outer)) {
        failStartup(windowId);
    }
    // Some systems add or take away frame pixels; the outer size is what the description says.
    if (p.outerSize(window.element) != Size{outer.width, outer.height}) {
        p.setOuterRect(window.element, outer);
    }

    for (std::size_t i = 1; i < description->entries.size(); ++i) {
        const Entry& entry = description->entries[i];
        Component c;
        c.entry = &entry;
        c.listIndex = i;
        c.disabled = entry.flags.disabled;
        c.element = newElement({windowId, entry.id});
        const Rect place{entry.left, entry.top, entry.width, entry.height};
        bool created = false;
        switch (entry.kind) {
        case Kind::button:
            c.text = entry.button.caption;
            created = p.createButton(window.element, c.element, place, c.text, c.disabled);
            break;
        case Kind::editBox:
            c.text = entry.editBox.content;
            created = p.createEditBox(window.element, c.element, place, c.text, c.disabled);
            break;
        case Kind::timer:
            created = p.createTimer(window.element, c.element);
            break;
        case Kind::window:
            break;
        }
        if (!created) {
            failStartup(windowId);
        }
        c.exists = true;
        window.components.push_back(std::move(c));
    }
    s.windows.push_back(std::move(window));
    Window& built = s.windows.back();
    built.open = true;
    for (Component& c : built.components) {
        if (c.entry->kind == Kind::timer) {
            applyPeriod(c, c.entry->timer.period); // a timer created with a period arms itself
        }
    }
    for (const Component& c : built.components) {
        if (c.entry->flags.visible && c.entry->kind != Kind::timer) {
            p.showElement(c.element);
        }
    }
    --s.eventsSuspended;
    p.showWindow(built.element);
}

void runMessageLoop() {
    State& s = state();
    s.loopRunning = true;
    const bool anyOpen =
        std::any_of(s.windows.begin(), s.windows.end(), [](const Window& w) { return w.open; });
    if (!anyOpen) {
        return;
    }
    platform().runLoop();
}

void endProgram(std::uint32_t /*exitCode*/) {
    State& s = state();
    ++s.eventsSuspended;
    s.ending = true;
    s.descriptions = {};
    // Taken out before they run, so that each runs at most once even if one of them ends up
    // here again.
    std::vector<Routine> routines = std::move(s.exitRoutines);
    s.exitRoutines.clear();
    for (Routine routine : routines) {
        routine();
    }
    releaseEmergencyMemory();
}

void writeProperty(ComponentRef component, Property property, ConstText value) {
    const Target t = writeTarget(component);
    Component* c = t.component;
    const bool fits =
        c != nullptr && ((property == Property::content && c->entry->kind == Kind::editBox) ||
                         (property == Property::caption && c->entry->kind == Kind::button));
    if (!fits) {
        reportRuntimeError(msg::kNoSuchProperty, 0, component.windowId, component.componentId);
    }
    if (!c->exists) {
        reportRuntimeError(msg::kElementMissing, 0, component.windowId, component.componentId);
    }
    // The component keeps its own copy; the caller may free its text as soon as this returns.
    c->text.assign(value != nullptr ? value : "");
    platform().setText(c->element, c->text);
    if (property == Property::content) {
        deliver(*t.window, c, Event::contentChanged);
    }
}

void writeProperty(ComponentRef component, Property property, std::int32_t value) {
    const Target t = writeTarget(component);
    Component* c = t.component;
    if (property == Property::disabled) {
        const bool disabled = value != 0;
        if (c == nullptr) {
            platform().setEnabled(t.window->element, !disabled);
            return;
        }
        c->disabled = disabled;
        if (c->exists) {
            platform().setEnabled(c->element, !disabled);
        }
        return;
    }
    if (property != Property::period || c == nullptr || c->entry->kind != Kind::timer) {
        reportRuntimeError(msg::kNoSuchProperty, 0, component.windowId, component.componentId);
    }
    if (!c->exists) {
        reportRuntimeError(msg::kElementMissing, 0, component.windowId, component.componentId);
    }
    applyPeriod(*c, value);
}

namespace rt::testing {

void resetRuntime() {
    Platform* attached = state().platform;
    state() = State{};
    state().platform = attached;
    elementTable().clear();
    observer() = nullptr;
    releaseEmergencyMemory();
}

void overrideWindowData(std::span<const WindowDescription> data) {
    state().dataOverride = data;
    state().overrideSet = true;
}

void clearWindowDataOverride() {
    state().dataOverride = {};
    state().overrideSet = false;
}

std::uint32_t eventsSuspended() {
    return state().eventsSuspended;
}
bool loopRunning() {
    return state().loopRunning;
}
std::size_t exitRoutineCount() {
    return state().exitRoutines.size();
}
void setDeliveryObserver(DeliveryObserver o) {
    observer() = std::move(o);
}

} // namespace rt::testing
