// The chemistry dialog's reading, tab changes and saving.
#include "config/chemistry_controller.hpp"

#include "records/chemistry_transfer.hpp"

namespace kelpira::config {

namespace {

constexpr const char* kLoadFailed = "Failed to load chemistry config";
constexpr const char* kIncompatible =
    "Failed to load chemistry config: please see View/Compatibility";
constexpr const char* kSaveCaption = "Save";

const records::ChemistryDescriptor& descriptor(std::size_t tab) {
    return records::kChemistryTable.at(tab < records::kChemistryTable.size() ? tab : 0);
}

// The obsolete TA multiplexers are named every time the TA page shows one.
void warn_obsolete_multiplexer(const ChemistryPageView& page, common::Prompter& prompter) {
    if (page.kind != records::ChemistryPage::ta) {
        return;
    }
    if (page.config.multiplexer == 2) {
        prompter.message(kChemistryCaption,
                         "MULTIPLEX type \"TA (T on 567)\" is no longer supported - please change "
                         "it to type \"None\" and save the change");
    } else if (page.config.multiplexer == 3) {
        prompter.message(kChemistryCaption,
                         "MULTIPLEX type \"TA (T on 267)\" is no longer supported - please change "
                         "it to type \"None\" and save the change");
    }
}

// Shows the dialog's record, ticked, and the processing record read for the current tab.
void show_loaded(ChemistryController& d, common::Prompter& prompter) {
    show_config(d.page, d.config, true);
    show_params(d.page, buffer_of(d.buffers, descriptor(d.tab)));
    warn_obsolete_multiplexer(d.page, prompter);
}

// The page with defaults and its check box ticked, copied into the dialog's record and the
// tab's buffer.
void reset_ticked(ChemistryController& d) {
    d.config = reset_config(d.page, true);
    buffer_of(d.buffers, descriptor(d.tab)) = reset_params(d.page);
}

}  // namespace

std::vector<std::uint8_t>& buffer_of(ProcessingBuffers& buffers,
                                     const records::ChemistryDescriptor& d) {
    return buffers.at(static_cast<std::size_t>(d.page));
}

link::CommandResult load_chemistry(link::SensorLink& link, records::ChemistryConfig& record,
                                   ProcessingBuffers& buffers, std::size_t& tab) {
    records::ChemistryConfig read;
    const link::CommandResult result = records::get_chemistry_config(link, read);
    if (result != link::kResultSuccess) {
        return result;
    }
    record = read;
    const std::size_t found = records::chemistry_tab_index(record.chemistry);
    if (found >= records::kChemistryTable.size()) {
        return link::kResultBadLength;
    }
    const records::ChemistryDescriptor& d = records::kChemistryTable[found];
    std::vector<std::uint8_t> params(d.record_length);
    const link::CommandResult params_result =
        records::get_processing_params(link, record.chemistry, params);
    if (params_result != link::kResultSuccess) {
        return params_result;
    }
    buffer_of(buffers, d) = std::move(params);
    tab = found;
    return link::kResultSuccess;
}

std::array<link::RecordWrite, 2> save_chemistry(link::SensorLink& link,
                                                const records::ChemistryConfig& record,
                                                ProcessingBuffers& buffers, std::size_t tab) {
    std::array<link::RecordWrite, 2> writes{{{"chemistry"}, {"processing parameters"}}};
    writes[0] = link::record_write("chemistry", records::set_chemistry_config(link, record));
    if (writes[0].state != link::WriteState::written) {
        return writes;
    }
    const records::ChemistryDescriptor& d = descriptor(tab);
    auto& params = buffer_of(buffers, d);
    params.resize(d.record_length);
    writes[1] = link::record_write("processing parameters",
                                   records::set_processing_params(link, record.chemistry, params));
    return writes;
}

std::optional<ChemistryController> open_chemistry_dialog(link::SensorLink& link,
                                                         common::Prompter& prompter) {
    ChemistryController d;
    std::size_t tab = 0;
    const link::CommandResult result = load_chemistry(link, d.config, d.buffers, tab);
    if (result == link::kResultBadLength) {
        prompter.message(kChemistryCaption, kIncompatible);
        d.tab = 0;
        d.page = make_chemistry_page(descriptor(0).code);
        reset_ticked(d);
        return d;
    }
    if (result != link::kResultSuccess) {
        prompter.message(kChemistryCaption, kLoadFailed);
        return std::nullopt;
    }
    d.tab = tab;
    d.page = make_chemistry_page(descriptor(tab).code);
    show_loaded(d, prompter);
    return d;
}

void change_chemistry_tab(ChemistryController& d, std::size_t tab, link::SensorLink& link,
                          common::Prompter& prompter) {
    d.tab = tab < records::kChemistryTable.size() ? tab : 0;
    d.page = make_chemistry_page(descriptor(d.tab).code);
    if (d.page.code != d.config.chemistry) {
        reset_config(d.page, false);
        reset_params(d.page);
        return;
    }
    std::size_t loaded = 0;
    records::ChemistryConfig record = d.config;
    if (load_chemistry(link, record, d.buffers, loaded) != link::kResultSuccess) {
        prompter.message("Load", kLoadFailed);
        mark_unread(d.page);
        return;
    }
    d.config = record;
    show_config(d.page, d.config, true);
    show_params(d.page, buffer_of(d.buffers, descriptor(loaded)));
    warn_obsolete_multiplexer(d.page, prompter);
}

void save_chemistry_dialog(ChemistryController& d, link::SensorLink& link,
                           common::Prompter& prompter) {
    if (!d.save_enabled()) {
        return;
    }
    d.config = collect_config(d.page);
    buffer_of(d.buffers, descriptor(d.tab)) = collect_params(d.page);
    auto writes = save_chemistry(link, d.config, d.buffers, d.tab);
    std::size_t loaded = d.tab;
    records::ChemistryConfig record = d.config;
    if (link::all_written(writes)) {
        const auto read_back = load_chemistry(link, record, d.buffers, loaded);
        for (auto& w : writes) {
            w = link::record_write(w.record, link::kResultSuccess, read_back);
        }
    }
    if (!link::all_written(writes)) {
        prompter.message(kSaveCaption, "Failed to save settings\n" + link::writes_text(writes));
        return;
    }
    d.config = record;
    prompter.message(kSaveCaption,
                     std::string(descriptor(loaded).tab_text) + " Processing configuration saved");
    show_config(d.page, d.config, true);
    show_params(d.page, buffer_of(d.buffers, descriptor(loaded)));
    warn_obsolete_multiplexer(d.page, prompter);
}

}  // namespace kelpira::config
