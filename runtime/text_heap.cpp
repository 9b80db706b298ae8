// The heap behind texts. Every block is padded with NULs to a whole number of 4-byte words and
// starts word-aligned, so a word-at-a-time scan of a text never reads outside its block.
// The heap remembers what it handed out: freeText ignores anything else (the program's constant
// texts, or a text freed twice), and a test can ask how many texts are still live.
#include "runtime/core_state.h"
#include "runtime/testing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace rt::detail {

namespace {

struct Heap {
    std::vector<void*> live;
    std::int32_t budget = -1; // requests still to be served; negative: no limit
    void* reserve = nullptr;
};

Heap& heap() {
    static Heap h;
    return h;
}

constexpr std::size_t kEmergencyBytes = std::size_t{256} * 1024;

[[noreturn]] void refuse(std::int32_t byteCount) {
    // The message is built in place: the heap has just said no.
    static char message[64];
    char* out = message;
    auto put = [&out](const char* s) {
        const std::size_t n = std::strlen(s);
        std::memcpy(out, s, n);
        out += n;
    };
    put(msg::kAllocFailedBefore);
    char digits[12];
    const int n = std::snprintf(digits, sizeof digits, "%d", static_cast<int>(byteCount));
    put(n > 0 ? digits : "?");
    put(msg::kAllocFailedAfter);
    *out = '\0';
    reportRuntimeError(message, 0, 0, 0);
}

} // namespace

void reserveEmergencyMemory() {
    if (heap().reserve == nullptr) {
        heap().reserve = std::malloc(kEmergencyBytes);
    }
    heap().live.reserve(64);
}

void releaseEmergencyMemory() {
    std::free(heap().reserve);
    heap().reserve = nullptr;
}

} // namespace rt::detail

using namespace rt::detail;

Text allocText(std::int32_t byteCount) {
    Heap& h = heap();
    if (byteCount < 0) {
        refuse(byteCount);
    }
    if (h.budget == 0) {
        refuse(byteCount);
    }
    const std::size_t padded =
        std::max<std::size_t>(4, (static_cast<std::size_t>(byteCount) + 3) & ~std::size_t{3});
    void* block = std::calloc(padded, 1);
    if (block == nullptr) {
        refuse(byteCount);
    }
    try {
        h.live.push_back(block);
    } catch (const std::bad_alloc&) {
        std::free(block);
        refuse(byteCount);
    }
    if (h.budget > 0) {
        --h.budget;
    }
    return static_cast<Text>(block);
}

void freeText(ConstText text) {
    if (text == nullptr) {
        return;
    }
    auto& live = heap().live;
    const auto it = std::find(live.begin(), live.end(), static_cast<const void*>(text));
    if (it == live.end()) {
        return; // constant data, or not ours
    }
    std::free(*it);
    *it = live.back();
    live.pop_back();
}

Text intToText(std::int32_t value) {
    char digits[12];
    // Work in the unsigned domain so that the most negative value has a magnitude too.
    std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    const std::size_t length = n + (value < 0 ? 1 : 0);
    Text text = allocText(static_cast<std::int32_t>(length + 1));
    std::size_t at = 0;
    if (value < 0) {
        text[at++] = '-';
    }
    while (n > 0) {
        text[at++] = digits[--n];
    }
    text[at] = '\0';
    return text;
}

namespace rt::testing {

void setAllocationBudget(std::int32_t requests) {
    heap().budget = requests;
}
std::size_t liveTextCount() {
    return heap().live.size();
}

} // namespace rt::testing
