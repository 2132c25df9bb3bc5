// Loading and saving the platform defaults, RS232 and RS485 records for their dialogs.
#include "config/platform_settings_controller.hpp"

#include "link/platform_commands.hpp"

namespace kelpira::config {

namespace {

// Get with `get`, decode with `decode`, show with `show`, only on success.
template <typename Controls, std::size_t N, typename Get, typename Decode, typename Show>
link::CommandResult load(Controls& controls, link::SensorLink& link, Get get, Decode decode,
                         Show show) {
    link::RecordBytes<N> bytes{};
    const link::CommandResult result = get(link, bytes);
    if (result == link::kResultSuccess) {
        controls = show(decode(bytes));
    }
    return result;
}

// Save, and read back only after a good write.
template <typename Controls, typename Save, typename Load>
void save_and_tell(Controls& controls, link::SensorLink& link, common::Prompter& prompter,
                   const ShownHook& shown, Save save, Load load) {
    const bool saved = save(controls, link) == link::kResultSuccess &&
                       load(controls, link) == link::kResultSuccess;
    if (saved && shown) {
        shown();
    }
    prompter.message("Save", saved ? "Settings saved" : "Failed to save settings");
}

bool open_or_tell(link::CommandResult result, common::Prompter& prompter, const char* caption,
                  const char* text) {
    if (result != link::kResultSuccess) {
        prompter.message(caption, text);
        return false;
    }
    return true;
}

}  // namespace

link::CommandResult load_platform_defaults(PlatformDefaultsControls& controls,
                                           link::SensorLink& link) {
    return load<PlatformDefaultsControls, link::kPlatformDefaultsSize>(
        controls, link, link::get_platform_defaults,
        [](const auto& b) { return records::decode_platform_defaults(b); }, show_platform_defaults);
}

link::CommandResult load_rs232_config(Rs232Controls& controls, link::SensorLink& link) {
    return load<Rs232Controls, link::kRs232ConfigSize>(
        controls, link, link::get_rs232_config,
        [](const auto& b) { return records::decode_rs232_config(b); }, show_rs232);
}

link::CommandResult load_rs485_config(Rs485Controls& controls, link::SensorLink& link) {
    return load<Rs485Controls, link::kRs485ConfigSize>(
        controls, link, link::get_rs485_config,
        [](const auto& b) { return records::decode_rs485_config(b); }, show_rs485);
}

link::CommandResult save_platform_defaults(const PlatformDefaultsControls& controls,
                                           link::SensorLink& link) {
    return link::set_platform_defaults(link, records::encode(read_platform_defaults(controls)));
}

link::CommandResult save_rs232_config(const Rs232Controls& controls, link::SensorLink& link) {
    return link::set_rs232_config(link, records::encode(read_rs232(controls)));
}

link::CommandResult save_rs485_config(const Rs485Controls& controls, link::SensorLink& link) {
    return link::set_rs485_config(link, records::encode(read_rs485(controls)));
}

bool open_platform_defaults(PlatformDefaultsControls& controls, link::SensorLink& link,
                            common::Prompter& prompter) {
    return open_or_tell(load_platform_defaults(controls, link), prompter, "PLATFORM Configuration",
                        "Unable to retrieve PLATFORM settings from device");
}

bool open_rs232(Rs232Controls& controls, link::SensorLink& link, common::Prompter& prompter) {
    return open_or_tell(load_rs232_config(controls, link), prompter, "RS232 Configuration",
                        "Unable to retrieve RS232 settings from device");
}

bool open_rs485(Rs485Controls& controls, link::SensorLink& link, common::Prompter& prompter) {
    return open_or_tell(load_rs485_config(controls, link), prompter, "RS485 Configuration",
                        "Unable to retrieve RS485 settings from device");
}

void save_platform_defaults_settings(PlatformDefaultsControls& controls, link::SensorLink& link,
                                     common::Prompter& prompter, const ShownHook& shown) {
    save_and_tell(controls, link, prompter, shown, save_platform_defaults, load_platform_defaults);
}

void save_rs232_settings(Rs232Controls& controls, link::SensorLink& link,
                         common::Prompter& prompter, const ShownHook& shown) {
    save_and_tell(controls, link, prompter, shown, save_rs232_config, load_rs232_config);
}

void save_rs485_settings(Rs485Controls& controls, link::SensorLink& link,
                         common::Prompter& prompter, const ShownHook& shown) {
    save_and_tell(controls, link, prompter, shown, save_rs485_config, load_rs485_config);
}

}  // namespace kelpira::config
