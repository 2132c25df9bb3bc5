// Raw output file texts built in the dialog tests: header lines and data rows.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kelpira::testing {

using HeaderKeys = std::vector<std::pair<std::string, std::string>>;

// "%KELPIRA.HEADER_START", one "%KELPIRA.CHEMISTRY.<key>=<value>" line per key (keys that
// already start with "KELPIRA." are written as they are), "%KELPIRA.HEADER_END", "%Counter...".
inline std::string raw_header(const HeaderKeys& keys) {
    std::string out = "%KELPIRA.HEADER_START\n";
    for (const auto& [key, value] : keys) {
        const bool full = key.rfind("KELPIRA.", 0) == 0;
        out += "%" + (full ? key : "KELPIRA.CHEMISTRY." + key) + "=" + value + "\n";
    }
    out += "%KELPIRA.HEADER_END\n%Counter,State,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7\n";
    return out;
}

// A 20-column data row with channel 0 = `ch0`, the other channels 1.0, sensor and platform
// time `time`.
inline std::string raw_row(std::uint32_t counter, unsigned state, double ch0,
                           std::uint32_t time = 1700000000) {
    std::string out =
        std::to_string(counter) + "," + std::to_string(state) + "," + std::to_string(ch0);
    for (int i = 1; i < 8; ++i) {
        out += ",1.0";
    }
    out += ",0.0,0.0,0,0," + std::to_string(time) + ",35.0,10.0,6.0,5.0," + std::to_string(time);
    return out + "\n";
}

}  // namespace kelpira::testing
