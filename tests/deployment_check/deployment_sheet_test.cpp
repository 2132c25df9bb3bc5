// The deployment sheet of an emulated sensor: what it records, and that the file holds it.
#include "deployment_check/deployment_sheet.hpp"
#include "deployment_check/check_fixture.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::deployment_check::testing {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        out.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class DeploymentSheet : public CheckFixture {};

TEST_F(DeploymentSheet, RecordsTheDeploymentAndReadsBackFromItsFile) {
    start();
    inputs.days = 90;
    inputs.start = kStartSeconds + 86400;
    inputs.stroke_ul = StrokeVolume{50, 48};
    inputs.reagents = {{1, 100}, {15, 900}};
    const CheckOutcome out = outcome();
    const std::string text = sheet_text(out, {"deck-pc", "9.8.7"});
    const auto lines = lines_of(text);
    ASSERT_GT(lines.size(), 60u);
    EXPECT_EQ(lines[0], "KELPIRA DEPLOYMENT SHEET");
    EXPECT_EQ(lines[2], headline(out));
    const char* expected[] = {
        "Checked:              2026-12-08T10:00:00Z (the PC's UTC)",
        "PC:                   deck-pc",
        "Program version:      9.8.7",
        "  Name:               Virtual Sensor",
        "  Serial number:      1001",
        "  Board serial:       201",
        "  Firmware:           KELPIRA_2_8_3",
        // The PC's local time is an hour east of UTC, the sensor's clock on UTC.
        "  Clock:              2026-12-08T10:00:00Z as read, kept in UTC",
        "  Offset from UTC:    +0 s, from one read, to +-1 s",
        // sha256sum of the file `kelpira-ctl sm get FILE.asm` saves from a default virtual
        // sensor.
        "  Program SHA-256:    7936d53dcb65eebb525560b59903299c19b04cb6e0a9f4cb77acfe02611befd4 "
        "(12 states, as `kelpira-ctl sm get FILE.asm` writes them)",
        "  Deployment length:  90 days",
        "  Deployment start:   2026-12-09T10:00:00Z",
        "  Start state:        deploy",
        "  Pump stroke:        inject=50,withdraw=48 uL",
        "  Reagents:           valve 1 100 mL, valve 15 900 mL",
        "  Host platform:      not given",
        "  Battery:            not given",
        "  Start:              2026-12-09T10:00:00Z, Deploy state 0",
        "  End:                2027-03-09T10:00:00Z",
        "  None: the firmware is the latest supported, or was not judged.",
        "Configuration snapshot (as `kelpira-ctl config export` writes it)",
        "  \"kelpira_snapshot\": 1,",
    };
    for (const char* line : expected) {
        EXPECT_TRUE(has_line(lines, line)) << line << "\n" << text;
    }
    // Every item, each followed by where to fix it.
    std::size_t items = 0;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].starts_with("FAIL ") || lines[i].starts_with("WARN ") ||
            lines[i].starts_with("PASS ") || lines[i].starts_with("SKIP ")) {
            ++items;
            EXPECT_TRUE(lines[i + 1].starts_with("                 where: ")) << lines[i + 1];
        }
    }
    EXPECT_EQ(items, kItemIds.size());
    EXPECT_TRUE(has_line(lines,
                         "                 where: Configure > Real Time Clock...; "
                         "kelpira-ctl clock --sync-pc --utc"));

    kelpira::testing::TempFolder files;
    ASSERT_TRUE(write_sheet(files.path("sheet.txt"), out, {"deck-pc", "9.8.7"}));
    EXPECT_EQ(kelpira::testing::TempFolder::read(files.path("sheet.txt")), text);
    EXPECT_FALSE(write_sheet(files.path("no-such-folder/sheet.txt"), out, {"deck-pc", "9.8.7"}));
}

}  // namespace
}  // namespace kelpira::deployment_check::testing
