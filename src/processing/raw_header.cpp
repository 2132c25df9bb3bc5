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

constexpr std::string_view kChemistryKey = "KELPIRA.CHEMISTRY.";

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

// In the order the header pass tries them; the first whose pattern scans sets its field.
// The keys outside the records' field tables, in the order the header pass tries them; the
// first whose pattern scans sets its field.
const KeyEntry kKeys[] = {
    {KEY("TYPE"),
     {},
     Value::u32,
     kN | kP | kT | kD,
     SET(h.chemistry = static_cast<ChemistryType>(low8(v.u)))},
    {"KELPIRA.CORE.SENSOR_NAME",
     {},
     Value::text,
     kM,
     SET(h.sensor_name = std::string(v.text.substr(0, kSensorNameMax)))},
    {KEY("INPUT_CHANNEL"), {}, Value::u32, kN, SET(h.legacy_input_channel = low8(v.u))},
    {KEY("ENABLE_DRIFT_CORRECTION_STATE"),
     {},
     Value::u32,
     kN,
     SET(h.legacy_drift_correction = low8(v.u))},
    {KEY("DRIFT_MONITORING_CHANNEL"), {}, Value::u32, kN, SET(h.legacy_drift_monitor = low8(v.u))},
    {KEY("SAMPLE_INTERVAL"), {}, Value::u32, kP, SET(h.ph_sample_interval_ms = v.u)},
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

// A field's key "KELPIRA.CHEMISTRY.<header><suffix>", or for a field of a nested record
// "KELPIRA.CHEMISTRY.INLET.<index>.<header>", read as its type: a real for floats and for
// concentrations (µM, stored as nmol/l), else an unsigned number cut to the field's width.
template <typename Rec, std::size_t N>
bool try_fields(const std::array<records::Field<Rec>, N>& fields, Rec& record,
                std::string_view line, std::string_view suffix = {}) {
    for (const auto& f : fields) {
        if (f.spec.header.empty()) {
            continue;
        }
        const bool nested = !f.spec.item.empty();
        const std::string header(f.spec.header);
        const std::string name = std::string(kChemistryKey) +
                                 (nested ? std::string("INLET.") : header + std::string(suffix));
        const std::string after = nested ? "." + header : std::string();
        const bool milli = f.spec.format == records::FieldFormat::milli;
        const bool real = f.type == records::FieldType::f32 || milli;
        const KeyEntry key{name, after, real ? Value::real : Value::u32, 0, nullptr};
        const auto v = scan_key(key, line);
        if (!v || (nested && v->index != f.spec.index)) {
            continue;
        }
        if (milli) {
            f.set(record, 0, to_nmol(v->real));
        } else {
            f.set(record, 0, real ? std::bit_cast<std::uint32_t>(to_f32(v->real)) : v->u);
        }
        return true;
    }
    return false;
}

// Thermistors 0 .. count-1, each key ending in ".<index>".
bool try_thermistors(RawHeader& h, std::size_t count, std::string_view line) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::string suffix = "." + std::to_string(i);
        if (try_fields(records::kThermistorConfigTable.fields, h.thermistors[i], line, suffix)) {
            return true;
        }
    }
    return false;
}

// The keys of the chemistry's records, by the names their field tables give them.
bool try_record_keys(RawHeader& h, RawChemistry c, std::string_view line) {
    switch (c) {
        case RawChemistry::nutrient:
        case RawChemistry::nutrient_multi:
            return try_fields(records::kNutrientParamsTable.fields, h.nutrient, line);
        case RawChemistry::ph:
            return try_fields(records::kPhParamsTable.fields, h.ph, line) ||
                   try_thermistors(h, 2, line);
        case RawChemistry::ta:
            return try_fields(records::kTaParamsTable.fields, h.ta, line) ||
                   try_thermistors(h, 2, line);
        case RawChemistry::dic:
            return try_fields(records::kDicParamsTable.fields, h.dic, line) ||
                   try_thermistors(h, 1, line);
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
    return try_record_keys(header, chemistry, line);
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
