// Geometry of the raw output graph: frame, volt scale, one column per sample with its
// channel traces, counter and state labels, and the platform and thermistor lines.
#include "graph/raw_graph_picture.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "graph/raw_graph_channels.hpp"

namespace kelpira::graph {

namespace {

constexpr int kMinimumPlot = 35;

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

struct Layout {
    int L, T, R, B;
    int plot_left, plot_right, plot_top, plot_bottom, x_axis;
    int wp, hp;
};

Layout layout_of(const Rect& c) {
    return Layout{.L = c.left,
                  .T = c.top,
                  .R = c.right,
                  .B = c.bottom,
                  .plot_left = c.left + 50,
                  .plot_right = c.right - 50,
                  .plot_top = c.top + 50,
                  .plot_bottom = c.bottom - 50,
                  .x_axis = c.bottom - 45,
                  .wp = c.right - c.left - 99,
                  .hp = c.bottom - c.top - 99};
}

bool too_small(const Rect& c) {
    return c.right - c.left - 100 < kMinimumPlot || c.bottom - c.top - 100 < kMinimumPlot;
}

// The row of a channel reading: 0 V on the plot's bottom row, each volt Hp / 5 rows higher.
int channel_row(const Layout& g, std::uint16_t counts) {
    const double bottom_row = g.T + 50 + g.hp - 1;
    return static_cast<int>(std::trunc(bottom_row - counts * 5.0 / 65536.0 * g.hp * 0.2));
}

void add_frame(Picture& p, const Layout& g) {
    p.frames.push_back({.box = {g.L, g.T, g.R, g.B},
                        .pen = kFrameGrey,
                        .pen_width = 2,
                        .fill = kRawGraphBackground});
    p.lines.push_back({{g.L, g.B - 1}, {g.R, g.B - 1}, views::kWhite, 1});
    p.lines.push_back({{g.L + 45, g.plot_bottom}, {g.L + 45, g.plot_top}, views::kWhite, 1});
    p.lines.push_back({{g.plot_left, g.x_axis}, {g.plot_right, g.x_axis}, views::kWhite, 1});
}

void add_volt_scale(Picture& p, const Layout& g) {
    for (int percent = 0; percent <= 100; percent += 10) {
        const int y =
            static_cast<int>(std::trunc((g.T + 50 + g.hp - 1) - g.hp * percent / 100.0 + 0.0001));
        p.texts.push_back(
            {format("%.1f", percent / 100.0 * 5), {g.L, y - 10, g.L + 40, y + 10}, Align::right});
    }
    p.texts.push_back({"volt", {g.L, g.T, g.L + 50, g.T + 50}, Align::centre});
    p.texts.push_back({"counter", {g.R - 50, g.x_axis - 13, g.R, g.x_axis + 10}, Align::centre});
}

void add_column_labels(Picture& p, const Layout& g, const RawGraphInput& in,
                       std::span<const records::LiveSample> drawn) {
    const std::size_t n = drawn.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int x = g.plot_left + static_cast<int>(i);
        const records::LiveSample& s = drawn[i];
        if (i == n - 1 || (i == 0 && n > 60)) {
            p.texts.push_back({format("%u", s.counter), {x - 30, g.B - 50, x + 30, g.B - 10}});
            p.lines.push_back({{x, g.x_axis}, {x, g.x_axis + 5}, views::kWhite, 1});
        }
        if (i == n - 1) {
            p.texts.push_back({format("state %u", s.state), {x - 30, g.B - 35, x + 30, g.B}});
        }
    }
    if (in.cursor && in.cursor->x >= g.plot_left &&
        in.cursor->x < g.plot_left + static_cast<int>(n) && in.cursor->y > g.plot_top &&
        in.cursor->y < g.B - 50) {
        const int x = in.cursor->x;
        const records::LiveSample& s = drawn[static_cast<std::size_t>(x - g.plot_left)];
        p.texts.push_back(
            {format("state %u", s.state), {x - 30, in.cursor->y - 20, x + 30, in.cursor->y}});
    }
}

void add_traces(Picture& p, const Layout& g, const RawGraphInput& in,
                std::span<const records::LiveSample> drawn) {
    if (drawn.size() < 2) {
        return;
    }
    for (std::size_t c = 0; c < kRawChannels; ++c) {
        if (!in.channels[c]) {
            continue;
        }
        ColumnTrace trace{
            .x0 = g.plot_left, .ys = {}, .colour = kChannelColours[c], .width = in.trace_width};
        trace.ys.reserve(drawn.size());
        for (const records::LiveSample& s : drawn) {
            trace.ys.push_back(channel_row(g, s.channel[c]));
        }
        p.traces.push_back(std::move(trace));
    }
}

void add_platform_line(Picture& p, const Layout& g, const records::PlatformState& ps) {
    p.texts.push_back(
        {format("depth=%.2f m, dir=%d, temp=%.3f C, salin=%.3f PSU, DO=%.3f ml/l, P1=%d, "
                "P2=%d, P3=%d",
                static_cast<double>(ps.depth), static_cast<int>(ps.direction),
                static_cast<double>(ps.temperature), static_cast<double>(ps.salinity),
                static_cast<double>(ps.dissolved_oxygen), ps.p1, ps.p2, ps.p3),
         {g.plot_left, g.T, g.R, g.T + 50}});
}

void add_thermistor_line(Picture& p, const Layout& g,
                         const std::array<records::ThermistorConfig, 3>& thermistors,
                         const records::LiveSample& newest) {
    p.texts.push_back({format("thermistor1=%.3f, thermistor2=%.3f, thermistor3=%.3f",
                              thermistor_temperature(thermistors[0], newest),
                              thermistor_temperature(thermistors[1], newest),
                              thermistor_temperature(thermistors[2], newest)),
                       {g.plot_left, g.T + 30, g.R, g.T + 50}});
}

}  // namespace

std::size_t raw_graph_columns(const Rect& client) {
    return too_small(client) ? 0 : static_cast<std::size_t>(layout_of(client).wp);
}

double thermistor_temperature(const records::ThermistorConfig& t,
                              const records::LiveSample& sample) {
    // The record allows channels 0 to 7 only; a larger one reads no input at all.
    if (t.input_channel >= kRawChannels) {
        return 0.0;
    }
    const double v = sample.channel[t.input_channel] * 5.0 / 65536.0;
    return t.a3 * v * v * v + t.a2 * v * v + t.a1 * v + t.a0;
}

Picture raw_graph_picture(const RawGraphInput& in) {
    Picture p;
    p.background = kRawGraphBackground;
    if (too_small(in.client)) {
        return p;
    }
    p.plotted = true;
    const Layout g = layout_of(in.client);
    const std::size_t n = std::min(static_cast<std::size_t>(g.wp), in.samples.size());
    const auto drawn = in.samples.last(n);

    add_frame(p, g);
    add_volt_scale(p, g);
    add_column_labels(p, g, in, drawn);
    add_traces(p, g, in, drawn);
    if (in.platform) {
        add_platform_line(p, g, *in.platform);
    }
    if (in.thermistors && n > 0) {
        add_thermistor_line(p, g, *in.thermistors, drawn.back());
    }
    return p;
}

}  // namespace kelpira::graph
