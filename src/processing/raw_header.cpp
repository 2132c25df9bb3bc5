// The header keys of raw output files and the header pass.
#include "processing/raw_header.hpp"

#include <bit>
#include <cmath>
#include <limits>
#include <optional>

#include "common/number_scan.hpp"
#include "records/chemistry_fields.hpp"

namespace kelpira::processing {

namespace {

using common::to_f32;
using records::ChemistryType;

enum class Value : std::uint8_t { u32, real, text };

// Bit per chemistry that reads a key.
constexpr std::uint8_t kN = 1;   // nutrient, single and multi-file
constexpr std::uint8_t kM = 2;   // multi-file nutrient only
constexpr std::uint8_t kP = 4;   // pH
constexpr std::uint8_t kT = 8;   // TA
constexpr std::uint8_t kD = 16;  // DIC

std::uint8_t mask_of(RawChemistry c) {
    switch (c) {
        case RawChemistry::nutrient:
            return kN;
        case RawChemistry::nutrient_multi:
            return kN | kM;
        case RawChemistry::ph:
            return kP;
        case RawChemistry::ta:
            return kT;
        case RawChemistry::dic:
            return kD;
    }
    return 0;
}

struct KeyValue {
    std::uint32_t u = 0;
    double real = 0;
    std::string_view text;
    std::uint32_t index = 0;  // DIC inlet index
};

using Setter = bool (*)(RawHeader&, RawChemistry, const KeyValue&);

struct KeyEntry {
    std::string_view name;    // after the "%"; for an indexed key the part before the index
    std::string_view suffix;  // indexed keys: the part between the index and the "="
    Value value;
    std::uint8_t chemistries;
    Setter set;
};

std::uint8_t low8(std::uint32_t v) {
    return static_cast<std::uint8_t>(v);
}

// µM times 1000, truncated to an unsigned integer. Negative and NaN values give 0 and
// values beyond 32 bits the largest, where the bare conversion would be undefined.
std::uint32_t to_nmol(double micromolar) {
    const double v = micromolar * 1000.0;
    if (!(v > 0)) {
        return 0;
    }
    if (v >= 4294967296.0) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(v);
}

#define KEY(name) "KELPIRA.CHEMISTRY." name
#define SET(expr)                                                 \
    [](RawHeader& h, RawChemistry c, const KeyValue& v) -> bool { \
        (void)h;                                                  \
        (void)c;                                                  \
        (void)v;                                                  \
        expr;                                                     \
        return true;                                              \
    }

bool set_sensor_version(RawHeader& h, RawChemistry c, const KeyValue& v) {
    switch (c) {
        case RawChemistry::nutrient:
        case RawChemistry::nutrient_multi:
            h.nutrient.sensor_version = low8(v.u);
            break;
        case RawChemistry::ph:
            h.ph.sensor_version = low8(v.u);
            break;
        case RawChemistry::ta:
            h.ta.sensor_version = low8(v.u);
            break;
        case RawChemistry::dic:
            h.dic.sensor_version = low8(v.u);
            break;
    }
    return true;
}

bool set_sample_intake_state(RawHeader& h, RawChemistry c, const KeyValue& v) {
    if (c == RawChemistry::ph) {
        h.ph.sample_intake_state = low8(v.u);
    } else if (c == RawChemistry::ta) {
        h.ta.sample_intake_state = low8(v.u);
    } else {
        h.nutrient.sample_intake_state = low8(v.u);
    }
    return true;
}

bool set_sample_measurement_state(RawHeader& h, RawChemistry c, const KeyValue& v) {
    if (c == RawChemistry::ph) {
        h.ph.sample_measurement_state = low8(v.u);
    } else {
        h.nutrient.sample_measurement_state = low8(v.u);
    }
    return true;
}

bool set_processing_trigger(RawHeader& h, RawChemistry c, const KeyValue& v) {
    if (c == RawChemistry::ta) {
        h.ta.processing_trigger = low8(v.u);
    } else {
        h.nutrient.processing_trigger = low8(v.u);
    }
    return true;
}

// Inlets 0..2 only; a higher index is ignored.
records::DicInlet* inlet(RawHeader& h, const KeyValue& v) {
    return v.index < h.dic.inlet.size() ? &h.dic.inlet[v.index] : nullptr;
}

// In the order the header pass tries them; the first whose pattern scans sets its field.
const KeyEntry kKeys[] = {
    {KEY("TYPE"), {}, Value::u32, kN | kP | kT | kD,
     SET(h.chemistry = static_cast<ChemistryType>(low8(v.u)))},
    {KEY("SENSOR_VERSION"), {}, Value::u32, kN | kP | kT | kD, set_sensor_version},
    {"KELPIRA.CORE.SENSOR_NAME", {}, Value::text, kM,
     SET(h.sensor_name = std::string(v.text.substr(0, kSensorNameMax)))},
    {KEY("MEASUREMENT_CHANNEL_MEDIUM"), {}, Value::u32, kN,
     SET(h.nutrient.measure_medium = low8(v.u))},
    {KEY("MEASUREMENT_CHANNEL_SHORT"), {}, Value::u32, kN,
     SET(h.nutrient.measure_short = low8(v.u))},
    {KEY("MEASUREMENT_CHANNEL_LONG"), {}, Value::u32, kN,
     SET(h.nutrient.measure_long = low8(v.u))},
    {KEY("MONITORING_CHANNEL_MEDIUM"), {}, Value::u32, kN,
     SET(h.nutrient.monitor_medium = low8(v.u))},
    {KEY("MONITORING_CHANNEL_SHORT"), {}, Value::u32, kN,
     SET(h.nutrient.monitor_short = low8(v.u))},
    {KEY("MONITORING_CHANNEL_LONG"), {}, Value::u32, kN,
     SET(h.nutrient.monitor_long = low8(v.u))},
    {KEY("OUTPUT_CHANNEL_SELECTION"), {}, Value::u32, kN,
     SET(h.nutrient.output_channel = low8(v.u))},
    {KEY("SAMPLE_INTAKE_STATE"), {}, Value::u32, kN | kP | kT, set_sample_intake_state},
    {KEY("SAMPLE_MEASUREMENT_STATE"), {}, Value::u32, kN | kP, set_sample_measurement_state},
    {KEY("BLANK_MEASUREMENT_STATE"), {}, Value::u32, kN,
     SET(h.nutrient.blank_measurement_state = low8(v.u))},
    {KEY("STANDARD1_MEASUREMENT_STATE"), {}, Value::u32, kN,
     SET(h.nutrient.standard1_state = low8(v.u))},
    {KEY("STANDARD2_MEASUREMENT_STATE"), {}, Value::u32, kN,
     SET(h.nutrient.standard2_state = low8(v.u))},
    {KEY("STANDARD1_CONCENTRATION"), {}, Value::real, kN,
     SET(h.nutrient.standard1_nmol = to_nmol(v.real))},
    {KEY("STANDARD2_CONCENTRATION"), {}, Value::real, kN,
     SET(h.nutrient.standard2_nmol = to_nmol(v.real))},
    {KEY("STANDARD_ADJUSTMENT"), {}, Value::u32, kN,
     SET(h.nutrient.standard_adjustment = low8(v.u))},
    {KEY("PROCESSING_TRIGGER"), {}, Value::u32, kN | kT, set_processing_trigger},
    {KEY("ENABLE_OPTICAL_CORRECTION"), {}, Value::u32, kN,
     SET(h.nutrient.optical_correction = low8(v.u))},
    {KEY("OC_SAMPLE_MEASUREMENT_STATE"), {}, Value::u32, kN,
     SET(h.nutrient.optical_sample_state = low8(v.u))},
    {KEY("OC_BLANK_MEASUREMENT_STATE"), {}, Value::u32, kN,
     SET(h.nutrient.optical_blank_state = low8(v.u))},
    {KEY("INPUT_CHANNEL"), {}, Value::u32, kN, SET(h.legacy_input_channel = low8(v.u))},
    {KEY("ENABLE_DRIFT_CORRECTION_STATE"), {}, Value::u32, kN,
     SET(h.legacy_drift_correction = low8(v.u))},
    {KEY("DRIFT_MONITORING_CHANNEL"), {}, Value::u32, kN,
     SET(h.legacy_drift_monitor = low8(v.u))},
    {KEY("SAMPLE_INTERVAL"), {}, Value::u32, kP, SET(h.ph_sample_interval_ms = v.u)},
    {KEY("INPUT_CHANNEL_434"), {}, Value::u32, kP, SET(h.ph.input_434 = low8(v.u))},
    {KEY("INPUT_CHANNEL_578"), {}, Value::u32, kP, SET(h.ph.input_578 = low8(v.u))},
    {KEY("BLANK_START_OFFSET"), {}, Value::u32, kP,
     SET(h.ph.blank_start_s = static_cast<std::uint16_t>(v.u))},
    {KEY("BLANK_END_OFFSET"), {}, Value::u32, kP,
     SET(h.ph.blank_end_s = static_cast<std::uint16_t>(v.u))},
    {KEY("ABSORBANCE_MIN_434"), {}, Value::real, kP,
     SET(h.ph.absorbance_min_434 = to_f32(v.real))},
    {KEY("ABSORBANCE_MAX_578"), {}, Value::real, kP,
     SET(h.ph.absorbance_max_578 = to_f32(v.real))},
    {KEY("DPH_BY_DT"), {}, Value::real, kP, SET(h.ph.dph_dt = to_f32(v.real))},
    {KEY("R_ADJUSTMENT_SCALE"), {}, Value::real, kP, SET(h.ph.r_scale = to_f32(v.real))},
    {KEY("R_ADJUSTMENT_OFFSET"), {}, Value::real, kP, SET(h.ph.r_offset = to_f32(v.real))},
    {KEY("T1_ADJUSTMENT_SCALE"), {}, Value::real, kP, SET(h.ph.t1_scale = to_f32(v.real))},
    {KEY("T2_ADJUSTMENT_SCALE"), {}, Value::real, kP, SET(h.ph.t2_scale = to_f32(v.real))},
    {KEY("INLET."), ".TYPE", Value::u32, kD,
     [](RawHeader& h, RawChemistry, const KeyValue& v) {
         auto* in = inlet(h, v);
         return in != nullptr && ((in->type = low8(v.u)), true);
     }},
    {KEY("INLET."), ".INTAKE_STATE", Value::u32, kD,
     [](RawHeader& h, RawChemistry, const KeyValue& v) {
         auto* in = inlet(h, v);
         return in != nullptr && ((in->intake_state = low8(v.u)), true);
     }},
    {KEY("INLET."), ".MEASUREMENT_STATE", Value::u32, kD,
     [](RawHeader& h, RawChemistry, const KeyValue& v) {
         auto* in = inlet(h, v);
         return in != nullptr && ((in->measurement_state = low8(v.u)), true);
     }},
    {KEY("INLET."), ".CRM_VALUE", Value::real, kD,
     [](RawHeader& h, RawChemistry, const KeyValue& v) {
         auto* in = inlet(h, v);
         return in != nullptr && ((in->crm_umol_kg = to_f32(v.real)), true);
     }},
    {KEY("THERMISTOR_INPUT_CHANNEL.0"), {}, Value::u32, kP | kT | kD,
     SET(h.thermistors[0].input_channel = low8(v.u))},
    {KEY("THERMISTOR_CAL_A.0"), {}, Value::real, kP | kT | kD,
     SET(h.thermistors[0].a3 = to_f32(v.real))},
    {KEY("THERMISTOR_CAL_B.0"), {}, Value::real, kP | kT | kD,
     SET(h.thermistors[0].a2 = to_f32(v.real))},
    {KEY("THERMISTOR_CAL_C.0"), {}, Value::real, kP | kT | kD,
     SET(h.thermistors[0].a1 = to_f32(v.real))},
    {KEY("THERMISTOR_CAL_D.0"), {}, Value::real, kP | kT | kD,
     SET(h.thermistors[0].a0 = to_f32(v.real))},
    {KEY("THERMISTOR_INPUT_CHANNEL.1"), {}, Value::u32, kP | kT,
     SET(h.thermistors[1].input_channel = low8(v.u))},
    {KEY("THERMISTOR_CAL_A.1"), {}, Value::real, kP | kT,
     SET(h.thermistors[1].a3 = to_f32(v.real))},
    {KEY("THERMISTOR_CAL_B.1"), {}, Value::real, kP | kT,
     SET(h.thermistors[1].a2 = to_f32(v.real))},
    {KEY("THERMISTOR_CAL_C.1"), {}, Value::real, kP | kT,
     SET(h.thermistors[1].a1 = to_f32(v.real))},
    {KEY("THERMISTOR_CAL_D.1"), {}, Value::real, kP | kT,
     SET(h.thermistors[1].a0 = to_f32(v.real))},
};

#undef SET
#undef KEY

// Scans "%name=value" (or "%prefix<index>suffix=value") like the key's scan pattern.
std::optional<KeyValue> scan_key(const KeyEntry& key, std::string_view line) {
    if (line.size() < 1 + key.name.size() || line[0] != '%' ||
        line.compare(1, key.name.size(), key.name) != 0) {
        return std::nullopt;
    }
    std::size_t pos = 1 + key.name.size();
    KeyValue v;
    if (!key.suffix.empty()) {
        const auto index = common::scan_u32(line, pos);
        if (!index.ok || line.compare(index.end, key.suffix.size(), key.suffix) != 0) {
            return std::nullopt;
        }
        v.index = index.value;
        pos = index.end + key.suffix.size();
    }
    if (pos >= line.size() || line[pos] != '=') {
        return std::nullopt;
    }
    ++pos;
    switch (key.value) {
        case Value::u32: {
            const auto r = common::scan_u32(line, pos);
            if (!r.ok) {
                return std::nullopt;
            }
            v.u = r.value;
            break;
        }
        case Value::real: {
            const auto r = common::scan_f64(line, pos);
            if (!r.ok) {
                return std::nullopt;
            }
            v.real = r.value;
            break;
        }
        case Value::text: {
            const auto text = line.substr(pos);
            v.text = text.substr(0, text.find('\0'));
            break;
        }
    }
    return v;
}

// On a scan, applies the key and tells whether the field was set.
bool try_key(const KeyEntry& key, RawHeader& h, RawChemistry c, std::string_view line) {
    const auto v = scan_key(key, line);
    return v && key.set(h, c, *v);
}

// The TA record's own keys, by the names its field table gives them.
bool try_ta_field(RawHeader& h, std::string_view line) {
    for (const auto& f : records::kTaParamsTable.fields) {
        if (f.spec.header.empty()) {
            continue;
        }
        const std::string name = "KELPIRA.CHEMISTRY." + std::string(f.spec.header);
        const bool real = f.type == records::FieldType::f32;
        const KeyEntry key{name, {}, real ? Value::real : Value::u32, kT, nullptr};
        if (const auto v = scan_key(key, line)) {
            f.set(h.ta, 0, real ? std::bit_cast<std::uint32_t>(to_f32(v->real)) : v->u);
            return true;
        }
    }
    return false;
}

bool starts_with(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

}  // namespace

void reset_header(RawHeader& header, RawChemistry chemistry) {
    header.chemistry.reset();
    header.sensor_name.clear();
    header.legacy_input_channel.reset();
    header.legacy_drift_correction.reset();
    header.legacy_drift_monitor.reset();
    switch (chemistry) {
        case RawChemistry::nutrient:
        case RawChemistry::nutrient_multi:
            header.nutrient = records::NutrientParams{};
            header.nutrient.measure_short = 0;
            header.nutrient.measure_long = 0;
            break;
        case RawChemistry::ph:
            header.chemistry = ChemistryType::ph;
            header.ph = records::PhParams{};
            header.ph.input_578 = 0;
            header.ph.blank_start_s = 0;
            header.ph.blank_end_s = 0;
            header.ph.absorbance_min_434 = 0;
            header.ph.absorbance_max_578 = 0;
            header.ph.dph_dt = 0;
            header.ph.r_scale = 0;
            header.ph_sample_interval_ms = 100;
            break;
        case RawChemistry::ta:
            header.ta = records::TaParams{};
            break;
        case RawChemistry::dic:
            header.dic = records::DicParams{};
            break;
    }
}

bool apply_header_line(RawHeader& header, RawChemistry chemistry, std::string_view line) {
    if (line.empty() || line[0] != '%') {
        return false;
    }
    const std::uint8_t mask = mask_of(chemistry);
    for (const auto& key : kKeys) {
        if ((key.chemistries & mask) != 0 && try_key(key, header, chemistry, line)) {
            return true;
        }
    }
    return chemistry == RawChemistry::ta && try_ta_field(header, line);
}

bool apply_header_key(RawHeader& header, RawChemistry chemistry, std::string_view key,
                      std::string_view value) {
    std::string line;
    line.reserve(key.size() + value.size() + 2);
    line.append("%").append(key).append("=").append(value);
    return apply_header_line(header, chemistry, line);
}

void resolve_legacy_keys(RawHeader& header, RawChemistry chemistry) {
    if (chemistry != RawChemistry::nutrient && chemistry != RawChemistry::nutrient_multi) {
        return;
    }
    if (!header.legacy_input_channel) {
        return;
    }
    const std::uint8_t n = *header.legacy_input_channel >= 3 ? 0 : *header.legacy_input_channel;
    auto& p = header.nutrient;
    p.measure_medium = 0;
    p.measure_short = 1;
    p.measure_long = 2;
    p.output_channel = n;
    if (header.legacy_drift_correction.value_or(0) != 0) {
        records::monitor_input(p, static_cast<records::NutrientChannel>(n)) =
            header.legacy_drift_monitor.value_or(records::kNoMonitor);
    }
}

HeaderReading read_header(RawFile& file, RawChemistry chemistry, RawHeader& header,
                          std::span<const HeaderOverride> overrides) {
    reset_header(header, chemistry);
    file.rewind();
    HeaderReading reading;
    const bool to_end = chemistry == RawChemistry::ph;
    std::string_view line;
    while (file.next_line(line)) {
        if (line.empty() || line[0] != '%') {
            continue;
        }
        if (starts_with(line, "%KELPIRA.HEADER_START")) {
            reading.found = true;
            continue;
        }
        if (apply_header_line(header, chemistry, line)) {
            continue;
        }
        if (!to_end &&
            (starts_with(line, "%KELPIRA.HEADER_END") || starts_with(line, "%Counter"))) {
            break;
        }
    }
    reading.read_error = file.failed();
    for (const auto& o : overrides) {
        apply_header_key(header, chemistry, o.key, o.value);
    }
    resolve_legacy_keys(header, chemistry);
    return reading;
}

}  // namespace kelpira::processing
