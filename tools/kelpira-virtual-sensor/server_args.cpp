// Reading the command line of kelpira-virtual-sensor.
#include "server_args.hpp"

#include <map>

#include "device_options.hpp"

namespace kelpira::virtual_sensor_program {

namespace {

using virtual_sensor::ServerOptions;

constexpr const char* kDeviceGroup = "Device options (until the next --device)";

void declare_server_options(CLI::App& app, ServerOptions& o) {
    app.description(
        "Serves emulated KELPIRA sensors as devices that kelpira lists beside USB sensors,\n"
        "until interrupted (Ctrl+C or SIGTERM), when the devices are removed.");
    common::add_optional(app, "--folder", o.folder,
                         "where the device sockets go (default: $XDG_RUNTIME_DIR/kelpira/devices,\n"
                         "else a private folder kelpira-<uid>/devices in the temporary folder)")
        ->type_name("DIR")
        ->check(common::of_form("/PATH",
                                [](const std::string& text) { return text.starts_with('/'); }));
    app.add_option_function<int>(
           "--restart-delay", [&o](int ms) { o.restart_delay = std::chrono::milliseconds(ms); },
           "how long a bootloader device stays away after START_FIRMWARE before it\n"
           "comes back running its firmware (default 500)")
        ->type_name("MS")
        ->transform(common::whole_number_in(0, 60'000));
    app.add_option("--time-scale", o.time_scale,
                   "the sensors' clocks run N simulated seconds per real second, so programs\n"
                   "run N times faster (default 1)")
        ->type_name("N")
        ->transform(common::decimal_in(0.001, 100000));
    app.add_flag("--device")
        ->description("starts the options of another device")
        ->group(kDeviceGroup)
        ->disable_flag_override();
    for (const auto& d : device_options()) {
        CLI::Option* option =
            d.type.empty() ? app.add_flag(d.name)->description(d.help)->disable_flag_override()
                           : app.add_option(d.name)->description(d.help)->type_name(d.type);
        option->group(kDeviceGroup)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        if (d.range) {
            option->transform(*d.range);
        }
    }
}

// The device options in command-line order, each given to the device it follows.
void read_devices(const CLI::App& app, ServerOptions& o) {
    o.devices = {device_defaults(0)};
    std::map<const CLI::Option*, std::size_t> seen;
    for (const CLI::Option* option : app.parse_order()) {
        const std::size_t k = seen[option]++;
        if (option->get_name() == "--device") {
            o.devices.push_back(device_defaults(o.devices.size()));
            continue;
        }
        for (const auto& d : device_options()) {
            if (option->get_name() == d.name) {
                d.apply(o.devices.back(), *option, d.type.empty() ? 0 : k);
            }
        }
    }
}

}  // namespace

ParsedServerOptions parse_server_options(const std::vector<std::string>& args) {
    CLI::App app{"", std::string(kProgram)};
    common::set_up_program(app);
    ServerOptions options;
    declare_server_options(app, options);
    app.callback([&] { read_devices(app, options); });
    ParsedServerOptions parsed;
    parsed.outcome = common::read_command_line(app, args);
    if (!parsed.outcome.exit_status) {
        parsed.options = std::move(options);
    }
    return parsed;
}

}  // namespace kelpira::virtual_sensor_program
