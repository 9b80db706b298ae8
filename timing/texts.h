// The program's two text routines and its constant texts.
#pragma once

#include "runtime/runtime.h"

#include <cassert>
#include <cstddef>
#include <cstdint>

// A constant text in the program's data, padded with NULs to whole 4-byte words and word-aligned,
// so that textLength's word scan stays inside it. freeText leaves these alone.
template <std::size_t N> struct alignas(4) PaddedText {
    char bytes[(N + 3) / 4 * 4]{};
    constexpr PaddedText(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i) {
            bytes[i] = text[i];
        }
    }
    constexpr operator ConstText() const { return bytes; }
};

inline constexpr PaddedText kZeroText{"0"};
inline constexpr PaddedText kSeparator{"\xa3\xba"}; // ：

// The number of bytes before the first NUL; 0 for null. Scans a word at a time once aligned, so
// the text's storage must extend to the end of the word that holds its NUL: true of every text
// from the run time's heap and of every PaddedText.
std::int32_t textLength(ConstText text);

// A new text holding the pieces one after the other, owned by the caller; never null. A null
// piece counts as empty. Each piece is measured once.
Text joinPieces(std::int32_t count, const ConstText* pieces, std::int32_t* lengths);

template <typename... Pieces> Text joinTexts(std::int32_t count, Pieces... pieces) {
    static_assert(sizeof...(Pieces) >= 1, "joinTexts takes at least one piece");
    const ConstText array[] = {static_cast<ConstText>(pieces)...};
    std::int32_t lengths[sizeof...(Pieces)];
    assert(count == static_cast<std::int32_t>(sizeof...(Pieces)));
    return joinPieces(count, array, lengths);
}
