// textLength and joinTexts: the word scan must agree with a byte scan everywhere, GBK bytes
// included, and never read outside the text's storage (run under ASan, UBSan and valgrind).
#include "support/sim_fixture.h"

#include "timing/texts.h"

#include <cstring>

using namespace velmora_test;

namespace {

TEST(TextLength, AgreesWithAByteScanForEveryAlignmentAndContent) {
    // Bytes that matter to a word scan: ASCII, the high-bit bytes GBK uses for lead and trail
    // bytes (0x80 to 0xFE), 0xFF and 0x01 (the borrow edge of the zero-byte test).
    const unsigned char alphabet[] = {0x01, 0x30, 0x7F, 0x80, 0x81, 0xA3, 0xBA, 0xFE, 0xFF};
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (std::size_t offset = 0; offset < 4; ++offset) {
        for (std::size_t length = 0; length < 40; ++length) {
            for (int trial = 0; trial < 8; ++trial) {
                // The storage ends at the end of the word that holds the NUL, as a heap text does.
                const std::size_t end = (offset + length + 1 + 3) / 4 * 4;
                alignas(4) unsigned char storage[48];
                for (std::size_t i = 0; i < end; ++i) {
                    storage[i] = alphabet[next() % sizeof alphabet];
                }
                storage[offset + length] = 0;
                const char* text = reinterpret_cast<const char*>(storage + offset);
                ASSERT_EQ(textLength(text), static_cast<std::int32_t>(std::strlen(text)))
                    << "offset " << offset << " length " << length;
            }
        }
    }
}

TEST(TextLength, OfNullIsZero) {
    EXPECT_EQ(textLength(nullptr), 0);
}

TEST(TextLength, ReadsHeapTextsOfEverySizeInsideTheirBlocks) {
    // Exactly sized heap blocks: ASan and valgrind see any read past the padded block.
    for (std::int32_t n = 1; n < 64; ++n) {
        Text t = allocText(n);
        std::memset(t, 0xA3, static_cast<std::size_t>(n - 1));
        t[n - 1] = '\0';
        EXPECT_EQ(textLength(t), n - 1);
        freeText(t);
    }
}

TEST(JoinTexts, CopiesThePiecesInOrderAndTreatsNullAsEmpty) {
    Text a = intToText(12);
    Text joined = joinTexts(5, a, kSeparator, nullptr, kSeparator, kZeroText);
    EXPECT_STREQ(joined, "12\xa3\xba\xa3\xba"
                         "0");
    freeText(joined);
    freeText(a);
}

TEST(JoinTexts, OfEmptyPiecesIsAnEmptyTextNotNull) {
    static constexpr PaddedText kEmpty{""};
    Text empty = joinTexts(2, nullptr, kEmpty);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(textLength(empty), 0);
    freeText(empty);
}

TEST(JoinTexts, LeavesThePiecesAlone) {
    Text a = intToText(7);
    Text joined = joinTexts(2, kZeroText, a);
    EXPECT_STREQ(joined, "07");
    EXPECT_STREQ(a, "7");
    EXPECT_STREQ(kZeroText, "0");
    freeText(joined);
    freeText(a);
}

} // namespace
