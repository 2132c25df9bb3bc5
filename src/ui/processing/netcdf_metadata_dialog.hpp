// The "NetCDF metadata" form of a processing dialog's Save: one line per field of
// processing::kNetcdfMetadataFields, OK and Cancel. OK with a position that does not read says
// why and keeps the form open.
#pragma once

#include <QDialog>
#include <array>

#include "common/prompter.hpp"
#include "processing/dialogs/netcdf_metadata.hpp"

class QLineEdit;
class QPushButton;

namespace kelpira::ui {

class NetcdfMetadataDialog : public QDialog {
    Q_OBJECT

  public:
    NetcdfMetadataDialog(const processing::NetcdfMetadata& metadata, common::Prompter& prompter,
                         QWidget* parent = nullptr);

    // The form as filled in.
    processing::NetcdfMetadata metadata() const;

    QLineEdit* field(std::size_t index) const { return fields_.at(index); }
    QPushButton* ok_button() const { return ok_; }

  private:
    void on_ok();

    common::Prompter& prompter_;
    std::array<QLineEdit*, processing::kNetcdfMetadataFields.size()> fields_{};
    QPushButton* ok_ = nullptr;
};

// Shows the form filled with `metadata` and waits: the form as the user left it on OK,
// nothing on Cancel.
std::optional<processing::NetcdfMetadata> ask_netcdf_metadata(
    const processing::NetcdfMetadata& metadata, common::Prompter& prompter, QWidget* parent);

}  // namespace kelpira::ui
