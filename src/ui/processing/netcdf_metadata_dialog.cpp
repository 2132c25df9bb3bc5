// The "NetCDF metadata" form.
#include "ui/processing/netcdf_metadata_dialog.hpp"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelpira::ui {

NetcdfMetadataDialog::NetcdfMetadataDialog(const processing::NetcdfMetadata& metadata,
                                           common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    setWindowTitle(tr("NetCDF metadata"));
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const auto& f = processing::kNetcdfMetadataFields[i];
        fields_[i] = new QLineEdit(QString::fromStdString(metadata.*f.value), this);
        form->addRow(QString::fromUtf8(f.caption.data(), static_cast<int>(f.caption.size())),
                     fields_[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &NetcdfMetadataDialog::on_ok);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

processing::NetcdfMetadata NetcdfMetadataDialog::metadata() const {
    processing::NetcdfMetadata m;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        m.*processing::kNetcdfMetadataFields[i].value = fields_[i]->text().trimmed().toStdString();
    }
    return m;
}

void NetcdfMetadataDialog::on_ok() {
    if (const auto problem = processing::netcdf_metadata_problem(metadata())) {
        prompter_.message("NetCDF metadata", *problem);
        return;
    }
    accept();
}

std::optional<processing::NetcdfMetadata> ask_netcdf_metadata(
    const processing::NetcdfMetadata& metadata, common::Prompter& prompter, QWidget* parent) {
    NetcdfMetadataDialog dialog(metadata, prompter, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.metadata();
}

}  // namespace kelpira::ui
