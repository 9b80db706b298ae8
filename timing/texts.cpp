#include "timing/texts.h"

#include <cstring>

std::int32_t textLength(ConstText text) {
    if (text == nullptr) {
        return 0;
    }
    const char* p = text;
    // Single bytes up to a word boundary.
    while (reinterpret_cast<std::uintptr_t>(p) % 4 != 0) {
        if (*p == '\0') {
            return static_cast<std::int32_t>(p - text);
        }
        ++p;
    }
    // Then whole words. A word whose bytes may hold a NUL is checked byte by byte, so GBK lead
    // and trail bytes (0x80 to 0xFE) never end the count early. memcpy is the defined way to
    // read four chars as one integer; it compiles to a single load.
    for (;; p += 4) {
        std::uint32_t word;
        std::memcpy(&word, p, sizeof word);
        if (((word - 0x01010101u) & ~word & 0x80808080u) != 0) {
            for (int i = 0; i < 4; ++i) {
                if (p[i] == '\0') {
                    return static_cast<std::int32_t>(p + i - text);
                }
            }
        }
    }
}

Text joinPieces(std::int32_t count, const ConstText* pieces, std::int32_t* lengths) {
    std::int32_t total = 1; // the NUL
    for (std::int32_t i = 0; i < count; ++i) {
        lengths[i] = textLength(pieces[i]);
        total += lengths[i];
    }
    Text result = allocText(total);
    char* out = result;
    for (std::int32_t i = 0; i < count; ++i) {
        if (lengths[i] > 0) {
            std::memcpy(out, pieces[i], static_cast<std::size_t>(lengths[i]));
            out += lengths[i];
        }
    }
    *out = '\0';
    return result;
}
