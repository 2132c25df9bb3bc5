// The report's pH and TA parameter lines: the report's own captions where they are not the
// dialogs', its own order, and each value in its number format.
#include <gtest/gtest.h>

#include "records/processing_params.hpp"
#include "report/report_sections.hpp"

namespace kelpira::report {
namespace {

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
