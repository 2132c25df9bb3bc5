// The firmware's pH processing.
#include "virtual_sensor/onboard_ph.hpp"

#include <cmath>

#include "virtual_sensor/dye_equation.hpp"

namespace kelpira::virtual_sensor {

namespace {

constexpr std::size_t kFewestPoints = 11;  // a fit over fewer is not trusted

double celsius(const records::ThermistorConfig& t, const std::array<double, 8>& volts) {
    const double v = t.input_channel < volts.size() ? volts[t.input_channel] : 0.0;
    return ((t.a3 * v + t.a2) * v + t.a1) * v + t.a0;
}

// The end of a measurement: the points from where A578 last came down to its upper bound
// after the dye's peak, to where A434 last stood above its lower bound, fitted as
// A578 = r A434 + b A434² (through the origin: no dye, no absorbance). Nothing when too few.
std::optional<records::OutputRecord> finish(const OnboardPh& ph, const records::PhParams& p) {
    std::size_t peak = 0;
    for (std::size_t i = 0; i < ph.points.size(); ++i) {
        if (ph.points[i].a578 > ph.points[peak].a578) {
            peak = i;
        }
    }
    std::size_t first = peak;
    while (first < ph.points.size() && ph.points[first].a578 > p.absorbance_max_578) {
        ++first;
    }
    std::size_t last = ph.points.size();
    while (last > first && ph.points[last - 1].a434 < p.absorbance_min_434) {
        --last;
    }
    if (last - first < kFewestPoints) {
        return std::nullopt;
    }
    double xx = 0, xxx = 0, xxxx = 0, xy = 0, xxy = 0, t = 0;
    for (std::size_t i = first; i < last; ++i) {
        const auto& d = ph.points[i];
        const double x2 = d.a434 * d.a434;
        xx += x2;
        xxx += x2 * d.a434;
        xxxx += x2 * x2;
        xy += d.a434 * d.a578;
        xxy += x2 * d.a578;
        t += d.celsius;
    }
    const double det = xx * xxxx - xxx * xxx;
    if (std::fabs(det) <= 1e-11) {
        return std::nullopt;
    }
    const double r = (xy * xxxx - xxy * xxx) / det;
    t /= static_cast<double>(last - first);
    const double salinity = ph.cycle.platform_salinity;
    const auto at_cell = dye_ph(salinity, t, p.r_scale * r + p.r_offset);
    if (!at_cell) {
        return std::nullopt;
    }
    records::OutputRecord out = ph.cycle;
    out.value = *at_cell + p.dph_dt * (ph.cycle.platform_temperature - t);
    out.validity = records::kValidityGood;
    out.p1 = ph.intake_do;
    out.p2 = static_cast<float>(r);
    out.p3 = static_cast<float>(t);
    return out;
}

}  // namespace

std::optional<records::OutputRecord> ph_sample(
    OnboardPh& ph, const records::PhParams& p, std::uint32_t interval_ms,
    const std::array<records::ThermistorConfig, 2>& thermistors, const records::LiveSample& sample,
    const std::array<double, 8>& volts) {
    std::optional<records::OutputRecord> out;
    if (sample.state != ph.previous_state) {
        if (ph.previous_state == p.sample_measurement_state) {
            out = finish(ph, p);
        }
        if (sample.state == p.sample_intake_state) {
            ph.cycle = records::OutputRecord{};
            ph.cycle.sensor_time = sample.sensor_time;
            ph.cycle.platform_time = sample.platform_time;
            ph.cycle.platform_salinity = sample.platform_salinity;
            ph.cycle.platform_temperature = sample.platform_temperature;
            ph.cycle.platform_depth = sample.platform_depth;
            ph.intake_do = sample.platform_do;
        }
        if (sample.state == p.sample_measurement_state) {
            ph.index = 0;
            ph.blank434 = 0;
            ph.blank578 = 0;
            ph.points.clear();
        }
    }
    ph.previous_state = sample.state;
    if (sample.state != p.sample_measurement_state || interval_ms == 0) {
        return out;
    }
    const std::uint32_t i = ph.index++;
    const std::uint32_t from = p.blank_start_s * 1000u / interval_ms;
    const std::uint32_t to = p.blank_end_s * 1000u / interval_ms;
    if (i < from || p.input_434 >= volts.size() || p.input_578 >= volts.size()) {
        return out;
    }
    const double light434 = volts[p.input_434];
    const double light578 = volts[p.input_578];
    if (i <= to) {
        const double rows = to - from + 1;
        ph.blank434 += light434 / rows;
        ph.blank578 += light578 / rows;
    } else if (ph.blank434 > 1e-11 && ph.blank578 > 1e-11 && light434 > 1e-11 && light578 > 1e-11 &&
               ph.points.size() < kMostDyePoints) {
        const double t = p.t1_scale * celsius(thermistors[0], volts) +
                         p.t2_scale * celsius(thermistors[1], volts);
        ph.points.push_back(
            {-std::log10(light434 / ph.blank434), -std::log10(light578 / ph.blank578), t});
    }
    return out;
}

}  // namespace kelpira::virtual_sensor
