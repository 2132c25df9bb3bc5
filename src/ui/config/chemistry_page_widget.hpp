// The widget of one chemistry page: its check box, fixed texts and titled groups of controls,
// drawn from a ChemistryPageView and writing the user's edits back into it.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "config/chemistry_page.hpp"

class QCheckBox;

namespace kelpira::ui {

class ChemistryPageWidget : public QWidget {
    Q_OBJECT

  public:
    // `changed` is called after the check box, a list or a check box among the controls
    // changed (the view holds the new value already); text edits only update the view.
    ChemistryPageWidget(config::ChemistryPageView& page, std::function<void()> changed,
                        QWidget* parent = nullptr);

    // Draws the view's values, enabling and tooltips again.
    void show_page();

    QCheckBox* check_box() const { return check_; }
    QWidget* control_widget(std::size_t control) const { return widgets_.at(control); }

  private:
    void build_groups();

    config::ChemistryPageView& page_;
    std::function<void()> changed_;
    QCheckBox* check_ = nullptr;
    std::vector<QWidget*> widgets_;
};

}  // namespace kelpira::ui
