// Redraw cost of the two live graphs into a 1920 x 1080 off-screen image through the real
// painting code, beside the plain QPainter::drawLine per segment for the same traces.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <random>

#include "graph/proc_graph.hpp"
#include "graph/raw_graph_picture.hpp"
#include "ui/graph/graph_painter.hpp"
#include "views/live_history.hpp"

using namespace kelpira;

namespace {

constexpr graph::Rect kScreen{0, 0, 1919, 1079};

// An hour of samples, each channel a wave of its own with some ripple.
const views::LiveHistory& full_history() {
    static const auto* history = [] {
        auto* h = new views::LiveHistory;
        for (std::uint32_t k = 0; k < views::LiveHistory::kCapacity; ++k) {
            records::LiveSample s;
            s.counter = k;
            s.state = static_cast<std::uint8_t>(k / 60 % 12);
            for (unsigned c = 0; c < records::LiveSample::kChannels; ++c) {
                const double v = 6000 + 7000 * c + 3000 * std::sin(k / (20.0 + 9 * c)) +
                                 400 * std::sin(k * 1.7 + c);
                s.channel[c] = static_cast<std::uint16_t>(v);
            }
            h->append(s);
        }
        return h;
    }();
    return *history;
}

graph::RawGraphInput raw_input(std::vector<records::LiveSample>& samples, int trace_width) {
    samples = full_history().newest_samples(graph::raw_graph_columns(kScreen));
    graph::RawGraphInput in;
    in.client = kScreen;
    in.samples = samples;
    in.channels.fill(true);
    in.platform = records::PlatformState{};
    in.thermistors = std::array<records::ThermistorConfig, 3>{};
    in.trace_width = trace_width;
    return in;
}

QImage screen_image() {
    return QImage(kScreen.right + 1, kScreen.bottom + 1, QImage::Format_RGB32);
}

// Building the primitives alone, history copy included.
void RawGraphPicture(benchmark::State& state) {
    std::vector<records::LiveSample> samples;
    for (auto _ : state) {
        const auto in = raw_input(samples, 2);
        benchmark::DoNotOptimize(graph::raw_graph_picture(in));
    }
}
BENCHMARK(RawGraphPicture)->Unit(benchmark::kMillisecond);

// The whole redraw: history copy, primitives, painting.
void RawGraphRedraw(benchmark::State& state) {
    QImage image = screen_image();
    const QFont font = ui::graph_font();
    std::vector<records::LiveSample> samples;
    for (auto _ : state) {
        const auto in = raw_input(samples, static_cast<int>(state.range(0)));
        ui::paint_picture(image, graph::raw_graph_picture(in), font);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RawGraphRedraw)->ArgName("trace_width")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The same redraw with every trace segment drawn by its own QPainter::drawLine.
void RawGraphRedrawDrawLine(benchmark::State& state) {
    QImage image = screen_image();
    const QFont font = ui::graph_font();
    std::vector<records::LiveSample> samples;
    for (auto _ : state) {
        const auto in = raw_input(samples, static_cast<int>(state.range(0)));
        graph::Picture picture = graph::raw_graph_picture(in);
        auto traces = std::move(picture.traces);
        picture.traces.clear();
        ui::paint_picture(image, picture, font);
        for (const auto& trace : traces) {
            ui::paint_trace_with_lines(image, trace);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RawGraphRedrawDrawLine)
    ->ArgName("trace_width")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

// 100,000 results over about three months, a slow wave with noise; the full extent, and a
// zoom on a tenth of the time.
graph::ProcGraph hundred_thousand_points() {
    graph::ProcGraph graph;
    graph.set_chemistry(records::ChemistryType::nitrate);
    for (std::uint32_t i = 0; i < 100'000; ++i) {
        graph.add_point(1'700'000'000u + i * 77u,
                        250 + 150 * std::sin(i / 3000.0) + 20 * std::sin(i * 12.9898));
    }
    return graph;
}

void zoom_to_a_tenth(graph::ProcGraph& graph) {
    const graph::ProcGraphLayout layout = graph::proc_graph_layout(kScreen);
    {
        // A drag over the middle tenth of the plot.
        const int tenth = layout.w / 10;
        const int from = layout.plot_left + 4 * tenth;
        struct Silent : common::Prompter {
            void message(const std::string&, const std::string&) override {}
            common::Answer ask_yes_no(const std::string&, const std::string&) override {
                return common::Answer::No;
            }
            common::Answer ask_yes_no_cancel(const std::string&, const std::string&) override {
                return common::Answer::No;
            }
            std::optional<std::string> choose_open_file(const common::FileRequest&) override {
                return std::nullopt;
            }
            std::optional<std::string> choose_save_file(const common::FileRequest&) override {
                return std::nullopt;
            }
        } silent;
        graph.end_drag({from, 300}, {from + tenth, 300}, layout, silent);
    }
}

// The primitives alone, full extent.
void ProcGraphPicture(benchmark::State& state) {
    graph::ProcGraph graph = hundred_thousand_points();
    const graph::TextMeasure measure = ui::graph_text_measure();
    for (auto _ : state) {
        benchmark::DoNotOptimize(graph.redraw(kScreen, measure));
    }
}
BENCHMARK(ProcGraphPicture)->Unit(benchmark::kMillisecond);

void ProcGraphRedraw(benchmark::State& state) {
    graph::ProcGraph graph = hundred_thousand_points();
    if (state.range(0) == 10) {
        zoom_to_a_tenth(graph);
    }
    QImage image = screen_image();
    const QFont font = ui::graph_font();
    const graph::TextMeasure measure = ui::graph_text_measure();
    for (auto _ : state) {
        ui::paint_picture(image, graph.redraw(kScreen, measure), font);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ProcGraphRedraw)->ArgName("zoom")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// A million points added in time order, or shuffled, then the first click, which reads the
// time index: the cost of putting late points in their place.
void ProcGraphAddPoints(benchmark::State& state) {
    std::vector<std::uint32_t> times(graph::ProcGraph::kMaxPoints);
    for (std::uint32_t i = 0; i < times.size(); ++i) {
        times[i] = 1'700'000'000u + i * 7u;
    }
    if (state.range(0) == 1) {
        std::shuffle(times.begin(), times.end(), std::mt19937(24));
    }
    for (auto _ : state) {
        graph::ProcGraph graph;
        for (const std::uint32_t t : times) {
            graph.add_point(t, static_cast<double>(t % 1000));
        }
        graph.click({0, 0});
        benchmark::DoNotOptimize(graph.selected());
    }
}
BENCHMARK(ProcGraphAddPoints)->ArgName("shuffled")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
