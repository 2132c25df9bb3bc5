// A deployment rehearsed: the virtual sensor runs its program on the fake clock, writes its raw
// output file, and the PC's processing of that file gives back what the model was given. The
// sensor's model, dye equation and own processing share no code with the PC's processing, so a
// fault on either side fails here.
#include <gtest/gtest.h>

#include <vector>

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

class Rehearsal : public RunFixture {};

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

}  // namespace
}  // namespace kelpira::virtual_sensor::testing
