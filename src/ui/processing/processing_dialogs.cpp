// Each processing dialog: its controller behind the shared Qt skin.
#include "ui/processing/processing_dialogs.hpp"

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

}  // namespace

std::unique_ptr<ProcessingDialog> make_nutrient_processing(QWidget* parent,
                                                           common::Prompter& prompter) {
    auto c = std::make_shared<processing::NutrientDialog>(processing::make_nutrient_dialog());
    if (!processing::open_nutrient_dialog(*c, prompter, read_header_off_thread)) {
        return nullptr;
    }
    ProcessingHooks hooks;
    hooks.control_changed = [c](std::size_t i) { processing::nutrient_control_changed(*c, i); };
    hooks.process = [c]() { return std::optional(processing::nutrient_process(*c)); };
    return skin(c, std::move(hooks), prompter, parent);
}

std::unique_ptr<ProcessingDialog> make_nutrient_multi_processing(QWidget* parent,
                                                                 common::Prompter& prompter) {
    auto c =
        std::make_shared<processing::NutrientMultiDialog>(processing::make_nutrient_multi_dialog());
    auto job = processing::open_nutrient_multi_dialog(*c, prompter);
    if (!job) {
        return nullptr;
    }
    ProcessingHooks hooks;
    hooks.initial_pass = std::move(job);
    return skin(c, std::move(hooks), prompter, parent);
}

std::unique_ptr<ProcessingDialog> make_ph_processing(QWidget* parent, common::Prompter& prompter) {
    auto c = std::make_shared<processing::PhDialog>(processing::make_ph_dialog());
    if (!processing::open_ph_dialog(*c, prompter, read_header_off_thread)) {
        return nullptr;
    }
    ProcessingHooks hooks;
    hooks.process = [c, &prompter]() { return processing::ph_process(*c, prompter); };
    return skin(c, std::move(hooks), prompter, parent);
}

std::unique_ptr<ProcessingDialog> make_ta_processing(QWidget* parent, common::Prompter& prompter) {
    auto c = std::make_shared<processing::TaDialog>(processing::make_ta_dialog());
    if (!processing::open_ta_dialog(*c, prompter, read_header_off_thread)) {
        return nullptr;
    }
    ProcessingHooks hooks;
    hooks.process = [c]() { return std::optional(processing::ta_process(*c)); };
    return skin(c, std::move(hooks), prompter, parent);
}

std::unique_ptr<ProcessingDialog> make_dic_processing(QWidget* parent, common::Prompter& prompter) {
    auto c = std::make_shared<processing::DicDialog>(processing::make_dic_dialog());
    if (!processing::open_dic_dialog(*c, prompter, read_header_off_thread)) {
        return nullptr;
    }
    ProcessingHooks hooks;
    hooks.control_changed = [c](std::size_t i) { processing::dic_control_changed(*c, i); };
    hooks.process = [c]() { return std::optional(processing::dic_process(*c)); };
    return skin(c, std::move(hooks), prompter, parent);
}

void run_nutrient_processing(QWidget* parent, common::Prompter& prompter) {
    run(make_nutrient_processing(parent, prompter));
}
void run_nutrient_multi_processing(QWidget* parent, common::Prompter& prompter) {
    run(make_nutrient_multi_processing(parent, prompter));
}
void run_ph_processing(QWidget* parent, common::Prompter& prompter) {
    run(make_ph_processing(parent, prompter));
}
void run_ta_processing(QWidget* parent, common::Prompter& prompter) {
    run(make_ta_processing(parent, prompter));
}
void run_dic_processing(QWidget* parent, common::Prompter& prompter) {
    run(make_dic_processing(parent, prompter));
}

}  // namespace kelpira::ui
