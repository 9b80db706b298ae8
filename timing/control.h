// Start and pause. The control keeps no state of its own: it is the state of 时钟1's period and
// the two buttons. Every call makes the same four writes, so a repeated click changes nothing.
#pragma once

void onStartClicked();
void onPauseClicked();
