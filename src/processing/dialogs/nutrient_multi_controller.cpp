// The multi-file nutrient dialog: choosing the files and starting their pass.
#include "processing/dialogs/nutrient_multi_controller.hpp"

#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_file_choice.hpp"

namespace kelpira::processing {

NutrientMultiController make_nutrient_multi_dialog() {
    NutrientMultiController d;
    d.view.title = kNutrientMultiCaption;
    d.view.has_process_button = false;
    d.view.results.columns = result_columns(chemistry_entry(ChemistryChoice::nutrient));
    return d;
}

std::optional<PassJob> open_nutrient_multi_dialog(NutrientMultiController& dialog,
                                                  common::Prompter& prompter) {
    auto paths = prompter.choose_open_files(raw_file_request());
    if (paths.empty()) {
        return std::nullopt;
    }
    begin_pass(dialog.view);
    const bool several = paths.size() > 1;
    return nutrient_multi_pass_job(std::move(paths), several);
}

}  // namespace kelpira::processing
