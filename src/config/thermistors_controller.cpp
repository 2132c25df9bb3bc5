// The thermistor dialog's reading and writing of the three thermistor records.
#include "config/thermistors_controller.hpp"

#include "common/number_text.hpp"
#include "link/write_outcome.hpp"
#include "records/chemistry_transfer.hpp"
#include "records/input_channels.hpp"

namespace kelpira::config {

namespace {

// Reads the three records into the controls, up to the first failure, whose result it gives.
link::CommandResult read_all(ThermistorsControls& controls, link::SensorLink& link) {
    for (std::uint8_t i = 0; i < kThermistors; ++i) {
        records::ThermistorConfig record;
        if (const auto rc = records::get_thermistor_config(link, i, record);
            rc != link::kResultSuccess) {
            return rc;
        }
        controls[i] = show_thermistor(record);
    }
    return link::kResultSuccess;
}

}  // namespace

ThermistorControls show_thermistor(const records::ThermistorConfig& record) {
    ThermistorControls c;
    c.input_channel = common::make_list("", "Input Channel", records::input_channel_choices());
    common::show_choice(c.input_channel, record.input_channel);
    const std::array<float, 4> values{record.a3, record.a2, record.a1, record.a0};
    for (std::size_t k = 0; k < values.size(); ++k) {
        common::show_value(c.coefficients[k], values[k], common::fixed_text(values[k], 5));
    }
    return c;
}

records::ThermistorConfig read_thermistor(const ThermistorControls& c) {
    const auto real = [&c](std::size_t k) { return common::field_f32(c.coefficients[k]); };
    records::ThermistorConfig record;
    record.input_channel = static_cast<std::uint8_t>(common::selected_value(c.input_channel));
    record.a3 = real(0);
    record.a2 = real(1);
    record.a1 = real(2);
    record.a0 = real(3);
    return record;
}

bool open_thermistors(ThermistorsControls& controls, link::SensorLink& link,
                      common::Prompter& prompter) {
    if (read_all(controls, link) != link::kResultSuccess) {
        prompter.message("Thermistors Configuration",
                         "Unable to retrieve thermistors settings from device");
        return false;
    }
    return true;
}

void save_thermistors(ThermistorsControls& controls, link::SensorLink& link,
                      common::Prompter& prompter) {
    std::array<link::RecordWrite, kThermistors> writes;
    bool going = true;
    for (std::uint8_t i = 0; i < kThermistors; ++i) {
        const std::string name = "thermistor " + std::to_string(i + 1);
        writes[i] = going ? link::record_write(name, records::set_thermistor_config(
                                                         link, i, read_thermistor(controls[i])))
                          : link::RecordWrite{name};
        going = going && writes[i].state == link::WriteState::written;
    }
    const link::CommandResult read_back = read_all(controls, link);
    for (auto& w : writes) {
        if (w.state == link::WriteState::written) {
            w = link::record_write(w.record, link::kResultSuccess, read_back);
        }
    }
    prompter.message("Save", link::all_written(writes)
                                 ? "Settings saved"
                                 : "Failed to save settings\n" + link::writes_text(writes));
}

}  // namespace kelpira::config
