// A simulated windowing system with a virtual clock. It keeps real element state (texts, enabled,
// shown, focus, armed timers) and raises events through the same rt::input door as a real back
// end, so the core and the program cannot tell it from one. Tests drive it: advance the clock,
// click, press keys, close the window, and read what each element shows.
//
// The loop: runLoop() runs the test's script (the user's actions) and then expects the quit
// request; a script that leaves the window open fails the test instead of hanging it. Ending the
// process throws SimProcessExit, which the test catches.
#pragma once

#include "runtime/platform.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rt::sim {

struct SimProcessExit {
    std::uint32_t code;
};

// A back-end call as the simulated platform saw it, for expected-sequence tables.
struct Call {
    std::string op;      // "create", "show", "enable", "text", "arm", "cancel", "focus", ...
    ComponentRef target; // {0, 0} where the call names no component
    std::string value;   // the text, the period, "1"/"0", or ""
    friend bool operator==(const Call&, const Call&) = default;
};

class SimPlatform final : public Platform {
  public:
    enum class ElementKind : std::uint8_t { window, button, editBox, timer };

    struct Element {
        ElementKind kind = ElementKind::window;
        ElementId window = 0;
        Rect rect{};
        std::string text;
        bool enabled = true;
        bool shown = false;
        bool alive = true;
        bool armed = false;
        std::int32_t period = 0;
        std::int64_t nextDueMs = 0;
    };

    // --- the test's controls -----------------------------------------------------------------
    std::int64_t now() const { return nowMs_; }
    // Moves the virtual clock forward, raising every expiry that falls due on the way, in order.
    void advance(std::int64_t ms);
    // A mouse click: reaches the button only if it is alive, shown and enabled.
    void click(ComponentRef button);
    // A key press on whatever has the focus (the window when no component has it).
    void pressKey(Key key, Modifiers modifiers = kNoModifier);
    void pressCloseBox(ComponentRef window);
    void deactivate(ComponentRef window);
    void activate(ComponentRef window);

    // What the user sees.
    const Element* element(ComponentRef component) const;
    std::string textOf(ComponentRef component) const;
    bool enabledOf(ComponentRef component) const;
    std::optional<ComponentRef> focus() const;
    bool armedOf(ComponentRef timer) const;

    // Every back-end call so far, and a way to start a fresh record.
    const std::vector<Call>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

    // The user's actions while the loop runs.
    std::function<void()> script;
    // Runs while the error box is up (the box's own wait dispatches events).
    std::function<void()> whileErrorBoxShown;
    std::vector<std::string> errorBoxes;

    Size screen{1920, 1080};
    bool refuseWindowCreation = false;
    std::optional<ComponentRef> refuseComponentCreation;
    // Frame pixels the simulated window manager adds on its own to the outer size at creation.
    Size extraFrame{0, 0};
    std::optional<std::int32_t> quitCode;

    // --- Platform ------------------------------------------------------------------------------
    Size screenSize() override { return screen; }
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

    WindowLook lastLook{};

  private:
    bool create(ElementId id, Element e, ComponentRef ref);
    bool createControl(ElementKind kind, ElementId window, ElementId id, Rect place,
                       std::string_view text, bool disabled);
    void record(std::string op, ElementId element, std::string value = {});
    Element* find(ElementId id);
    const Element* find(ElementId id) const;

    std::map<ElementId, Element> elements_;
    std::vector<Call> calls_;
    std::int64_t nowMs_ = 0;
    ElementId focus_ = 0;
    bool active_ = false;
};

} // namespace rt::sim
