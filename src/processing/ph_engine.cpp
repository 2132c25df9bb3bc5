// The pH engine: blank window, dye points, regression and the dye equation.
#include "processing/ph_engine.hpp"

#include <cmath>

#include "common/number_scan.hpp"
#include "processing/row_values.hpp"

namespace kelpira::processing {

namespace {

constexpr double kTiny = 1e-11;
constexpr std::uint32_t kMinimumPoints = 10;  // the fit needs more points than this

}  // namespace

std::optional<std::string> ph_interval_problem(std::uint32_t interval_ms) {
    if (interval_ms == 0) {
        return "A sample interval of 0 ms cannot be processed: the sample interval must be at "
               "least 1 ms.";
    }
    return std::nullopt;
}

std::optional<double> ph_equation(double salinity, const records::PhParams& params, double ratio,
                                  double t_celsius) {
    const double s = salinity;
    const double t = t_celsius + 273.15;
    const double r = params.r_scale * ratio + params.r_offset;
    const double e3e2 = (s - 35) * 1.0436e-4 + (t * 2.60262e-4 - 0.020813);
    const double q = 1 - e3e2 * r;
    if (!(std::fabs(q) > kTiny)) {
        return std::nullopt;
    }
    const double e1 = t * 4.5174e-5 - 0.007762;
    const double dye_ratio = (r - e1) / q;
    if (!(dye_ratio > kTiny)) {
        return std::nullopt;
    }
    return (44.493382 - 0.052711 * s) * std::log(t) +
           ((7229.23864 - 7.098137 * s - 0.057034 * s * s) / t +
            (0.315971 * s - 246.64209 + 2.8855e-4 * s * s)) -
           0.0781344 * t + std::log10(dye_ratio);
}

void PhEngine::reset() {
    result_ = PhResult{};
    blank434_ = 0;
    blank578_ = 0;
    peak578_ = start_point_ = end_point_ = AbsorbancePoint{};
    sums_ = snapshot_ = Sums{};
    row_index_ = 0;
    previous_ = 255;
}

void PhEngine::enter_measurement() {
    blank434_ = 0;
    blank578_ = 0;
    peak578_ = start_point_ = end_point_ = AbsorbancePoint{};
    sums_ = snapshot_ = Sums{};
    row_index_ = 0;
}

std::optional<PhResult> PhEngine::feed(const records::PhParams& params, const RawRow& row,
                                       std::uint32_t interval_ms,
                                       const PhThermistors& thermistors) {
    if (interval_ms == 0) {
        return std::nullopt;
    }
    const std::uint32_t start = params.blank_start_s * 1000u / interval_ms;
    const std::uint32_t end = params.blank_end_s * 1000u / interval_ms;
    const std::uint32_t blank_count = end - start + 1;
    std::optional<PhResult> produced;

    const std::uint8_t state = row.state;
    if (state != previous_) {
        if (previous_ == params.sample_measurement_state) {
            produced = finish_cycle(params, start, end);
        }
        if (state == params.sample_intake_state) {
            log_("entered sample intake state (%d)", state);
            result_ = PhResult{};
            result_.time = row.sensor_time;
            result_.salinity = common::to_f32(row.salinity);
            result_.temperature = common::to_f32(row.temperature);
            result_.oxygen = common::to_f32(row.oxygen);
            log_("platform s=%.3f,t=%.3f,do=%.3f", result_.salinity, result_.temperature,
                 result_.oxygen);
        }
        if (state == params.sample_measurement_state) {
            log_("entering sample measurement state (%u)", state);
            enter_measurement();
        }
    }

    if (state == params.sample_measurement_state) {
        const std::uint32_t i = row_index_;
        const double t = params.t1_scale * thermistor_temperature(thermistors[0], row) +
                         params.t2_scale * thermistor_temperature(thermistors[1], row);
        const double i434 = channel_value(row, params.input_434);
        const double i578 = channel_value(row, params.input_578);
        if (i < start) {
            // before the blank window
        } else if (i <= end) {
            blank434_ += i434 / blank_count;
            blank578_ += i578 / blank_count;
        } else if (blank434_ > kTiny && blank578_ > kTiny && i434 > kTiny && i578 > kTiny) {
            add_dye_point(params, AbsorbancePoint{i, -std::log10(i434 / blank434_),
                                                  -std::log10(i578 / blank578_), t});
        }
    }
    ++row_index_;
    previous_ = state;
    return produced;
}

void PhEngine::add_dye_point(const records::PhParams& params, const AbsorbancePoint& p) {
    const double max578 = params.absorbance_max_578;
    const double min434 = params.absorbance_min_434;
    bool marked = true;
    if (sums_.n == 0 || p.a578 > peak578_.a578) {
        peak578_ = start_point_ = end_point_ = p;
        sums_ = Sums{};
    } else if (std::fabs(p.a578 - max578) < std::fabs(start_point_.a578 - max578)) {
        start_point_ = end_point_ = p;
        sums_ = Sums{};
    } else if (std::fabs(p.a434 - min434) < std::fabs(end_point_.a434 - min434)) {
        end_point_ = p;
    } else {
        marked = false;
    }
    const double x = p.a434;
    const double y = p.a578;
    sums_.n += 1;
    sums_.sxx += x * x;
    sums_.sxxx += x * x * x;
    sums_.sxxxx += x * x * x * x;
    sums_.sxy += x * y;
    sums_.sxxy += x * x * y;
    sums_.st += p.temperature;
    if (marked) {
        snapshot_ = sums_;
    }
}

std::optional<PhResult> PhEngine::finish_cycle(const records::PhParams& params, std::uint32_t start,
                                               std::uint32_t end) {
    log_("exiting sample measurement state (%d)", previous_);
    log_("blank_start_index=%u, blank_end_index=%u", start, end);
    log_("abs434ref=%f, abs578ref=%f", blank434_, blank578_);
    const auto point_line = [&](const char* format, const AbsorbancePoint& p) {
        log_(format, static_cast<int>(p.index), p.a434, p.a578, p.temperature);
    };
    point_line("abs578max(i,x,y,t) = (%d,%f,%f,%f)", peak578_);
    point_line("absmax(i,x,y,t) = (%d,%f,%f,%f)", start_point_);
    point_line("absmin(i,x,y,t) = (%d,%f,%f,%f)", end_point_);
    log_("num samples = %d", static_cast<int>(snapshot_.n));
    log_("sensor cal scale=%f, offset=%f", static_cast<double>(params.r_scale),
         static_cast<double>(params.r_offset));

    const Sums& s = snapshot_;
    if (s.n <= kMinimumPoints) {
        log_("Too few samples for regression (%u<=%u)", s.n, kMinimumPoints);
        return std::nullopt;
    }
    const double d = s.sxx * s.sxxxx - s.sxxx * s.sxxx;
    if (!(std::fabs(d) > kTiny)) {
        log_("Regression impossible");
        return std::nullopt;
    }
    const double r = (s.sxy * s.sxxxx - s.sxxy * s.sxxx) / d;
    const double t = s.st / s.n;
    const double salinity = result_.salinity;
    log_("r=%f,t=%f,s=%f", r, t, salinity);
    const auto ph = ph_equation(salinity, params, r, t);
    if (!ph) {
        log_("time=%u,pH=failed", result_.time);
        return std::nullopt;
    }
    log_("time=%u,pH=%f", result_.time, *ph);
    result_.r = r;
    result_.r_adjusted = params.r_scale * r + params.r_offset;
    result_.thermistor_temperature = t;
    result_.ph = *ph + params.dph_dt * (result_.temperature - t);
    result_.valid = 1;
    return result_;
}

}  // namespace kelpira::processing
