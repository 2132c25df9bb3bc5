// Opening the raw data processing dialogs: nutrient (single and multi-file), pH, TA and DIC.
// Each `run_*` lets the user choose the file(s) and shows the dialog modally over `parent`.
#pragma once

#include <QWidget>
#include <memory>

#include "common/prompter.hpp"
#include "ui/processing/processing_dialog.hpp"

namespace kelpira::ui {

void run_nutrient_processing(QWidget* parent, common::Prompter& prompter);
void run_nutrient_multi_processing(QWidget* parent, common::Prompter& prompter);
void run_ph_processing(QWidget* parent, common::Prompter& prompter);
void run_ta_processing(QWidget* parent, common::Prompter& prompter);
void run_dic_processing(QWidget* parent, common::Prompter& prompter);

// The same dialogs built but not shown: nullptr when the dialog closed while opening (file
// choice cancelled, wrong chemistry, unreadable file). The dialog owns its controller.
std::unique_ptr<ProcessingDialog> make_nutrient_processing(QWidget* parent,
                                                           common::Prompter& prompter);
std::unique_ptr<ProcessingDialog> make_nutrient_multi_processing(QWidget* parent,
                                                                 common::Prompter& prompter);
std::unique_ptr<ProcessingDialog> make_ph_processing(QWidget* parent, common::Prompter& prompter);
std::unique_ptr<ProcessingDialog> make_ta_processing(QWidget* parent, common::Prompter& prompter);
std::unique_ptr<ProcessingDialog> make_dic_processing(QWidget* parent, common::Prompter& prompter);

}  // namespace kelpira::ui
