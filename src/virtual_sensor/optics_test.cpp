// The emulated sensor's live optics test. Older firmware knows only the 16-byte form 370 and
// answers 8 to the newer 36-byte form 626. Both begin with the optics record, whose LED
// currents light the LEDs until the test stops.
#include "virtual_sensor/optics_test.hpp"

#include <array>

#include "link/command_catalogue.hpp"
#include "records/optics_records.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

void start_with_length(Exchange& x, std::uint8_t length) {
    if (x.request_length != length) {
        x.result = link::kResultBadLength;
        return;
    }
    x.state.tests.optics.running = true;
    x.state.tests.optics.optics =
        records::decode_optics_defaults(x.request.first(records::OpticsDefaults::size));
}

void start_optics_test(Exchange& x) {
    if (x.state.options.old_optics_test) {
        x.result = link::kResultTooOld;
        return;
    }
    start_with_length(x, link::request_length(CommandCode::START_OPTICS_TEST));
}

void start_optics_test_v1(Exchange& x) {
    start_with_length(x, link::request_length(CommandCode::START_OPTICS_TEST_V1));
}

void stop_optics_test(Exchange& x) {
    x.state.tests.optics.running = false;
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::START_OPTICS_TEST_V1), start_optics_test_v1},
    CommandEntry{link::code_value(CommandCode::STOP_OPTICS_TEST), stop_optics_test},
    CommandEntry{link::code_value(CommandCode::START_OPTICS_TEST), start_optics_test},
};

}  // namespace

std::span<const CommandEntry> optics_test_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor
