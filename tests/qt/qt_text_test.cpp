// GBK texts at the boundary with Qt: exact both ways for what GBK holds, and a bad byte costs
// one replacement character, never the rest of the text.
#include "runtime/qt/qt_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using rt::qt::fromGbk;
using rt::qt::toGbk;

struct RoundTrip {
    const char* gbk;
    const char16_t* unicode;
};

TEST(GbkText, ConvertsExactlyBothWays) {
    const RoundTrip cases[] = {
        {"", u""},
        {"Velmora", u"Velmora"},
        {"\xbf\xaa\xca\xbc\xbc\xc6\xca\xb1", u"开始计时"},
        {"\xd5\xfd\xd4\xda\xbc\xc6\xca\xb1", u"正在计时"},
        {"00\xa3\xba"
         "01\xa3\xba"
         "05",
         u"00：01：05"},
        {"\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n", u"运行时出错!\r\n"},
        {"\x80", u"€"}, // code page 936's one single-byte addition to GBK
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.gbk);
        const QString expected = QString::fromUtf16(c.unicode);
        EXPECT_EQ(fromGbk(c.gbk), expected);
        EXPECT_EQ(toGbk(expected), c.gbk);
    }
}

TEST(GbkText, ABadByteBecomesOneReplacementAndTheRestSurvives) {
    const struct {
        std::string gbk;
        std::u16string unicode;
    } cases[] = {
        {"\xff", u"\uFFFD"},
        {"a\xff"
         "b",
         u"a\uFFFDb"},
        {"\xbf\xaa\xbf", u"开\uFFFD"},                        // a lead byte cut off at the end
        {std::string("x\0y", 3), std::u16string(u"x\0y", 3)}, // the view's length counts, not a NUL
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fromGbk(c.gbk), QString::fromStdU16String(c.unicode)) << c.gbk;
    }
}

TEST(GbkText, ACharacterOutsideGbkBecomesOneQuestionMark) {
    EXPECT_EQ(toGbk(QString::fromUtf16(u"a\U0001F600b")), "a?b");
    EXPECT_EQ(toGbk(QString::fromUtf16(u"\u0E01\u5f00")), "?\xbf\xaa"); // Thai, then 开
}

} // namespace
