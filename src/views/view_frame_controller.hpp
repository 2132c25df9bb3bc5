// The frame every operation view shares: the view's copy of the chemistry record, the
// start-state list built from it, the Autostart box, and what the link state enables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "records/chemistry_config.hpp"
#include "views/link_flags.hpp"

namespace kelpira::views {

// One entry of the start-state list: what the list shows and the state Start sends.
struct StartStateEntry {
    std::string label;
    std::uint8_t state;

    bool operator==(const StartStateEntry&) const = default;
};

// "Deploy", "Prime", "Flush", "Special1", "Special2", "Special3", in that order, each only
// when its start state is set.
std::vector<StartStateEntry> start_state_list(const records::ChemistryConfig& chemistry);

// The copy a view works with when the sensor's record cannot be read: all zero but the three
// manual flushing, priming and deployment states, which are unset. It offers the three special
// states at 0 and ticks Autostart.
records::ChemistryConfig fallback_chemistry_config();

// What the frame's controls may be used for.
struct FrameEnabling {
    bool start_list = false;  // the drop-down list and Start
    bool stop = false;
    bool pause = false;  // "Pause Display"

    bool operator==(const FrameEnabling&) const = default;
};

// `pause_always`: the view whose "Pause Display" stays usable without a connection (the
// processed output text).
FrameEnabling frame_enabling(LinkFlags flags, bool start_list_empty, bool pause_always);

// A view's frame state, on the UI thread.
class ViewFrameState {
  public:
    // At creation: reads the sensor's record; when that fails tells the user ("Chemistry")
    // and takes the fallback copy.
    void load(link::SensorLink& link, common::Prompter& prompter);
    // On a reload: reads the record again; false, with everything as it was, when that fails.
    bool reload(link::SensorLink& link);

    void set_flags(LinkFlags flags) { flags_ = flags; }
    LinkFlags flags() const { return flags_; }

    const records::ChemistryConfig& chemistry() const { return chemistry_; }
    // Whether the record of the creation read came from the sensor (not the fallback).
    bool read_from_sensor() const { return read_from_sensor_; }
    const std::vector<StartStateEntry>& start_states() const { return start_states_; }
    // Ticked while the sensor starts by itself at power-up.
    bool autostart() const;
    FrameEnabling enabling(bool pause_always) const;

  private:
    void take(const records::ChemistryConfig& chemistry);

    LinkFlags flags_ = 0;
    bool read_from_sensor_ = false;
    records::ChemistryConfig chemistry_ = fallback_chemistry_config();
    std::vector<StartStateEntry> start_states_ = start_state_list(chemistry_);
};

}  // namespace kelpira::views
