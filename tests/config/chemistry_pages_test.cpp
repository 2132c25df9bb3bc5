// The chemistry pages without a sensor: what each page writes into the two records from what
// is typed and chosen (clamps, conversions, list lookups, derived bytes), the number formats,
// and the enabling rules.
#include <gtest/gtest.h>

#include <array>

#include "common/number_text.hpp"
#include "config/chemistry_entries.hpp"
#include "config/chemistry_page.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"

namespace kelpira::config {
namespace {

PageControl& control(ChemistryPageView& page, std::string_view label,
                     std::string_view group = kParametersGroup) {
    return page.controls[page_control_index(page, group, label)];
}

void type(ChemistryPageView& page, std::string_view label, std::string text,
          std::string_view group = kParametersGroup) {
    control(page, label, group).text = std::move(text);
}

void choose(ChemistryPageView& page, std::string_view label, std::string_view entry,
            std::string_view group = kParametersGroup) {
    PageControl& c = control(page, label, group);
    for (std::size_t i = 0; i < c.choices.size(); ++i) {
        if (c.choices[i].text == entry) {
            c.selected = i;
            page_control_changed(page, page_control_index(page, group, label));
            return;
        }
    }
    FAIL() << "no entry " << entry << " in " << label;
}

PageControl typed_field(std::string text) {
    PageControl c;
    c.text = std::move(text);
    return c;
}

TEST(ChemistryEntries, ClampsAndConversions) {
    EXPECT_EQ(state_value(typed_field("300")), 254);
    EXPECT_EQ(state_value(typed_field(" 17 ")), 17);
    EXPECT_EQ(state_value(typed_field("99999999999")), 254) << "past 32 bits is large, not 0";
    EXPECT_EQ(state_value(typed_field("-3")), 0) << "unsigned decimal only";
    EXPECT_EQ(state_value(typed_field("12abc")), 0);
    EXPECT_EQ(interval_value(typed_field("50")), 100u);
    EXPECT_EQ(interval_value(typed_field("5000")), 1000u);
    EXPECT_EQ(interval_value(typed_field("250")), 250u);
    EXPECT_EQ(interval_value(typed_field("")), 100u);
    EXPECT_EQ(fixed5_text(-0.01582f), "-0.01582");
    EXPECT_EQ(crm_text(2012.4949f), "2012.50") << "%.2f of the value plus 0.001";
}

TEST(GenericPage, FilledRecordBytesAndIntervalClamps) {
    ChemistryPageView page = make_chemistry_page(records::ChemistryType::generic);
    EXPECT_EQ(page.check_text, "Configure Sensor For Generic");
    records::ChemistryConfig sensor =
        records::default_chemistry_config(records::ChemistryType::nitrate);
    sensor.reserved0 = 9;
    sensor.start_special2 = 12;
    sensor.reserved16 = 0xBEEF;
    show_config(page, sensor, true);
    EXPECT_EQ(control(page, "Sample Interval (ms)").text, "1000");

    type(page, "Sample Interval (ms)", "50");
    EXPECT_EQ(collect_config(page).sample_interval_ms, 100u);
    type(page, "Sample Interval (ms)", "5000");
    const records::ChemistryConfig written = collect_config(page);
    EXPECT_EQ(written.sample_interval_ms, 1000u);
    EXPECT_EQ(written.chemistry, records::ChemistryType::generic);
    EXPECT_EQ(written.reserved0, 9) << "every other byte as read";
    EXPECT_EQ(written.start_special2, 12);
    EXPECT_EQ(written.reserved16, 0xBEEF);

    type(page, "Sample Intake State", "300");
    type(page, "Sample Measurement State", "7");
    type(page, "Ch 2", "1.5", "Offset");
    type(page, "Ch 7", "-0.25", "Scale");
    const auto bytes = collect_params(page);
    ASSERT_EQ(bytes.size(), 67u);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 254);
    EXPECT_EQ(bytes[2], 7);
    // Offset 2 at 3 + 2*4 = 11: 1.5f is 0x3FC00000; scale 7 at 35 + 28 = 63: -0.25f 0xBE800000.
    EXPECT_EQ((std::array{bytes[11], bytes[12], bytes[13], bytes[14]}),
              (std::array<std::uint8_t, 4>{0x00, 0x00, 0xC0, 0x3F}));
    EXPECT_EQ((std::array{bytes[63], bytes[64], bytes[65], bytes[66]}),
              (std::array<std::uint8_t, 4>{0x00, 0x00, 0x80, 0xBE}));
    EXPECT_EQ(records::decode_generic_params(bytes).scale[0], 1.0f);
}

TEST(PhPage, RecordFromTheControls) {
    ChemistryPageView page = make_chemistry_page(records::ChemistryType::ph);
    // pH, 100 ms, the pH multiplexer, Manual Deployment at 0 and the other starts off.
    EXPECT_EQ(records::encode(reset_config(page, true)),
              (std::array<std::uint8_t, 18>{0, 4, 100, 0, 0, 0, 1, 255, 255, 255, 0, 255, 255, 255,
                                            0, 0, 0, 0}));
    EXPECT_EQ(control(page, "dpH/dT").text, "-0.01582");
    EXPECT_EQ(control(page, "Multiplexer").choices[*control(page, "Multiplexer").selected].text,
              "pH");
    choose(page, "Multiplexer", "None");
    type(page, "Sample Interval (ms)", "250");
    type(page, "Blank Start Offset (seconds)", "65537");
    choose(page, "Input Channel (578nm)", "6");
    type(page, "R-adjustment (offset)", "0.125");
    const records::ChemistryConfig c = collect_config(page);
    EXPECT_EQ(c.chemistry, records::ChemistryType::ph);
    EXPECT_EQ(c.sample_interval_ms, 250u);
    EXPECT_EQ(c.multiplexer, 0);
    const records::PhParams p = records::decode_ph_params(collect_params(page));
    EXPECT_EQ(p.layout, 1) << "always written 1";
    EXPECT_EQ(p.blank_start_s, 65535) << "saturates, never wraps";
    EXPECT_EQ(p.input_578, 6);
    EXPECT_EQ(p.r_offset, 0.125f);
    EXPECT_EQ(p.blank_end_s, 70);

    // A stored value no entry carries gets an entry of its own, and is written back as read.
    records::ChemistryConfig odd = records::default_chemistry_config(records::ChemistryType::ph);
    odd.multiplexer = 2;
    show_config(page, odd, true);
    EXPECT_EQ(control(page, "Multiplexer").choices.back().text, "unknown (2)");
    EXPECT_EQ(collect_config(page).multiplexer, 2);
}

TEST(NutrientPage, FilledRecordBytes) {
    ChemistryPageView page = make_chemistry_page(records::ChemistryType::nitrite);
    EXPECT_EQ(page.check_text, "Configure Sensor For Nitrite");
    EXPECT_EQ(control(page, "Optical Correction Dilution", "Optical Correction").text, "1:2.000");
    set_page_checked(page, true);
    choose(page, "Output", "Short");
    type(page, "Sample Intake State", "1");
    type(page, "Sample Measurement State", "2");
    type(page, "Blank Measurement State", "3");
    type(page, "Standard 1 Measurement State", "4");
    type(page, "Standard 2 Measurement State", "500");
    type(page, "Standard 1 Concentration (\u00b5M)", "12.3456");
    type(page, "Standard 2 Concentration (\u00b5M)", "1.001");
    choose(page, "Standard Adjustment", "Linear Fit");
    choose(page, "Processing Trigger", "Blank");
    control(page, "Enable Optical Correction", "Optical Correction").checked = true;
    type(page, "Optical Correction State (sample)", "8", "Optical Correction");
    type(page, "Optical Correction State (blank)", "9", "Optical Correction");
    choose(page, "Measure", "4", "Medium");
    choose(page, "Monitor", "6", "Short");
    choose(page, "Monitor", "7", "Long");
    const records::ChemistryConfig c = collect_config(page);
    EXPECT_EQ(c.chemistry, records::ChemistryType::nitrite);
    EXPECT_EQ(c.sample_interval_ms, 1000u);
    EXPECT_EQ(collect_params(page), (std::vector<std::uint8_t>{
                                        1, 0, 1, 1, 2, 3, 4, 254, 0x39, 0x30, 0, 0,   0xE9, 0x03, 0,
                                        0, 2, 3, 1, 8, 9, 1, 6,   4,    1,    2, 255, 6,    7}));
}

TEST(NutrientPage, OutputWithoutSingleChannelKeepsItsValue) {
    ChemistryPageView page = make_chemistry_page(records::ChemistryType::nitrate);
    records::NutrientParams stored;
    stored.layout = 1;
    stored.monitor_medium = 5;
    for (const std::uint8_t output : {std::uint8_t{254}, std::uint8_t{3}}) {
        stored.output_channel = output;
        show_params(page, records::encode(stored));
        const records::NutrientParams back = records::decode_nutrient_params(collect_params(page));
        EXPECT_EQ(back.output_channel, output);
        EXPECT_EQ(back.output_monitored, 0) << int{output};
        EXPECT_EQ(back.output_monitor, records::kNoMonitor) << int{output};
    }
    EXPECT_EQ(control(page, "Output").choices.at(*control(page, "Output").selected).text,
              "unknown (3)")
        << "3 is named by no entry";
    choose(page, "Output", "Medium");
    const records::NutrientParams medium = records::decode_nutrient_params(collect_params(page));
    EXPECT_EQ(medium.output_channel, 0);
    EXPECT_EQ(medium.output_monitored, 1);
    EXPECT_EQ(medium.output_monitor, 5);
}

TEST(NutrientPage, EnablingFollowsAdjustmentTriggerAndOpticalCorrection) {
    ChemistryPageView page = make_chemistry_page(records::ChemistryType::iron);
    for (const auto& c : page.controls) {
        EXPECT_FALSE(c.enabled) << c.label << ": the check box is clear";
    }
    set_page_checked(page, true);
    const auto enabled = [&page](std::string_view label) { return control(page, label).enabled; };
    choose(page, "Standard Adjustment", "Standard 2");
    choose(page, "Processing Trigger", "Sample");
    EXPECT_FALSE(enabled("Standard 1 Measurement State"));
    EXPECT_TRUE(enabled("Standard 2 Measurement State"));
    EXPECT_FALSE(enabled("Standard 1 Concentration (\u00b5M)"));
    EXPECT_TRUE(enabled("Standard 2 Concentration (\u00b5M)"));
    choose(page, "Processing Trigger", "Standard 1");
    EXPECT_TRUE(enabled("Standard 1 Measurement State"));
    choose(page, "Standard Adjustment", "Standard 1");
    choose(page, "Processing Trigger", "Sample");
    EXPECT_FALSE(enabled("Standard 2 Measurement State"));
    EXPECT_FALSE(enabled("Standard 2 Concentration (\u00b5M)"));
    choose(page, "Processing Trigger", "Standard 2");
    EXPECT_TRUE(enabled("Standard 2 Measurement State"));

    EXPECT_FALSE(control(page, "Optical Correction State (blank)", "Optical Correction").enabled);
    control(page, "Enable Optical Correction", "Optical Correction").checked = true;
    page_control_changed(page, 0);
    EXPECT_TRUE(control(page, "Optical Correction State (blank)", "Optical Correction").enabled);
    EXPECT_TRUE(control(page, "Optical Correction Dilution", "Optical Correction").enabled);
    EXPECT_EQ(control(page, "Optical Correction Dilution", "Optical Correction").text, "1:1.135");
}

TEST(TaPage, MonitorsShownNeverEditableAndRecordBytes) {
    ChemistryPageView page = make_chemistry_page(records::ChemistryType::ta);
    EXPECT_EQ(page.check_text, "Configure Sensor For TA (Total Alkalinity)");
    records::TaParams stored;
    stored.monitor_led1 = 3;
    stored.reserved15 = {1, 2, 3, 4};
    stored.pka = 4.25f;
    show_params(page, records::encode(stored));
    records::ChemistryConfig mux = records::default_chemistry_config(records::ChemistryType::ta);
    mux.multiplexer = 3;
    show_config(page, mux, true);
    EXPECT_FALSE(control(page, "Monitoring Channel (LED1)").enabled);
    EXPECT_EQ(control(page, "Monitoring Channel (LED2)").tooltip, "Not yet implemented");
    EXPECT_TRUE(control(page, "Measurement Channel").enabled);
    EXPECT_EQ(control(page, "pKa").text, "4.25");
    EXPECT_EQ(collect_config(page).multiplexer, 3);
    type(page, "Sample Intake State", "255");
    type(page, "e3", "0.5");
    const auto bytes = collect_params(page);
    records::TaParams expected = stored;
    expected.reserved15 = {};
    expected.sample_intake_state = 254;
    expected.e3 = 0.5f;
    const auto expected_bytes = records::encode(expected);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>(expected_bytes.begin(), expected_bytes.end())));
    EXPECT_EQ(bytes[3], 3) << "the monitor is written back as read";
}

