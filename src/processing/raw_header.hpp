// The key=value header of a raw output file: the parameter set it fills, the table of keys
// per chemistry, and the header pass.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "processing/raw_file.hpp"
#include "records/chemistry_type.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::processing {

// Which processing reads the file: it decides the keys that count, where the header pass
// stops and which rows are accepted. The multi-file nutrient processing also takes the
// sensor name.
enum class RawChemistry : std::uint8_t { nutrient, nutrient_multi, ph, ta, dic };

// Everything a header can set. Only the part of the processing that reads it is touched.
struct RawHeader {
    // The TYPE key (low 8 bits, like every integer key landing in a byte); pH starts at
    // 4 when the key is missing, the others have none.
    std::optional<records::ChemistryType> chemistry;
    records::NutrientParams nutrient;
    records::PhParams ph;
    std::uint32_t ph_sample_interval_ms = 100;
    records::TaParams ta;
    records::DicParams dic;
    // Thermistors 0 and 1; a header pass leaves them as they were when their keys are
    // missing, so a caller that keeps one RawHeader across files keeps the calibration.
    std::array<records::ThermistorConfig, 2> thermistors{};
    std::string sensor_name;  // multi-file nutrient only, at most 20 characters

    // Keys of older nutrient files, resolved into the channel fields after the pass.
    std::optional<std::uint8_t> legacy_input_channel;
    std::optional<std::uint8_t> legacy_drift_correction;
    std::optional<std::uint8_t> legacy_drift_monitor;
};

inline constexpr std::size_t kSensorNameMax = 20;

// Resets the part of the header the chemistry reads to the values a missing key leaves:
// every field 0, except no monitors for nutrient, and for pH thermistor scales of 0.5, a
// 100 ms sample interval and type 4. The sensor name and older nutrient keys are cleared.
void reset_header(RawHeader& header, RawChemistry chemistry);

// Applies one header line ("%KEY=VALUE") to the header as the header pass does. True when
// the line matched a key of this chemistry and its value scanned.
bool apply_header_line(RawHeader& header, RawChemistry chemistry, std::string_view line);

// Applies a key given by its header name (without the leading "%", e.g.
// "KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION") and its value text, exactly as a header line.
bool apply_header_key(RawHeader& header, RawChemistry chemistry, std::string_view key,
                      std::string_view value);

// Turns the older single-channel nutrient keys into the per-channel fields: measure inputs
// 0/1/2, output channel = INPUT_CHANNEL (3 and above count as 0), and with drift correction
// on, that channel's monitor = DRIFT_MONITORING_CHANNEL (none when the key is missing).
void resolve_legacy_keys(RawHeader& header, RawChemistry chemistry);

struct HeaderOverride {
    std::string key;  // header key name without the leading "%"
    std::string value;
};

struct HeaderReading {
    bool found = false;       // a "%KELPIRA.HEADER_START" line was seen
    bool read_error = false;  // the file could not be read to where the pass stops
};

// One header pass from the start of the file: reset, then every line matched against the
// chemistry's keys in table order. Nutrient, TA and DIC stop at the first line that matches
// no key and begins "%KELPIRA.HEADER_END" or "%Counter"; pH reads to the end of the file.
// The overrides are applied after the file's own lines, then the older keys are resolved.
HeaderReading read_header(RawFile& file, RawChemistry chemistry, RawHeader& header,
                          std::span<const HeaderOverride> overrides = {});

}  // namespace kelpira::processing
