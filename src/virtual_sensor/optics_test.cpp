// The emulated sensor's live optics test. Older firmware knows only the 16-byte form 370 and
// answers 8 to the newer 36-byte form 626.
#include "virtual_sensor/optics_test.hpp"

#include <array>

namespace kelpira::virtual_sensor {

namespace {

constexpr std::uint16_t kStartOpticsTestV1 = 370;
constexpr std::uint16_t kStopOpticsTest = 371;
constexpr std::uint16_t kStartOpticsTest = 626;

void start_with_length(Exchange& x, std::uint8_t length) {
    if (x.request_length != length) {
        x.result = link::kResultBadLength;
        return;
    }
    x.state.optics_test_running = true;
}

void start_optics_test(Exchange& x) {
    if (x.state.options.old_optics_test) {
        x.result = link::kResultTooOld;
        return;
    }
    start_with_length(x, 36);
}

void start_optics_test_v1(Exchange& x) {
    start_with_length(x, 16);
}

void stop_optics_test(Exchange& x) {
    x.state.optics_test_running = false;
}

constexpr std::array kCommands{
    CommandEntry{kStartOpticsTestV1, start_optics_test_v1},
    CommandEntry{kStopOpticsTest, stop_optics_test},
    CommandEntry{kStartOpticsTest, start_optics_test},
};

}  // namespace

std::span<const CommandEntry> optics_test_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor
