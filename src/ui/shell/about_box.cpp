// The About box's widgets: one label per line and an OK button.
#include "ui/shell/about_box.hpp"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kelpira::ui {

AboutBox::AboutBox(const std::vector<std::string>& lines, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    for (const auto& line : lines) {
        auto* label = new QLabel(QString::fromUtf8(line), this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace kelpira::ui
