// The text heap: intToText, padding, ownership and refusal.
#include "support/sim_fixture.h"

#include "timing/texts.h"

#include <climits>

using namespace velmora_test;

namespace {

struct IntCase {
    std::int32_t value;
    const char* text;
    // Parameters print by name: their padding bytes hold nothing worth showing.
    friend void PrintTo(const IntCase&, std::ostream* os) { *os << "IntCase"; }
};

class IntToText : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntToText, WritesWhatPercentDWrites) {
    Text t = intToText(GetParam().value);
    EXPECT_STREQ(t, GetParam().text);
    freeText(t);
}

INSTANTIATE_TEST_SUITE_P(Values, IntToText,
                         ::testing::Values(IntCase{0, "0"}, IntCase{7, "7"}, IntCase{10, "10"},
                                           IntCase{100, "100"}, IntCase{-1, "-1"},
                                           IntCase{INT32_MAX, "2147483647"},
                                           IntCase{INT32_MIN, "-2147483648"}));

TEST(TextHeap, PadsEveryBlockWithNulsToWholeWords) {
    for (std::int32_t n = 0; n < 10; ++n) {
        Text t = allocText(n);
        const std::int32_t padded = n == 0 ? 4 : (n + 3) / 4 * 4;
        for (std::int32_t i = 0; i < padded; ++i) {
            ASSERT_EQ(t[i], '\0') << "size " << n << " byte " << i;
        }
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(t) % 4, 0u);
        freeText(t);
    }
}

TEST(TextHeap, FreeIgnoresNullConstantsAndTextsAlreadyFreed) {
    const std::size_t before = rt::testing::liveTextCount();
    Text t = intToText(42);
    EXPECT_EQ(rt::testing::liveTextCount(), before + 1);
    freeText(nullptr);
    freeText(kZeroText);
    freeText(kSeparator);
    freeText(PaddedText{"literal"});
    EXPECT_EQ(rt::testing::liveTextCount(), before + 1);
    freeText(t);
    EXPECT_EQ(rt::testing::liveTextCount(), before);
    freeText(t); // a second free of the same text does nothing
    EXPECT_EQ(rt::testing::liveTextCount(), before);
}

struct Refusal {
    std::int32_t byteCount;
    const char* number;
    // Parameters print by name: their padding bytes hold nothing worth showing.
    friend void PrintTo(const Refusal&, std::ostream* os) { *os << "Refusal"; }
};

class HeapRefusal : public SimTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(HeapRefusal, ReportsTheRequestedCountAndEndsTheProcess) {
    initRuntime();
    rt::testing::setAllocationBudget(0);
    const std::uint32_t code = expectExit([&] { allocText(GetParam().byteCount); });
    EXPECT_EQ(code, 4294967295u);
    ASSERT_EQ(sim.errorBoxes.size(), 1u);
    // 分配 N 字节内存失败!
    EXPECT_EQ(sim.errorBoxes[0],
              gbk::kReportHead + "\r\n" + gbk::kMessageLabel + "\xb7\xd6\xc5\xe4 " +
                  GetParam().number +
                  " \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!\r\n\r\n0, 0\r\n");
}

INSTANTIATE_TEST_SUITE_P(Counts, HeapRefusal,
                         ::testing::Values(Refusal{12, "12"}, Refusal{0, "0"},
                                           Refusal{INT32_MAX, "2147483647"}));

TEST_F(SimTest, ANegativeByteCountIsRefusedEvenWithRoomToSpare) {
    initRuntime();
    EXPECT_EQ(expectExit([] { allocText(-5); }), 4294967295u);
    ASSERT_EQ(sim.errorBoxes.size(), 1u);
    EXPECT_NE(sim.errorBoxes[0].find("\xb7\xd6\xc5\xe4 -5 "), std::string::npos);
}

} // namespace
