// One page of the chemistry dialog as plain data: the check box named after its chemistry,
// its controls, fixed texts, and its own copies of the chemistry record and of the processing
// record. The page operations move values between the controls and the records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/form.hpp"
#include "records/chemistry_config.hpp"
#include "records/chemistry_type.hpp"

namespace kelpira::config {

using PageControl = common::FormControl;

struct ChemistryPageView {
    records::ChemistryType code = records::ChemistryType::generic;  // the tab's chemistry
    records::ChemistryPage kind = records::ChemistryPage::generic;
    std::string check_text;  // "Configure Sensor For ..."
    bool checked = false;
    std::vector<PageControl> controls;  // in the order shown
    std::vector<std::string> notes;     // fixed texts shown above the controls
    records::ChemistryConfig config;    // the page's copy of the chemistry record
    std::vector<std::uint8_t> params;   // the page's processing record
    // The sensor's records could not be read for this page: it shows no values of its own,
    // its check box stays clear and it is never saved (defaults must not replace a record
    // nobody saw).
    bool unread = false;
};

// The page of a chemistry the table carries, showing defaults with its check box clear.
ChemistryPageView make_chemistry_page(records::ChemistryType code);

// The processing record a freshly chosen chemistry starts from (nutrient and pH records
// carry layout 0 here; the page writes them with layout 1).
std::vector<std::uint8_t> default_processing_params(records::ChemistryType code);

// The page sets its own fields in its copy of the record and returns the whole record.
records::ChemistryConfig collect_config(ChemistryPageView& page);
// The page takes the whole record as its copy, ticks its check box as asked, shows its fields.
void show_config(ChemistryPageView& page, const records::ChemistryConfig& record, bool tick);
// The controls read into the page's processing record, which is returned.
std::vector<std::uint8_t> collect_params(ChemistryPageView& page);
// The page takes the processing record (its own length; missing bytes read as 0) and shows it.
void show_params(ChemistryPageView& page, std::span<const std::uint8_t> record);
// The page's copy becomes the default record of its chemistry, which is returned.
records::ChemistryConfig reset_config(ChemistryPageView& page, bool tick);
// The page's processing record becomes the defaults, shown and returned.
std::vector<std::uint8_t> reset_params(ChemistryPageView& page);

// The page's records could not be read: disabled and clear until the tab is read again.
void mark_unread(ChemistryPageView& page);
inline constexpr const char* kUnreadNote =
    "Not read from the sensor: this page cannot be saved. Choose its tab again to read it.";

// The check box, or a list or check box among the controls, changed (the new value is in the
// view already): the enabling rules are applied again.
void set_page_checked(ChemistryPageView& page, bool checked);
void page_control_changed(ChemistryPageView& page, std::size_t control);

// Index of the control with this group and label, for the skin's tests and the controller.
std::size_t page_control_index(const ChemistryPageView& page, std::string_view group,
                               std::string_view label);

inline constexpr const char* kParametersGroup = "Processing Parameters";

}  // namespace kelpira::config
