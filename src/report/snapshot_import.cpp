// Importing a snapshot: each record compared with the sensor's, written when it differs, read
// back and compared again; and the per-record outcome texts.
#include "link/closed_link.hpp"
#include "link/identity_commands.hpp"
#include "report/report_lines.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_records.hpp"

namespace kelpira::report {

namespace {

std::string value_text(const Json& v) {
    return v.is_string() ? v.get<std::string>() : v.dump();
}

// The fields whose values differ, with the sensor's value and the snapshot's.
std::vector<FieldChange> differences(const Json& sensor, const Json& wanted) {
    std::vector<FieldChange> changes;
    for (auto it = wanted.begin(); it != wanted.end(); ++it) {
        const auto s = sensor.find(it.key());
        if (s == sensor.end() || *s != it.value()) {
            changes.push_back(
                {it.key(), s == sensor.end() ? "" : value_text(*s), value_text(it.value())});
        }
    }
    return changes;
}

RecordOutcome failed(const char* record, const char* what, link::CommandResult rc) {
    return {record, Outcome::failed, {}, with_status(what, rc)};
}

// Brings one record of the sensor to the snapshot's fields (`apply` lays them over a copy of
// the sensor's record, so the bytes a snapshot does not hold stay the sensor's).
template <typename Rec, typename Apply>
RecordOutcome bring(const char* name, const RecordIo<Rec>& io, Apply apply, bool dry_run) {
    Rec current{};
    auto rc = io.read(current);
    if (rc != link::kResultSuccess) {
        return failed(name, "unable to read from sensor", rc);
    }
    Rec wanted = current;
    apply(wanted);
    const Json wanted_fields = to_fields(wanted);
    auto changes = differences(to_fields(current), wanted_fields);
    if (changes.empty()) {
        return {name, Outcome::unchanged, {}, ""};
    }
    if (dry_run) {
        return {name, Outcome::would_change, std::move(changes), ""};
    }
    rc = io.write(wanted);
    if (rc != link::kResultSuccess) {
        return failed(name, "unable to write to sensor", rc);
    }
    Rec back{};
    rc = io.read(back);
    if (rc != link::kResultSuccess) {
        return failed(name, "unable to read back from sensor", rc);
    }
    changes = differences(to_fields(back), wanted_fields);
    if (changes.empty()) {
        return {name, Outcome::written, {}, ""};
    }
    return {name, Outcome::still_differs, std::move(changes), ""};
}

RecordOutcome bring_identity(link::SensorLink& link, const Json& identity, bool dry_run) {
    const RecordIo<link::SensorIdentification> io{
        [&link](link::SensorIdentification& id) {
            return link::get_sensor_identification(link, id);
        },
        [&link](const link::SensorIdentification& id) {
            return link::set_sensor_identification(link, id);
        }};
    return bring(
        "identification", io,
        [&identity](link::SensorIdentification& id) {
            read_identity(identity, id);
            id.layout = link::SensorIdentification::kLayout;
        },
        dry_run);
}

std::string chemistry_name(config::ChemistryType code) {
    const auto* d = config::find_chemistry(code);
    return d != nullptr ? std::string(d->tab_text) : "unknown (" + num(code_of(code)) + ")";
}

}  // namespace

ImportResult import_snapshot(link::SensorLink& link, const Json& snapshot,
                             const ImportOptions& options) {
    ImportResult result;
    config::ChemistryConfig wanted;
    try {
        check_snapshot(snapshot);
        if (options.include_identity && !snapshot.contains("identity")) {
            throw SnapshotFault("identity", "missing");
        }
        from_fields(snapshot["chemistry_config"], "chemistry_config", wanted);
    } catch (const SnapshotFault& fault) {
        result.refusal = fault.what();
        return result;
    }
    config::ChemistryConfig sensor;
    const auto rc = link::get_chemistry_config(link, sensor);
    if (rc != link::kResultSuccess) {
        result.refusal = with_status("unable to read chemistry configuration from sensor", rc);
        return result;
    }
    link::SensorLink* on = &link;
    int lost_in_a_row = 0;
    const bool chemistry_changes = sensor.chemistry != wanted.chemistry;
    if (chemistry_changes && !options.force) {
        result.chemistry_differs = true;
        result.refusal = "the snapshot's chemistry is " + chemistry_name(wanted.chemistry) +
                         "; this sensor is configured for " + chemistry_name(sensor.chemistry);
        return result;
    }
    each_record(wanted.chemistry, [&]<typename Rec>(const Slot& s, std::type_identity<Rec>,
                                                    const auto& make_io) {
        const Json* fields_json = locate(snapshot, s);
        if (fields_json == nullptr) {
            return;
        }
        if (chemistry_changes && options.dry_run &&
            std::string_view(s.key) == "processing_params") {
            // The sensor keeps parameters only for the chemistry it runs.
            result.records.push_back(
                {s.name, Outcome::would_change, {}, "written for the snapshot's chemistry"});
            return;
        }
        const std::string path = slot_path(s);
        result.records.push_back(bring(
            s.name, make_io(*on), [&](Rec& record) { from_fields(*fields_json, path, record); },
            options.dry_run));
        // Two records in a row that found no sensor to answer them mean it has gone (one
        // lost answer does not): the records after them are not tried on it, and each says
        // it failed without waiting out the time-out again.
        const auto& done = result.records.back();
        if (done.outcome != Outcome::failed || !done.detail.ends_with("(status=14)")) {
            lost_in_a_row = 0;
        } else if (++lost_in_a_row == 2) {
            on = &link::closed_link();
        }
    });
    if (snapshot.contains("identity")) {
        if (options.include_identity) {
            result.records.push_back(bring_identity(*on, snapshot["identity"], options.dry_run));
        } else {
            result.records.push_back({"identification", Outcome::not_written, {}, ""});
        }
    }
    return result;
}

bool ImportResult::ok() const {
    if (refusal) {
        return false;
    }
    for (const auto& r : records) {
        if (r.outcome == Outcome::failed || r.outcome == Outcome::still_differs) {
            return false;
        }
    }
    return true;
}

std::string outcome_text(const RecordOutcome& o) {
    std::string text = o.record + ": ";
    switch (o.outcome) {
        case Outcome::unchanged:
            return text + "unchanged";
        case Outcome::written:
            return text + "written";
        case Outcome::not_written:
            return text + "not written (the sensor keeps its own)";
        case Outcome::failed:
            return text + o.detail;
        case Outcome::would_change:
            text += "would change";
            break;
        case Outcome::still_differs:
            text += "still differs:";
            break;
    }
    for (std::size_t i = 0; i < o.changes.size(); ++i) {
        const auto& c = o.changes[i];
        text += (i == 0 ? " " : ", ") + c.field + " " + c.sensor;
        text += o.outcome == Outcome::would_change ? " -> " + c.snapshot
                                                   : " (snapshot " + c.snapshot + ")";
    }
    if (!o.detail.empty()) {
        text += " (" + o.detail + ")";
    }
    return text;
}

std::vector<std::string> outcome_lines(const ImportResult& result) {
    std::vector<std::string> lines;
    for (const auto& r : result.records) {
        lines.push_back(outcome_text(r));
    }
    return lines;
}

}  // namespace kelpira::report
