// The command line of kelpira-process.
#include "batch_args.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kelpira::processing::ChemistryChoice;
using kelpira::processing::parse_command_line;
using kelpira::processing::ParsedCommandLine;

ParsedCommandLine parse(std::vector<std::string_view> args) {
    return parse_command_line(args);
}

TEST(BatchOptions, DefaultsAndEveryOption) {
    const auto plain = parse({"a.csv"});
    ASSERT_TRUE(plain.options.has_value());
    EXPECT_EQ(plain.options->chemistry, ChemistryChoice::automatic);
    EXPECT_TRUE(plain.options->writes_to_stdout());
    EXPECT_FALSE(plain.options->log.has_value());
    EXPECT_FALSE(plain.options->progress);

    const auto full = parse({"--chemistry", "ph", "--set", "KELPIRA.CHEMISTRY.SAMPLE_INTERVAL=200",
                             "--set=KELPIRA.X=a=b", "--output=out.csv", "--log", "run.log",
                             "--progress", "a.csv", "--", "--odd-name.csv"});
    ASSERT_TRUE(full.options.has_value()) << full.error;
    const auto& o = *full.options;
    EXPECT_EQ(o.chemistry, ChemistryChoice::ph);
    ASSERT_EQ(o.overrides.size(), 2u);
    EXPECT_EQ(o.overrides[0].key, "KELPIRA.CHEMISTRY.SAMPLE_INTERVAL");
    EXPECT_EQ(o.overrides[0].value, "200");
    EXPECT_EQ(o.overrides[1].key, "KELPIRA.X");
    EXPECT_EQ(o.overrides[1].value, "a=b");
    EXPECT_EQ(o.output, "out.csv");
    EXPECT_FALSE(o.writes_to_stdout());
    EXPECT_EQ(o.log, "run.log");
    EXPECT_TRUE(o.progress);
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.csv", "--odd-name.csv"}));

    const auto dash = parse({"--output", "-", "a.csv"});
    ASSERT_TRUE(dash.options.has_value());
    EXPECT_TRUE(dash.options->writes_to_stdout());
}

TEST(BatchOptions, UsageErrorsSayWhatIsWrong) {
    EXPECT_EQ(parse({}).error, "no raw file to process");
    EXPECT_EQ(parse({"--chemistry", "dic"}).error, "no raw file to process");
    EXPECT_EQ(parse({"--frobnicate", "a.csv"}).error, "unknown option --frobnicate");
    EXPECT_EQ(parse({"a.csv", "--output"}).error, "--output needs a value");
    EXPECT_EQ(parse({"--output=", "a.csv"}).error, "--output needs a file name");
    EXPECT_EQ(parse({"--chemistry", "alkalinity", "a.csv"}).error,
              "unknown chemistry \"alkalinity\" (choose auto, nutrient, ph, ta or dic)");
    EXPECT_EQ(parse({"--chemistry", "ph", "--chemistry", "ta", "a.csv"}).error,
              "several chemistries given (ph and ta): process one chemistry per run");
    EXPECT_EQ(parse({"--set", "NOVALUE", "a.csv"}).error,
              "--set needs KEY=VALUE, for example "
              "--set KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=10");
    EXPECT_EQ(parse({"--set", "=3", "a.csv"}).error.substr(0, 18), "--set needs KEY=VA");
    EXPECT_EQ(parse({"--log", "a", "--log", "b", "a.csv"}).error, "--log given twice");
    EXPECT_EQ(parse({"--progress=yes", "a.csv"}).error, "--progress takes no value");
    for (const auto& bad : {parse({}), parse({"--frobnicate", "a.csv"})}) {
        EXPECT_FALSE(bad.options.has_value());
        EXPECT_FALSE(bad.help);
    }
}

TEST(BatchOptions, RepeatingTheSameChemistryIsFineAndHelpWins) {
    EXPECT_TRUE(parse({"--chemistry", "ta", "--chemistry=ta", "a.csv"}).options.has_value());
    const auto help = parse({"a.csv", "--help", "--frobnicate"});
    EXPECT_TRUE(help.help);
    EXPECT_FALSE(help.options.has_value());
}

}  // namespace
