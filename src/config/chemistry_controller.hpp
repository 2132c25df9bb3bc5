// "Configure Chemistry": reads the sensor's chemistry record and processing parameters, shows
// them on the page of their chemistry's tab, and writes what the user saves.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/prompter.hpp"
#include "config/chemistry_page.hpp"
#include "link/sensor_link.hpp"
#include "link/write_outcome.hpp"
#include "records/chemistry_config.hpp"

namespace kelpira::config {

inline constexpr const char* kChemistryCaption = "Configure Chemistry";

// One processing record per kind of page, so the five nutrient tabs share one.
using ProcessingBuffers = std::array<std::vector<std::uint8_t>, 6>;

std::vector<std::uint8_t>& buffer_of(ProcessingBuffers& buffers,
                                     const records::ChemistryDescriptor& d);

// Reads the chemistry record, finds its tab and reads its processing record into that tab's
// buffer. 0 with `tab` set; 4 when no tab carries the chemistry; else the failing result
// (14 when the transaction failed).
link::CommandResult load_chemistry(link::SensorLink& link, records::ChemistryConfig& record,
                                   ProcessingBuffers& buffers, std::size_t& tab);

// Writes `record`, then (only if that succeeded) the processing record of its chemistry from
// `tab`'s buffer: the outcome of each, "chemistry" and "processing parameters", not yet
// confirmed by a read-back.
std::array<link::RecordWrite, 2> save_chemistry(link::SensorLink& link,
                                                const records::ChemistryConfig& record,
                                                ProcessingBuffers& buffers, std::size_t tab);

struct ChemistryController {
    records::ChemistryConfig config;  // the dialog's record
    ProcessingBuffers buffers;
    std::size_t tab = 0;     // index into kChemistryTable
    ChemistryPageView page;  // the current tab's page; only one exists at a time

    bool save_enabled() const { return page.checked && !page.unread; }
};

// Opening: the dialog on its chemistry's tab, or on Generic with defaults after the
// Compatibility message; nothing when the sensor could not be read (the dialog closes).
std::optional<ChemistryController> open_chemistry_dialog(link::SensorLink& link,
                                                         common::Prompter& prompter);

// Another tab chosen: its page replaces the old one; the sensor's own chemistry is read again.
// When that read fails the page is marked unread (disabled, never saved) and the dialog keeps
// the records it last read whole.
void change_chemistry_tab(ChemistryController& dialog, std::size_t tab, link::SensorLink& link,
                          common::Prompter& prompter);

// "Save": writes the current page, reads back and shows what the sensor kept. Does nothing
// while the page's check box is clear or the page is unread. A failure says per record what
// the sensor holds: "Failed to save settings" and a line such as "Chemistry written;
// processing parameters not written: no answer (status 14), the sensor may hold either".
void save_chemistry_dialog(ChemistryController& dialog, link::SensorLink& link,
                           common::Prompter& prompter);

}  // namespace kelpira::config
