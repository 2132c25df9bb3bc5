// The main window's notifications to its current view.
#include "ui/common/view_notifications.hpp"

#include <QCoreApplication>
#include <QWidget>

namespace kelpira::ui {

QEvent::Type reload_config_event_type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void send_reload_config(QWidget* view) {
    if (view != nullptr) {
        QEvent event(reload_config_event_type());
        QCoreApplication::sendEvent(view, &event);
    }
}

}  // namespace kelpira::ui
