// The legacy layout's round trip, compared state by state.
#include "statemachine/legacy_losses.hpp"

#include "statemachine/legacy_layout.hpp"

namespace kelpira::statemachine {

LegacyLosses legacy_losses(const StateMachineImage& image) {
    LegacyLosses losses;
    for (std::size_t i = 0; i < image.state_count(); ++i) {
        // Both sides as a load gives them: what every load changes is no loss of this layout.
        StateRecord kept = image.states[i];
        normalise(kept);
        StateRecord back = from_legacy(to_legacy(kept));
        normalise(back);
        if (back == kept) {
            continue;
        }
        // Each kind found is put back, so that what remains names the rest.
        if (kept.power_mode == kPowerHibernating) {
            losses.hibernation = true;
            back.power_mode = kept.power_mode;
        }
        if (back.sync_value != kept.sync_value) {
            losses.sync_values = true;
            back.sync_value = kept.sync_value;
        }
        if (back.led_drive != kept.led_drive) {
            losses.led_currents = true;
            back.led_drive = kept.led_drive;
        }
        if (back.counter != kept.counter || back.dive_trigger != kept.dive_trigger ||
            back.climb_trigger != kept.climb_trigger) {
            losses.counter_modes = true;
            back.counter = kept.counter;
            back.dive_trigger = kept.dive_trigger;
            back.climb_trigger = kept.climb_trigger;
        }
        losses.other |= back != kept;
    }
    return losses;
}

std::string legacy_losses_text(const LegacyLosses& losses) {
    std::string text;
    const auto add = [&text](bool lost, const char* what) {
        if (lost) {
            text += (text.empty() ? "" : ", ") + std::string(what);
        }
    };
    add(losses.hibernation, "hibernation (read back as idle)");
    add(losses.sync_values, "sync values");
    add(losses.led_currents, "LED currents other than the default");
    add(losses.counter_modes, "counter and trigger modes");
    add(losses.other, "other values it has no place for");
    return text;
}

}  // namespace kelpira::statemachine
