// The emulated sensor's dispatch table, gathered once from the command groups. A new group
// adds its span here.
#include "virtual_sensor/command_table.hpp"

#include <map>

#include "virtual_sensor/actuator_test.hpp"
#include "virtual_sensor/config_store.hpp"
#include "virtual_sensor/diagnostics_store.hpp"
#include "virtual_sensor/factory_stores.hpp"
#include "virtual_sensor/firmware_upgrade.hpp"
#include "virtual_sensor/housekeeping_handlers.hpp"
#include "virtual_sensor/identity_handlers.hpp"
#include "virtual_sensor/live_status.hpp"
#include "virtual_sensor/measurement_schedule.hpp"
#include "virtual_sensor/optics_test.hpp"
#include "virtual_sensor/output_store.hpp"
#include "virtual_sensor/platform_record_handlers.hpp"
#include "virtual_sensor/run_control_handlers.hpp"
#include "virtual_sensor/sensor_clock.hpp"
#include "virtual_sensor/state_machine_handlers.hpp"

namespace kelpira::virtual_sensor {

namespace {

std::map<std::uint16_t, CommandEntry> build_table() {
    std::map<std::uint16_t, CommandEntry> table;
    for (const auto group :
         {identity_commands(), config_store_commands(), sensor_clock_commands(),
          live_status_commands(), run_control_commands(), optics_test_commands(),
          measurement_schedule_commands(), housekeeping_commands(), output_store_commands(),
          diagnostics_store_commands(), state_machine_commands(), actuator_test_commands(),
          firmware_upgrade_commands(), platform_record_commands(), factory_store_commands()}) {
        for (const auto& entry : group) {
            table.emplace(entry.code, entry);
        }
    }
    return table;
}

}  // namespace

const CommandEntry* find_command(std::uint16_t code) {
    static const auto table = build_table();
    const auto it = table.find(code);
    return it == table.end() ? nullptr : &it->second;
}

}  // namespace kelpira::virtual_sensor