TEST(DicPage, InletEnablingAndRecord) {
    ChemistryPageView page = make_chemistry_page(records::ChemistryType::dic);
    set_page_checked(page, true);
    const std::string inlet2 = "Inlet 2 Processing Parameters";
    const auto enabled = [&](std::string_view label) {
        return control(page, label, inlet2).enabled;
    };
    EXPECT_FALSE(enabled("Intake State"));
    EXPECT_FALSE(enabled("Measurement State"));
    choose(page, "Inlet Type", "Sample", inlet2);
    EXPECT_TRUE(enabled("Intake State"));
    EXPECT_TRUE(enabled("Measurement State"));
    EXPECT_FALSE(enabled("CRM Value (\u00b5mol/kg)"));
    choose(page, "Inlet Type", "CRM", inlet2);
    EXPECT_FALSE(enabled("Intake State"));
    EXPECT_TRUE(enabled("CRM Value (\u00b5mol/kg)"));
    type(page, "Measurement State", "999", inlet2);
    type(page, "CRM Value (\u00b5mol/kg)", "2012.5", inlet2);
    const records::DicParams p = records::decode_dic_params(collect_params(page));
    EXPECT_EQ(p.inlet[1].type, 2);
    EXPECT_EQ(p.inlet[1].measurement_state, 254);
    EXPECT_EQ(p.inlet[1].crm_umol_kg, 2012.5f);
    EXPECT_EQ(p.inlet[0], records::DicInlet{});
}

