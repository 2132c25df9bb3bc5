// The emulated sensor's configuration store over a real link: defaults, a get after a set
// returns what was set, wrong lengths answer 4, and the older-firmware profiles.
#include <gtest/gtest.h>

#include <vector>

#include "common/bytes.hpp"
#include "link/command_catalogue.hpp"
#include "records/chemistry_config.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using namespace kelpira::virtual_sensor::testing;
using namespace std::chrono_literals;

namespace {

class ConfigStoreTest : public SensorFixture {
  protected:
    // A write of `record` with `code`; the sensor's result.
    link::CommandResult write(std::uint16_t code, const std::vector<std::uint8_t>& record) {
        auto c = command(code);
        c.set_length(static_cast<std::uint8_t>(record.size()));
        std::copy(record.begin(), record.end(), c.payload().begin());
        return send(c);
    }
    // A read of `length` bytes with `code` and an optional request payload.
    std::vector<std::uint8_t> read(std::uint16_t code, std::size_t length,
                                   std::initializer_list<std::uint8_t> request = {}) {
        auto c = command(code, request);
        EXPECT_EQ(send(c), 0) << code;
        return {c.payload().begin(), c.payload().begin() + static_cast<std::ptrdiff_t>(length)};
    }
    link::CommandResult params_result(std::uint16_t code, std::uint32_t n,
                                      std::vector<std::uint8_t> record = {}) {
        std::vector<std::uint8_t> payload{
            static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
            static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
        payload.insert(payload.end(), record.begin(), record.end());
        return write(code, payload);
    }
    std::vector<std::uint8_t> read_params(std::uint32_t n) {
        auto c = command(402, {static_cast<std::uint8_t>(n), 0, 0, 0});
        EXPECT_EQ(send(c), 0);
        return {c.payload().begin(), c.payload().begin() + n};
    }
};

struct Block {
    std::uint16_t get_code;
    std::size_t length;
};

// Every pair of the catalogue that reads a record without request and writes the same record
// with the next code; the legacy identity (whose writes keep the hardware's bytes) and the
// clock (which runs on) have tests of their own.
std::vector<Block> catalogue_blocks() {
    std::vector<Block> blocks;
    for (const auto& get : link::kCommandCatalogue) {
        const auto code = link::code_value(get.code);
        const auto* set = link::find_command(static_cast<std::uint16_t>(code + 1));
        if (!get.name.starts_with("GET_") || set == nullptr || !set->name.starts_with("SET_") ||
            get.request_length != 0 || !get.response_length ||
            set->request_length != get.response_length ||
            get.code == link::CommandCode::GET_LEGACY_IDENTITY ||
            get.code == link::CommandCode::GET_RTC_TIME) {
            continue;
        }
        blocks.push_back({code, *get.response_length});
    }
    return blocks;
}

std::vector<std::uint8_t> pattern(std::size_t length, std::uint8_t seed) {
    std::vector<std::uint8_t> v(length);
    for (std::size_t i = 0; i < length; ++i) {
        v[i] = static_cast<std::uint8_t>(seed + 3 * i);
    }
    return v;
}

}  // namespace

TEST_F(ConfigStoreTest, EveryBlockReadsBackWhatWasWrittenAndRefusesOtherLengths) {
    start();
    const auto blocks = catalogue_blocks();
    ASSERT_EQ(blocks.size(), 12u);
    for (const auto& b : blocks) {
        const auto before = read(b.get_code, b.length);
        const auto setc = static_cast<std::uint16_t>(b.get_code + 1);
        EXPECT_EQ(write(setc, pattern(b.length - 1, 1)), link::kResultBadLength) << setc;
        EXPECT_EQ(write(setc, pattern(b.length + 1, 1)), link::kResultBadLength) << setc;
        EXPECT_EQ(read(b.get_code, b.length), before) << "a refused write changes nothing";
        if (b.get_code == link::code_value(link::CommandCode::GET_SCHEDULE)) {
            continue;  // keeps its layout and refuses what its firmware lacks (schedule_test)
        }
        const auto record = pattern(b.length, static_cast<std::uint8_t>(b.get_code));
        EXPECT_EQ(write(setc, record), 0) << setc;
        EXPECT_EQ(read(b.get_code, b.length), record) << b.get_code;
        if (b.get_code != link::code_value(link::CommandCode::GET_SENSOR_IDENTIFICATION)) {
            EXPECT_EQ(sensor->record(b.get_code), record) << "what the sensor keeps";
        }
    }
}

// Written out by hand, so that a layout fault the emulator shares with the program shows.
TEST_F(ConfigStoreTest, DefaultsAreThoseOfAFreshNitrateSensor) {
    using Bytes = std::vector<std::uint8_t>;
    start();
    // Nitrate, 1000 ms, no multiplexer, only the manual deployment starting at state 0.
    EXPECT_EQ(read(400, 18),
              (Bytes{0, 1, 0xE8, 0x03, 0, 0, 0, 255, 255, 255, 0, 255, 255, 255, 0, 0, 0, 0}));
    // Layout 1; intake 0, sample 3, blank 1, the 20 µM standard (20000 nmol) in 10; the
    // inputs Medium 0, Short 1, Long 2 and no monitors.
    EXPECT_EQ(read_params(29), (Bytes{1, 0, 0, 0, 3, 1, 10, 0, 0x20, 0x4E, 0, 0,   0,   0,  0,
                                      0, 0, 0, 0, 0, 0, 0,  0, 0,    1,    2, 255, 255, 255}));
    EXPECT_EQ(read(442, 13), (Bytes{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}))
        << "the newest schedule layout";
    // FRAM layout 2, board 201, 18250 pump strokes counted in the factory.
    EXPECT_EQ(read(292, 9), (Bytes{2, 201, 0, 0, 0, 0x4A, 0x47, 0, 0}));
    for (std::uint8_t t = 0; t < 3; ++t) {
        // Input 5 + t, a3 = a2 = 0, a1 = 10.0f; a0 follows the input's voltage.
        const auto th = read(404, 18, {t});
        EXPECT_EQ(
            Bytes(th.begin(), th.begin() + 14),
            (Bytes{0, static_cast<std::uint8_t>(5 + t), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0x41}));
    }
}

TEST_F(ConfigStoreTest, ProcessingParametersFollowTheChemistry) {
    using Bytes = std::vector<std::uint8_t>;
    VirtualSensorOptions o;
    o.chemistry = records::ChemistryType::ph;
    start(o);
    EXPECT_EQ(params_result(402, 29), link::kResultBadLength) << "not a nutrient sensor";
    // Ten samples a second with the pH multiplexer.
    EXPECT_EQ(read(400, 18),
              (Bytes{0, 4, 100, 0, 0, 0, 1, 255, 255, 255, 0, 255, 255, 255, 0, 0, 0, 0}));
    // Layout 1, inputs 434 nm 0 and 578 nm 1, intake 2, measurement 3, the blank window 5 to
    // 10 s of the default program; then the documented 0.1, 0.6, -0.01582, 1.0, 0.0, 0.5, 0.5.
    EXPECT_EQ(read_params(38),
              (Bytes{1,    0,    0,    1,    2,    3,    5,    0,    10,   0, 0xCD, 0xCC, 0xCC,
                     0x3D, 0x9A, 0x99, 0x19, 0x3F, 0xF2, 0x98, 0x81, 0xBC, 0, 0,    0x80, 0x3F,
                     0,    0,    0,    0,    0,    0,    0,    0x3F, 0,    0, 0,    0x3F}));

    records::PhParams changed;
    changed.layout = 1;
    changed.input_434 = 6;
    const auto record = records::encode(changed);
    EXPECT_EQ(params_result(403, 38, {record.begin(), record.end() - 1}), link::kResultBadLength)
        << "the stated length must match the record";
    EXPECT_EQ(params_result(403, 38, {record.begin(), record.end()}), 0);
    EXPECT_EQ(records::decode_ph_params(read_params(38)), changed);

    // A new chemistry brings its own record.
    const auto dic =
        records::encode(records::default_chemistry_config(records::ChemistryType::dic));
    ASSERT_EQ(write(401, {dic.begin(), dic.end()}), 0);
    EXPECT_EQ(params_result(402, 38), link::kResultBadLength);
    EXPECT_EQ(records::decode_dic_params(read_params(25)), records::DicParams{});
}

TEST_F(ConfigStoreTest, UnknownChemistryHasNoProcessingParameters) {
    start();
    auto chemistry =
        records::encode(records::default_chemistry_config(records::ChemistryType::nitrate));
    chemistry[1] = 10;
    ASSERT_EQ(write(401, {chemistry.begin(), chemistry.end()}), 0);
    for (const std::uint32_t n : {2u, 25u, 29u, 38u, 39u, 67u}) {
        EXPECT_EQ(params_result(402, n), link::kResultBadLength) << n;
    }
}

TEST_F(ConfigStoreTest, LegacyNutrientProfileAnswers4ToTheCurrentLayout) {
    VirtualSensorOptions o;
    o.legacy_nutrient_params = true;
    start(o);
    EXPECT_EQ(params_result(402, 29), link::kResultBadLength);
    const auto legacy = read_params(23);
    EXPECT_EQ(legacy[0], 0) << "legacy layout";

    records::NutrientParams p;
    p.output_channel = 1;
    p.output_monitored = 1;
    p.output_monitor = 6;
    p.standard1_nmol = 12345;
    const auto current = records::encode(p);
    EXPECT_EQ(params_result(403, 29, {current.begin(), current.end()}), link::kResultBadLength);
    const auto old = records::encode_legacy(p);
    EXPECT_EQ(params_result(403, 23, {old.begin(), old.end()}), 0);
    EXPECT_EQ(read_params(23), std::vector<std::uint8_t>(old.begin(), old.end()));
}

TEST_F(ConfigStoreTest, ThermistorsAreStoredByIndex) {
    start();
    records::ThermistorConfig t;
    t.input_channel = 2;
    t.a3 = 0.5f;
    t.a0 = -3.25f;
    const auto record = records::encode(t);
    std::vector<std::uint8_t> payload{1};
    payload.insert(payload.end(), record.begin(), record.end());
    ASSERT_EQ(write(405, payload), 0);
    EXPECT_EQ(records::decode_thermistor_config(read(404, 18, {1})), t);
    EXPECT_EQ(records::decode_thermistor_config(read(404, 18, {0})).input_channel, 5);

    payload[0] = 3;
    EXPECT_EQ(write(405, payload), kResultBadValue);
    auto missing = command(404, {3});
    EXPECT_EQ(send(missing), kResultBadValue);
    payload.pop_back();
    payload[0] = 0;
    EXPECT_EQ(write(405, payload), link::kResultBadLength);
}

TEST_F(ConfigStoreTest, ClockRunsOnFromWhatWasSet) {
    start();
    EXPECT_EQ(read(290, 8), (std::vector<std::uint8_t>{0, 0xEA, 0x07, 12, 8, 10, 0, 0}));
    ASSERT_EQ(write(291, {0, 0xEE, 0x07, 1, 31, 23, 59, 58}), 0);  // 31/01/2030 23:59:58
    fake_clock.advance(3s);
    EXPECT_EQ(read(290, 8), (std::vector<std::uint8_t>{0, 0xEE, 0x07, 2, 1, 0, 0, 1}));
    EXPECT_EQ(write(291, {0, 0xEE, 0x07, 2, 30, 0, 0, 0}), kResultBadValue) << "30 February";
    EXPECT_EQ(write(291, {0, 0xEE, 0x07, 1, 1, 0, 0}), link::kResultBadLength);
}

TEST_F(ConfigStoreTest, OldOpticsProfileAnswers8ToTheNewerFormOnly) {
    VirtualSensorOptions o;
    o.old_optics_test = true;
    start(o);
    EXPECT_EQ(write(626, pattern(36, 0)), link::kResultTooOld);
    EXPECT_EQ(write(370, pattern(16, 0)), 0);
    EXPECT_EQ(write(371, {}), 0);
}

TEST_F(ConfigStoreTest, CurrentFirmwareRunsBothFormsOfTheOpticsTest) {
    start();
    EXPECT_EQ(write(626, pattern(36, 0)), 0);
    EXPECT_EQ(write(626, pattern(16, 0)), link::kResultBadLength);
    EXPECT_EQ(write(370, pattern(16, 0)), 0);
    EXPECT_EQ(write(371, {}), 0);
}
