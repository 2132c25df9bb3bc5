// The ETI sentence exchange.
#include "host_platform/eti_exchange.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/decimal_milli.hpp"
#include "common/visible_text.hpp"
#include "host_platform/eti_sentence.hpp"
#include "host_platform/printf_text.hpp"
#include "host_platform/reply_scan.hpp"

namespace kelpira::host_platform {

namespace {

constexpr std::string_view kEnd = "\r\n";
// How long the simulator sleeps on the stop signal once the sensor's state leaves it nothing
// to send; any long time does.
constexpr std::chrono::milliseconds kIdleWait{60'000};

std::int32_t clamp_i32(double v) {
    if (!(v == v)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

// Sends a sentence, dropping first whatever still waits on the line: a reply that came too late
// for an earlier sentence is never taken for this one's.
void send_sentence(const Session& s, const std::string& body) {
    s.port->purge_input();
    s.send(eti_sentence(body));
}

// One question and its answer: the fields of `form`, or nothing after telling why. A reply that
// carries another command (one to an earlier sentence, arriving just after the discard) is
// passed over and the next one read, a few at most, so a chattering line cannot hold the
// exchange.
std::optional<std::vector<ScannedField>> ask(const Session& s, const std::string& body,
                                             const char* form, std::size_t count,
                                             std::int32_t command,
                                             std::string_view read_error = "RS232 read error") {
    constexpr int kMostPassedOver = 8;
    send_sentence(s, body);
    for (int passed_over = 0;; ++passed_over) {
        const Reply reply = read_until(*s.port, kEnd);
        if (reply.status != ReadStatus::ok) {
            s.status(std::string(read_error) +
                     printf_text(" (%d)", static_cast<int>(reply.status)));
            return std::nullopt;
        }
        const std::string_view text = reply_body(reply, kEnd);
        const std::string ignoring = "Ignoring >>" + common::visible_text(text) + "<<";
        const auto head = scan_reply(text, "$CMD,%d");
        const bool other_command = head.size() == 1 && std::get<std::int32_t>(head[0]) != command;
        if (other_command && passed_over < kMostPassedOver) {
            s.status(ignoring);
            continue;
        }
        auto fields = scan_reply(text, form);
        if (other_command || fields.size() != count) {
            s.status(ignoring);
            return std::nullopt;
        }
        const std::uint16_t computed = eti_reply_crc(text);
        const std::uint32_t received = std::get<std::uint32_t>(fields.back());
        if (computed != received) {
            s.status(printf_text("Invalid CRC (%04X != %04X", computed, received));
            return std::nullopt;
        }
        return fields;
    }
}

std::uint32_t field_u32(const std::vector<ScannedField>& f, std::size_t i) {
    return std::get<std::uint32_t>(f[i]);
}

}  // namespace

std::string eti_measure_body(const SimulatorSettings& sim) {
    const double salinity = common::decimal_milli(printf_text("%.2f", sim.salinity)) / 10.0;
    const double temperature = common::decimal_milli(printf_text("%.3f", sim.temperature));
    return printf_text("$CMD,1,%d,%d,%d,%d,%d,%d", clamp_i32(salinity), clamp_i32(temperature),
                       clamp_i32(sim.min_depth * 10.0), sim.p1, sim.p2, sim.p3);
}

void run_eti_simulation(common::WorkerControl& control, const Session& s) {
    const auto sample_wait = std::chrono::milliseconds(std::int64_t{s.sim.sample_interval} * 1000);
    s.clear_rows();
    std::uint32_t state = 0;
    while (state == 0) {
        if (control.stop_requested()) {
            return;
        }
        if (auto f = ask(s, "$CMD,0", "$CMD,%d,%u,%u,%d*%x", 5, 0)) {
            state = field_u32(*f, 1);
            s.status(printf_text("state=%d, supply=%.1f, temperature=%.2f", static_cast<int>(state),
                                 field_u32(*f, 2) / 10.0, std::get<std::int32_t>((*f)[3]) / 10.0));
            if (state != 0) {
                break;
            }
        }
        if (s.pause(control, sample_wait)) {
            return;
        }
    }
    while (!control.stop_requested()) {
        if (state == 1 || state == 3) {
            send_sentence(
                s, printf_text("$CMD,2,%d", clamp_i32(static_cast<double>(s.clock.utc_now()))));
            const Reply clock_reply = read_until(*s.port, kEnd);
            if (clock_reply.status == ReadStatus::ok) {
                for (;;) {
                    if (auto f = ask(s, eti_measure_body(s.sim), "$CMD,%d,%u*%x", 3, 1)) {
                        state = field_u32(*f, 1);
                        s.status(printf_text("state=%d", static_cast<int>(state)));
                        if (state != 2) {
                            break;
                        }
                    }
                    if (s.pause(control, sample_wait)) {
                        return;
                    }
                }
            } else {
                s.status(
                    printf_text("RS232 read error (%d)", static_cast<int>(clock_reply.status)));
            }
        }
        if (state == 3) {
            if (auto f = ask(s, "$CMD,3", "$CMD,%d,%u,%u,%d*%x", 5, 3, "RS232 read error still")) {
                const EtiResult r{field_u32(*f, 1), field_u32(*f, 2),
                                  std::get<std::int32_t>((*f)[3])};
                s.status(printf_text("time=%d,value=%.3f,temp=%.3f", static_cast<int>(r.time),
                                     r.value / 1000.0, r.temperature / 1000.0));
                s.add_row(eti_row(r));
            }
        } else if (state != 1) {
            while (!s.pause(control, kIdleWait)) {
            }
            return;
        }
    }
}

}  // namespace kelpira::host_platform
