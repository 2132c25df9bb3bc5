// The firmware's cycle mean for the chemistries it does not process.
#include "virtual_sensor/onboard_processing.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace kelpira::virtual_sensor {
namespace {

// A chemistry the firmware does not process: a record per visit of the run's start state, the
// mean volts of input 0 since the visit before, and none for a cycle cut short.
TEST(OnboardProcessing, OtherChemistriesGiveACycleMeanPerVisitOfTheStartState) {
    OnboardProcessing p;
    p.chemistry = records::ChemistryType::generic;
    reset_processing(p, 0);
    std::vector<double> values;
    // Input 0 in counts of 5/65536 V: 13107 is 1.0 V, 26214 is 2.0 V.
    for (const auto& [state, counts] : std::vector<std::pair<std::uint8_t, std::uint16_t>>{
             {0, 13107}, {0, 13107}, {1, 26214}, {2, 26214}, {0, 13107}, {0, 0}, {1, 0}}) {
        records::LiveSample s;
        s.state = state;
        s.channel[0] = counts;
        if (const auto r = process_sample(p, s)) {
            values.push_back(r->value);
        }
    }
    EXPECT_FALSE(finish_processing(p).has_value());
    ASSERT_EQ(values.size(), 1u);
    EXPECT_NEAR(values[0], 1.5, 1e-4);  // (1 + 1 + 2 + 2) / 4
}

}  // namespace
}  // namespace kelpira::virtual_sensor
