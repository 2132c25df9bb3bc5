// The command line of kelpira-process.
#include "batch_args.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kelpira::process::parse_command_line;
using kelpira::process::ParsedCommandLine;
using kelpira::processing::ChemistryChoice;

ParsedCommandLine parse(std::vector<std::string_view> args) {
    return parse_command_line(args);
}

// The usage error alone, "" when there is none.
std::string error(std::vector<std::string_view> args) {
    return parse_command_line(args).outcome.error;
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
    ASSERT_TRUE(full.options.has_value()) << full.outcome.err;
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

    const auto nc = parse({"--format=netcdf", "--output=x.nc", "--attr", "summary=a=b",
                           "--attr=license=CC-BY-4.0", "a.csv"});
    ASSERT_TRUE(nc.options.has_value()) << nc.outcome.err;
    EXPECT_EQ(nc.options->format.format, kelpira::processing::OutputFormat::netcdf);
    ASSERT_EQ(nc.options->format.attributes.size(), 2u);
    EXPECT_EQ(nc.options->format.attributes[0].name, "summary");
    EXPECT_EQ(nc.options->format.attributes[0].value, "a=b");
    EXPECT_EQ(nc.options->format.attributes[1].value, "CC-BY-4.0");

    // A repeatable option takes one value each time, never the files after it.
    const auto one = parse({"--chemistry", "ph", "a.csv", "--set", "K=1", "b.csv"});
    ASSERT_TRUE(one.options.has_value()) << one.outcome.err;
    EXPECT_EQ(one.options->files, (std::vector<std::string>{"a.csv", "b.csv"}));

    const auto dash = parse({"--output", "-", "a.csv"});
    ASSERT_TRUE(dash.options.has_value());
    EXPECT_TRUE(dash.options->writes_to_stdout());
}

TEST(BatchOptions, UsageErrorsSayWhatIsWrong) {
    EXPECT_EQ(error({}), "FILE is required");
    EXPECT_EQ(error({"--chemistry", "dic"}), "FILE is required");
    EXPECT_EQ(error({"--frobnicate", "a.csv"}),
              "The following argument was not expected: --frobnicate");
    EXPECT_EQ(error({"a.csv", "--output"}), "--output: 1 required FILE missing");
    EXPECT_EQ(error({"--output=", "a.csv"}), "--output: needs a value, not an empty one");
    EXPECT_EQ(error({"--chemistry", "alkalinity", "a.csv"}),
              "--chemistry: alkalinity not in {auto, nutrient, ph, ta, dic}");
    EXPECT_EQ(error({"--chemistry", "ph", "--chemistry", "ta", "a.csv"}),
              "--chemistry: several chemistries given (ph and ta): process one chemistry per run");
    EXPECT_EQ(error({"--format", "netcdf", "a.csv"}),
              "--format: netcdf needs --output FILE: a NetCDF file is never written to standard "
              "output");
    EXPECT_EQ(error({"--format", "hdf", "a.csv"}), "--format: hdf not in {csv, netcdf}");
    EXPECT_EQ(error({"--attr", "title=x", "a.csv"}),
              "--attr: sets attributes of a NetCDF file: give --format netcdf");
    const std::vector<std::pair<std::vector<std::string>, std::string>> netcdf_errors{
        {{"--attr", "bad name=x"},
         "--attr: \"bad name\" is not a NAME of letters, digits and _ starting with a letter"},
        {{"--attr", "a@b=x"},
         "--attr: \"a@b\" is not a NAME of letters, digits and _ starting with a letter"},
        {{"--attr", "title"}, "--attr: title not of the form NAME=VALUE"},
        {{"--attr", "featureType=point"},
         "--attr: featureType is set by the file's layout and cannot be given"},
        {{"--attr", "title="},
         "--attr: title has an empty value: give a value or leave the attribute out"},
        {{"--position", "Bay 1=95,0"},
         "--position: \"Bay 1=95,0\" is not NAME=LAT,LON with LAT -90..90 and LON -180..180 "
         "in decimal degrees"},
        {{"--feature-type", "point"}, "--feature-type: point not in {timeSeries, trajectory}"},
        {{"--track", "t.csv"},
         "--track: places a glider's results: give --feature-type "
         "trajectory"},
        {{"--feature-type", "trajectory", "--position", "G=1,2"},
         "--position: places a moored sensor: a trajectory takes its places from --track"},
    };
    for (const auto& [options, message] : netcdf_errors) {
        std::vector<std::string> args{"--format=netcdf", "--output=x.nc"};
        args.insert(args.end(), options.begin(), options.end());
        args.emplace_back("a.csv");
        EXPECT_EQ(error({args.begin(), args.end()}), message);
    }
    EXPECT_EQ(error({"--position", "Bay=1,2", "a.csv"}),
              "--position: places the results of a NetCDF file: give --format netcdf");
    EXPECT_EQ(error({"--set", "NOVALUE", "a.csv"}), "--set: NOVALUE not of the form KEY=VALUE");
    EXPECT_EQ(error({"--set", "=3", "a.csv"}), "--set: =3 not of the form KEY=VALUE");
    EXPECT_EQ(error({"--log", "a", "--log", "b", "a.csv"}),
              "--log: At Most 1 required but received 2");
    EXPECT_EQ(error({"--progress=yes", "a.csv"}), "--progress: takes no value");
    for (const auto& bad : {parse({}), parse({"--frobnicate", "a.csv"})}) {
        EXPECT_FALSE(bad.options.has_value());
        EXPECT_EQ(bad.outcome.exit_status, 2);
        EXPECT_EQ(bad.outcome.out, "");
    }
}

TEST(BatchOptions, RepeatingTheSameChemistryIsFineAndHelpWins) {
    EXPECT_TRUE(parse({"--chemistry", "ta", "--chemistry=ta", "a.csv"}).options.has_value());
    const auto help = parse({"a.csv", "--help", "--frobnicate"});
    EXPECT_EQ(help.outcome.exit_status, 0);
    EXPECT_NE(help.outcome.out.find("Usage: kelpira-process [OPTIONS] FILE..."), std::string::npos);
    EXPECT_FALSE(help.options.has_value());
}

}  // namespace
