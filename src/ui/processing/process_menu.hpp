// Opening the raw data processing dialogs: nutrient (single and multi-file), pH, TA and DIC.
// Each `run_*` lets the user choose the file(s) and shows the dialog modally over `parent`
// once it is open.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "common/prompter.hpp"
#include "ui/processing/processing_dialog.hpp"

namespace kelpira::ui {

void run_nutrient_processing(QWidget* parent, common::Prompter& prompter);
void run_nutrient_multi_processing(QWidget* parent, common::Prompter& prompter);
void run_ph_processing(QWidget* parent, common::Prompter& prompter);
void run_ta_processing(QWidget* parent, common::Prompter& prompter);
void run_dic_processing(QWidget* parent, common::Prompter& prompter);

// The same dialogs built but not shown, handed to `opened` on the UI thread once the file's
// header has been read off it (at once for the multi-file dialog, which reads no header):
// nullptr when the dialog closed while opening (file choice cancelled, wrong chemistry,
// unreadable file). The dialog owns its controller.
using OpenedDialog = std::function<void(std::unique_ptr<ProcessingDialog>)>;
void open_nutrient_processing(QWidget* parent, common::Prompter& prompter, OpenedDialog opened);
void open_nutrient_multi_processing(QWidget* parent, common::Prompter& prompter,
                                    OpenedDialog opened);
void open_ph_processing(QWidget* parent, common::Prompter& prompter, OpenedDialog opened);
void open_ta_processing(QWidget* parent, common::Prompter& prompter, OpenedDialog opened);
void open_dic_processing(QWidget* parent, common::Prompter& prompter, OpenedDialog opened);

}  // namespace kelpira::ui
