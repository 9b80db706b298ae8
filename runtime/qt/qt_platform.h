// The Qt 6 Widgets back end: a QWidget top level per window, a QPushButton per button, an
// EditBox (a read-only QLineEdit) per edit box, and a QTimer per timer component.
//
// It creates, shows, enables and labels widgets, arms timers, runs the loop and shows the error
// box; every rule (placement, tab order, the keyboard, focus memory) is the core's. One event
// filter on the application sees every event before the widget it is aimed at and reports what
// the core needs through rt::input: key presses (eaten when the core consumes them), focus
// changes, activation, and the close box.
//
// Requires a QApplication that outlives it; everything runs on the GUI thread.
#pragma once

#include "runtime/periodic_schedule.h"
#include "runtime/platform.h"

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <map>
#include <optional>

class QEventLoop;
class QKeyEvent;
class QTimer;

namespace rt::qt {

class QtPlatform final : public QObject, public Platform {
  public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // The widget that shows an element, or null (timers have none; destroyed elements neither).
    QWidget* widget(ElementId element) const;
    // The code of the quit request, once there was one.
    std::optional<std::int32_t> quitCode() const { return quitCode_; }

    // --- Platform ------------------------------------------------------------------------------
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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Kind : std::uint8_t { window, button, editBox, timer };

    struct Element {
        Kind kind = Kind::window;
        ElementId window = 0;
        QPointer<QWidget> widget; // windows, buttons and edit boxes
        // Windows: the outer rectangle asked for, and the frame it was last fitted to.
        Rect outer{};
        bool fixedSize = true;
        QMargins fittedFrame{};
        bool placed = false;
        // Timers: the QTimer lives as a child of the window's widget.
        QPointer<QTimer> timer;
        PeriodicSchedule schedule{};
        bool armed = false;
    };

    Element* find(ElementId id);
    const Element* find(ElementId id) const;
    ElementId elementOfObject(const QObject* object) const;
    bool addComponent(ElementId window, ElementId id, Element&& element, Rect place, bool disabled);

    void fitFrame(Element& window, bool force = false);
    void onTimerFired(ElementId timer);
    void startTimerFor(Element& timer);
    bool onKeyPress(ElementId receiver, QKeyEvent* event);
    void destroyWindow(ElementId window);

    std::map<ElementId, Element> elements_;
    std::map<const QObject*, ElementId> byObject_;
    QEventLoop* loop_ = nullptr;
    std::optional<std::int32_t> quitCode_;
};

} // namespace rt::qt
