// The fields of the host platform's records in a snapshot: platform defaults, RS232 and RS485.
#pragma once

#include "config/platform_lists.hpp"
#include "records/platform_records.hpp"
#include "report/snapshot_fields.hpp"

namespace kelpira::report {

// The protocol is named by every name the sensor knows, but set only to one the "Platform"
// list offers.
template <typename V, RecordOf<records::Rs232Config> R>
void fields(V& v, R& c) {
    v.number("baud", c.baud, OneOf{config::kRs232BaudRates});
    v.list("parity", c.parity, config::kParities);
    v.number("data_bits", c.data_bits, OneOf{config::kDataBits});
    v.number("stop_bits", c.stop_bits, OneOf{config::kStopBits});
    v.list("protocol", c.protocol, config::kRs232Protocols, OneOf{config::kRs232Offered});
    v.list("mode", c.mode, config::kRs232Modes);
}

template <typename V, RecordOf<records::Rs485Config> R>
void fields(V& v, R& c) {
    v.number("baud", c.baud, OneOf{config::kRs485BaudRates});
    v.list("parity", c.parity, config::kParities);
    v.number("data_bits", c.data_bits, OneOf{config::kDataBits});
    v.number("stop_bits", c.stop_bits, OneOf{config::kStopBits});
    v.list("protocol", c.protocol, config::kRs485Protocols);
    v.number("slave_address", c.slave_address);
    v.number("poll_rate_s", c.poll_rate_s);
}

template <typename V, RecordOf<records::PlatformDefaults> R>
void fields(V& v, R& p) {
    v.number("dive_number", p.dive_number);
    v.number("salinity_psu", p.salinity_psu);
    v.number("temperature_c", p.temperature_c);
    v.number("oxygen_ml_l", p.oxygen_ml_l);
    v.number("depth_m", p.depth_m);
    v.list("direction", p.direction, config::kDirections);
    v.number("time_offset_s", p.time_offset_s);
    v.number("p1", p.p1);
    v.number("p2", p.p2);
    v.number("p3", p.p3);
}

}  // namespace kelpira::report
