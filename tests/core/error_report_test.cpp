// The report text, line by line, for each combination of what a failure carries.
#include "support/sim_fixture.h"

#include "runtime/window_description.h"

using namespace velmora_test;

namespace {

const Entry kEntries[] = {
    {.id = 20, .kind = Kind::window, .tag = "\xd6\xf7\xb4\xb0\xbf\xda"}, // 主窗口
    {.id = 21, .kind = Kind::button, .tag = "go"},
};
const WindowDescription kData[] = {{.id = 3, .entries = kEntries}};

struct ReportCase {
    const char* name;
    const char* message;
    std::int32_t errorCode;
    std::uint32_t windowId, componentId;
    std::string expected;
    // Parameters print by name: their padding bytes hold nothing worth showing.
    friend void PrintTo(const ReportCase&, std::ostream* os) { *os << "ReportCase"; }
};

class ReportText : public SimTest, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportText, IsBuiltLineByLine) {
    rt::testing::overrideWindowData(kData);
    initRuntime();
    const ReportCase& c = GetParam();
    EXPECT_EQ(rt::testing::formatReport(c.message, c.errorCode, c.windowId, c.componentId),
              c.expected);
}

const std::string kHead = gbk::kReportHead;
const std::string kNoWindow =
    "\xce\xb4\xd5\xd2\xb5\xbd\xcb\xf9\xd6\xb8\xb6\xa8\xb5\xc4\xb4\xb0\xbf\xda\r\n";
const std::string kNoComponent =
    "\xce\xb4\xd5\xd2\xb5\xbd\xcb\xf9\xd6\xb8\xb6\xa8\xb5\xc4\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportText,
    ::testing::Values(
        ReportCase{"NothingButTheLocation", nullptr, 0, 0, 0, kHead + "\r\n0, 0\r\n"},
        ReportCase{"EmptyMessage", "", 0, 0, 0, kHead + "\r\n0, 0\r\n"},
        ReportCase{"CodeAndMessage", "m", -7, 0, 0,
                   kHead + "\r\n" + gbk::kCodeLabel + "-7\r\n\r\n" + gbk::kMessageLabel +
                       "m\r\n\r\n0, 0\r\n"},
        ReportCase{"UnknownWindow", nullptr, 0, 4, 21, kHead + "\r\n4, 21\r\n" + kNoWindow},
        ReportCase{"WindowAndComponentTags", nullptr, 0, 3, 21,
                   kHead + "\r\n3, 21\r\n\"\xd6\xf7\xb4\xb0\xbf\xda\"\r\n\"go\"\r\n"},
        ReportCase{
            "TheWindowItself", nullptr, 0, 3, 0,
            kHead + "\r\n3, 0\r\n\"\xd6\xf7\xb4\xb0\xbf\xda\"\r\n\"\xd6\xf7\xb4\xb0\xbf\xda\"\r\n"},
        ReportCase{"UnknownComponent", nullptr, 0, 3, 99,
                   kHead + "\r\n3, 99\r\n\"\xd6\xf7\xb4\xb0\xbf\xda\"\r\n" + kNoComponent},
        ReportCase{"IdentifiersAreSigned", nullptr, 0, 4294967295u, 0,
                   kHead + "\r\n-1, 0\r\n" + kNoWindow}),
    [](const auto& p) { return p.param.name; });

TEST_F(SimTest, AnOverlongMessageIsCutNotOverrun) {
    const std::string huge(100'000, 'x');
    const std::string text = rt::testing::formatReport(huge.c_str(), 0, 0, 0);
    EXPECT_LT(text.size(), 8192u);
    EXPECT_EQ(text.rfind(gbk::kReportHead, 0), 0u);
}

} // namespace
