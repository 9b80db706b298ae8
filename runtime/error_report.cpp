// The fatal error report: its text, its box and the end of the process that follows.
// The text is built in static storage, never on the heap, since a refused heap request is one of
// the things it reports.
#include "runtime/core_state.h"
#include "runtime/testing.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace rt::detail {

namespace {

constexpr std::uint32_t kFailureExitCode = 4294967295u;
// The same code where only an int can carry it: all bits set on Windows, 255 on POSIX.
constexpr int kFailureStatus = -1;

class ReportBuilder {
  public:
    ReportBuilder(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {
        out_[0] = '\0';
    }
    // Appends what fits; the text is cut, never overrun.
    void put(ConstText s) {
        for (; s != nullptr && *s != '\0' && length_ + 1 < capacity_; ++s) {
            out_[length_++] = *s;
        }
        out_[length_] = '\0';
    }
    void putInt(std::int32_t value) {
        char digits[12];
        std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
        put(digits);
    }
    void line(ConstText s) {
        put(s);
        put("\r\n");
    }
    [[nodiscard]] std::size_t length() const { return length_; }

  private:
    char* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

void quoted(ReportBuilder& b, ConstText tag) {
    b.put("\"");
    b.put(tag);
    b.line("\"");
}

std::size_t buildReport(char* out, std::size_t capacity, ConstText message, std::int32_t errorCode,
                        std::uint32_t windowId, std::uint32_t componentId) {
    ReportBuilder b(out, capacity);
    b.line(msg::kRuntimeError);
    if (errorCode != 0) {
        b.line("");
        b.put(msg::kErrorCode);
        b.putInt(errorCode);
        b.line("");
    }
    if (message != nullptr && message[0] != '\0') {
        b.line("");
        b.put(msg::kErrorMessage);
        b.line(message);
    }
    b.line("");
    b.putInt(static_cast<std::int32_t>(windowId));
    b.put(", ");
    b.putInt(static_cast<std::int32_t>(componentId));
    b.line("");
    if (windowId != 0) {
        const WindowDescription* description = findDescription(windowId);
        if (description == nullptr) {
            b.line(msg::kNoSuchWindow);
        } else {
            quoted(b, description->entries.front().tag);
            const Entry* component = nullptr;
            for (const Entry& entry : description->entries) {
                if (componentId == 0 ? &entry == &description->entries.front()
                                     : entry.id == componentId) {
                    component = &entry;
                    break;
                }
            }
            if (component == nullptr) {
                b.line(msg::kNoSuchComponent);
            } else {
                quoted(b, component->tag);
            }
        }
    }
    return b.length();
}

} // namespace

} // namespace rt::detail

using namespace rt::detail;

void reportRuntimeError(ConstText message, std::int32_t errorCode, std::uint32_t windowId,
                        std::uint32_t componentId) {
    State& s = state();
    // From here on no event reaches the program, the box's own wait included.
    ++s.eventsSuspended;
    if (s.reporting || s.platform == nullptr) {
        // A failure while reporting a failure: there is no one left to tell.
        if (s.platform != nullptr) {
            s.platform->exitProcess(kFailureExitCode);
        }
        std::_Exit(kFailureStatus);
    }
    s.reporting = true;
    static char text[4096];
    buildReport(text, sizeof text, message, errorCode, windowId, componentId);
    releaseEmergencyMemory(); // room for the box itself
    s.platform->showErrorBox(text);
    s.exitRoutines.clear(); // the exit routines do not run after a report
    endProgram(kFailureExitCode);
    s.platform->exitProcess(kFailureExitCode);
    std::_Exit(kFailureStatus); // a back end's exitProcess does not come back
}

namespace rt::testing {

std::string formatReport(ConstText message, std::int32_t errorCode, std::uint32_t windowId,
                         std::uint32_t componentId) {
    static char text[4096];
    const std::size_t n = buildReport(text, sizeof text, message, errorCode, windowId, componentId);
    return {text, n};
}

} // namespace rt::testing
