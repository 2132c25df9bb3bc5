// Importing a snapshot: every record the snapshot holds is read from the sensor and checked
// against it first; only when the whole snapshot passes are the records that differ written,
// each read back and compared again. The per-record outcome texts.
#include <optional>

#include "link/identity_commands.hpp"
#include "link/write_outcome.hpp"
#include "report/report_lines.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_record_rules.hpp"
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

// A write refused or lost (failed), or taken but not read back (unconfirmed), in the words
// every Save uses.
RecordOutcome write_failure(const std::string& record, Outcome outcome, link::CommandResult rc) {
    const auto state =
        outcome == Outcome::failed ? link::WriteState::not_written : link::WriteState::unconfirmed;
    return {record, outcome, {}, link::what_happened(state, rc), rc};
}

// One record as the check left it: what the import would do, and the write that does it.
struct Step {
    RecordOutcome preview;
    std::function<RecordOutcome()> write;  // empty when nothing is to be written
};

// A snapshot the sensor cannot take: the check stops at the first such record.
struct Refused {
    std::string reason;
};

// Plans one record: `held` is the sensor's (nothing when it is not read first, the chemistry
// changing), the snapshot's fields are laid over it under the dialogs' rules, then the
// dialog's rules for the whole record.
template <typename Rec, typename Apply>
Step plan(const std::string& name, RecordIo<Rec> io, const std::optional<Rec>& held, Apply apply) {
    Rec wanted = held.value_or(Rec{});
    apply(wanted);
    const std::string note = record_rules(wanted, held.value_or(Rec{}));
    const Json wanted_fields = to_fields(wanted);
    std::vector<FieldChange> changes;
    if (held) {
        changes = differences(to_fields(*held), wanted_fields);
        if (changes.empty()) {
            return {{name, Outcome::unchanged, {}, note, {}}, {}};
        }
    }
    auto write = [name, io = std::move(io), wanted, wanted_fields, note]() -> RecordOutcome {
        auto rc = io.write(wanted);
        if (rc != link::kResultSuccess) {
            return write_failure(name, Outcome::failed, rc);
        }
        Rec back{};
        rc = io.read(back);
        if (rc != link::kResultSuccess) {
            return write_failure(name, Outcome::unconfirmed, rc);
        }
        auto left = differences(to_fields(back), wanted_fields);
        if (left.empty()) {
            return {name, Outcome::written, {}, note, {}};
        }
        return {name, Outcome::still_differs, std::move(left), note, {}};
    };
    return {{name,
             Outcome::would_change,
             std::move(changes),
             held ? note : "written for the snapshot's chemistry",
             {}},
            std::move(write)};
}

// Reads the sensor's record; a record that cannot be read refuses the snapshot.
template <typename Rec>
Rec held_record(const RecordIo<Rec>& io, const std::string& name) {
    Rec held{};
    const auto rc = io.read(held);
    if (rc != link::kResultSuccess) {
        throw Refused{with_status("unable to read " + name + " from sensor", rc)};
    }
    return held;
}

RecordIo<link::SensorIdentification> identity_io(link::SensorLink& link) {
    return {[&link](link::SensorIdentification& id) {
                return link::get_sensor_identification(link, id);
            },
            [&link](const link::SensorIdentification& id) {
                return link::set_sensor_identification(link, id);
            }};
}

