#include "runtime/sim/sim_platform.h"

#include <limits>
#include <stdexcept>

namespace rt::sim {

SimPlatform::Element* SimPlatform::find(ElementId id) {
    const auto it = elements_.find(id);
    return it != elements_.end() && it->second.alive ? &it->second : nullptr;
}

const SimPlatform::Element* SimPlatform::find(ElementId id) const {
    const auto it = elements_.find(id);
    return it != elements_.end() && it->second.alive ? &it->second : nullptr;
}

void SimPlatform::record(std::string op, ElementId element, std::string value) {
    calls_.push_back({std::move(op), componentOf(element), std::move(value)});
}

bool SimPlatform::create(ElementId id, Element e, ComponentRef ref) {
    if (refuseComponentCreation && *refuseComponentCreation == ref) {
        return false;
    }
    elements_[id] = std::move(e);
    record("create", id);
    return true;
}

bool SimPlatform::createWindow(ElementId window, const WindowLook& look, Rect outer) {
    if (refuseWindowCreation) {
        return false;
    }
    lastLook = look;
    Element e;
    e.kind = ElementKind::window;
    e.window = window;
    e.rect = {outer.left, outer.top, outer.width + extraFrame.width,
              outer.height + extraFrame.height};
    e.text = look.title;
    return create(window, std::move(e), componentOf(window));
}

bool SimPlatform::createButton(ElementId window, ElementId button, Rect place,
                               std::string_view caption, bool disabled) {
    return createControl(ElementKind::button, window, button, place, caption, disabled);
}

bool SimPlatform::createEditBox(ElementId window, ElementId edit, Rect place,
                                std::string_view content, bool disabled) {
    return createControl(ElementKind::editBox, window, edit, place, content, disabled);
}

bool SimPlatform::createControl(ElementKind kind, ElementId window, ElementId id, Rect place,
                                std::string_view text, bool disabled) {
    Element e;
    e.kind = kind;
    e.window = window;
    e.rect = place;
    e.text = text;
    e.enabled = !disabled;
    return create(id, std::move(e), componentOf(id));
}

bool SimPlatform::createTimer(ElementId window, ElementId timer) {
    Element e;
    e.kind = ElementKind::timer;
    e.window = window;
    return create(timer, std::move(e), componentOf(timer));
}

Size SimPlatform::outerSize(ElementId window) {
    const Element* e = find(window);
    return e != nullptr ? Size{e->rect.width, e->rect.height} : Size{};
}

void SimPlatform::setOuterRect(ElementId window, Rect outer) {
    if (Element* e = find(window)) {
        e->rect = outer;
        record("place", window);
    }
}

void SimPlatform::showElement(ElementId element) {
    if (Element* e = find(element)) {
        e->shown = true;
        record("show", element);
    }
}

void SimPlatform::showWindow(ElementId window) {
    if (Element* e = find(window)) {
        e->shown = true;
        record("show", window);
        active_ = true;
        input::windowActivated(window);
    }
}

void SimPlatform::setEnabled(ElementId element, bool enabled) {
    Element* e = find(element);
    if (e == nullptr) {
        return;
    }
    e->enabled = enabled;
    record("enable", element, enabled ? "1" : "0");
    // Like Win32, a focused element that is disabled keeps no focus, and none moves elsewhere.
    if (!enabled && focus_ == element) {
        focus_ = 0;
        input::focusChanged(element, false);
    }
}

void SimPlatform::setText(ElementId element, std::string_view gbk) {
    if (Element* e = find(element)) {
        e->text = gbk;
        record("text", element, std::string(gbk));
    }
}

void SimPlatform::armTimer(ElementId timer, std::int32_t periodMs) {
    if (Element* e = find(timer)) {
        e->armed = true;
        e->period = periodMs;
        e->nextDueMs = nowMs_ + periodMs;
        record("arm", timer, std::to_string(periodMs));
    }
}

void SimPlatform::cancelTimer(ElementId timer) {
    if (Element* e = find(timer)) {
        e->armed = false;
        record("cancel", timer);
    }
}

void SimPlatform::setFocus(ElementId element) {
    const Element* e = find(element);
    if (e == nullptr || !e->enabled || element == focus_) {
        return;
    }
    const ElementId old = focus_;
    focus_ = element;
    record("focus", element);
    if (old != 0) {
        input::focusChanged(old, false);
    }
    input::focusChanged(element, true);
}

ElementId SimPlatform::focusedElement(ElementId window) {
    const Element* e = find(focus_);
    return e != nullptr && e->window == window && active_ ? focus_ : 0;
}

void SimPlatform::closeWindow(ElementId window) {
    if (find(window) == nullptr) {
        return;
    }
    record("close", window);
    input::windowDestroyed(window);
    for (auto& [id, e] : elements_) {
        if (id == window || e.window == window) {
            e.alive = false;
            e.armed = false;
        }
    }
    if (focus_ != 0 && find(focus_) == nullptr) {
        focus_ = 0;
    }
}

void SimPlatform::runLoop() {
    if (script) {
        script();
    }
    if (!quitCode) {
        throw std::runtime_error("the loop would never end: a window is still open");
    }
}

void SimPlatform::postQuit(std::int32_t code) {
    quitCode = code;
    record("quit", 0, std::to_string(code));
}

void SimPlatform::showErrorBox(ConstText gbkText) {
    errorBoxes.emplace_back(gbkText);
    if (whileErrorBoxShown) {
        whileErrorBoxShown();
    }
}

void SimPlatform::exitProcess(std::uint32_t code) {
    throw SimProcessExit{code};
}

// --- the test's controls ----------------------------------------------------------------------

void SimPlatform::advance(std::int64_t ms) {
    const std::int64_t until = nowMs_ + ms;
    for (;;) {
        ElementId due = 0;
        std::int64_t earliest = std::numeric_limits<std::int64_t>::max();
        for (const auto& [id, e] : elements_) {
            if (e.alive && e.armed && e.nextDueMs <= until && e.nextDueMs < earliest) {
                due = id;
                earliest = e.nextDueMs;
            }
        }
        if (due == 0) {
            break;
        }
        nowMs_ = earliest;
        Element& e = elements_[due];
        e.nextDueMs += e.period; // the schedule is absolute: it never drifts
        input::timerExpired(due);
    }
    nowMs_ = until;
}

void SimPlatform::click(ComponentRef button) {
    const ElementId id = elementOf(button);
    const Element* e = find(id);
    if (e != nullptr && e->shown && e->enabled && e->kind == ElementKind::button) {
        input::click(id);
    }
}

void SimPlatform::pressKey(Key key, Modifiers modifiers) {
    ElementId target = focus_;
    if (target == 0) {
        for (const auto& [id, e] : elements_) {
            if (e.alive && e.kind == ElementKind::window && e.shown) {
                target = id;
                break;
            }
        }
    }
    if (target == 0 || input::key(target, key, modifiers)) {
        return;
    }
    const Element* e = find(target);
    if (key == Key::space && modifiers == kNoModifier && e != nullptr &&
        e->kind == ElementKind::button && e->enabled) {
        input::click(target);
    }
}

void SimPlatform::pressCloseBox(ComponentRef window) {
    closeWindow(elementOf(window));
}

void SimPlatform::deactivate(ComponentRef window) {
    const ElementId id = elementOf(window);
    input::windowDeactivated(id);
    active_ = false;
    if (focus_ != 0) {
        const ElementId old = focus_;
        focus_ = 0;
        input::focusChanged(old, false);
    }
}

void SimPlatform::activate(ComponentRef window) {
    active_ = true;
    input::windowActivated(elementOf(window));
}

const SimPlatform::Element* SimPlatform::element(ComponentRef component) const {
    return find(elementOf(component));
}

std::string SimPlatform::textOf(ComponentRef component) const {
    const Element* e = element(component);
    return e != nullptr ? e->text : std::string{};
}

bool SimPlatform::enabledOf(ComponentRef component) const {
    const Element* e = element(component);
    return e != nullptr && e->enabled;
}

std::optional<ComponentRef> SimPlatform::focus() const {
    if (find(focus_) == nullptr) {
        return std::nullopt;
    }
    return componentOf(focus_);
}

bool SimPlatform::armedOf(ComponentRef timer) const {
    const Element* e = element(timer);
    return e != nullptr && e->armed;
}

} // namespace rt::sim
