// The field tables: every record's bytes read and written back exactly (reserved bytes kept),
// and fields found at the offsets the sensor documents.
#include <gtest/gtest.h>

#include <vector>

#include "records/actuator_fields.hpp"
#include "records/chemistry_fields.hpp"
#include "records/platform_fields.hpp"
#include "records/schedule_fields.hpp"

namespace kelpira::records {
namespace {

using Bytes = std::vector<std::uint8_t>;

// 01 02 03 ...: every byte tells where it came from.
Bytes counting(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<std::uint8_t>(i + 1);
    }
    return b;
}

template <typename Rec>
Bytes round_trip(const Bytes& in) {
    const auto out = encode_record(decode_record<Rec>(in));
    return Bytes(out.begin(), out.end());
}

template <typename Rec>
std::uint32_t bits_of(const Bytes& in, std::string_view name, std::size_t i = 0) {
    const auto* f = find_field<Rec>(name);
    EXPECT_NE(f, nullptr) << name;
    return f == nullptr ? 0 : f->get(decode_record<Rec>(in), i);
}

// A field of DIC inlet k.
std::uint32_t inlet_bits(const Bytes& in, std::string_view name, std::size_t k) {
    for (const auto& f : kDicParamsTable.fields) {
        if (f.spec.item == "inlet" && f.spec.name == name && f.spec.index == k) {
            return f.get(decode_record<DicParams>(in), 0);
        }
    }
    ADD_FAILURE() << name << " of inlet " << k;
    return 0;
}

TEST(FieldTable, EveryRecordComesBackByteForByte) {
    EXPECT_EQ(round_trip<ChemistryConfig>(counting(18)), counting(18));
    EXPECT_EQ(round_trip<GenericParams>(counting(67)), counting(67));
    EXPECT_EQ(round_trip<PhParams>(counting(38)), counting(38));
    EXPECT_EQ(round_trip<TaParams>(counting(39)), counting(39));
    EXPECT_EQ(round_trip<NutrientParams>(counting(29)), counting(29));
    EXPECT_EQ(round_trip<DicParams>(counting(25)), counting(25));
    EXPECT_EQ(round_trip<ThermistorConfig>(counting(18)), counting(18));
    EXPECT_EQ(round_trip<OpticsDefaults>(counting(11)), counting(11));
    EXPECT_EQ(round_trip<PmtConfig>(counting(20)), counting(20));
    EXPECT_EQ(round_trip<DicConductivityConfig>(counting(9)), counting(9));
    EXPECT_EQ(round_trip<PumpValveDefaults>(counting(25)), counting(25));
    EXPECT_EQ(round_trip<PlatformDefaults>(counting(36)), counting(36));
    EXPECT_EQ(round_trip<Rs232Config>(counting(13)), counting(13));
    EXPECT_EQ(round_trip<Rs485Config>(counting(17)), counting(17));
    EXPECT_EQ(round_trip<MeasurementSchedule>(counting(13)), counting(13));
}

TEST(FieldTable, FieldsSitWhereTheSensorKeepsThem) {
    struct Case {
        std::uint32_t got;
        std::uint32_t want;
    };
    const Case cases[] = {
        {bits_of<ChemistryConfig>(counting(18), "chemistry"), 0x02},
        {bits_of<ChemistryConfig>(counting(18), "sample_interval_ms"), 0x06050403},
        {bits_of<ChemistryConfig>(counting(18), "start_special3"), 0x0E},
        {bits_of<ChemistryConfig>(counting(18), "reserved16"), 0x1211},
        {bits_of<GenericParams>(counting(67), "offset", 7), 0x23222120},
        {bits_of<GenericParams>(counting(67), "scale", 0), 0x27262524},
        {bits_of<PhParams>(counting(38), "blank_end_s"), 0x0A09},
        {bits_of<PhParams>(counting(38), "t2_scale"), 0x26252423},
        {bits_of<TaParams>(counting(39), "processing_trigger"), 0x0B},
        {bits_of<TaParams>(counting(39), "reserved15", 3), 0x13},
        {bits_of<TaParams>(counting(39), "titrant_molarity"), 0x17161514},
        {bits_of<TaParams>(counting(39), "e3"), 0x27262524},
        {bits_of<NutrientParams>(counting(29), "standard2_nmol"), 0x100F0E0D},
        {bits_of<NutrientParams>(counting(29), "output_monitor"), 0x17},
        {bits_of<NutrientParams>(counting(29), "monitor_long"), 0x1D},
        {bits_of<ThermistorConfig>(counting(18), "a0"), 0x1211100F},
        {bits_of<DicParams>(counting(25), "reserved2", 1), 0x04},
        {inlet_bits(counting(25), "type", 0), 0x05},
        {inlet_bits(counting(25), "crm_umol_kg", 0), 0x0B0A0908},
        {inlet_bits(counting(25), "intake_state", 1), 0x0D},
        {inlet_bits(counting(25), "measurement_state", 2), 0x15},
        {inlet_bits(counting(25), "crm_umol_kg", 2), 0x19181716},
        {bits_of<OpticsDefaults>(counting(11), "reserved1"), 0x02},
        {bits_of<OpticsDefaults>(counting(11), "led_current_ua", 3), 0x0B0A},
        {bits_of<PmtConfig>(counting(20), "control_v"), 0x06050403},
        {bits_of<PmtConfig>(counting(20), "reserved6", 13), 0x14},
        {bits_of<DicConductivityConfig>(counting(9), "frequency_khz"), 0x0807},
        {bits_of<PumpValveDefaults>(counting(25), "step_period_us"), 0x08070605},
        {bits_of<PumpValveDefaults>(counting(25), "timeout_s"), 0x16151413},
        {bits_of<PumpValveDefaults>(counting(25), "valve_spike_ms"), 0x1918},
        {bits_of<PlatformDefaults>(counting(36), "dive_number"), 0x0302},
        {bits_of<PlatformDefaults>(counting(36), "direction"), 0x14},
        {bits_of<PlatformDefaults>(counting(36), "p3"), 0x24232221},
        {bits_of<Rs232Config>(counting(13), "protocol"), 0x0C0B0A09},
        {bits_of<Rs485Config>(counting(17), "slave_address"), 0x0D},
        {bits_of<Rs485Config>(counting(17), "poll_rate_s"), 0x11100F0E},
        {bits_of<MeasurementSchedule>(counting(13), "stop_time"), 0x0B0A0908},
        {bits_of<MeasurementSchedule>(counting(13), "interval_count"), 0x0D0C},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
    }
}

TEST(FieldTable, AFloatKeepsItsBitsAndAShortRecordReadsZeros) {
    Bytes t(18, 0);
    t[14] = 0x01;  // a0 = 0x7F800001, a signalling NaN
    t[16] = 0x80;
    t[17] = 0x7F;
    EXPECT_EQ(round_trip<ThermistorConfig>(t), t);
    // Two bytes of a four-byte number are no number: it reads 0, as every reader of the
    // sensor's records does.
    const Bytes cut{0, 5, 0x01, 0x02};
    EXPECT_EQ(bits_of<ThermistorConfig>(cut, "input_channel"), 5u);
    EXPECT_EQ(bits_of<ThermistorConfig>(cut, "a3"), 0u);
}

}  // namespace
}  // namespace kelpira::records
