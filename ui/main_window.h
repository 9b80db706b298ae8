// The main window's components and the properties the program writes to them.
//
//   编辑框1  edit box   content (text)             written by onTick
//   时钟1    timer      period (ms, 0 stops)       written by onStartClicked, onPauseClicked
//   按钮1    button     caption (text), disabled   written by onStartClicked, onPauseClicked
//   按钮2    button     disabled                   written by onStartClicked, onPauseClicked
#pragma once

#include "runtime/runtime.h"

#include <cstdint>

inline constexpr std::uint32_t kMainWindowId = 1;

namespace entry_id {
inline constexpr std::uint32_t kWindow = 100;
inline constexpr std::uint32_t k按钮2 = 101;
inline constexpr std::uint32_t k时钟1 = 102;
inline constexpr std::uint32_t k按钮1 = 103;
inline constexpr std::uint32_t k编辑框1 = 104;
} // namespace entry_id

inline constexpr ComponentRef 按钮2{kMainWindowId, entry_id::k按钮2};
inline constexpr ComponentRef 时钟1{kMainWindowId, entry_id::k时钟1};
inline constexpr ComponentRef 按钮1{kMainWindowId, entry_id::k按钮1};
inline constexpr ComponentRef 编辑框1{kMainWindowId, entry_id::k编辑框1};
