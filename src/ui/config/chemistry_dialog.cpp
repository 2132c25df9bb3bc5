// The chemistry dialog's window: tab bar, page area and "Save".
#include "ui/config/chemistry_dialog.hpp"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "ui/config/chemistry_page_widget.hpp"

namespace kelpira::ui {

ChemistryDialog::ChemistryDialog(config::ChemistryController dialog, link::SensorLink& link,
                                 common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), dialog_(std::move(dialog)), link_(link), prompter_(prompter) {
    setWindowTitle(QString::fromUtf8(config::kChemistryCaption));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabBar(this);
    tabs_->setExpanding(false);
    for (const auto& d : records::kChemistryTable) {
        tabs_->addTab(
            QString::fromUtf8(d.tab_text.data(), static_cast<qsizetype>(d.tab_text.size())));
    }
    tabs_->setCurrentIndex(static_cast<int>(dialog_.tab));
    layout->addWidget(tabs_);

    // The page sits at the top of the tab's area, centred across it.
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* centring = new QHBoxLayout(frame);
    page_area_ = new QVBoxLayout;
    centring->addStretch(1);
    centring->addLayout(page_area_);
    centring->addStretch(1);
    layout->addWidget(frame, 1);

    auto* buttons = new QHBoxLayout;
    save_ = new QPushButton(tr("Save"), this);
    save_->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    layout->addLayout(buttons);

    connect(tabs_, &QTabBar::currentChanged, this, &ChemistryDialog::on_tab);
    connect(save_, &QPushButton::clicked, this, &ChemistryDialog::on_save);
    build_page();
}

void ChemistryDialog::build_page() {
    if (page_widget_ != nullptr) {
        page_area_->removeWidget(page_widget_);
        delete page_widget_;
    }
    page_widget_ = new ChemistryPageWidget(
        dialog_.page, [this] { refresh(); }, this);
    page_area_->addWidget(page_widget_);
    refresh();
}

void ChemistryDialog::refresh() {
    page_widget_->show_page();
    save_->setEnabled(dialog_.save_enabled());
}

void ChemistryDialog::on_tab(int index) {
    // The old page goes before the new tab's page is made and shown.
    page_area_->removeWidget(page_widget_);
    delete page_widget_;
    page_widget_ = nullptr;
    config::change_chemistry_tab(dialog_, static_cast<std::size_t>(std::max(index, 0)), link_,
                                 prompter_);
    build_page();
}

void ChemistryDialog::on_save() {
    config::save_chemistry_dialog(dialog_, link_, prompter_);
    refresh();
}

void run_chemistry_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter) {
    auto dialog = config::open_chemistry_dialog(link, prompter);
    if (!dialog) {
        return;
    }
    ChemistryDialog window(std::move(*dialog), link, prompter, parent);
    window.exec();
}

}  // namespace kelpira::ui
