// The check's sentences are written out whole, whatever their size.
#include "deployment_check/check_texts.hpp"

#include <gtest/gtest.h>

#include <string>

namespace kelpira::deployment_check {
namespace {

TEST(CheckTexts, SentencesOfAnyLength) {
    EXPECT_EQ(format("the %s-day deployment", common::plain_text(1e9).c_str()),
              "the 1000000000-day deployment");
    const std::string long_name(300, 'x');
    EXPECT_EQ(format("[%s]", long_name.c_str()), "[" + long_name + "]") << "not cut at 256";
    EXPECT_EQ(duration_text(0), "0 s");
    EXPECT_EQ(duration_text(93'905), "1 d 2 h 5 min 5 s");
}

}  // namespace
}  // namespace kelpira::deployment_check
