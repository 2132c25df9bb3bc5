// What the main window tells its current view, as Qt events sent to the view's widget. A view
// that cares handles the event in its QWidget::event() override, for example:
//
//     bool MyView::event(QEvent* e) {
//         if (e->type() == reload_config_event_type()) {
//             reload_config();  // read the chemistry record again and relabel
//             return true;
//         }
//         return QWidget::event(e);
//     }
//
// A view that does not handle it lets QWidget ignore it.
#pragma once

#include <QEvent>

class QWidget;

namespace kelpira::ui {

// Sent after a dialog that may have changed the chemistry record (Configure Chemistry).
QEvent::Type reload_config_event_type();

// Sends the reload notification to `view` at once; nothing when there is no view.
void send_reload_config(QWidget* view);

}  // namespace kelpira::ui
