// The page operations common to every chemistry page, dispatched to the page's kind.
#include "config/chemistry_page.hpp"

#include <algorithm>
#include <stdexcept>

#include "config/chemistry_page_kinds.hpp"
#include "records/chemistry_lists.hpp"

namespace kelpira::config {

namespace {

using page_kinds::PageKind;

const PageKind& kind_of(records::ChemistryPage kind) {
    switch (kind) {
        case records::ChemistryPage::generic:
            return page_kinds::generic_kind();
        case records::ChemistryPage::nutrient:
            return page_kinds::nutrient_kind();
        case records::ChemistryPage::ph:
            return page_kinds::ph_kind();
        case records::ChemistryPage::ta:
            return page_kinds::ta_kind();
        case records::ChemistryPage::dic:
            return page_kinds::dic_kind();
        case records::ChemistryPage::ammonia:
            return page_kinds::ammonia_kind();
    }
    return page_kinds::generic_kind();
}

const PageKind& kind_of(const ChemistryPageView& page) {
    return kind_of(page.kind);
}

std::string check_text(records::ChemistryType code) {
    switch (code) {
        case records::ChemistryType::generic:
            return "Configure Sensor For Generic";
        case records::ChemistryType::ph:
            return "Configure Sensor For pH";
        case records::ChemistryType::ta:
            return "Configure Sensor For TA (Total Alkalinity)";
        case records::ChemistryType::dic:
            return "Configure Sensor For DIC (Dissolved Inorganic Carbon)";
        case records::ChemistryType::ammonia:
            return "Configure Sensor For Ammonia";
        default:
            return "Configure Sensor For " + std::string(records::find_chemistry(code)->tab_text);
    }
}

// Every control follows the check box; the kind's rules may disable more.
void apply_rules(ChemistryPageView& page) {
    for (auto& c : page.controls) {
        c.enabled = page.checked;
    }
    kind_of(page).rules(page);
    if (!page.checked) {
        for (auto& c : page.controls) {
            c.enabled = false;
        }
    }
}

}  // namespace

ChemistryPageView make_chemistry_page(records::ChemistryType code) {
    const records::ChemistryDescriptor* d = records::find_chemistry(code);
    if (d == nullptr) {
        throw std::invalid_argument("no chemistry page for this code");
    }
    ChemistryPageView page;
    page.code = code;
    page.kind = d->page;
    page.check_text = check_text(code);
    kind_of(page).build(page);
    page.config = records::default_chemistry_config(code);
    kind_of(page).show_config(page);
    page.params = default_processing_params(code);
    kind_of(page).show_params(page);
    apply_rules(page);
    return page;
}

std::vector<std::uint8_t> default_processing_params(records::ChemistryType code) {
    const records::ChemistryDescriptor* d = records::find_chemistry(code);
    return d == nullptr ? std::vector<std::uint8_t>{} : kind_of(d->page).defaults(code);
}

records::ChemistryConfig collect_config(ChemistryPageView& page) {
    page.config.chemistry = page.code;
    page.config.sample_interval_ms = records::kPageSampleIntervalMs;
    page.config.multiplexer = 0;
    kind_of(page).collect_config(page);
    return page.config;
}

void show_config(ChemistryPageView& page, const records::ChemistryConfig& record, bool tick) {
    page.config = record;
    page.checked = tick;
    kind_of(page).show_config(page);
    apply_rules(page);
}

std::vector<std::uint8_t> collect_params(ChemistryPageView& page) {
    kind_of(page).collect_params(page);
    return page.params;
}

void show_params(ChemistryPageView& page, std::span<const std::uint8_t> record) {
    std::fill(page.params.begin(), page.params.end(), std::uint8_t{0});
    std::copy_n(record.begin(), std::min(record.size(), page.params.size()), page.params.begin());
    kind_of(page).show_params(page);
    apply_rules(page);
}

records::ChemistryConfig reset_config(ChemistryPageView& page, bool tick) {
    show_config(page, records::default_chemistry_config(page.code), tick);
    return page.config;
}

std::vector<std::uint8_t> reset_params(ChemistryPageView& page) {
    const auto defaults = default_processing_params(page.code);
    show_params(page, defaults);
    return page.params;
}

void set_page_checked(ChemistryPageView& page, bool checked) {
    page.checked = checked && !page.unread;
    apply_rules(page);
}

void mark_unread(ChemistryPageView& page) {
    page.unread = true;
    page.notes.insert(page.notes.begin(), kUnreadNote);
    set_page_checked(page, false);
}

void page_control_changed(ChemistryPageView& page, std::size_t /*control*/) {
    apply_rules(page);
}

std::size_t page_control_index(const ChemistryPageView& page, std::string_view group,
                               std::string_view label) {
    for (std::size_t i = 0; i < page.controls.size(); ++i) {
        if (page.controls[i].group == group && page.controls[i].label == label) {
            return i;
        }
    }
    throw std::out_of_range("no such control on the page");
}

}  // namespace kelpira::config
