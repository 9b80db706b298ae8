// The window-and-component run time, as the program sees it.
//
// What it owns: the heap behind texts, the windows built from the program's window descriptions,
// their components and the stored copies of captions and contents, the exit routines, and the one
// fatal error report. Everything runs on the process's one thread.
//
// Who calls it: the program's start-up (initRuntime, registerExitRoutine, loadStartupWindow,
// runMessageLoop), its handlers (writeProperty and the text operations) and the host entry point
// of each back end (endProgram). Events reach the program's handlers only from inside
// runMessageLoop, one at a time, and never while events are suspended (a window being built, a
// fatal report on screen, the end under way): those events are dropped, not queued.
//
// Failures never come back to the caller: a heap request that cannot be served, a window that
// cannot be loaded or a write to a window that is not loaded shows the error report and ends the
// process with exit code 4294967295.
//
//     initRuntime();
//     registerExitRoutine(releaseTexts);
//     loadStartupWindow(kMainWindowId);
//     runMessageLoop();
#pragma once

#include <cstdint>

// A NUL-terminated GBK byte string; null stands for the empty text. Texts made by allocText,
// intToText or the program's text routines are owned by whoever received them and go back with
// freeText. The storage of every text the run time hands out is padded with NULs to a whole
// number of 4-byte words, so a scan may read the whole word that holds the terminating NUL.
using Text = char*;
using ConstText = const char*;

using Routine = void (*)();

// Names a component of a window: the window description's identifier and the component entry's
// identifier (0 names the window itself).
struct ComponentRef {
    std::uint32_t windowId;
    std::uint32_t componentId;
    friend constexpr bool operator==(ComponentRef, ComponentRef) = default;
};

// The properties the program writes. content and caption take a text; period (milliseconds,
// 0 stops) and disabled (nonzero is true) take an integer.
enum class Property : std::uint8_t { content, caption, period, disabled };

void initRuntime();
void registerExitRoutine(Routine routine);
void loadStartupWindow(std::uint32_t windowId);
void runMessageLoop();
void endProgram(std::uint32_t exitCode);
[[noreturn]] void reportRuntimeError(ConstText message, std::int32_t errorCode,
                                     std::uint32_t windowId, std::uint32_t componentId);

// Each write has taken full effect when it returns.
void writeProperty(ComponentRef component, Property property, ConstText value);
void writeProperty(ComponentRef component, Property property, std::int32_t value);

// Never null: a request the heap cannot serve ends the program through the error report.
Text allocText(std::int32_t byteCount);
// Ignores null and anything the heap did not hand out (the program's constant texts).
void freeText(ConstText text);
// The value as "%d" writes it.
Text intToText(std::int32_t value);
