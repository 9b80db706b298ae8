// Hooks for tests and test-only builds. Nothing in the program or in a shipped back end calls
// these.
#pragma once

#include "runtime/platform.h"
#include "runtime/window_description.h"

#include <cstdint>
#include <functional>
#include <span>

namespace rt::testing {

// Forgets every window, exit routine and flag, as at process start. The heap's live texts are
// kept (a test checks them itself) and the attached platform stays attached.
void resetRuntime();

// Makes initRuntime read these descriptions in place of the program's own.
void overrideWindowData(std::span<const WindowDescription> data);
void clearWindowDataOverride();

// The heap serves this many more requests and refuses the rest; a negative count lifts the limit.
void setAllocationBudget(std::int32_t requests);
// Texts handed out and not yet freed.
std::size_t liveTextCount();

std::uint32_t eventsSuspended();
bool loopRunning();
std::size_t exitRoutineCount();

// Sees every event as it reaches the gate, and whether a handler ran for it.
enum class Delivery : std::uint8_t { delivered, dropped, unbound };
using DeliveryObserver = std::function<void(ComponentRef, Event, Delivery)>;
void setDeliveryObserver(DeliveryObserver observer);

// The report text for these arguments, as the error box would show it.
std::string formatReport(ConstText message, std::int32_t errorCode, std::uint32_t windowId,
                         std::uint32_t componentId);

} // namespace rt::testing
