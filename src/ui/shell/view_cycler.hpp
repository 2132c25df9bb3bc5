// A script's hand on the main window (scripts/soak): KELPIRA_CYCLE_VIEWS=SECONDS makes the
// program connect to the first sensor listed and then show its six views in turn.
#pragma once

namespace kelpira::ui {

class MainWindow;

// Every `seconds`: while the Connect view is shown, connects to the first sensor it lists;
// otherwise shows the next of the Compatibility view and the five operation views.
void start_view_cycler(MainWindow& window, int seconds);

}  // namespace kelpira::ui
