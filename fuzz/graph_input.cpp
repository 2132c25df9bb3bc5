// The two graphs fed from what a sensor answers: the processed output graph takes every 53
// bytes as a stored result (READ_OUTPUT_RECORD), is drawn at a few window sizes and zoomed,
// clicked and reset as steered; the raw output graph takes every 58 bytes as a live sample,
// with a platform record and thermistor calibrations from the same bytes.
#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_inputs.hpp"
#include "graph/proc_graph.hpp"
#include "graph/raw_graph_picture.hpp"
#include "records/live_sample.hpp"
#include "records/output_record.hpp"
#include "records/platform_state.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::fuzz {

namespace {

// Says nothing and declines every question: the graph only ever tells the user.
class SilentPrompter : public common::Prompter {
  public:
    void message(const std::string&, const std::string&) override {}
    common::Answer ask_yes_no(const std::string&, const std::string&) override {
        return common::Answer::No;
    }
    common::Answer ask_yes_no_cancel(const std::string&, const std::string&) override {
        return common::Answer::Cancel;
    }
    std::optional<std::string> choose_open_file(const common::FileRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> choose_save_file(const common::FileRequest&) override {
        return std::nullopt;
    }
};

constexpr std::array<graph::Rect, 3> kClients{
    {{0, 0, 479, 379}, {0, 0, 80, 80}, {0, 0, 1919, 1079}}};

int measure(std::string_view text) {
    return static_cast<int>(text.size()) * 8;
}

// Records of `size` bytes, as many as `bytes` holds whole.
template <typename Decode>
auto records(std::span<const std::uint8_t> bytes, std::size_t size, Decode decode) {
    std::vector<decltype(decode(bytes))> out;
    for (std::size_t at = 0; at + size <= bytes.size(); at += size) {
        out.push_back(decode(bytes.subspan(at, size)));
    }
    return out;
}

void processed_graph(std::uint8_t chemistry, std::span<const std::uint8_t> steps,
                     std::span<const std::uint8_t> answers) {
    SilentPrompter prompter;
    graph::ProcGraph graph;
    graph.set_chemistry(static_cast<records::ChemistryType>(chemistry));
    for (const auto& r :
         records(answers, records::OutputRecord::size, records::decode_output_record)) {
        graph.add_point(r.platform_time, r.value);
    }
    graph.set_chemistry(static_cast<records::ChemistryType>(chemistry));
    for (const auto& client : kClients) {
        (void)graph.redraw(client, measure);
    }
    // Each step is four bytes: what the user does, and where.
    const graph::Rect& client = kClients[0];
    const graph::ProcGraphLayout layout = graph::proc_graph_layout(client);
    for (std::size_t i = 0; i + 4 <= steps.size(); i += 4) {
        const graph::Point from{steps[i + 1] * 2, steps[i + 2] * 2};
        const graph::Point to{from.x + static_cast<std::int8_t>(steps[i + 3]),
                              from.y - static_cast<std::int8_t>(steps[i + 3] * 7)};
        switch (steps[i] % 4) {
            case 0:
                graph.end_drag(graph::clamp_to_plot(from, layout), graph::clamp_to_plot(to, layout),
                               layout, prompter);
                break;
            case 1:
                graph.click(from);
                break;
            case 2:
                graph.zoom_out();
                break;
            default:
                graph.reset();
                break;
        }
        (void)graph.redraw(client, measure);
    }
}

void raw_graph(std::uint8_t shown, std::span<const std::uint8_t> answers) {
    const auto samples = records(answers, records::LiveSample::size, records::decode_live_sample);
    graph::RawGraphInput input;
    input.samples = samples;
    for (std::size_t c = 0; c < input.channels.size(); ++c) {
        input.channels[c] = (shown >> c & 1) != 0;
    }
    if (answers.size() >= records::PlatformState::size) {
        input.platform =
            records::decode_platform_state(answers.first(records::PlatformState::size));
    }
    if (answers.size() >= 3 * records::ThermistorConfig::size) {
        std::array<records::ThermistorConfig, 3> thermistors;
        for (std::size_t t = 0; t < thermistors.size(); ++t) {
            thermistors[t] = records::decode_thermistor_config(answers.subspan(
                t * records::ThermistorConfig::size, records::ThermistorConfig::size));
        }
        input.thermistors = thermistors;
    }
    input.cursor = graph::Point{shown, shown};
    for (const auto& client : kClients) {
        input.client = client;
        (void)graph::raw_graph_picture(input);
    }
}

}  // namespace

int graph_input(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    // Byte 0 is the chemistry and the raw graph's channel choice, byte 1 how many steps
    // follow (four bytes each); the rest are the sensor's answers.
    const std::span<const std::uint8_t> bytes(data, size);
    const std::size_t step_bytes = std::min<std::size_t>(bytes[1] * 4u, size - 2);
    const auto steps = bytes.subspan(2, step_bytes);
    const auto answers = bytes.subspan(2 + step_bytes);
    processed_graph(bytes[0], steps, answers);
    raw_graph(bytes[0], answers);
    return 0;
}

}  // namespace kelpira::fuzz
