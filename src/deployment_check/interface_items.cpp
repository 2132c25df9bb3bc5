// The interfaces to the platform and the thermistors: RS232 against the host platform's
// preset, and each thermistor's input channel.
#include <algorithm>

#include "config/platform_lists.hpp"
#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"
#include "deployment_check/platform_presets.hpp"
#include "host_platform/simulator_settings.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr std::uint8_t kAnalogueChannels = 8;

std::string protocol_name(std::uint32_t protocol) {
    for (const auto& p : records::kRs232Protocols) {
        if (p.value == protocol) {
            return std::string(p.text);
        }
    }
    return format("protocol %u", unsigned{protocol});
}

char parity_letter(std::uint8_t parity) {
    static constexpr char kLetters[] = {'E', 'O', 'S', 'M', 'N'};
    return parity < sizeof kLetters ? kLetters[parity] : '?';
}

std::string line_text(std::uint32_t baud, std::uint8_t data_bits, std::uint8_t parity,
                      std::uint8_t stop_bits) {
    return format("%u baud %u%c%u", unsigned{baud}, unsigned{data_bits}, parity_letter(parity),
                  unsigned{stop_bits});
}

std::string protocols_text(const std::vector<std::uint32_t>& protocols) {
    std::string text;
    for (const auto p : protocols) {
        text += (text.empty() ? "" : " or ") + protocol_name(p);
    }
    return text;
}

}  // namespace

PlatformPreset platform_preset(HostPlatform platform) {
    PlatformPreset p;
    host_platform::PlatformType type = host_platform::PlatformType::none;
    switch (platform) {
        case HostPlatform::seaglider:
            type = host_platform::PlatformType::seaglider;
            p.protocols = {records::kRs232Seaglider};
            break;
        case HostPlatform::bridges:
            type = host_platform::PlatformType::bridges;
            p.protocols = {records::kRs232BridgesGlider};
            break;
        case HostPlatform::eti:
            type = host_platform::PlatformType::eti;
            p.protocols = {records::kRs232GenericPolled};
            break;
        case HostPlatform::generic:
            p.protocols = {records::kRs232GenericPolled, records::kRs232GenericStreaming};
            break;
    }
    // The line the simulator opens for that platform type, in the sensor's codes.
    host_platform::SimulatorSettings sim;
    host_platform::SerialSettings serial;
    host_platform::choose_platform_type(type, sim, serial);
    const host_platform::LineSettings& line = serial.line;
    p.baud = line.baud_rate;
    p.data_bits = line.data_bits;
    p.stop_bits = line.stop_bits == host_platform::StopBits::two ? 2 : 1;
    switch (line.parity) {
        case host_platform::Parity::none:
            p.parity = records::kParityNone;
            break;
        case host_platform::Parity::even:
            p.parity = records::kParityEven;
            break;
        case host_platform::Parity::odd:
            p.parity = records::kParityOdd;
            break;
        case host_platform::Parity::space:
            p.parity = records::kParitySpace;
            break;
        case host_platform::Parity::mark:
            p.parity = records::kParityMark;
            break;
    }
    return p;
}

CheckItem serial_item(const SensorReading& r, const CheckInputs& in) {
    if (!in.platform) {
        return {"serial", Verdict::skip, "No host platform was named to compare RS232 with."};
    }
    const std::string name(platform_name(*in.platform));
    if (!r.rs232) {
        return {"serial", Verdict::fail,
                format("The RS232 settings could not be read (status=%d).", int{r.rs232.result})};
    }
    const records::Rs232Config& c = *r.rs232;
    const PlatformPreset p = platform_preset(*in.platform);
    std::vector<std::string> differ;
    if (std::find(p.protocols.begin(), p.protocols.end(), c.protocol) == p.protocols.end()) {
        differ.emplace_back("protocol");
    }
    if (c.baud != p.baud) {
        differ.emplace_back("baud rate");
    }
    if (c.data_bits != p.data_bits) {
        differ.emplace_back("data bits");
    }
    if (c.parity != p.parity) {
        differ.emplace_back("parity");
    }
    if (c.stop_bits != p.stop_bits) {
        differ.emplace_back("stop bits");
    }
    const std::string sensor = "RS232 " + protocol_name(c.protocol) + ", " +
                               line_text(c.baud, c.data_bits, c.parity, c.stop_bits);
    if (differ.empty()) {
        return {"serial", Verdict::pass, sensor + " matches the " + name + " platform."};
    }
    std::string which;
    for (std::size_t i = 0; i < differ.size(); ++i) {
        which += (i == 0 ? "" : ", ") + differ[i];
    }
    return {"serial", Verdict::warn,
            sensor + " differs from the " + name + " platform's " + protocols_text(p.protocols) +
                ", " + line_text(p.baud, p.data_bits, p.parity, p.stop_bits) + " in " + which +
                "."};
}

CheckItem thermistors_item(const SensorReading& r) {
    std::vector<std::string> channels;
    std::vector<std::string> faults;
    for (std::size_t t = 0; t < kThermistors; ++t) {
        const auto& read = r.thermistors[t];
        if (!read) {
            faults.push_back(
                format("thermistor %zu could not be read (status=%d)", t + 1, int{read.result}));
            continue;
        }
        const unsigned channel = read->input_channel;
        channels.push_back(std::to_string(channel));
        if (channel >= kAnalogueChannels) {
            faults.push_back(
                format("thermistor %zu reads input channel %u, not one of the "
                       "analogue channels 0 to 7",
                       t + 1, channel));
        }
    }
    if (!faults.empty()) {
        std::string text;
        for (const auto& f : faults) {
            text += (text.empty() ? "" : "; ") + f;
        }
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        return {"thermistors", Verdict::warn, text + "."};
    }
    return {"thermistors", Verdict::pass,
            "Thermistors 1 to 3 read analogue input channels " + channels[0] + ", " + channels[1] +
                " and " + channels[2] + "."};
}

}  // namespace kelpira::deployment_check
