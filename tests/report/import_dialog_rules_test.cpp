// The snapshot import and the chemistry pages hold each field to the same rule: every value a
// page can store the import accepts, and every value the import accepts a page can store (the
// value the sensor already holds aside, which both keep).
#include <gtest/gtest.h>

#include <set>

#include "config/chemistry_page.hpp"
#include "records/chemistry_fields.hpp"
#include "records/record_form.hpp"
#include "report/snapshot_record_rules.hpp"
#include "report/snapshot_records.hpp"

namespace kelpira::report {
namespace {

using Values = std::set<std::uint32_t>;

// Every byte, and a few numbers around the limits of a wider field.
Values probes(const records::FieldSpec& s) {
    Values v;
    for (std::uint32_t i = 0; i <= 255; ++i) {
        v.insert(i);
    }
    for (std::int64_t i = s.low - 3; s.limited() && i <= s.high + 3; ++i) {
        v.insert(static_cast<std::uint32_t>(std::max<std::int64_t>(i, 0)));
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

}  // namespace
}  // namespace kelpira::report