// Every step of the import, after every record it touches was read and checked; throws
// Refused or SnapshotFault at the first record the sensor cannot take.
std::vector<Step> plan_import(link::SensorLink& link, const Json& snapshot,
                              const records::ChemistryConfig& sensor_chemistry,
                              const records::ChemistryType wanted_chemistry,
                              bool include_identity) {
    std::vector<Step> steps;
    const bool chemistry_changes = sensor_chemistry.chemistry != wanted_chemistry;
    each_record(wanted_chemistry,
                [&]<typename Rec>(const Slot& s, std::type_identity<Rec>, const auto& make_io) {
                    const Json* fields_json = locate(snapshot, s);
                    if (fields_json == nullptr) {
                        return;
                    }
                    const std::string path = slot_path(s);
                    RecordIo<Rec> io = make_io(link);
                    std::optional<Rec> held;
                    if constexpr (std::is_same_v<Rec, records::ChemistryConfig>) {
                        held = sensor_chemistry;
                    } else {
                        // The sensor keeps parameters only for the chemistry it runs: those of the
                        // snapshot's are written whole once the chemistry is.
                        if (!chemistry_changes || std::string_view(s.key) != "processing_params") {
                            held = held_record(io, s.name);
                        }
                    }
                    steps.push_back(plan(s.name, std::move(io), held, [&](Rec& record) {
                        from_fields(*fields_json, path, record, Rules::dialogs);
                    }));
                });
    if (snapshot.contains("identity")) {
        if (include_identity) {
            auto io = identity_io(link);
            const auto held = held_record(io, "identification");
            steps.push_back(plan("identification", std::move(io), std::optional(held),
                                 [&snapshot](link::SensorIdentification& id) {
                                     read_identity(snapshot["identity"], id, Rules::dialogs);
                                     id.layout = link::SensorIdentification::kLayout;
                                 }));
        } else {
            steps.push_back({{"identification", Outcome::not_written, {}, "", {}}, {}});
        }
    }
    return steps;
}

}  // namespace

ImportResult import_snapshot(link::SensorLink& link, const Json& snapshot,
                             const ImportOptions& options) {
    ImportResult result;
    records::ChemistryConfig wanted;
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
    records::ChemistryConfig sensor;
    const auto rc = records::get_chemistry_config(link, sensor);
    if (rc != link::kResultSuccess) {
        result.refusal = with_status("unable to read chemistry configuration from sensor", rc);
        return result;
    }
    if (sensor.chemistry != wanted.chemistry && !options.force) {
        result.chemistry_differs = true;
        result.refusal = "the snapshot's chemistry is " + chemistry_name(wanted.chemistry) +
                         "; this sensor is configured for " + chemistry_name(sensor.chemistry);
        return result;
    }
    std::vector<Step> steps;
    try {
        steps = plan_import(link, snapshot, sensor, wanted.chemistry, options.include_identity);
    } catch (const SnapshotFault& fault) {
        result.refusal = fault.what();
        return result;
    } catch (const Refused& refused) {
        result.refusal = refused.reason;
        return result;
    }
    // Two writes in a row that found no sensor to answer them mean it has gone (one lost
    // answer does not): the writes after them are not tried, without waiting out the time-out
    // again.
    int lost_in_a_row = 0;
    for (auto& step : steps) {
        if (options.dry_run || !step.write) {
            result.records.push_back(step.preview);
        } else if (lost_in_a_row >= 2) {
            result.records.push_back({step.preview.record, Outcome::not_tried, {}, "", {}});
        } else {
            result.records.push_back(step.write());
            const auto& done = result.records.back();
            const bool lost =
                (done.outcome == Outcome::failed || done.outcome == Outcome::unconfirmed) &&
                link::answer_lost(done.status);
            lost_in_a_row = lost ? lost_in_a_row + 1 : 0;
        }
    }
    return result;
}

bool ImportResult::ok() const {
    if (refusal) {
        return false;
    }
    for (const auto& r : records) {
        if (r.outcome == Outcome::failed || r.outcome == Outcome::still_differs ||
            r.outcome == Outcome::unconfirmed || r.outcome == Outcome::not_tried) {
            return false;
        }
    }
    return true;
}

std::string outcome_text(const RecordOutcome& o) {
    std::string text = o.record + ": ";
    switch (o.outcome) {
        case Outcome::unchanged:
            text += "unchanged";
            break;
        case Outcome::written:
            text += "written";
            break;
        case Outcome::not_written:
            return text + "not written (the sensor keeps its own)";
        case Outcome::failed:
        case Outcome::unconfirmed:
            return text + o.detail;
        case Outcome::not_tried:
            return text + "not tried (the sensor stopped answering)";
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
