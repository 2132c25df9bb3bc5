// Status bar texts for the poll's reports, and the output file name query.
#include "views/status_display.hpp"

#include <cstdio>

#include "link/operation_commands.hpp"

namespace kelpira::views {

LinkStatusTexts link_status_texts(bool answered, const records::PowerStatus& power) {
    if (!answered) {
        return {"\tUSB Comms Error", ""};
    }
    char supply[64];
    std::snprintf(supply, sizeof supply, "\t%.1fV/%.1f\u00B0C", power.supply_mv / 1000.0,
                  power.temperature_mc / 1000.0);
    return {"\tUSB Comms OK", supply};
}

std::string sensor_mode_text(records::SensorMode mode) {
    switch (mode) {
        case records::kModeOperating:
            return "\tSensor Mode: Operating";
        case records::kModeSleeping:
            return "\tSensor Mode: Sleeping";
        case records::kModeIdle:
            return "\tSensor Mode: Idle";
        case records::kModeHibernating:
            return "\tSensor Mode: Hibernating";
        default: {
            char text[40];
            std::snprintf(text, sizeof text, "\tSensor Mode: Unknown (%u)", unsigned{mode});
            return text;
        }
    }
}

bool mode_writes_output_file(records::SensorMode mode) {
    return mode == records::kModeOperating || mode == records::kModeSleeping;
}

ModeTexts mode_texts(link::SensorLink& link, records::SensorMode mode) {
    ModeTexts texts{sensor_mode_text(mode), ""};
    if (mode_writes_output_file(mode)) {
        std::string name;
        if (link::get_output_file_name(link, name) == link::kResultSuccess) {
            texts.output_file = "\tFile: " + name;
        }
    }
    return texts;
}

}  // namespace kelpira::views
