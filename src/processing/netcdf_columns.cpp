// The NetCDF variables of each chemistry's results.
#include "processing/netcdf_columns.hpp"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "processing/nutrient_csv.hpp"
#include "processing/result_csv.hpp"

namespace kelpira::processing {

namespace {

template <typename Result, auto Field>
double field(const ResultRecord& r) {
    return static_cast<double>(std::get<Result>(r).*Field);
}

// A value of a DIC cycle, which a failed cycle did not compute: the fill value, not its 0.
template <auto Field>
double computed(const ResultRecord& r) {
    const auto& d = std::get<DicResult>(r);
    return d.validity == 1 ? static_cast<double>(d.*Field)
                           : std::numeric_limits<double>::quiet_NaN();
}

constexpr std::string_view kMicromolar = "umol L-1";
constexpr std::string_view kCelsius = "degree_Celsius";
constexpr std::string_view kSalinityName = "sea_water_practical_salinity";
constexpr std::string_view kTemperatureName = "sea_water_temperature";

struct NutrientName {
    records::ChemistryType type;
    std::string_view variable;
    std::string_view standard_name;
};

constexpr std::array<NutrientName, 5> kNutrientNames{{
    {records::ChemistryType::nitrate, "nitrate", "mole_concentration_of_nitrate_in_sea_water"},
    {records::ChemistryType::nitrite, "nitrite", "mole_concentration_of_nitrite_in_sea_water"},
    {records::ChemistryType::phosphate, "phosphate",
     "mole_concentration_of_phosphate_in_sea_water"},
    {records::ChemistryType::silicate, "silicate", "mole_concentration_of_silicate_in_sea_water"},
    {records::ChemistryType::iron, "iron", "mole_concentration_of_dissolved_iron_in_sea_water"},
}};

// The value every input shares, if they all share one.
template <typename Get>
auto common_value(std::span<const NetcdfInput> inputs, Get get)
    -> std::optional<decltype(get(inputs.front()))> {
    if (inputs.empty()) {
        return std::nullopt;
    }
    const auto first = get(inputs.front());
    for (const auto& in : inputs) {
        if (get(in) != first) {
            return std::nullopt;
        }
    }
    return first;
}

const NutrientName* common_nutrient(std::span<const NetcdfInput> inputs) {
    const auto type =
        common_value(inputs, [](const NetcdfInput& in) { return in.header.chemistry; });
    if (!type || !*type) {
        return nullptr;
    }
    for (const auto& n : kNutrientNames) {
        if (n.type == **type) {
            return &n;
        }
    }
    return nullptr;
}

NetcdfColumn column(std::string name, std::string_view long_name, std::string_view units,
                    std::string_view standard_name, NetcdfStorage storage,
                    double (*value)(const ResultRecord&)) {
    NetcdfColumn c;
    c.name = std::move(name);
    c.long_name = std::string(long_name);
    c.units = std::string(units);
    c.standard_name = std::string(standard_name);
    c.storage = storage;
    c.value = value;
    return c;
}

NetcdfColumn reported(NetcdfColumn c) {
    c.reported = true;
    return c;
}

// The three channels of the inputs of one nutrient (all of them when `nutrient` is empty).
std::vector<NetcdfColumn> channel_columns(std::span<const NetcdfInput> inputs,
                                          std::string_view nutrient, bool only) {
    using R = NutrientResult;
    const auto& t = kNutrientMultiResultColumns;
    std::vector<NetcdfInput> own;
    for (const auto& in : inputs) {
        if (nutrient_of(in) == nutrient) {
            own.push_back(in);
        }
    }
    const NutrientName* name = common_nutrient(own);
    const auto output = common_value(std::span<const NetcdfInput>(own), [](const NetcdfInput& in) {
        return in.header.nutrient.output_channel;
    });
    const auto standard_name = [&](records::NutrientChannel channel) {
        const bool reports = name != nullptr && output == static_cast<std::uint8_t>(channel);
        return reports ? name->standard_name : std::string_view{};
    };
    const std::string prefix(nutrient);
    std::vector<NetcdfColumn> out{
        reported(column(prefix + "_medium", t[2], kMicromolar,
                        standard_name(records::NutrientChannel::medium), NetcdfStorage::real32,
                        field<R, &R::medium>)),
        reported(column(prefix + "_short", t[3], kMicromolar,
                        standard_name(records::NutrientChannel::short_path), NetcdfStorage::real32,
                        field<R, &R::short_path>)),
        reported(column(prefix + "_long", t[4], kMicromolar,
                        standard_name(records::NutrientChannel::long_path), NetcdfStorage::real32,
                        field<R, &R::long_path>)),
    };
    for (auto& c : out) {
        if (only) {
            c.nutrient = prefix;
            c.long_name += " of the " + prefix + " input files";
        }
    }
    return out;
}

std::vector<NetcdfColumn> nutrient_columns(std::span<const NetcdfInput> inputs) {
    using R = NutrientResult;
    const auto& t = kNutrientMultiResultColumns;
    std::vector<std::string_view> nutrients;
    for (const auto& in : inputs) {
        if (std::find(nutrients.begin(), nutrients.end(), nutrient_of(in)) == nutrients.end()) {
            nutrients.push_back(nutrient_of(in));
        }
    }
    auto depth = column("depth", t[5], "m", "depth", NetcdfStorage::real32, field<R, &R::depth>);
    depth.positive_down = true;
    std::vector<NetcdfColumn> out{
        column("platform_time", t[0], kTimeUnits, "", NetcdfStorage::time,
               field<R, &R::platform_time>),
        column("time", t[1], kTimeUnits, "time", NetcdfStorage::time, field<R, &R::sensor_time>),
    };
    for (const auto nutrient : nutrients) {
        auto channels = channel_columns(inputs, nutrient, nutrients.size() > 1);
        out.insert(out.end(), channels.begin(), channels.end());
    }
    out.insert(out.end(), {
                              depth,
                              column("salinity", t[6], "1", kSalinityName, NetcdfStorage::real32,
                                     field<R, &R::salinity>),
                              column("temperature", t[7], kCelsius, kTemperatureName,
                                     NetcdfStorage::real32, field<R, &R::temperature>),
                              column(std::string(kValidityName),
                                     "validity of the output channel's concentration", "", "",
                                     NetcdfStorage::flag, field<R, &R::validity>),
                          });
    return out;
}

std::vector<NetcdfColumn> ph_columns() {
    using R = PhResult;
    const auto& t = kPhResultColumns;
    return {
        column("time", t[0], kTimeUnits, "time", NetcdfStorage::time, field<R, &R::time>),
        reported(column("ph", t[1], "1", "sea_water_ph_reported_on_total_scale",
                        NetcdfStorage::real64, field<R, &R::ph>)),
        column("r", t[2], "1", "", NetcdfStorage::real64, field<R, &R::r>),
        column("r_adjusted", t[3], "1", "", NetcdfStorage::real64, field<R, &R::r_adjusted>),
        column("thermistor_temperature", t[4], kCelsius, "", NetcdfStorage::real64,
               field<R, &R::thermistor_temperature>),
        column("salinity", t[5], "1", kSalinityName, NetcdfStorage::real32, field<R, &R::salinity>),
        column("temperature", t[6], kCelsius, kTemperatureName, NetcdfStorage::real32,
               field<R, &R::temperature>),
        column("oxygen", t[7], "mL L-1", "", NetcdfStorage::real32, field<R, &R::oxygen>),
    };
}

std::vector<NetcdfColumn> ta_columns() {
    using R = TaResult;
    const auto& t = kTaResultColumns;
    // The TA formula yields µmol per litre for an acid molarity in mol per litre: the CF name
    // per volume, not the one per mass.
    return {
        column("time", t[0], kTimeUnits, "time", NetcdfStorage::time, field<R, &R::time>),
        reported(column("ta", t[1], kMicromolar,
                        "sea_water_alkalinity_expressed_as_mole_equivalent", NetcdfStorage::real64,
                        field<R, &R::ta>)),
        column("absorbance_led1", t[2], "1", "", NetcdfStorage::real32, field<R, &R::absorbance1>),
        column("absorbance_led2", t[3], "1", "", NetcdfStorage::real32, field<R, &R::absorbance2>),
        column("temperature", t[4], kCelsius, "", NetcdfStorage::real32, field<R, &R::temperature>),
    };
}

std::vector<NetcdfColumn> dic_columns() {
    using R = DicResult;
    const auto& t = kDicResultColumns;
    return {
        column("time", t[0], kTimeUnits, "time", NetcdfStorage::time, field<R, &R::time>),
        column("measurement_state", t[1], "", "", NetcdfStorage::integer, computed<&R::state>),
        reported(column("dic", t[2], "umol kg-1",
                        "moles_of_dissolved_inorganic_carbon_per_unit_mass_in_sea_water",
                        NetcdfStorage::real64, computed<&R::dic>)),
        column("sample_step", t[3], "V", "", NetcdfStorage::real32, computed<&R::sample_step>),
        column("crm_step", t[4], "V", "", NetcdfStorage::real32, computed<&R::crm_step>),
        column("temperature", t[5], kCelsius, "", NetcdfStorage::real32, computed<&R::temperature>),
        column(std::string(kValidityName), t[6], "", "", NetcdfStorage::flag,
               field<R, &R::validity>),
    };
}

}  // namespace

std::string_view nutrient_of(const NetcdfInput& input) {
    for (const auto& n : kNutrientNames) {
        if (input.header.chemistry == n.type) {
            return n.variable;
        }
    }
    return "nutrient";
}

std::vector<NetcdfColumn> netcdf_columns(ChemistryChoice chemistry,
                                         std::span<const NetcdfInput> inputs) {
    switch (chemistry) {
        case ChemistryChoice::ph:
            return ph_columns();
        case ChemistryChoice::ta:
            return ta_columns();
        case ChemistryChoice::dic:
            return dic_columns();
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient:
            break;
    }
    return nutrient_columns(inputs);
}

void retitle_columns(std::vector<NetcdfColumn>& columns, ChemistryChoice chemistry,
                     std::span<const std::string> titles) {
    std::span<const std::string_view> own = kNutrientMultiResultColumns;
    if (chemistry == ChemistryChoice::ph) {
        own = kPhResultColumns;
    } else if (chemistry == ChemistryChoice::ta) {
        own = kTaResultColumns;
    } else if (chemistry == ChemistryChoice::dic) {
        own = kDicResultColumns;
    }
    std::vector<std::string> before;
    for (const auto& c : columns) {
        before.push_back(c.long_name);
    }
    for (std::size_t i = 0; i < std::min(titles.size(), own.size()); ++i) {
        for (std::size_t k = 0; k < columns.size(); ++k) {
            if (before[k] == own[i]) {
                columns[k].long_name = titles[i];
            }
        }
    }
}

std::string netcdf_quantity_name(ChemistryChoice chemistry, std::span<const NetcdfInput> inputs) {
    switch (chemistry) {
        case ChemistryChoice::ph:
            return "pH";
        case ChemistryChoice::ta:
            return "Total alkalinity";
        case ChemistryChoice::dic:
            return "Dissolved inorganic carbon";
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient:
            break;
    }
    const NutrientName* nutrient = common_nutrient(inputs);
    if (nutrient == nullptr) {
        return "Nutrient";
    }
    std::string name(nutrient->variable);
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

}  // namespace kelpira::processing
