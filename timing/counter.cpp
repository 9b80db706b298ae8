#include "timing/counter.h"

#include "timing/texts.h"
#include "ui/main_window.h"

std::int32_t seconds = 0;
std::int32_t minutes = 0;
Text secondsText = nullptr;
Text minutesText = nullptr;
std::int32_t hours = 0;
Text hoursText = nullptr;

namespace {

// At least two digits: 0 to 9 get a leading "0"; 100 and above keep all their digits.
Text fieldText(std::int32_t value) {
    if (value <= 9) {
        Text digits = intToText(value);
        Text field = joinTexts(2, kZeroText, digits);
        freeText(digits);
        return field;
    }
    return intToText(value);
}

// The new text is complete before the old one goes.
void replaceField(Text& held, std::int32_t value) {
    Text fresh = fieldText(value);
    freeText(held);
    held = fresh;
}

} // namespace

void onTick() {
    seconds = seconds + 1;
    if (seconds == 60) {
        minutes = minutes + 1;
        seconds = 0;
        if (minutes == 60) {
            hours = hours + 1;
            minutes = 0;
        }
    }
    replaceField(secondsText, seconds);
    replaceField(minutesText, minutes);
    replaceField(hoursText, hours);
    Text readout = joinTexts(5, hoursText, kSeparator, minutesText, kSeparator, secondsText);
    writeProperty(编辑框1, Property::content, readout);
    freeText(readout);
}

void releaseTexts() {
    if (secondsText != nullptr) {
        freeText(secondsText);
    }
    if (minutesText != nullptr) {
        freeText(minutesText);
    }
    if (hoursText != nullptr) {
        freeText(hoursText);
    }
}
