#include "timing/control.h"

#include "timing/texts.h"
#include "ui/main_window.h"

namespace {
constexpr std::int32_t kOneSecond = 1000;
inline constexpr PaddedText kCaptionRunning{"\xd5\xfd\xd4\xda\xbc\xc6\xca\xb1"};  // 正在计时
inline constexpr PaddedText kCaptionContinue{"\xbc\xcc\xd0\xf8\xbc\xc6\xca\xb1"}; // 继续计时
} // namespace

void onStartClicked() {
    writeProperty(时钟1, Property::period, kOneSecond);
    writeProperty(按钮1, Property::caption, kCaptionRunning);
    writeProperty(按钮1, Property::disabled, 1);
    writeProperty(按钮2, Property::disabled, 0);
}

void onPauseClicked() {
    writeProperty(时钟1, Property::period, 0);
    writeProperty(按钮1, Property::caption, kCaptionContinue);
    writeProperty(按钮1, Property::disabled, 0);
    writeProperty(按钮2, Property::disabled, 1);
}
