// The operation views' shared frame: start-state list, fallback record, enabling.
#include "views/view_frame_controller.hpp"

#include <array>

#include "records/chemistry_transfer.hpp"

namespace kelpira::views {

namespace {

struct StartStateField {
    const char* label;
    std::uint8_t records::ChemistryConfig::*field;
};

constexpr std::array<StartStateField, 6> kStartStateFields{{
    {"Deploy", &records::ChemistryConfig::start_manual_deployment},
    {"Prime", &records::ChemistryConfig::start_manual_priming},
    {"Flush", &records::ChemistryConfig::start_manual_flushing},
    {"Special1", &records::ChemistryConfig::start_special1},
    {"Special2", &records::ChemistryConfig::start_special2},
    {"Special3", &records::ChemistryConfig::start_special3},
}};

}  // namespace

std::vector<StartStateEntry> start_state_list(const records::ChemistryConfig& chemistry) {
    std::vector<StartStateEntry> list;
    for (const auto& f : kStartStateFields) {
        const std::uint8_t state = chemistry.*f.field;
        if (state != records::kStateDisabled) {
            list.push_back({f.label, state});
        }
    }
    return list;
}

records::ChemistryConfig fallback_chemistry_config() {
    records::ChemistryConfig c;
    c.start_manual_flushing = records::kStateDisabled;
    c.start_manual_priming = records::kStateDisabled;
    c.start_manual_deployment = records::kStateDisabled;
    return c;
}

FrameEnabling frame_enabling(LinkFlags flags, bool start_list_empty, bool pause_always) {
    FrameEnabling e;
    if ((flags & kLinkConnected) != 0) {
        const bool running = (flags & kLinkRunning) != 0;
        e.start_list = !start_list_empty && !running;
        e.stop = running;
        e.pause = true;
    } else {
        e.pause = pause_always;
    }
    return e;
}

void ViewFrameState::take(const records::ChemistryConfig& chemistry) {
    chemistry_ = chemistry;
    start_states_ = start_state_list(chemistry_);
}

void ViewFrameState::load(link::SensorLink& link, common::Prompter& prompter) {
    records::ChemistryConfig read;
    if (records::get_chemistry_config(link, read) == link::kResultSuccess) {
        read_from_sensor_ = true;
        take(read);
        return;
    }
    prompter.message("Chemistry", "Unable to get current chemistry from sensor");
    take(fallback_chemistry_config());
}

bool ViewFrameState::reload(link::SensorLink& link) {
    records::ChemistryConfig read;
    if (records::get_chemistry_config(link, read) != link::kResultSuccess) {
        return false;
    }
    take(read);
    return true;
}

bool ViewFrameState::autostart() const {
    return chemistry_.start_auto_deployment != records::kStateDisabled;
}

FrameEnabling ViewFrameState::enabling(bool pause_always) const {
    return frame_enabling(flags_, start_states_.empty(), pause_always);
}

}  // namespace kelpira::views
