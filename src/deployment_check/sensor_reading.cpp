// The deployment check's reads, in the order the configuration report reads its records.
#include "deployment_check/sensor_reading.hpp"

#include "config/clock_transfer.hpp"
#include "link/board_commands.hpp"
#include "link/command_exchange.hpp"
#include "link/platform_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "statemachine/state_transfer.hpp"

namespace kelpira::deployment_check {

namespace {

template <typename T, typename Get>
Read<T> read(Get get) {
    Read<T> r;
    T value{};
    r.result = get(value);
    if (r.result == link::kResultSuccess) {
        r.value = value;
    }
    return r;
}

template <typename T, std::size_t N, typename Get, typename Decode>
Read<T> read_bytes(Get get, Decode decode) {
    Read<T> r;
    link::RecordBytes<N> bytes{};
    r.result = get(bytes);
    if (r.result == link::kResultSuccess) {
        r.value = decode(bytes);
    }
    return r;
}

}  // namespace

SensorReading read_sensor(link::SensorLink& link, const PcClocks& clocks,
                          const ReadControl& control) {
    constexpr std::size_t kSteps = 9;
    std::size_t done = 0;
    SensorReading r;
    // False when the reads are to stop here.
    const auto next_step = [&] {
        if (control.progress) {
            control.progress(++done, kSteps);
        }
        r.cancelled = control.cancelled && control.cancelled();
        return !r.cancelled;
    };
    r.identity = link::probe_sensor(link);
    if (!r.identity || !next_step()) {
        return r;
    }
    r.firmware_version = link::read_firmware_version_text(link);
    r.power = read_bytes<records::PowerStatus, link::kPowerStatusSize>(
        [&](auto& b) { return link::get_power_status(link, b); },
        [](const auto& b) { return records::decode_power_status(b); });
    // Not through the wrapper: on result 6 (supply too low) the answer still carries the mode.
    link::SensorCommand live = link::make_request(link::CommandCode::GET_LIVE_STATUS, {});
    r.mode.result = link::transact_folded(link, live);
    if (r.mode.result == link::kResultSuccess || r.mode.result == link::kResultLowVoltage) {
        r.mode.value = records::SensorMode{live.payload()[0]};
    }
    if (!next_step()) {
        return r;
    }
    r.sensor_clock =
        read<records::RtcTime>([&](auto& t) { return config::read_rtc_time(link, t); });
    r.pc_utc = clocks.utc();
    r.pc_local = clocks.local();
    r.chemistry = read<records::ChemistryConfig>(
        [&](auto& c) { return records::get_chemistry_config(link, c); });
    if (r.chemistry) {
        const std::size_t n = records::processing_record_length(r.chemistry->chemistry);
        if (n > 0) {
            r.processing = read<std::vector<std::uint8_t>>([&](auto& bytes) {
                bytes.assign(n, 0);
                return records::get_processing_params(link, r.chemistry->chemistry, bytes);
            });
        }
    }
    if (!next_step()) {
        return r;
    }
    statemachine::StateMachineImage image;
    const auto loaded = statemachine::load_from_sensor(link, image);
    if (loaded.ok) {
        r.program_empty = loaded.states_done == 0;
        r.program = std::move(image);
    } else {
        r.program_failure = loaded.detail;
        r.program_unanswered = loaded.result == link::kResultNoExchange;
    }
    if (!next_step()) {
        return r;
    }
    r.schedule =
        read<records::MeasurementSchedule>([&](auto& s) { return config::read_schedule(link, s); });
    r.next = read<records::NextMeasurement>(
        [&](auto& n) { return config::read_next_measurement(link, n); });
    if (!next_step()) {
        return r;
    }
    r.rs232 = read_bytes<records::Rs232Config, link::kRs232ConfigSize>(
        [&](auto& b) { return link::get_rs232_config(link, b); },
        [](const auto& b) { return records::decode_rs232_config(b); });
    r.rs485 = read_bytes<records::Rs485Config, link::kRs485ConfigSize>(
        [&](auto& b) { return link::get_rs485_config(link, b); },
        [](const auto& b) { return records::decode_rs485_config(b); });
    for (std::size_t t = 0; t < kThermistors; ++t) {
        if (!next_step()) {
            return r;
        }
        r.thermistors[t] = read<records::ThermistorConfig>([&](auto& c) {
            return records::get_thermistor_config(link, static_cast<std::uint8_t>(t), c);
        });
    }
    if (control.progress) {
        control.progress(kSteps, kSteps);
    }
    return r;
}

}  // namespace kelpira::deployment_check
