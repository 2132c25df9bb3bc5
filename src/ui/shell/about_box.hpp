// The About box: maker, web address, this program's version, the sensor's firmware and device.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

namespace kelpira::ui {

class AboutBox : public QDialog {
    Q_OBJECT

  public:
    AboutBox(const std::vector<std::string>& lines, QWidget* parent);
};

}  // namespace kelpira::ui
