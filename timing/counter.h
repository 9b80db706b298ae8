// The elapsed-time counter and its readout. Each periodic event of 时钟1 counts as exactly one
// second; no clock is read. The readout is rebuilt whole on every tick.
#pragma once

#include "runtime/runtime.h"

#include <cstdint>

extern std::int32_t seconds;
extern std::int32_t minutes;
extern Text secondsText;
extern Text minutesText;
extern std::int32_t hours;
extern Text hoursText;

void onTick();
// The exit routine: frees the field texts the latest tick left.
void releaseTexts();
