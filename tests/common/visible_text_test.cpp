// Control characters from a sensor are printed, never obeyed by the terminal.
#include "common/visible_text.hpp"

#include <gtest/gtest.h>

namespace kelpira::common {
namespace {

TEST(VisibleText, ControlCharactersBecomeEscapes) {
    const struct {
        std::string_view in;
        std::string_view out;
    } cases[] = {
        {"Bay 1", "Bay 1"},
        {"\x1b]0;owned\a\x1b[2J", "\\e]0;owned\\a\\e[2J"},
        {"a\tb\nc\rd\be\vf\fg", "a\\tb\\nc\\rd\\be\\vf\\fg"},
        {std::string_view("nul\0x", 5), "nul\\x00x"},
        {"\x7f\x01", "\\x7F\\x01"},
        {"Sj\xc3\xb8 \xe2\x82\xac \xf0\x9f\x8c\x8a", "Sj\xc3\xb8 \xe2\x82\xac \xf0\x9f\x8c\x8a"},
        {"\xc2\x9b"
         "2J",
         "\\xC2\\x9B2J"},  // C1 control sequence introducer
        {"\x9b"
         "2J \xff \xc3",
         "\\x9B2J \\xFF \\xC3"},                                  // bytes that are not UTF-8
        {"\xc0\xaf \xed\xa0\x80", "\\xC0\\xAF \\xED\\xA0\\x80"},  // overlong, surrogate
        {"C:\\x41\\", "C:\\\\x41\\\\"},  // a backslash is escaped, or the text would read "C:A"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(visible_text(c.in), c.out) << c.in;
    }
}

// Every byte string comes back from its visible form exactly.
TEST(VisibleText, ReadsBackToTheSameBytes) {
    const std::string_view cases[] = {
        "",
        "Bay 1",
        "\\",
        "\\\\x41",
        "\xb5mol \xff sensor",
        std::string_view("\0\x01\x1b\x7f\x80\x9f\xc2\x9b\xff", 9),
        "ends in \\",
        "Sj\xc3\xb8 \xe2\x82\xac",
    };
    for (const auto bytes : cases) {
        EXPECT_EQ(text_from_visible(visible_text(bytes)), std::string(bytes)) << bytes;
    }
}

TEST(VisibleText, RefusesEscapesItNeverWrites) {
    for (const std::string_view bad : {"\\", "a\\q", "\\x4", "\\x4g", "\\x", "\\x+1"}) {
        EXPECT_EQ(text_from_visible(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(text_from_visible("\\xb5\\xB5\\e"), "\xb5\xb5\x1b");
}

}  // namespace
}  // namespace kelpira::common
