// Row texts, the definition and dry-run walks, and the summary file.
#include "statemachine/state_summary.hpp"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/csv_cell.hpp"
#include "common/safe_file.hpp"
#include "statemachine/state_transition.hpp"

namespace kelpira::statemachine {

namespace {

enum Column : std::size_t {
    kState,
    kMode,
    kValves,
    kPump,
    kLeds,
    kPd5V,
    kRec,
    kDelay,
    kDefaultNext,
    kCounter1,
    kDive = kCounter1 + kCounterCount,
    kClimb,
    kPumpTimeout,
};

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

// "0.3.15": the set indices joined by ".", or "none".
std::string index_list(const std::vector<unsigned>& indices) {
    if (indices.empty()) {
        return "none";
    }
    std::string out;
    for (const unsigned i : indices) {
        if (!out.empty()) {
            out += '.';
        }
        out += std::to_string(i);
    }
    return out;
}

std::string power_text(std::uint8_t mode) {
    switch (mode) {
        case kPowerIdle:
            return "idle";
        case kPowerOperating:
            return "operating";
        case kPowerSleeping:
            return "sleeping";
        case kPowerHibernating:
            return "hibernating";
        default:
            return format("unknown (%u)", unsigned{mode});
    }
}

const char* microstep_text(std::uint8_t code) {
    static constexpr const char* kTexts[] = {"16x", "8x", "4x", "2x", "1x"};
    return kTexts[std::min<std::size_t>(code, 4)];
}

const char* stop_text(std::uint8_t mode) {
    return mode == kStopOnHall ? "hall" : mode == kStopOnStepCount ? "steps" : "time";
}

std::string pump_text(const StateRecord& s) {
    if (s.pump_on != 1) {
        return "off";
    }
    return format("%umA;%u\u00B5s;%s;%s;%s;%us", unsigned{s.winding_current_ma},
                  unsigned{s.step_period_us}, microstep_text(s.microstep_code),
                  s.pump_direction == 1 ? "withdraw" : "inject", stop_text(s.pump_stop_mode),
                  unsigned{s.pump_timeout_s});
}

std::string counter_text(const Counter& c, SummaryMode mode, std::uint8_t value) {
    switch (c.mode) {
        case kCounterIncOnly:
            return c.increment != 0 ? format("inc by %u", unsigned{c.increment}) : "";
        case kCounterIncAndTest:
            if (mode == SummaryMode::definition) {
                return format("inc by %u and if > %u goto state %u", unsigned{c.increment},
                              unsigned{c.limit}, unsigned{c.next_state});
            }
            return format("if %u > %u goto state %u", unsigned{value} + c.increment,
                          unsigned{c.limit}, unsigned{c.next_state});
        case kCounterReset:
            return "reset to zero";
        default:
            return "?";
    }
}

std::string trigger_text(const DepthTrigger& t, const char* pattern) {
    return t.level >= 1 && t.level <= 3 ? format(pattern, unsigned{t.level}, unsigned{t.next_state})
                                        : "";
}

std::uint32_t clamp_state(std::uint32_t n, std::uint16_t last_index) {
    return std::min<std::uint32_t>(n, last_index);
}

std::string end_message(std::uint8_t power_mode) {
    switch (power_mode) {
        case kPowerIdle:
            return "Dry-run ended at IDLE state.";
        case kPowerHibernating:
            return "Dry-run ended at HIBERNATING state.";
        default:
            return "Dry-run terminated unexpectedly.";
    }
}

}  // namespace

SummaryRow summary_row(const StateRecord& s, std::size_t index, SummaryMode mode,
                       const std::array<std::uint8_t, kCounterCount>& counters) {
    SummaryRow row;
    row[kState] = std::to_string(index);
    row[kMode] = power_text(s.power_mode);
    if (s.power_mode == kPowerOperating) {
        std::vector<unsigned> valves;
        for (unsigned i = 0; i < kValveCount; ++i) {
            if ((s.valve_mask >> i) & 1u) {
                valves.push_back(i);
            }
        }
        std::vector<unsigned> leds;
        for (unsigned i = 0; i < kLedCount; ++i) {
            if (s.led_drive[i] != 0) {
                leds.push_back(i);
            }
        }
        row[kValves] = index_list(valves);
        row[kPump] = pump_text(s);
        row[kLeds] = index_list(leds);
        row[kPd5V] = s.state_switch == kSwitchOn ? "on" : "off";
        row[kRec] = s.photodiode_power != 0 ? "on" : "off";
    }
    if (s.power_mode == kPowerOperating || s.power_mode == kPowerSleeping) {
        // The delay prints as a signed number, as the table always has.
        row[kDelay] = s.delay_mode != 0 ? "sched" : format("%ds", static_cast<int>(s.delay_s));
        row[kDefaultNext] = format("goto state %d", int{s.default_next});
        for (std::size_t k = 0; k < kCounterCount; ++k) {
            row[kCounter1 + k] = counter_text(s.counter[k], mode, counters[k]);
        }
        row[kDive] = trigger_text(s.dive_trigger, "if diving below P%u goto state %u");
        row[kClimb] = trigger_text(s.climb_trigger, "if climbing above P%u goto state %u");
        if (s.pump_on == 1 && s.pump_stop_mode == kStopOnHall) {
            row[kPumpTimeout] =
                format("if pump times out goto state %u", unsigned{s.pump_timeout_next});
        }
    }
    return row;
}

Summary build_summary(const StateMachineImage& image, const SummaryRequest& request) {
    const bool dry_run = request.mode == SummaryMode::dry_run;
    Summary out;
    out.title = format("State Machine %s (%d states)", dry_run ? "Dry Run" : "Definition",
                       static_cast<int>(image.state_count()));
    WalkState walk;
    std::uint32_t state = 0;
    if (dry_run) {
        state = clamp_state(request.start_state, image.last_index);
        if (request.pump_timeout_state) {
            walk.pump_timeout_state = static_cast<std::uint8_t>(
                clamp_state(*request.pump_timeout_state, image.last_index));
        }
    }
    for (std::size_t i = 0;; ++i) {
        if (i > 0) {
            std::uint32_t next = state + 1;
            if (dry_run) {
                const StateRecord& p = image.states[state];
                if (ends_walk(p)) {
                    out.end_message = end_message(p.power_mode);
                    break;
                }
                next = leave_state(p, static_cast<std::uint8_t>(state), walk);
            }
            if (next > image.last_index) {
                if (dry_run) {
                    out.end_message =
                        format("Dry run terminated by invalid state reference (%u)", next);
                }
                break;
            }
            state = next;
        }
        out.rows.push_back(summary_row(image.states[state], state, request.mode, walk.counters));
        if (out.rows.size() == kDryRunRowLimit) {
            if (dry_run) {
                out.end_message = format(
                    "Dry run terminated after %d iterations to avoid probable infinite loop.",
                    static_cast<int>(kDryRunRowLimit));
            }
            break;
        }
    }
    return out;
}

std::string summary_text(const Summary& summary) {
    std::string text;
    common::append_csv_line(text, kSummaryColumns, &SummaryColumn::title);
    for (const auto& row : summary.rows) {
        common::append_csv_line(text, row);
    }
    return text;
}

bool save_summary(const std::string& path, const Summary& summary) {
    const std::string text = summary_text(summary);
    return common::write_file_safely(path, [&text](std::ostream& out) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        return static_cast<bool>(out);
    });
}

std::string summary_saved_message(const std::string& path) {
    return "Summary saved to " + path;
}

std::string summary_open_failed_message(const std::string& path) {
    return "Unable to open " + path + " for write";
}

}  // namespace kelpira::statemachine
