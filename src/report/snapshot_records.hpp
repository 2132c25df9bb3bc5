// The records of a snapshot in the order an import writes them, each with the commands that
// read and write it. Used by the snapshot's export and import only.
#pragma once

#include <functional>
#include <span>

#include "config/clock_transfer.hpp"
#include "records/chemistry_config.hpp"
#include "records/chemistry_transfer.hpp"
#include "report/snapshot_fields.hpp"
#include "report/snapshot_json.hpp"

namespace kelpira::report {

// Where a record sits in the document: a key, and an index inside it for the thermistors.
struct Slot {
    const char* key;
    int index;         // -1: the key's value is the record
    const char* name;  // as the import's outcome names it
    bool optional;     // a snapshot may leave it out (a sensor without it)
};

template <typename Rec>
struct RecordIo {
    std::function<link::CommandResult(Rec&)> read;
    std::function<link::CommandResult(const Rec&)> write;
};

template <typename Rec>
Json to_fields(const Rec& record) {
    Json j = Json::object();
    FieldWriter w(j);
    fields(w, record);
    return j;
}

// The record with the fields of `j` laid over it; throws SnapshotFault naming a bad field.
// With Rules::dialogs `record` is the sensor's, and a field set to another value must be one
// its dialog allows.
template <typename Rec>
void from_fields(const Json& j, const std::string& path, Rec& record,
                 Rules rules = Rules::width_only) {
    FieldReader r(j, path, rules);
    fields(r, record);
    r.finish();
}

// A chemistry by its tab text.
inline std::string chemistry_name(records::ChemistryType code) {
    const auto* d = records::find_chemistry(code);
    return d != nullptr ? std::string(d->tab_text)
                        : "unknown (" + std::to_string(records::code_of(code)) + ")";
}

inline std::string slot_path(const Slot& s) {
    return s.index < 0 ? s.key : std::string(s.key) + "[" + std::to_string(s.index) + "]";
}

// The record's object in the document, or nullptr when the document leaves it out.
inline const Json* locate(const Json& doc, const Slot& s) {
    const auto it = doc.find(s.key);
    if (it == doc.end()) {
        return nullptr;
    }
    if (s.index < 0) {
        return &*it;
    }
    if (!it->is_array() || it->size() != 3) {
        throw SnapshotFault(s.key, "not a list of 3 entries");
    }
    return &(*it)[static_cast<std::size_t>(s.index)];
}

// The name and serial number of the snapshot's identity laid over `id` (an import: under the
// dialog's rules); the identity's other fields are for information only.
inline void read_identity(const Json& j, link::SensorIdentification& id,
                          Rules rules = Rules::width_only) {
    FieldReader r(j, "identity", rules);
    fields(r, id);
}

// Each record is handed to `visit` as visit(slot, std::type_identity<Rec>{}, make_io), where
// make_io(link) gives the commands that read and write it; checking a snapshot needs no link.
template <typename Rec>
auto typed_io() {
    return [](link::SensorLink& link) {
        return RecordIo<Rec>{[&link](Rec& r) { return records::get_record(link, r); },
                             [&link](const Rec& r) { return records::set_record(link, r); }};
    };
}

// The processing parameters of `chemistry`, none for a chemistry no page carries.
template <typename Visit>
void params_record(records::ChemistryType chemistry, Visit& visit) {
    const Slot slot{"processing_params", -1, "processing parameters", false};
    const auto* d = records::find_chemistry(chemistry);
    if (d == nullptr) {
        return;
    }
    switch (d->page) {
        case records::ChemistryPage::generic:
            visit(slot, std::type_identity<records::GenericParams>{},
                  typed_io<records::GenericParams>());
            break;
        case records::ChemistryPage::nutrient:
            visit(slot, std::type_identity<records::NutrientParams>{},
                  typed_io<records::NutrientParams>());
            break;
        case records::ChemistryPage::ph:
            visit(slot, std::type_identity<records::PhParams>{}, typed_io<records::PhParams>());
            break;
        case records::ChemistryPage::ta:
            visit(slot, std::type_identity<records::TaParams>{}, typed_io<records::TaParams>());
            break;
        case records::ChemistryPage::dic:
            visit(slot, std::type_identity<records::DicParams>{}, typed_io<records::DicParams>());
            break;
        case records::ChemistryPage::ammonia:
            visit(slot, std::type_identity<records::AmmoniaParams>{},
                  typed_io<records::AmmoniaParams>());
            break;
    }
}

// Every record in import order, with the processing parameters of `chemistry`.
template <typename Visit>
void each_record(records::ChemistryType chemistry, Visit&& visit) {
    visit(Slot{"chemistry_config", -1, "chemistry configuration", false},
          std::type_identity<records::ChemistryConfig>{}, typed_io<records::ChemistryConfig>());
    params_record(chemistry, visit);
    visit(Slot{"optics_defaults", -1, "optics defaults", false},
          std::type_identity<records::OpticsDefaults>{}, typed_io<records::OpticsDefaults>());
    visit(Slot{"pmt_config", -1, "PMT configuration", true},
          std::type_identity<records::PmtConfig>{}, typed_io<records::PmtConfig>());
    visit(Slot{"dic_config", -1, "DIC configuration", true},
          std::type_identity<records::DicConductivityConfig>{},
          typed_io<records::DicConductivityConfig>());
    visit(Slot{"pump_valve_defaults", -1, "pump and valve defaults", false},
          std::type_identity<records::PumpValveDefaults>{}, typed_io<records::PumpValveDefaults>());
    static constexpr const char* kThermistorNames[] = {"thermistor 0", "thermistor 1",
                                                       "thermistor 2"};
    for (int i = 0; i < 3; ++i) {
        const auto index = static_cast<std::uint8_t>(i);
        visit(Slot{"thermistors", i, kThermistorNames[i], false},
              std::type_identity<records::ThermistorConfig>{}, [index](link::SensorLink& link) {
                  return RecordIo<records::ThermistorConfig>{
                      [&link, index](records::ThermistorConfig& r) {
                          return records::get_record(link, r, std::span(&index, 1));
                      },
                      [&link, index](const records::ThermistorConfig& r) {
                          return records::set_record(link, r, std::span(&index, 1));
                      }};
              });
    }
    visit(Slot{"rs232_config", -1, "RS232 configuration", false},
          std::type_identity<records::Rs232Config>{}, typed_io<records::Rs232Config>());
    visit(Slot{"rs485_config", -1, "RS485 configuration", false},
          std::type_identity<records::Rs485Config>{}, typed_io<records::Rs485Config>());
    visit(Slot{"platform_defaults", -1, "platform defaults", false},
          std::type_identity<records::PlatformDefaults>{}, typed_io<records::PlatformDefaults>());
    visit(
        Slot{"schedule", -1, "schedule", false}, std::type_identity<records::MeasurementSchedule>{},
        [](link::SensorLink& link) {
            return RecordIo<records::MeasurementSchedule>{
                [&link](records::MeasurementSchedule& r) { return config::read_schedule(link, r); },
                [&link](const records::MeasurementSchedule& r) {
                    return config::write_schedule(link, r);
                }};
        });
}

}  // namespace kelpira::report
