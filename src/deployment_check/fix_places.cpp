// The menu path and command of every item.
#include "deployment_check/fix_places.hpp"

#include <algorithm>
#include <iterator>

namespace kelpira::deployment_check {

namespace {

struct Row {
    std::string_view id;
    FixPlace place;
};

constexpr std::string_view kStateMachine = "Configure > State Machine...";
constexpr std::string_view kSmCommand = "kelpira-ctl sm get FILE, then sm put FILE";

constexpr Row kPlaces[] = {
    {"link", {"the Connect view (plug the sensor in, start its firmware)", "kelpira-ctl list"}},
    {"firmware", {"View > Firmware Compatibility", "kelpira-ctl upgrade FILE"}},
    {"supply", {"the sensor's power supply (charge or change the battery)", ""}},
    {"clock", {"Configure > Real Time Clock...", "kelpira-ctl clock --sync-pc --utc"}},
    {"running", {"Stop, under Sensor Control in the main window", "kelpira-ctl stop"}},
    {"program", {kStateMachine, kSmCommand}},
    {"references", {kStateMachine, kSmCommand}},
    {"faults", {kStateMachine, kSmCommand}},
    {"states", {"Configure > State Machine Start States...", kSmCommand}},
    {"timeline", {"Configure > Measurement Schedule...", kSmCommand}},
    {"schedule", {"Configure > Measurement Schedule...", ""}},
    {"cycle", {kStateMachine, kSmCommand}},
    {"endurance",
     {"the reagent bags, or the Deployment Check entries",
      "kelpira-ctl check --stroke-ul V --reagent VALVE=ML"}},
    {"battery", {"the battery pack", "kelpira-ctl check --battery-wh W --cycle-wh E --sleep-w P"}},
    {"serial", {"Configure > RS232...", "kelpira-ctl check --platform NAME"}},
    {"thermistors", {"Configure > Thermistors...", ""}},
};

}  // namespace

FixPlace fix_place(std::string_view item_id) {
    const auto* row = std::find_if(std::begin(kPlaces), std::end(kPlaces),
                                   [&](const Row& r) { return r.id == item_id; });
    return row == std::end(kPlaces) ? FixPlace{} : row->place;
}

}  // namespace kelpira::deployment_check
