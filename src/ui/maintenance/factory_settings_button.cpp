// The Connect view's "Factory Settings" button.
#include "ui/maintenance/factory_settings_button.hpp"

#include <QPushButton>

#include "maintenance/factory_settings_action.hpp"
#include "maintenance/upgrade_action.hpp"
#include "ui/maintenance/factory_settings_dialog.hpp"

namespace kelpira::ui {

QPushButton* make_factory_settings_button(QWidget* view, connect::ConnectController& controller,
                                          link::HidBackend& backend,
                                          maintenance::ReturnWatch& watch, link::SensorLink& link,
                                          common::Prompter& prompter, bool& in_dialog,
                                          std::function<void()> render) {
    auto* button = new QPushButton(QObject::tr("Factory Settings"), view);
    button->setToolTip(QString::fromLatin1(maintenance::kFactorySettingsTip));
    QObject::connect(button, &QPushButton::clicked, view,
                     [=, &controller, &backend, &watch, &link, &prompter, &in_dialog] {
                         maintenance::open_factory_settings(controller, link, prompter, [&] {
                             in_dialog = true;
                             watch = maintenance::selected_sensor_watch(controller, backend);
                             run_factory_settings_dialog(view, link, watch, prompter);
                             in_dialog = false;
                         });
                         render();
                     });
    return button;
}

}  // namespace kelpira::ui
