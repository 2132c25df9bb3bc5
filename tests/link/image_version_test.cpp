// The version text a firmware image carries.
#include <gtest/gtest.h>

#include <string>

#include "link/image_version.hpp"

namespace kelpira::link {

TEST(FirmwareVersionInImage, TheFirstTextOfTheGrammarWins) {
    const auto find = [](const std::string& s) {
        return version_text_in(
            std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()));
    };
    EXPECT_EQ(find(std::string("\0KELPIRA_2_8\0KELPIRA_2_7_20_T3\0", 31)), "KELPIRA_2_7_20_T3");
    EXPECT_EQ(find("KELPIRA_2_6_T9 and KELPIRA_2_8_3"), "KELPIRA_2_6_T9");
    EXPECT_EQ(find("KELPIRA_"), std::nullopt);
    EXPECT_EQ(find("no version here"), std::nullopt);
    // At most the 25 characters the version record holds.
    EXPECT_EQ(find("KELPIRA_2_8_3_T1234567890123"), "KELPIRA_2_8_3_T1234567890");
}

}  // namespace kelpira::link
