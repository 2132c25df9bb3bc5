// The rules a dialog applies between the fields of one record, for the sensor it is open on:
// the import applies them to each record it would write, after the rules of each field.
#pragma once

#include <string>

#include "records/chemistry_config.hpp"
#include "records/clock_records.hpp"
#include "records/nutrient_params.hpp"
#include "records/optics_records.hpp"
#include "records/platform_records.hpp"

namespace kelpira::report {

// Each takes the record as the snapshot would leave it (`wanted`) and the sensor's record
// (`held`). Throws SnapshotFault naming the field the dialog would not let the user set;
// may change `wanted` as the dialog would store it, and then returns a note saying so.
template <typename Rec>
std::string record_rules(Rec&, const Rec&) {
    return "";
}

// The multiplexer is one the page of the record's chemistry offers (None on a page without the
// list), and the sample interval one it stores (1000 ms on a page without the field).
std::string record_rules(records::ChemistryConfig& wanted, const records::ChemistryConfig& held);

// A schedule is set only on firmware whose layout has the schedule dialog; a stop time only
// with stop_enabled (or as the sensor holds it); the interval count goes with its kind; the
// interval is stored as the dialog stores it for the sensor's layout (minute intervals on layout 2
// become every 30 minutes, and on layout 3 every 30 minutes is stored as 30 minute intervals).
std::string record_rules(records::MeasurementSchedule& wanted,
                         const records::MeasurementSchedule& held);

// The two bytes the nutrient dialog derives from the output channel and its monitor
// (output_monitored, output_monitor) are derived the same way once the record changes: a
// snapshot giving other values than the sensor's and the derived ones is refused.
std::string record_rules(records::NutrientParams& wanted, const records::NutrientParams& held);

// The RS232 protocol is named by every name the sensor knows, but set only to one the
// "Platform" list offers.
std::string record_rules(records::Rs232Config& wanted, const records::Rs232Config& held);

// An H10492's control voltage stays within the range the dialog limits it to.
std::string record_rules(records::PmtConfig& wanted, const records::PmtConfig& held);

}  // namespace kelpira::report
