// A deployment rehearsed: the virtual sensor runs its program on the fake clock, writes its raw
// output file, and the PC's processing of that file gives back what the model was given. The
// sensor's model, dye equation and own processing share no code with the PC's processing, so a
// fault on either side fails here.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "processing/batch_options.hpp"
#include "processing/batch_runner.hpp"
#include "processing/nutrient_engine.hpp"
#include "processing/ph_engine.hpp"
#include "processing/raw_header.hpp"
#include "processing/raw_row_scan.hpp"
#include "virtual_sensor/run_fixture.hpp"

namespace kelpira::virtual_sensor::testing {
namespace {

using namespace std::chrono_literals;

// What kelpira-process computes from a raw output file, one value per cycle.
std::vector<double> process_file(const std::string& path, processing::RawChemistry chemistry) {
    auto file = processing::RawFile::open(path);
    EXPECT_TRUE(file.has_value());
    processing::RawHeader h;
    EXPECT_TRUE(processing::read_header(*file, chemistry, h).found);
    std::vector<double> values;
    processing::NutrientEngine nutrient({});
    processing::PhEngine ph({});
    processing::for_each_row(*file, chemistry, [&](const processing::RawRow& row) {
        if (chemistry == processing::RawChemistry::ph) {
            if (auto r = ph.feed(h.ph, row, h.ph_sample_interval_ms, h.thermistors)) {
                values.push_back(r->ph);
            }
        } else if (auto r = nutrient.feed(*h.chemistry, h.nutrient, row)) {
            values.push_back(r->output_value);
        }
        return true;
    });
    return values;
}

// What kelpira-process prints for a raw output file, as CSV; with `qc`, flagged with it.
std::string kelpira_process(const std::string& path, std::optional<std::string> qc = {}) {
    processing::BatchOptions options;
    options.files = {path};
    options.qc = std::move(qc);
    options.jobs = 1;
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(processing::run_batch(options, in, out, err), 0) << err.str();
    return out.str();
}

// The CSV's lines after the column titles, each split at its commas.
std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, ',')) {
            fields.push_back(cell);
        }
        rows.push_back(fields);
    }
    return rows;
}

class Rehearsal : public RunFixture {
  protected:
    // Runs the Deploy program for `how_long` and gives the raw output file's path.
    std::string deploy(VirtualSensorOptions o, std::chrono::seconds how_long) {
        start_with_storage(std::move(o));
        EXPECT_EQ(link::start_state_machine(link, 0), 0);
        std::string name;
        EXPECT_EQ(link::get_output_file_name(link, name), 0);
        run_for(how_long);
        EXPECT_EQ(link::stop_state_machine(link), 0);
        return path(name);
    }
};

TEST_F(Rehearsal, NitrateFileProcessesBackToTheModelledConcentration) {
    VirtualSensorOptions o;
    o.run.target.concentration_um = 12.5;
    start_with_storage(o);
    std::uint16_t states = 0;
    ASSERT_EQ(link::get_state_machine_info(link, states), 0);
    ASSERT_GT(states, 0);  // the default program of the chemistry

    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    std::string name;
    ASSERT_EQ(link::get_output_file_name(link, name), 0);
    run_for(3h);
    ASSERT_EQ(link::stop_state_machine(link), 0);

    const auto values = process_file(path(name), processing::RawChemistry::nutrient);
    ASSERT_GE(values.size(), 3u);
    for (const double v : values) {
        EXPECT_NEAR(v, 12.5, 0.01);
    }
    // The sensor's own results are the same cycles, processed its own way.
    const auto records = outputs();
    ASSERT_EQ(records.size(), values.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_NEAR(records[i].value, 12.5, 0.01);
        EXPECT_EQ(records[i].validity, records::kValidityGood);
        EXPECT_EQ(records[i].dive_number, i + 1);
    }
}

TEST_F(Rehearsal, PhFileProcessesBackToTheModelledPh) {
    VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::ph;
    o.run.target.ph = 7.83;
    start_with_storage(o);
    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    std::string name;
    ASSERT_EQ(link::get_output_file_name(link, name), 0);
    run_for(2h);
    ASSERT_EQ(link::stop_state_machine(link), 0);

    const auto values = process_file(path(name), processing::RawChemistry::ph);
    ASSERT_GE(values.size(), 2u);
    // The photodiode noise moves a cycle by up to about 0.0003; the mean of the cycles is
    // closer, so a fault of a ten-thousandth in either equation shows.
    double sum = 0;
    for (const double v : values) {
        EXPECT_NEAR(v, 7.83, 0.001);
        sum += v;
    }
    EXPECT_NEAR(sum / static_cast<double>(values.size()), 7.83, 0.0001);
    const auto records = outputs();
    ASSERT_EQ(records.size(), values.size());
    for (const auto& r : records) {
        EXPECT_NEAR(r.value, 7.83, 0.001);
    }
}

