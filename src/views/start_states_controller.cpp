// The start states dialog: GET_CHEMISTRY_CONFIG and GET_STATE_MACHINE_INFO on opening,
// SET_CHEMISTRY_CONFIG on Save.
#include "views/start_states_controller.hpp"

#include "link/operation_commands.hpp"
#include "records/chemistry_transfer.hpp"

namespace kelpira::views {

namespace {

using Field = std::uint8_t records::ChemistryConfig::*;

constexpr std::array<Field, kStartStateRows> kFields{
    &records::ChemistryConfig::start_auto_deployment,
    &records::ChemistryConfig::start_manual_deployment,
    &records::ChemistryConfig::start_manual_priming,
    &records::ChemistryConfig::start_manual_flushing,
    &records::ChemistryConfig::start_special1,
    &records::ChemistryConfig::start_special2,
    &records::ChemistryConfig::start_special3,
};

constexpr std::uint8_t kHighestStoredState = 254;  // 255 means "not set"

}  // namespace

const std::array<const char*, kStartStateRows> kStartStateCaptions{
    "Automatic Deployment Start State", "Manual Deployment Start State",
    "Manual Priming Start State",       "Manual Flushing Start State",
    "Manual Special1 Start State",      "Manual Special2 Start State",
    "Manual Special3 Start State",
};

bool StartStatesController::open(link::SensorLink& link, common::Prompter& prompter,
                                 bool toggle_autostart) {
    if (records::get_chemistry_config(link, copy_) != link::kResultSuccess) {
        prompter.message("State Machine Control States",
                         "Unable to read State Machine Control States from sensor.");
        return false;
    }
    std::uint16_t states = 0;
    highest_.reset();
    if (link::get_state_machine_info(link, states) == link::kResultSuccess && states > 0) {
        highest_ = static_cast<std::uint16_t>(states - 1);
    }
    if (toggle_autostart) {
        copy_.start_auto_deployment =
            copy_.start_auto_deployment != records::kStateDisabled ? records::kStateDisabled : 0;
    }
    for (std::size_t i = 0; i < kStartStateRows; ++i) {
        const std::uint8_t v = copy_.*kFields[i];
        rows_[i].ticked = v != records::kStateDisabled;
        rows_[i].value = v != records::kStateDisabled ? v : 0;
    }
    return true;
}

bool StartStatesController::out_of_range(std::size_t row) const {
    return rows_[row].ticked && highest_ && rows_[row].value > *highest_;
}

records::ChemistryConfig StartStatesController::record() const {
    records::ChemistryConfig c = copy_;
    for (std::size_t i = 0; i < kStartStateRows; ++i) {
        std::uint8_t v = records::kStateDisabled;
        if (rows_[i].ticked) {
            v = rows_[i].value >= records::kStateDisabled
                    ? kHighestStoredState
                    : static_cast<std::uint8_t>(rows_[i].value);
        }
        c.*kFields[i] = v;
    }
    return c;
}

bool StartStatesController::save(link::SensorLink& link, common::Prompter& prompter) {
    if (records::set_chemistry_config(link, record()) != link::kResultSuccess) {
        prompter.message("Save", "Failed to write State Machine Control States from sensor.");
        return false;
    }
    return true;
}

}  // namespace kelpira::views
