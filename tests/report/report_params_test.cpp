// The report's parameter lines: the report's own captions and words where they are not the
// dialogs', its own order, each value in its number format, and the words for values no list
// entry has.
#include <gtest/gtest.h>

#include "records/actuator_fields.hpp"
#include "records/chemistry_fields.hpp"
#include "records/platform_fields.hpp"
#include "report/report_sections.hpp"

namespace kelpira::report {
namespace {

// The report's line for the field `name` holding `value`.
template <typename Rec>
std::string line_of(std::string_view name, std::uint32_t value) {
    Rec r{};
    records::find_field<Rec>(name)->set(r, 0, value);
    return field_line(r, name);
}

TEST(ReportParams, ListAndCheckWordsWithTheirFallbacks) {
    using records::NutrientParams;
    using records::PumpValveDefaults;
    using records::Rs232Config;
    const std::pair<std::string, std::string> cases[] = {
        {line_of<Rs232Config>("parity", 4), "Parity: None"},
        {line_of<Rs232Config>("parity", 0), "Parity: Even"},
        {line_of<Rs232Config>("parity", 1), "Parity: Odd"},
        {line_of<Rs232Config>("parity", 2), "Parity: Space"},
        {line_of<Rs232Config>("parity", 3), "Parity: Mark"},
        {line_of<Rs232Config>("parity", 9), "Parity: unknown (9)"},
        {line_of<Rs232Config>("protocol", 1), "Protocol: Seaglider"},
        {line_of<Rs232Config>("protocol", 14), "Protocol: F250 Thermometer"},
        {line_of<Rs232Config>("protocol", 3), "Protocol: unknown or obsolete (3)"},
        {line_of<Rs232Config>("protocol", 4294967295u),
         "Protocol: unknown or obsolete (4294967295)"},
        {line_of<Rs232Config>("mode", 0), "Mode: Normal"},
        {line_of<Rs232Config>("mode", 1), "Mode: Debug"},
        {line_of<Rs232Config>("mode", 7), "Mode: Debug"},
        {line_of<records::Rs485Config>("protocol", 1), "Protocol: SenseOCEAN Hub"},
        {line_of<records::Rs485Config>("protocol", 3), "Protocol: unknown (3)"},
        {line_of<records::PlatformDefaults>("direction", 5), "Direction: Fixed"},
        {line_of<records::PlatformDefaults>("direction", 0), "Direction: unknown (0)"},
        {line_of<records::PlatformDefaults>("direction", 9), "Direction: unknown (9)"},
        {line_of<PumpValveDefaults>("direction", 1), "Pump Direction: Withdraw"},
        {line_of<PumpValveDefaults>("direction", 7), "Pump Direction: Withdraw"},
        {line_of<PumpValveDefaults>("stop_condition", 2), "Pump Stop Condition: Time"},
        {line_of<PumpValveDefaults>("stop_condition", 5), "Pump Stop Condition: unknown (5)"},
        {line_of<records::PmtConfig>("instrument", 0), "PMT Instrument: None"},
        {line_of<records::PmtConfig>("instrument", 3), "PMT Instrument: unknown (3)"},
        {line_of<records::DicConductivityConfig>("rxgain", 0), "DIC RXGAIN: OFF"},
        {line_of<records::DicConductivityConfig>("rxgain", 2), "DIC RXGAIN: ON"},
        {line_of<records::OpticsDefaults>("photodiode_power", 0), "Photodiodes 5V Power: disabled"},
        {line_of<NutrientParams>("standard_adjustment", 3), "Standard Adjustment: unknown (3)"},
        {line_of<NutrientParams>("monitor_short", 9), "Short Monitoring Channel: 9"},
        {line_of<NutrientParams>("optical_correction", 1), "Optical Correction: enabled"},
        {line_of<records::ChemistryConfig>("multiplexer", 0), "Multiplexer: none"},
        {line_of<records::ChemistryConfig>("multiplexer", 3), "Multiplexer: unknown (3)"},
    };
    for (const auto& [got, want] : cases) {
        EXPECT_EQ(got, want);
    }
}

// An inlet type the report does not know reads as a CRM inlet.
TEST(ReportParams, DicInletOfUnknownTypeIsReportedAsCrm) {
    records::DicParams dic;
    dic.inlet[2] = {.type = 3, .intake_state = 4, .measurement_state = 5, .crm_umol_kg = 2000.0f};
    const auto bytes = records::encode(dic);
    Lines lines;
    processing_param_lines(records::ChemistryType::dic, bytes, lines);
    EXPECT_EQ(lines, (Lines{"Sensor Version: 0", "Inlet 0 type: Unused", "Inlet 1 type: Unused",
                            "Inlet 2 type: CRM", "Inlet 2 measurement state: 5",
                            "Inlet 2 CRM value (umol/kg): 2000.00"}));
}

TEST(ReportParams, PhAndTaLinesInTheReportsOwnWords) {
    records::PhParams ph;
    ph.input_434 = 2;
    ph.t2_scale = 0.25f;
    const auto ph_bytes = records::encode(ph);
    Lines ph_lines;
    processing_param_lines(records::ChemistryType::ph, ph_bytes, ph_lines);
    EXPECT_EQ(ph_lines,
              (Lines{"Sensor Version: 0", "Input Channel (434nm): 2", "Input Channel (578nm): 1",
                     "Sample Intake State: 0", "Sample Measurement State: 0",
                     "Blank Start Offset (seconds): 50", "Blank End Offset (seconds): 70",
                     "Absorbance Min (434nm): 0.10000", "Absorbance Max (578nm): 0.60000",
                     "dpH/dT: -0.01582", "R-adjustment (scale): 1.00000",
                     "R-adjustment (offset): 0.00000", "T1-adjustment (scale): 0.50000",
                     "T2-adjustment (scale): 0.25000"}));

    records::TaParams ta;
    ta.measurement_channel = 2;
    ta.monitor_led1 = 1;
    ta.monitor_led2 = 3;
    ta.blank_led1_state = 4;
    ta.sample_led2_state = 7;
    ta.processing_trigger = 9;
    ta.temperature_coefficient = 0.125f;
    ta.titrant_molarity = 0.1f;
    ta.pka = 4.5f;
    ta.e3 = 2.5f;
    const auto ta_bytes = records::encode(ta);
    Lines ta_lines;
    processing_param_lines(records::ChemistryType::ta, ta_bytes, ta_lines);
    EXPECT_EQ(ta_lines,
              (Lines{"Sensor Version: 0", "Measurement Channel: 2", "Sample Intake State: 0",
                     "Blank Measurement State (LED1): 4", "Blank Measurement State (LED2): 0",
                     "Sample Measurement State (LED1): 0", "Sample Measurement State (LED2): 7",
                     "Processing Trigger: unknown (9)", "Titrant Acid Molarity (M): 0.1",
                     "Temperature Coefficient (Ct): 0.125", "Monitoring Channel (LED1): 1",
                     "Monitoring Channel (LED2): 3", "pKa: 4.5", "e1: 0", "e2: 0", "e3: 2.5"}));
}

}  // namespace
}  // namespace kelpira::report
