// Reading a snapshot from the sensor, and the document's text and checks.
#include <utility>

#include "common/strict_json.hpp"
#include "common/visible_text.hpp"
#include "link/device_types.hpp"
#include "link/identity_commands.hpp"
#include "report/report_lines.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_records.hpp"

namespace kelpira::report {

namespace {

// The sensor's identity and firmware, for information; what cannot be read is left out.
std::optional<Json> identity_json(link::SensorLink& link) {
    link::DeviceInfo info;
    link::SensorIdentification id;
    if (link::get_device_info(link, info) != link::kResultSuccess ||
        link::get_sensor_identification(link, id) != link::kResultSuccess) {
        return std::nullopt;
    }
    Json j = Json::object();
    j["device"] = link::DeviceTypeName(info.device_type);
    // The identification's fields a dialog shows, under their rows' names.
    FieldWriter w(j);
    for (const auto& f : link::kSensorIdentificationTable.fields) {
        if (!f.spec.caption.empty()) {
            table_field(w, f, std::as_const(id));
        }
    }
    j["bootloader_version"] = info.bootloader_version;
    link::FirmwareVersion version;
    if (link::get_firmware_version(link, version) == link::kResultSuccess) {
        j["firmware_version"] = common::visible_text(version.text);
    }
    return j;
}

}  // namespace

SnapshotRead read_snapshot(link::SensorLink& link) {
    Json doc = Json::object();
    doc[kSnapshotFormatKey] = kSnapshotFormat;
    if (auto identity = identity_json(link)) {
        doc["identity"] = std::move(*identity);
    }
    records::ChemistryConfig chemistry;
    const auto rc = records::get_chemistry_config(link, chemistry);
    if (rc != link::kResultSuccess) {
        return {std::nullopt,
                with_status("unable to read chemistry configuration from sensor", rc)};
    }
    std::string failure;
    each_record(chemistry.chemistry,
                [&]<typename Rec>(const Slot& s, std::type_identity<Rec>, const auto& make_io) {
                    if (!failure.empty() || (std::string_view(s.key) == "dic_config" &&
                                             chemistry.chemistry != records::ChemistryType::dic)) {
                        return;
                    }
                    Rec record{};
                    const auto read = make_io(link).read(record);
                    if (read != link::kResultSuccess) {
                        if (!s.optional) {
                            failure = with_status(
                                "unable to read " + std::string(s.name) + " from sensor", read);
                        }
                        return;
                    }
                    if (s.index < 0) {
                        doc[s.key] = to_fields(record);
                    } else {
                        doc[s.key].push_back(to_fields(record));
                    }
                });
    if (!failure.empty()) {
        return {std::nullopt, failure};
    }
    return {std::move(doc), ""};
}

std::string snapshot_text(const Json& snapshot) {
    return snapshot.dump(2) + "\n";
}

Json parse_snapshot(std::string_view text) {
    common::StrictJson read;
    try {
        read = common::read_strict_json(text);
    } catch (const Json::exception& e) {  // a syntax error, or a number no double can hold
        throw SnapshotFault("snapshot", std::string("not a JSON document (") + e.what() + ")");
    }
    if (!read.duplicate.empty()) {
        throw SnapshotFault(read.duplicate, "given twice");
    }
    check_snapshot(read.doc);
    return std::move(read.doc);
}

void check_snapshot(const Json& doc) {
    if (!doc.is_object() || !doc.contains(kSnapshotFormatKey)) {
        throw SnapshotFault("snapshot", "not a configuration snapshot");
    }
    if (doc[kSnapshotFormatKey] != kSnapshotFormat) {
        throw SnapshotFault(kSnapshotFormatKey, "a format this program does not read");
    }
    std::set<std::string> known{kSnapshotFormatKey, "identity"};
    if (doc.contains("identity")) {
        link::SensorIdentification id;
        read_identity(doc["identity"], id);
    }
    if (!doc.contains("chemistry_config")) {
        throw SnapshotFault("chemistry_config", "missing");
    }
    records::ChemistryConfig chemistry;
    from_fields(doc["chemistry_config"], "chemistry_config", chemistry);
    if (records::find_chemistry(chemistry.chemistry) == nullptr &&
        doc.contains("processing_params")) {
        // Parameters only a known chemistry has: the code is what is wrong, not the record.
        throw SnapshotFault("chemistry_config.chemistry",
                            std::to_string(records::code_of(chemistry.chemistry)) +
                                " is not a chemistry this program knows");
    }
    if (doc.contains("dic_config") && chemistry.chemistry != records::ChemistryType::dic) {
        // As the optics dialog, which edits it only on a DIC sensor.
        throw SnapshotFault("dic_config",
                            "only a DIC sensor has one; the snapshot's chemistry is " +
                                chemistry_name(chemistry.chemistry));
    }
    each_record(chemistry.chemistry,
                [&]<typename Rec>(const Slot& s, std::type_identity<Rec>, const auto&) {
                    known.insert(s.key);
                    const Json* j = locate(doc, s);
                    if (j == nullptr) {
                        if (!s.optional) {
                            throw SnapshotFault(slot_path(s), "missing");
                        }
                        return;
                    }
                    Rec record{};
                    from_fields(*j, slot_path(s), record);
                });
    for (auto it = doc.begin(); it != doc.end(); ++it) {
        if (!known.contains(it.key())) {
            throw SnapshotFault(it.key(), "unknown record");
        }
    }
}

}  // namespace kelpira::report