TEST(AmmoniaPage, CarriesItsBytesAsRead) {
    ChemistryPageView page = make_chemistry_page(records::ChemistryType::ammonia);
    EXPECT_EQ(page.notes,
              (std::vector<std::string>{"There are currently no ammonia processing parameters."}));
    show_params(page, std::vector<std::uint8_t>{7, 8});
    EXPECT_EQ(collect_params(page), (std::vector<std::uint8_t>{7, 8}));
    EXPECT_EQ(reset_params(page), (std::vector<std::uint8_t>{0, 0}));
}

// The documented defaults of every page, byte by byte.
TEST(PageDefaults, EveryChemistryStartsFromItsDocumentedDefaults) {
    using Bytes = std::vector<std::uint8_t>;
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const auto& p : parts) {
            all.insert(all.end(), p.begin(), p.end());
        }
        return all;
    };
    const Bytes one{0x00, 0x00, 0x80, 0x3F};  // 1.0f
    // Generic: layout and both states 0, eight offsets 0.0, eight scales 1.0.
    const Bytes generic = join({Bytes(3 + 32, 0), one, one, one, one, one, one, one, one});
    // Nutrient: inputs Medium 0, Short 1, Long 2, no monitors, everything else 0.
    const Bytes nutrient = join({Bytes(24, 0), {1, 2, 255, 255, 255}});
    // pH: inputs 0 and 1, blank window 50 to 70 s, absorbance bounds 0.1 and 0.6, dpH/dT
    // -0.01582, R scale 1.0 and offset 0.0, thermistor scales 0.5 and 0.5.
    const Bytes ph{0,    0,    0,    1,    0,    0,    50,   0,    70,   0, 0xCD, 0xCC, 0xCC,
                   0x3D, 0x9A, 0x99, 0x19, 0x3F, 0xF2, 0x98, 0x81, 0xBC, 0, 0,    0x80, 0x3F,
                   0,    0,    0,    0,    0,    0,    0,    0x3F, 0,    0, 0,    0x3F};
    const std::vector<std::pair<records::ChemistryType, Bytes>> cases{
        {records::ChemistryType::generic, generic},
        {records::ChemistryType::nitrate, nutrient},
        {records::ChemistryType::nitrite, nutrient},
        {records::ChemistryType::phosphate, nutrient},
        {records::ChemistryType::silicate, nutrient},
        {records::ChemistryType::iron, nutrient},
        {records::ChemistryType::ph, ph},
        {records::ChemistryType::ta, Bytes(39, 0)},
        {records::ChemistryType::dic, Bytes(25, 0)},
        {records::ChemistryType::ammonia, {0, 0}},
    };
    for (const auto& [code, bytes] : cases) {
        ChemistryPageView page = make_chemistry_page(code);
        EXPECT_FALSE(page.checked);
        EXPECT_EQ(page.params, bytes) << static_cast<int>(code);
        EXPECT_EQ(default_processing_params(code), bytes) << static_cast<int>(code);
    }
}

}  // namespace
}  // namespace kelpira::config
