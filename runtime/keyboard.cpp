// The window's keyboard rules, seen before the focused component sees a key, and its focus memory.
#include "runtime/core_state.h"

#include <algorithm>

namespace rt::detail {

namespace {

bool isTabStop(const Component& c) {
    return c.exists && c.entry->kind != Kind::timer && c.entry->flags.visible &&
           c.entry->flags.tabStop && !c.disabled;
}

// Moves the focus from the focused component to the next (or previous) tab stop, wrapping.
void moveFocus(const Window& window, const Component& from, bool backwards) {
    const std::vector<const Component*> stops = tabStops(window);
    const auto at = std::find(stops.begin(), stops.end(), &from);
    if (stops.empty() || at == stops.end()) {
        if (!stops.empty()) {
            state().platform->setFocus(stops.front()->element);
        }
        return;
    }
    const std::size_t n = stops.size();
    const std::size_t i = static_cast<std::size_t>(at - stops.begin());
    const std::size_t next = backwards ? (i + n - 1) % n : (i + 1) % n;
    state().platform->setFocus(stops[next]->element);
}

const Component* defaultButton(const Window& window) {
    for (const Component& c : window.components) {
        if (c.entry->kind == Kind::button && c.entry->button.buttonType == 1 && c.exists &&
            !c.disabled) {
            return &c;
        }
    }
    return nullptr;
}

} // namespace

// Ordered by tab-order key, smallest first; equal keys come in the reverse of the list order.
std::vector<const Component*> tabStops(const Window& window) {
    std::vector<const Component*> stops;
    for (const Component& c : window.components) {
        if (isTabStop(c)) {
            stops.push_back(&c);
        }
    }
    std::sort(stops.begin(), stops.end(), [](const Component* a, const Component* b) {
        if (a->entry->tabKey != b->entry->tabKey) {
            return a->entry->tabKey < b->entry->tabKey;
        }
        return a->listIndex > b->listIndex;
    });
    return stops;
}

} // namespace rt::detail

namespace rt::input {

using namespace rt::detail;

bool key(ElementId target, Key key, Modifiers modifiers) {
    Window* window = nullptr;
    Component* focused = componentOfElement(target, &window);
    if (window == nullptr) {
        window = windowOfElement(target);
    }
    if (window == nullptr || state().ending) {
        return false;
    }
    if (focused != nullptr && focused->disabled) {
        return false; // keys aimed at a disabled component are left alone
    }
    const WindowSettings& settings = window->description->entries.front().window;
    const bool plain = modifiers == kNoModifier;
    switch (key) {
    case Key::tab:
        if (!plain && modifiers != kShift) {
            return false;
        }
        if (focused != nullptr) {
            moveFocus(*window, *focused, modifiers == kShift);
        }
        return true;
    case Key::escape:
        if (!plain || !settings.escCloses) {
            return false;
        }
        state().platform->closeWindow(window->element);
        return true;
    case Key::enter:
        if (!plain) {
            return false;
        }
        if (settings.enterMovesFocus) {
            if (focused != nullptr) {
                moveFocus(*window, *focused, false);
            }
        } else if (const Component* button = defaultButton(*window)) {
            deliver(*window, button, Event::click);
        }
        return true; // otherwise Enter does nothing
    case Key::f1:
        return plain; // help is off: F1 does nothing
    case Key::space:
    case Key::other:
        return false;
    }
    return false;
}

void windowActivated(ElementId element) {
    Window* window = windowOfElement(element);
    if (window == nullptr || window->element != element) {
        return;
    }
    const Component* back = componentOfElement(window->rememberedFocus);
    window->rememberedFocus = 0;
    if (back != nullptr && back->exists && !back->disabled) {
        state().platform->setFocus(back->element);
        return;
    }
    // No component had the focus: it goes to the first tab stop.
    if (state().platform->focusedElement(window->element) == 0) {
        const std::vector<const Component*> stops = tabStops(*window);
        if (!stops.empty()) {
            state().platform->setFocus(stops.front()->element);
        }
    }
}

void windowDeactivated(ElementId element) {
    Window* window = windowOfElement(element);
    if (window == nullptr || window->element != element) {
        return;
    }
    window->rememberedFocus = state().platform->focusedElement(window->element);
}

} // namespace rt::input
