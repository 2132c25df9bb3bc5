// A sensor's name of any bytes, 21 at most, with or without a terminator, through everything
// that shows or stores it: the snapshot written and read back (the same bytes), the
// configuration report and the deployment check. Every text they write must be UTF-8 without
// a control character other than line ends and tabs, whatever the name holds.
#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>

#include "deployment_check/deployment_check.hpp"
#include "deployment_check/deployment_sheet.hpp"
#include "fuzz_inputs.hpp"
#include "link/handler_hid.hpp"
#include "link/identity_commands.hpp"
#include "link/sensor_link.hpp"
#include "report/config_report.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_records.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::fuzz {

namespace {

using namespace std::chrono_literals;

constexpr auto kPath = "/dev/virtual/fuzz-identity";

// Well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF) holding no
// C0 control but line end and tab, no DEL and no C1 control.
bool shows_safely(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
                return false;
            }
            ++i;
            continue;
        }
        std::size_t n = 0;
        std::uint32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            n = 2;
            cp = c & 0x1Fu;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 3;
            cp = c & 0x0Fu;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 4;
            cp = c & 0x07u;
        } else {
            return false;
        }
        if (i + n > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0u) != 0x80u) {
                return false;
            }
            cp = (cp << 6) | (d & 0x3Fu);
        }
        const bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
        if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF ||
            (cp >= 0x80 && cp <= 0x9F)) {
            return false;
        }
        i += n;
    }
    return true;
}

void require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

struct Bench {
    link::InProcessHidBackend backend;
    virtual_sensor::VirtualSensor sensor;
    link::SensorLink sensor_link{backend};
    Bench() {
        virtual_sensor::attach_in_process(backend, kPath, sensor);
        require(sensor_link.Open(kPath, 3000ms) == 0);
    }
};

}  // namespace

int identity_text_input(const std::uint8_t* data, std::size_t size) {
    static Bench bench;
    link::SensorIdentification id;
    id.name.assign(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 21));
    // The sensor keeps the bytes up to the first terminator.
    id.name = id.name.substr(0, id.name.find('\0'));
    id.serial_number = 1001;
    if (link::set_sensor_identification(bench.sensor_link, id) != link::kResultSuccess) {
        return 0;
    }

    const auto read = report::read_snapshot(bench.sensor_link);
    require(read.snapshot.has_value());
    const std::string text = report::snapshot_text(*read.snapshot);
    require(shows_safely(text));
    const auto back = report::parse_snapshot(text);
    link::SensorIdentification restored;
    report::read_identity(back.at("identity"), restored);
    require(restored.name == id.name);

    const auto config = report::build_config_report(bench.sensor_link, 0);
    require(shows_safely(config.name));
    for (const auto& line : config.lines) {
        require(shows_safely(line));
    }

    const auto outcome = deployment_check::run_check(bench.sensor_link, {});
    require(shows_safely(deployment_check::check_text(outcome.items)));
    const deployment_check::SheetOrigin origin{"fuzz-pc", "0"};
    require(shows_safely(deployment_check::outcome_json(outcome, origin)));
    require(shows_safely(deployment_check::sheet_text(outcome, origin)));
    return 0;
}

}  // namespace kelpira::fuzz
