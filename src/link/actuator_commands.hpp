// Wrappers of the pump, valve, optics, DIC and PMT commands (352..375 and 626), with the
// optics test's fallback to its older form for firmware that answers 8.
#pragma once

#include "link/command_exchange.hpp"

namespace kelpira::link {

inline constexpr std::size_t kPumpValveDefaultsSize = 25;
inline constexpr std::size_t kOpticsDefaultsSize = 11;
inline constexpr std::size_t kDicConductivityConfigSize = 9;
inline constexpr std::size_t kPmtConfigSize = 20;
inline constexpr std::size_t kOpticsTestSize = 36;    // START_OPTICS_TEST payload
inline constexpr std::size_t kOpticsTestV1Size = 16;  // its first 16 bytes, the older form
// The pump test status is read only up to byte 2: bytes 1 and 2 both 0 mean the pump stopped.
inline constexpr std::size_t kPumpTestStatusSize = 3;

CommandResult get_pump_valve_defaults(SensorLink& link,
                                      RecordBytes<kPumpValveDefaultsSize>& record);
CommandResult set_pump_valve_defaults(SensorLink& link,
                                      const RecordBytes<kPumpValveDefaultsSize>& record);
// The pump defaults followed by the continuous flag.
CommandResult start_pump_test(SensorLink& link, const RecordBytes<kPumpValveDefaultsSize>& pump,
                              std::uint8_t pump_continuously);
CommandResult stop_pump_test(SensorLink& link);
CommandResult get_pump_test_status(SensorLink& link, RecordBytes<kPumpTestStatusSize>& status);
CommandResult start_valves_test(SensorLink& link, std::uint16_t valve_mask,
                                std::uint16_t valve_spike_ms);
CommandResult stop_valves_test(SensorLink& link);

CommandResult get_optics_defaults(SensorLink& link, RecordBytes<kOpticsDefaultsSize>& record);
CommandResult set_optics_defaults(SensorLink& link, const RecordBytes<kOpticsDefaultsSize>& record);
CommandResult start_optics_test_v1(SensorLink& link, const RecordBytes<kOpticsTestV1Size>& test);
// On 8 the first 16 bytes go out again as START_OPTICS_TEST_V1: 14 if that transaction fails,
// else its result.
CommandResult start_optics_test(SensorLink& link, const RecordBytes<kOpticsTestSize>& test);
CommandResult stop_optics_test(SensorLink& link);

CommandResult get_dic_config(SensorLink& link, RecordBytes<kDicConductivityConfigSize>& record);
CommandResult set_dic_config(SensorLink& link,
                             const RecordBytes<kDicConductivityConfigSize>& record);
CommandResult get_pmt_config(SensorLink& link, RecordBytes<kPmtConfigSize>& record);
CommandResult set_pmt_config(SensorLink& link, const RecordBytes<kPmtConfigSize>& record);

}  // namespace kelpira::link
