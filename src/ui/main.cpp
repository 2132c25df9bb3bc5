// kelpira: the desktop program. It starts the same way every time: real USB sensors and
// virtual sensors side by side, watched for arrival and removal, and the main window.
#include <QApplication>
#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "common/cli_app.hpp"
#include "common/number_scan.hpp"
#include "common/visible_text.hpp"
#include "link/combined_hid.hpp"
#include "link/device_socket_names.hpp"
#include "link/folder_watcher.hpp"
#include "link/hidraw_backend.hpp"
#include "link/sensor_link.hpp"
#include "link/socket_hid.hpp"
#include "link/udev_watcher.hpp"
#include "ui/common/guarded_application.hpp"
#include "ui/common/qt_prompter.hpp"
#include "ui/shell/device_watch_relay.hpp"
#include "ui/shell/main_window.hpp"
#include "ui/shell/view_cycler.hpp"

namespace {

int run(int argc, char* argv[]) {
    using namespace kelpira;
    // Read before QApplication, so that --help and --version need no display. Qt's own options
    // (-platform, -style, ...) are left for QApplication, which ignores what it does not know.
    CLI::App options{
        "The desktop program of the KELPIRA sensor: connects to USB and virtual sensors,\n"
        "configures them, runs them and processes their files. Qt's own options\n"
        "(-platform, -style, ...) are taken too.",
        "kelpira"};
    common::set_up_program(options);
    options.allow_extras();
    const auto read = common::read_command_line(options, {argv + 1, argv + argc});
    if (read.exit_status) {
        std::cout << read.out;
        std::cerr << read.err;
        return *read.exit_status;
    }
    ui::GuardedApplication app(argc, argv);
    // QApplication takes the user's locale for the C library too; numbers in the processed
    // results and their CSV files are printed with the C functions and must keep the "."
    // decimal point whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("kelpira"));
    // Ties the windows to the installed desktop entry (and its icon) on Wayland desktops.
    QApplication::setDesktopFileName(QStringLiteral("kelpira"));

    link::HidrawBackend usb;
    link::SocketHidBackend virtual_devices(link::default_device_folder());
    link::CombinedHidBackend backend({&usb, &virtual_devices});

    link::UdevHidrawWatcher usb_watcher;
    link::FolderDeviceWatcher folder_watcher(virtual_devices.folder());
    link::CombinedDeviceWatcher watcher({&usb_watcher, &folder_watcher});

    link::SensorLink sensor_link(backend);
    ui::QtPrompter prompter;
    ui::MainWindow window(backend, sensor_link, prompter);
    prompter.set_parent(&window);
    app.set_fault_prompter(&prompter);
    const ui::DeviceWatchRelay relay(watcher, &window);
    window.show();
    // Set only by scripts/soak, which leaves the program running its views for hours.
    if (const char* seconds = std::getenv("KELPIRA_CYCLE_VIEWS")) {
        const auto every = common::whole_number(seconds).value_or(1);
        ui::start_view_cycler(window, static_cast<int>(std::clamp<std::int64_t>(every, 1, 3600)));
    }
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    // The last guard outside the event loop (the application guards the events it delivers).
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "kelpira: " << kelpira::common::visible_text(e.what()) << "\n";
    } catch (...) {
        std::cerr << "kelpira: an exception of unknown type\n";
    }
    return 1;
}
