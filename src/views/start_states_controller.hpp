// The "State Machine Start States" dialog without its widgets: the seven start states of the
// chemistry record, each a tick and a number, the range check against the loaded program,
// and the save.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "records/chemistry_config.hpp"

namespace kelpira::views {

inline constexpr std::size_t kStartStateRows = 7;

// Row captions, top to bottom: automatic deployment, then the six manual states.
extern const std::array<const char*, kStartStateRows> kStartStateCaptions;

struct StartStateRow {
    bool ticked = false;
    std::uint64_t value = 0;  // the number field as typed; saved as at most 254
};

// Used on the UI thread.
class StartStatesController {
  public:
    // Reads the record and the program's state count. `toggle_autostart` (opened from a
    // view's Autostart box) flips the automatic row in the dialog's copy. False, after telling
    // the user, when the record cannot be read: the dialog closes.
    bool open(link::SensorLink& link, common::Prompter& prompter, bool toggle_autostart);

    std::array<StartStateRow, kStartStateRows>& rows() { return rows_; }
    const std::array<StartStateRow, kStartStateRows>& rows() const { return rows_; }
    // The last state of the loaded program; none without a program or when unreadable.
    std::optional<std::uint16_t> highest_valid_state() const { return highest_; }
    // A ticked row whose number lies beyond the loaded program is drawn in red.
    bool out_of_range(std::size_t row) const;

    // Writes the whole record; an unticked row is stored as 255. True: the dialog closes.
    // False after "Failed to write ..." ("Save"): it stays open.
    bool save(link::SensorLink& link, common::Prompter& prompter);
    // The record as save() writes it.
    records::ChemistryConfig record() const;

  private:
    records::ChemistryConfig copy_;
    std::optional<std::uint16_t> highest_;
    std::array<StartStateRow, kStartStateRows> rows_{};
};

}  // namespace kelpira::views
