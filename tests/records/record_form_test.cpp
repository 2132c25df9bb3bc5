// Controls from field tables: a concentration typed in µM is stored in thousandths, and an
// untouched control gives back the bits it was shown from.
#include <gtest/gtest.h>

#include "records/chemistry_fields.hpp"
#include "records/record_form.hpp"

namespace kelpira::records {
namespace {

TEST(RecordForm, ConcentrationsAreTypedInMicromolar) {
    const auto& spec = find_field<NutrientParams>("standard1_nmol")->spec;
    const struct {
        std::string typed;
        std::uint32_t stored;
    } cases[] = {
        {"12.3456", 12345},
        {"1.001", 1001},
        {"-2", 0},
        {"99999999", 4294967295u},  // clamped, not wrapped
        {"0.000000000000000000001", 0},
        {std::string(22, ' ') + "5", 5000},
        {std::string(23, ' ') + "5", 0},  // only 23 characters are read
    };
    for (const auto& c : cases) {
        common::FormControl control = field_control(spec, "g", "l");
        control.text = c.typed;
        EXPECT_EQ(field_bits(control, spec, FieldType::u32), c.stored) << c.typed;
    }
    common::FormControl shown = field_control(spec, "g", "l");
    show_field(shown, spec, 12345);
    EXPECT_EQ(shown.text, "12.345");
}

TEST(RecordForm, AnUntouchedFloatKeepsItsBits) {
    const auto& spec = find_field<TaParams>("titrant_molarity")->spec;
    common::FormControl control = field_control(spec, "g", "l");
    show_field(control, spec, 0x7F800001);  // a signalling NaN
    EXPECT_EQ(field_bits(control, spec, FieldType::f32), 0x7F800001u);
    control.text = "0.5";
    EXPECT_EQ(field_bits(control, spec, FieldType::f32), 0x3F000000u);
}

}  // namespace
}  // namespace kelpira::records
