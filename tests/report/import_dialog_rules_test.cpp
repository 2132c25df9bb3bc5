// The snapshot import and the dialogs hold each field to the same rule: every value a chemistry
// page or the optics, valves and pump dialog can store the import accepts, and every value the
// import accepts the dialog can store (the value the sensor already holds aside, which both
// keep).
#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <set>

#include "common/number_text.hpp"
#include "config/chemistry_page.hpp"
#include "config/measurement_schedule_controller.hpp"
#include "config/optics_controls.hpp"
#include "config/platform_controls.hpp"
#include "config/sensor_identification_controller.hpp"
#include "records/chemistry_fields.hpp"
#include "records/record_form.hpp"
#include "report/snapshot_record_rules.hpp"
#include "report/snapshot_records.hpp"

namespace kelpira::report {
namespace {

using Values = std::set<std::uint32_t>;

// Every byte, a few numbers around the limits of a wider field, and every entry of its list.
Values probes(const records::FieldSpec& s) {
    Values v;
    for (std::uint32_t i = 0; i <= 255; ++i) {
        v.insert(i);
    }
    for (std::int64_t i = s.low - 3; s.limited() && i <= s.high + 3; ++i) {
        v.insert(static_cast<std::uint32_t>(std::max<std::int64_t>(i, 0)));
    }
    for (const auto& e : s.choices) {
        v.insert(e.value);
    }
    v.insert({65535, 70000});
    return v;
}

// The page's control of a field, by its caption and its group when the table names one.
config::PageControl* page_control(config::ChemistryPageView& page, const records::FieldSpec& s) {
    for (auto& c : page.controls) {
        if (c.label == s.caption && (s.group.empty() || c.group == s.group)) {
            return &c;
        }
    }
    return nullptr;
}

// What the page stores in the field for every entry of its list or every number typed in it;
// a field the page has no control for: what the page writes.
template <typename Rec, typename Collect>
Values page_values(config::ChemistryPageView page, const records::Field<Rec>& f, Collect collect) {
    Values out;
    auto* c = page_control(page, f.spec);
    if (c == nullptr) {
        out.insert(f.get(collect(page), 0));
    } else if (c->kind == common::ControlKind::choice) {
        for (std::size_t i = 0; i < c->choices.size(); ++i) {
            c->selected = i;
            out.insert(f.get(collect(page), 0));
        }
    } else if (c->kind == common::ControlKind::check) {
        for (bool checked : {false, true}) {
            c->checked = checked;
            out.insert(f.get(collect(page), 0));
        }
    } else {
        const bool milli = f.spec.format == records::FieldFormat::milli;
        for (auto v : probes(f.spec)) {
            // Thousandths are typed as the decimal the user reads: 1234 as "1.234".
            const std::string frac = std::to_string(1000 + v % 1000).substr(1);
            c->text = milli ? std::to_string(v / 1000) + "." + frac : std::to_string(v);
            out.insert(f.get(collect(page), 0));
        }
    }
    return out;
}

// What the import accepts for the field over the sensor's record `held`.
template <typename Rec>
Values import_values(const Rec& held, const records::Field<Rec>& f) {
    Values out;
    for (auto v : probes(f.spec)) {
        Json j = to_fields(held);
        auto& within = f.spec.item.empty() ? j : j[std::string(f.spec.item)][f.spec.index];
        within[std::string(f.spec.name)] = v;
        Rec wanted = held;
        try {
            from_fields(j, "r", wanted, Rules::dialogs);
            record_rules(wanted, held);
            out.insert(f.get(wanted, 0));
        } catch (const SnapshotFault&) {
        }
    }
    return out;
}

template <typename Rec, typename Collect>
void expect_same_rules(records::ChemistryType code, Collect collect,
                       std::initializer_list<std::string_view> only = {}) {
    const auto page = config::make_chemistry_page(code);
    auto scratch = page;
    const Rec held = collect(scratch);
    for (const auto& f : records::table_of<Rec>().fields) {
        const bool listed = std::find(only.begin(), only.end(), f.spec.name) != only.end();
        if (records::controls_of(f.spec, f.count) != 1 || f.type == records::FieldType::f32 ||
            (only.size() != 0 && !listed)) {
            continue;
        }
        auto dialog = page_values(page, f, collect);
        auto imported = import_values(held, f);
        dialog.erase(f.get(held, 0));
        imported.erase(f.get(held, 0));
        EXPECT_EQ(dialog, imported)
            << records::find_chemistry(code)->tab_text << " " << f.spec.name;
    }
}

template <typename Rec>
Rec params_of(config::ChemistryPageView& page) {
    return records::decode_record<Rec>(config::collect_params(page));
}

records::ChemistryConfig config_of(config::ChemistryPageView& page) {
    return config::collect_config(page);
}

TEST(ImportAndDialogRules, EveryListAndLimitIsTheSameBothWays) {
    using records::ChemistryType;
    expect_same_rules<records::GenericParams>(ChemistryType::generic,
                                              params_of<records::GenericParams>);
    expect_same_rules<records::PhParams>(ChemistryType::ph, params_of<records::PhParams>);
    expect_same_rules<records::TaParams>(ChemistryType::ta, params_of<records::TaParams>);
    expect_same_rules<records::NutrientParams>(ChemistryType::nitrate,
                                               params_of<records::NutrientParams>);
    expect_same_rules<records::DicParams>(ChemistryType::dic, params_of<records::DicParams>);
    for (auto code : {ChemistryType::generic, ChemistryType::ph, ChemistryType::ta,
                      ChemistryType::nitrate, ChemistryType::dic}) {
        expect_same_rules<records::ChemistryConfig>(code, config_of,
                                                    {"multiplexer", "sample_interval_ms"});
    }
}

// Stored snapshots hold the DIC inlets as a list of objects under the inlet table's names.
TEST(ImportAndDialogRules, DicInletsKeepTheirStoredShape) {
    records::DicParams p;
    p.inlet[2] = {2, 4, 5, 2012.5f};
    const Json unused = {
        {"type", "Unused"}, {"intake_state", 0}, {"measurement_state", 0}, {"crm_umol_kg", 0.0}};
    const Json crm = {
        {"type", "CRM"}, {"intake_state", 4}, {"measurement_state", 5}, {"crm_umol_kg", 2012.5}};
    EXPECT_EQ(to_fields(p),
              (Json{{"sensor_version", "None"}, {"inlet", Json::array({unused, unused, crm})}}));
}

using config::ActuatorRecords;
using config::OpticsControls;

// The optics dialog's control of a field, by the field's name: a typed field, a list or a box.
struct OpticsControlOf {
    std::string_view name;
    config::OpticsField OpticsControls::*text = nullptr;
    std::uint8_t OpticsControls::*list = nullptr;
    bool OpticsControls::*flag = nullptr;
};

constexpr OpticsControlOf kOpticsControls[] = {
    {"photodiode_power", nullptr, nullptr, &OpticsControls::photodiode_power},
    {"instrument", nullptr, &OpticsControls::pmt_instrument},
    {"rxgain", nullptr, nullptr, &OpticsControls::dic_rxgain},
    {"frequency_khz", &OpticsControls::dic_frequency_khz},
    {"excitation_pct", &OpticsControls::dic_excitation_pct},
    {"direction", nullptr, &OpticsControls::pump_direction},
    {"current_ma", &OpticsControls::pump_current_ma},
    {"step_period_us", &OpticsControls::pump_step_period_us},
    {"microstepping", nullptr, &OpticsControls::pump_microstepping},
    {"stop_condition", nullptr, &OpticsControls::pump_stop_condition},
    {"hall_limit_inject", &OpticsControls::hall_limit_inject},
    {"hall_limit_withdraw", &OpticsControls::hall_limit_withdraw},
    {"timeout_s", &OpticsControls::pump_timeout_s},
    {"hall_power", nullptr, nullptr, &OpticsControls::hall_power},
    {"valve_spike_ms", &OpticsControls::valve_spike_ms},
};

// The factory records, the PMT voltage one either instrument takes: the instrument alone can
// change (the voltage's own rule is the test below).
ActuatorRecords factory_actuators() {
    ActuatorRecords r{records::default_optics_defaults(),
                      records::default_pmt_config(),
                      records::default_dic_conductivity_config(),
                      records::default_pump_valve_defaults(),
                      {}};
    r.pmt.control_v = 0.75f;
    return r;
}

// What the dialog's Save stores in the field for each setting of its control.
template <typename Rec>
Values optics_dialog_values(Rec ActuatorRecords::*rec, const records::Field<Rec>& f,
                            const OpticsControlOf& control) {
    Values out;
    const auto save = [&](const std::function<void(OpticsControls&)>& set) {
        ActuatorRecords r = factory_actuators();
        OpticsControls c;
        config::show_records(r, c);
        set(c);
        config::read_controls(c, r);
        out.insert(f.get(r.*rec, 0));
    };
    if (control.flag != nullptr) {
        for (bool on : {false, true}) {
            save([&](OpticsControls& c) { c.*control.flag = on; });
        }
    } else if (control.list != nullptr) {
        // The entries the widget's list shows: those of records/pump_valve_defaults.hpp and
        // records/optics_records.hpp.
        for (const auto& e : f.spec.choices) {
            save([&](OpticsControls& c) { c.*control.list = static_cast<std::uint8_t>(e.value); });
        }
    } else {
        for (auto v : probes(f.spec)) {
            save([&](OpticsControls& c) { (c.*control.text).text = std::to_string(v); });
        }
    }
    return out;
}

template <typename Rec>
void expect_same_optics_rules(Rec ActuatorRecords::*rec) {
    const Rec held = factory_actuators().*rec;
    for (const auto& f : records::table_of<Rec>().fields) {
        if (records::controls_of(f.spec, f.count) != 1 || f.type == records::FieldType::f32) {
            continue;
        }
        const auto* control = std::find_if(std::begin(kOpticsControls), std::end(kOpticsControls),
                                           [&](const auto& c) { return c.name == f.spec.name; });
        ASSERT_NE(control, std::end(kOpticsControls)) << f.spec.name;
        auto dialog = optics_dialog_values(rec, f, *control);
        auto imported = import_values(held, f);
        dialog.erase(f.get(held, 0));
        imported.erase(f.get(held, 0));
        EXPECT_EQ(dialog, imported) << f.spec.name;
    }
}

TEST(ImportAndDialogRules, OpticsValvesAndPumpFieldsTheSameBothWays) {
    expect_same_optics_rules(&ActuatorRecords::optics);
    expect_same_optics_rules(&ActuatorRecords::pmt);
    expect_same_optics_rules(&ActuatorRecords::dic);
    expect_same_optics_rules(&ActuatorRecords::pump);
}

// An H10492 takes 0.5..1.1 V: the Save stores a typed 0.4 as 0.5 and 1.2 as 1.1, the import
// refuses both; with no PMT fitted both keep any voltage.
TEST(ImportAndDialogRules, PmtVoltageTheSameBothWays) {
    const float typed[] = {0.4f, 0.5f, 0.75f, 1.1f, 1.2f};
    for (const auto instrument : {records::kPmtH10492, records::kPmtNone}) {
        Values dialog;
        Values imported;
        for (const float v : typed) {
            ActuatorRecords r = factory_actuators();
            r.pmt.control_v = 0.6f;  // held: none of the typed values
            const records::PmtConfig held = r.pmt;
            OpticsControls c;
            config::show_records(r, c);
            c.pmt_instrument = instrument;
            c.pmt_control_v.text = common::field_text(v, 5);
            config::read_controls(c, r);
            dialog.insert(std::bit_cast<std::uint32_t>(r.pmt.control_v));

            Json j = to_fields(held);
            j["instrument"] = instrument;
            j["control_v"] = v;
            records::PmtConfig wanted = held;
            try {
                from_fields(j, "pmt_config", wanted, Rules::dialogs);
                record_rules(wanted, held);
                imported.insert(std::bit_cast<std::uint32_t>(wanted.control_v));
            } catch (const SnapshotFault&) {
            }
        }
        const Values h10492{0x3F000000, 0x3F400000, 0x3F8CCCCD};  // 0.5, 0.75, 1.1
        const Values any{0x3ECCCCCD, 0x3F000000, 0x3F400000, 0x3F8CCCCD, 0x3F99999A};
        EXPECT_EQ(dialog, instrument == records::kPmtH10492 ? h10492 : any);
        EXPECT_EQ(imported, dialog);
    }
}

// A platform dialog's control of a field: the values its list offers (or the numbers typed in
// it), and how one is picked or typed.
template <typename Controls>
struct PlatformControlOf {
    std::string_view name;
    std::function<std::vector<std::uint32_t>(const Controls&)> offered;
    std::function<void(Controls&, std::uint32_t)> set;
};

template <typename Controls>
PlatformControlOf<Controls> typed(std::string_view name, config::PlatformField Controls::*control) {
    return {name, {}, [control](Controls& c, std::uint32_t v) {
                (c.*control).text = std::to_string(v);
            }};
}

// A list the dialog fills from `entries`, its stored value kept as an extra entry.
template <typename Controls, typename T>
PlatformControlOf<Controls> listed(std::string_view name,
                                   std::span<const records::ListEntry> entries,
                                   T Controls::*value) {
    return {name,
            [entries, value](const Controls& c) {
                std::vector<std::uint32_t> out{static_cast<std::uint32_t>(c.*value)};
                for (const auto& e : entries) {
                    out.push_back(e.value);
                }
                return out;
            },
            [value](Controls& c, std::uint32_t v) { c.*value = static_cast<T>(v); }};
}

// A list whose entries the core builds for the stored value (protocol, mode).
template <typename Controls, typename T>
PlatformControlOf<Controls> built(std::string_view name,
                                  std::vector<config::ListChoice> Controls::*choices,
                                  T Controls::*value) {
    return {name,
            [choices](const Controls& c) {
                std::vector<std::uint32_t> out;
                for (const auto& e : c.*choices) {
                    out.push_back(e.value);
                }
                return out;
            },
            [value](Controls& c, std::uint32_t v) { c.*value = static_cast<T>(v); }};
}

template <typename Rec, typename Controls>
void expect_same_platform_rules(const Rec& held, Controls (*show)(const Rec&),
                                Rec (*read)(const Controls&),
                                const std::vector<PlatformControlOf<Controls>>& controls) {
    for (const auto& f : records::table_of<Rec>().fields) {
        if (records::controls_of(f.spec, f.count) != 1 || f.type == records::FieldType::f32) {
            continue;
        }
        const auto control = std::find_if(controls.begin(), controls.end(),
                                          [&](const auto& c) { return c.name == f.spec.name; });
        ASSERT_NE(control, controls.end()) << f.spec.name;
        Values dialog;
        const Controls shown = show(held);
        std::vector<std::uint32_t> values;
        if (control->offered) {
            values = control->offered(shown);
        } else {
            const auto p = probes(f.spec);
            values.assign(p.begin(), p.end());
        }
        for (const auto v : values) {
            Controls c = shown;
            control->set(c, v);
            dialog.insert(f.get(read(c), 0));
        }
        auto imported = import_values(held, f);
        dialog.erase(f.get(held, 0));
        imported.erase(f.get(held, 0));
        EXPECT_EQ(dialog, imported) << f.spec.name;
    }
}

TEST(ImportAndDialogRules, PlatformAndSerialLineFieldsTheSameBothWays) {
    using config::PlatformDefaultsControls;
    using config::Rs232Controls;
    using config::Rs485Controls;
    using C = PlatformDefaultsControls;
    expect_same_platform_rules<records::PlatformDefaults, C>(
        records::default_platform_defaults(), config::show_platform_defaults,
        config::read_platform_defaults,
        {typed("dive_number", &C::dive_number),
         listed("direction", records::kDirections, &C::direction),
         typed("time_offset_s", &C::time_offset_s), typed("p1", &C::p1), typed("p2", &C::p2),
         typed("p3", &C::p3)});
    // A sensor holding Seaglider: its list offers None, Generic Polled, Generic Streaming and
    // Seaglider, the import the same.
    records::Rs232Config rs232 = records::default_rs232_config();
    rs232.protocol = records::kRs232Seaglider;
    expect_same_platform_rules<records::Rs232Config, Rs232Controls>(
        rs232, config::show_rs232, config::read_rs232,
        {listed("baud", records::kRs232BaudRates, &Rs232Controls::baud),
         listed("parity", records::kParities, &Rs232Controls::parity),
         listed("data_bits", records::kDataBits, &Rs232Controls::data_bits),
         listed("stop_bits", records::kStopBits, &Rs232Controls::stop_bits),
         built("protocol", &Rs232Controls::protocols, &Rs232Controls::protocol),
         built("mode", &Rs232Controls::modes, &Rs232Controls::mode)});
    expect_same_platform_rules<records::Rs485Config, Rs485Controls>(
        records::default_rs485_config(), config::show_rs485, config::read_rs485,
        {listed("baud", records::kRs485BaudRates, &Rs485Controls::baud),
         listed("parity", records::kParities, &Rs485Controls::parity),
         listed("data_bits", records::kDataBits, &Rs485Controls::data_bits),
         listed("stop_bits", records::kStopBits, &Rs485Controls::stop_bits),
         built("protocol", &Rs485Controls::protocols, &Rs485Controls::protocol),
         typed("slave_address", &Rs485Controls::slave_address),
         typed("poll_rate_s", &Rs485Controls::poll_rate_s)});
}

using Pairs = std::set<std::pair<std::uint32_t, std::uint32_t>>;
using records::MeasurementSchedule;

// The schedule's time probes: the range's ends, a day's last second, 29/02/2000, and past what
// a date can hold.
constexpr std::uint32_t kScheduleTimes[] = {0,          1,          86399,      951782400,
                                            2147483646, 2147483647, 2147483648, 4294967295};

// The schedule the import stores for `values` over the sensor's record, if it accepts them.
std::optional<MeasurementSchedule> imported(
    const MeasurementSchedule& held,
    std::initializer_list<std::pair<const char*, std::uint32_t>> values) {
    Json j = to_fields(held);
    for (const auto& [name, v] : values) {
        j[name] = v;
    }
    MeasurementSchedule wanted = held;
    try {
        from_fields(j, "schedule", wanted, Rules::dialogs);
        record_rules(wanted, held);
        return wanted;
    } catch (const SnapshotFault&) {
        return std::nullopt;
    }
}

// What Save stores with the controls `set` over the sensor's record, when Save is enabled.
template <typename Set>
std::optional<MeasurementSchedule> saved(const MeasurementSchedule& held, Set set) {
    auto c = config::show_schedule(held);
    set(c);
    const auto on = config::schedule_enabling(c, held.layout);
    if ((on.hours && !config::interval_entry_valid(c.hours)) ||
        (on.minutes && !config::interval_entry_valid(c.minutes))) {
        return std::nullopt;
    }
    return config::read_schedule_controls(c, held.layout);
}

// The date pickers hold only the dates a schedule time has. The stop and the interval are
// compared as pairs with their time and count: on layout 3 every 30 minutes is stored as 30
// minute intervals, on layout 2 any minutes as every 30 minutes.
TEST(ImportAndDialogRules, ScheduleTimesStopAndIntervalTheSameBothWays) {
    const std::uint32_t counts[] = {0, 1, 30, 65535, 65536};
    for (const std::uint8_t layout :
         {records::kScheduleLayoutHalfHours, records::kScheduleLayoutMinutes}) {
        MeasurementSchedule held;
        held.layout = layout;
        held.interval_kind = records::kMeasureEveryNHours;
        held.interval_count = 6;
        held.start_time = 43200;
        held.stop_enabled = 1;
        held.stop_time = 86400;
        Values start_dialog;
        Values start_import;
        Pairs stop_dialog;
        Pairs stop_import;
        for (const auto t : kScheduleTimes) {
            if (const auto r = imported(held, {{"start_time", t}})) {
                start_import.insert(r->start_time);
            }
            for (const std::uint32_t flag : {0, 1, 2}) {
                if (const auto r = imported(held, {{"stop_enabled", flag}, {"stop_time", t}})) {
                    stop_import.insert({r->stop_enabled, r->stop_time});
                }
            }
            const auto date = config::schedule_calendar(t);
            for (const bool ticked : {false, true}) {
                if (date) {
                    const auto r = saved(held, [&](auto& c) {
                        c.start = *date;
                        c.stop_enabled = ticked;
                        c.stop = *date;
                    });
                    start_dialog.insert(r->start_time);
                    stop_dialog.insert({r->stop_enabled, r->stop_time});
                }
            }
        }
        Pairs interval_dialog;
        Pairs interval_import;
        for (const auto n : counts) {
            for (const std::uint32_t kind : {0, 1, 2, 3, 4, 5, 6, 255}) {
                if (const auto r =
                        imported(held, {{"interval_kind", kind}, {"interval_count", n}})) {
                    interval_import.insert({r->interval_kind, r->interval_count});
                }
            }
            for (const std::uint8_t button :
                 {records::kMeasureContinuously, records::kMeasureEveryNHours,
                  records::kMeasureEveryNMinutes}) {
                if (const auto r = saved(held, [&](auto& c) {
                        c.interval_button = button;
                        c.hours = c.minutes = std::to_string(n);
                    })) {
                    interval_dialog.insert({r->interval_kind, r->interval_count});
                }
            }
        }
        const Values starts{0, 1, 86399, 951782400, 2147483646, 2147483647};
        EXPECT_EQ(start_dialog, starts);
        EXPECT_EQ(start_import, starts);
        const Pairs stops{{0, 0},         {1, 0},          {1, 1},         {1, 86399},
                          {1, 951782400}, {1, 2147483646}, {1, 2147483647}};
        EXPECT_EQ(stop_dialog, stops);
        EXPECT_EQ(stop_import, stops);
        const std::uint32_t minutes = layout == records::kScheduleLayoutMinutes ? 5 : 1;
        Pairs intervals{{0, 0}, {4, 1}, {4, 30}, {4, 65535}, {minutes, 30}};
        if (minutes == 5) {
            intervals.insert({{5, 1}, {5, 65535}});
        }
        EXPECT_EQ(interval_dialog, intervals) << "layout " << int{layout};
        EXPECT_EQ(interval_import, intervals) << "layout " << int{layout};
    }
}

// "Configure Sensor Identification" and the import of a snapshot's identity. A name is measured
// in bytes: the dialog takes up to 20 typed, the import up to the field's 21, which only a
// sensor's own record holds (a snapshot restores it onto another sensor).
TEST(ImportAndDialogRules, IdentificationFieldsTheSameBothWays) {
    const auto imports = [](const std::string& name, std::uint32_t serial) {
        link::SensorIdentification id;
        try {
            read_identity(Json{{"name", name}, {"serial_number", serial}}, id, Rules::dialogs);
        } catch (const SnapshotFault&) {
            return false;
        }
        return id.name == name && id.serial_number == serial;
    };
    const auto saves = [](const std::string& name, std::uint32_t serial) {
        config::IdentificationControls c{name, std::to_string(serial), "Held"};
        return config::identification_save_enabled(c);
    };
    Values dialog;
    Values imported;
    for (std::uint32_t n = 0; n <= 22; ++n) {
        if (saves(std::string(n, 'n'), 1)) {
            dialog.insert(n);
        }
        if (imports(std::string(n, 'n'), 1)) {
            imported.insert(n);
        }
    }
    EXPECT_EQ(dialog,
              (Values{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    EXPECT_EQ(imported, (Values{0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
    dialog.clear();
    imported.clear();
    for (const auto v : probes(link::row_of<link::SensorIdentification>("serial_number").spec)) {
        if (saves("Held", v)) {
            dialog.insert(v);
        }
        if (imports("Held", v)) {
            imported.insert(v);
        }
    }
    EXPECT_EQ(dialog, imported);
    EXPECT_TRUE(dialog.contains(65535));
    EXPECT_FALSE(dialog.contains(70000));
}

}  // namespace
}  // namespace kelpira::report
