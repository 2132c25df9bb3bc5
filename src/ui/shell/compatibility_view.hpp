// The Compatibility view: the verdict on the sensor's firmware above, every known firmware
// release below, each row in its own colour.
#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"

class QTreeWidget;

namespace kelpira::ui {

class CompatibilityView : public QWidget {
    Q_OBJECT

  public:
    struct Row {
        QStringList texts;
        QColor colour;
    };

    // Reads the sensor's firmware version and builds the view; nullptr, after telling the
    // user, when the version cannot be read.
    static CompatibilityView* create(link::SensorLink& link, common::Prompter& prompter);

    CompatibilityView(const std::vector<Row>& verdict, const std::vector<Row>& releases,
                      QWidget* parent = nullptr);

    QTreeWidget* verdict_list() const { return verdict_; }
    QTreeWidget* release_list() const { return releases_; }

  private:
    QTreeWidget* verdict_ = nullptr;
    QTreeWidget* releases_ = nullptr;
};

}  // namespace kelpira::ui
