// Each processing dialog: its controller behind the shared Qt skin.
#include "ui/processing/process_menu.hpp"

#include "processing/dialogs/dic_controller.hpp"
#include "processing/dialogs/nutrient_controller.hpp"
#include "processing/dialogs/nutrient_multi_controller.hpp"
#include "processing/dialogs/ph_controller.hpp"
#include "processing/dialogs/ta_controller.hpp"
#include "ui/processing/header_reading.hpp"

namespace kelpira::ui {
namespace {

void run(std::unique_ptr<ProcessingDialog> dialog) {
    if (dialog) {
        dialog->exec();
    }
}

// The skin keeps the controller alive through the hooks it holds.
template <typename Controller>
std::unique_ptr<ProcessingDialog> skin(std::shared_ptr<Controller> controller,
                                       ProcessingHooks hooks, common::Prompter& prompter,
                                       QWidget* parent) {
    auto& view = controller->view;
    hooks.owner = controller;
    return std::make_unique<ProcessingDialog>(view, std::move(hooks), prompter, parent);
}

// A single-file dialog: the user chooses the file, its header is read off the UI thread, then
// `open_file` shows it in the controller and `hooks_of` gives the skin's hooks.
template <typename Controller, typename OpenFile, typename HooksOf>
void open_single_file(QWidget* parent, common::Prompter& prompter, std::shared_ptr<Controller> c,
                      processing::RawChemistry chemistry, OpenFile open_file, HooksOf hooks_of,
                      OpenedDialog opened) {
    const auto path = processing::choose_raw_path(prompter);
    if (!path) {
        opened(nullptr);
        return;
    }
    read_header_off_thread(
        parent, *path, chemistry,
        [parent, &prompter, c, path = *path, open_file, hooks_of,
         opened = std::move(opened)](std::optional<processing::OpenedRawFile> read) {
            if (!open_file(*c, prompter, path, std::move(read))) {
                opened(nullptr);
                return;
            }
            opened(skin(c, hooks_of(c), prompter, parent));
        });
}

}  // namespace

void open_nutrient_processing(QWidget* parent, common::Prompter& prompter, OpenedDialog opened) {
    open_single_file(
        parent, prompter,
        std::make_shared<processing::NutrientController>(processing::make_nutrient_dialog()),
        processing::RawChemistry::nutrient, processing::open_nutrient_file,
        [](const std::shared_ptr<processing::NutrientController>& c) {
            ProcessingHooks hooks;
            hooks.control_changed = [c](std::size_t i) {
                processing::nutrient_control_changed(*c, i);
            };
            hooks.process = [c]() { return std::optional(processing::nutrient_process(*c)); };
            return hooks;
        },
        std::move(opened));
}

void open_nutrient_multi_processing(QWidget* parent, common::Prompter& prompter,
                                    OpenedDialog opened) {
    auto c = std::make_shared<processing::NutrientMultiController>(
        processing::make_nutrient_multi_dialog());
    auto job = processing::open_nutrient_multi_dialog(*c, prompter);
    if (!job) {
        opened(nullptr);
        return;
    }
    ProcessingHooks hooks;
    hooks.initial_pass = std::move(job);
    opened(skin(c, std::move(hooks), prompter, parent));
}

void open_ph_processing(QWidget* parent, common::Prompter& prompter, OpenedDialog opened) {
    open_single_file(
        parent, prompter, std::make_shared<processing::PhController>(processing::make_ph_dialog()),
        processing::RawChemistry::ph, processing::open_ph_file,
        [&prompter](const std::shared_ptr<processing::PhController>& c) {
            ProcessingHooks hooks;
            hooks.process = [c, &prompter]() { return processing::ph_process(*c, prompter); };
            return hooks;
        },
        std::move(opened));
}

void open_ta_processing(QWidget* parent, common::Prompter& prompter, OpenedDialog opened) {
    open_single_file(
        parent, prompter, std::make_shared<processing::TaController>(processing::make_ta_dialog()),
        processing::RawChemistry::ta, processing::open_ta_file,
        [](const std::shared_ptr<processing::TaController>& c) {
            ProcessingHooks hooks;
            hooks.process = [c]() { return std::optional(processing::ta_process(*c)); };
            return hooks;
        },
        std::move(opened));
}

void open_dic_processing(QWidget* parent, common::Prompter& prompter, OpenedDialog opened) {
    open_single_file(
        parent, prompter,
        std::make_shared<processing::DicController>(processing::make_dic_dialog()),
        processing::RawChemistry::dic, processing::open_dic_file,
        [](const std::shared_ptr<processing::DicController>& c) {
            ProcessingHooks hooks;
            hooks.control_changed = [c](std::size_t i) { processing::dic_control_changed(*c, i); };
            hooks.process = [c]() { return std::optional(processing::dic_process(*c)); };
            return hooks;
        },
        std::move(opened));
}

void run_nutrient_processing(QWidget* parent, common::Prompter& prompter) {
    open_nutrient_processing(parent, prompter, run);
}
void run_nutrient_multi_processing(QWidget* parent, common::Prompter& prompter) {
    open_nutrient_multi_processing(parent, prompter, run);
}
void run_ph_processing(QWidget* parent, common::Prompter& prompter) {
    open_ph_processing(parent, prompter, run);
}
void run_ta_processing(QWidget* parent, common::Prompter& prompter) {
    open_ta_processing(parent, prompter, run);
}
void run_dic_processing(QWidget* parent, common::Prompter& prompter) {
    open_dic_processing(parent, prompter, run);
}

}  // namespace kelpira::ui