TEST_F(Rehearsal, DicFileProcessesBackToTheModelledCarbon) {
    VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::dic;
    o.run.target.dic_umol_kg = 2150;
    // Three cycles of 190 s: reference (2012.5 µmol/kg, a step of 2.0125 V), then the sample
    // (2.150 V). A step's foot is one noisy sample, which moves a result by up to about
    // 0.1 %.
    const std::string csv = kelpira_process(deploy(o, 600s));
    const auto rows = csv_rows(csv);
    ASSERT_EQ(rows.size(), 3u) << csv;
    for (const auto& r : rows) {
        ASSERT_EQ(r.size(), 7u) << csv;
        EXPECT_EQ(r[1], "2") << csv;  // the sample's measurement state
        EXPECT_NEAR(std::stod(r[2]), 2150.0, 2.0) << csv;
        EXPECT_NEAR(std::stod(r[3]), 2.150, 0.002) << csv;
        EXPECT_NEAR(std::stod(r[4]), 2.0125, 0.002) << csv;
        EXPECT_EQ(r[6], "good") << csv;
    }
    // The sensor's own results, each under the sample's measurement state.
    const auto records = outputs();
    ASSERT_EQ(records.size(), rows.size());
    for (const auto& r : records) {
        EXPECT_NEAR(r.value, 2150.0, 2.0);
        EXPECT_EQ(r.dive_number, 2);
        EXPECT_EQ(r.validity, records::kValidityGood);
    }
}

TEST_F(Rehearsal, TaFileProcessesBackToTheModelledAlkalinity) {
    VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::ta;
    o.run.target.ta_umol_kg = 2250;
    // Cycles of 280 s, the result when the second sample state (5) is left.
    const auto rows = csv_rows(kelpira_process(deploy(o, 900s)));
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& r : rows) {
        ASSERT_GE(r.size(), 4u);
        EXPECT_NEAR(std::stod(r[1]), 2250.0, 10.0);
        EXPECT_NEAR(std::stod(r[2]), 0.8, 0.001);  // LED 1's absorbance, as modelled
    }
    const auto records = outputs();
    ASSERT_EQ(records.size(), rows.size());
    for (const auto& r : records) {
        EXPECT_NEAR(r.value, 2250.0, 10.0);
        EXPECT_NEAR(r.p1, 0.8, 0.001);
        EXPECT_EQ(r.validity, records::kValidityGood);
    }
}

// A nitrate deployment with a tide of 0.5 µM over 12 cycles, a bubble of +3 µM in cycle 4 and
// the sensor stuck from cycle 8 for 5 cycles, processed with the shipped quality parameters.
TEST_F(Rehearsal, SpikeAndStuckRunAreFlagged) {
    VirtualSensorOptions o;
    o.run.target.concentration_um = 12.5;
    o.run.target.anomaly = {0.5, 4, 3.0, 8, 5};
    // 14 cycles of 710 s; the 15th has just begun.
    const std::string csv = kelpira_process(deploy(o, 9960s), "default");
    const auto rows = csv_rows(csv);
    // 12.5 + 0.5 sin(30° x cycle): 12.75, 12.933, 13.0, 15.933 (the bubble), 12.75, 12.5,
    // 12.25, 12.067 and the same four times more, 12.75, 12.933.
    const double values[] = {12.75,  12.933, 13.0,   15.933, 12.75,  12.5,  12.25,
                             12.067, 12.067, 12.067, 12.067, 12.067, 12.75, 12.933};
    // Flags as digits: gross range, spike, rate of change, flat line, aggregate. Spike 1/2: the
    // bubble is 3.06 off its neighbours' mean, they are 1.43 and 1.47 off theirs; rate of
    // change: the bubble rises 2.93 past 0.5 + 3 SD of the three before (0.89); flat line 3/5
    // counts the stuck run to 5; the last cycle has no next for its spike test.
    const std::vector<std::string> flags = {"12221", "11211", "13213", "14314", "13113",
                                            "11111", "11111", "11111", "11111", "11133",
                                            "11133", "11144", "11111", "12111"};
    ASSERT_EQ(rows.size(), flags.size()) << csv;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // Medium, Short and Long: the concentration (the short path, least absorbing, the
        // noisiest), then the five flags of each path.
        ASSERT_EQ(rows[i].size(), 24u) << csv;
        for (std::size_t path = 0; path < 3; ++path) {
            EXPECT_NEAR(std::stod(rows[i][2 + path]), values[i], 0.005) << "cycle " << i + 1;
            std::string got;
            for (std::size_t k = 9 + 5 * path; k < 14 + 5 * path; ++k) {
                got += rows[i][k];
            }
            EXPECT_EQ(got, flags[i]) << "cycle " << i + 1 << ", path " << path;
        }
    }
    // The stuck cycles read exactly the same.
    for (std::size_t i = 8; i < 12; ++i) {
        EXPECT_EQ(std::vector<std::string>(rows[i].begin() + 2, rows[i].begin() + 5),
                  std::vector<std::string>(rows[7].begin() + 2, rows[7].begin() + 5));
    }
}

}  // namespace
}  // namespace kelpira::virtual_sensor::testing
