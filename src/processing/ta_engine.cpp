// The TA engine: phase averages of the LED states and the alkalinity of a cycle.
#include "processing/ta_engine.hpp"

#include <cmath>

#include "common/number_scan.hpp"
#include "processing/row_values.hpp"

namespace kelpira::processing {

namespace {

// Rows summed per state at most; the averages then cover the first million rows.
constexpr std::uint32_t kMaxRows = 1000000;

}  // namespace

void TaEngine::reset() {
    result_ = TaResult{};
    count_ = 0;
    sum_ = sum0_ = sum1_ = 0;
    blank1_ = blank2_ = sample1_ = sample2_ = 0;
    t0_ = t1_ = 0;
    previous_ = 255;
}

bool TaEngine::take_averages(double& phase) {
    if (count_ == 0) {
        return false;
    }
    phase = sum_ / count_;
    t0_ = sum0_ / count_;
    t1_ = sum1_ / count_;
    return true;
}

std::optional<TaResult> TaEngine::feed(const records::TaParams& params, const RawRow& row,
                                       const TaThermistors& thermistors) {
    const std::uint8_t state = row.state;
    std::optional<TaResult> produced;
    if (state == previous_) {
        if (count_ >= kMaxRows) {
            return produced;
        }
    } else {
        const std::uint8_t left = previous_;
        bool trigger = false;
        if (left == params.blank_led1_state) {
            log_("exited blank (led1) measurement state (%u)", left);
            take_averages(blank1_);
            trigger = params.processing_trigger == 0;
        } else if (left == params.blank_led2_state) {
            log_("exited blank (led2) measurement state (%u)", left);
            take_averages(blank2_);
            trigger = params.processing_trigger == 1;
        } else if (left == params.sample_led1_state) {
            log_("exited sample (led1) measurement state (%u)", left);
            take_averages(sample1_);
            trigger = params.processing_trigger == 2;
        } else if (left == params.sample_led2_state) {
            log_("exited sample (led2) measurement state (%u)", left);
            take_averages(sample2_);
            trigger = params.processing_trigger == 3;
        }
        if (trigger) {
            produced = compute(params);
        }

        if (state == params.sample_intake_state) {
            log_("entered sample intake state");
            result_ = TaResult{};
            result_.time = row.sensor_time;
        }
        if (state == params.blank_led1_state || state == params.blank_led2_state ||
            state == params.sample_led1_state || state == params.sample_led2_state) {
            log_("entering a measurement state (%u)", state);
            sum_ = sum0_ = sum1_ = 0;
            count_ = 0;
        } else if (count_ >= kMaxRows) {
            previous_ = state;
            return produced;
        }
    }

    count_ += 1;
    sum_ += channel_value(row, params.measurement_channel);
    sum0_ += thermistor_temperature(thermistors[0], row);
    sum1_ += thermistor_temperature(thermistors[1], row);
    previous_ = state;
    return produced;
}

TaResult TaEngine::compute(const records::TaParams& params) {
    log_("meas b1=%f,b2=%f,s1=%f,s2=%f", blank1_, blank2_, sample1_, sample2_);
    log_("t1=%f,t2=%f", t0_, t1_);
    result_.validity = 2;
    result_.ta = 0;
    const double a1 = -std::log10(sample1_ / blank1_);
    const double a2 = -std::log10(sample2_ / blank2_);
    const double t = 0.5 * t0_ + 0.5 * t1_;
    const double r = ((25 - t) * params.temperature_coefficient + 1) * (a2 / a1);
    const double ph = params.pka + std::log10((r - params.e1) / (params.e2 - params.e3 * r));
    const double h = std::pow(10.0, -ph);
    const double ta = (params.titrant_molarity - 9.819 * h) / 8.819 * 1000000;
    result_.ta = ta;
    result_.absorbance1 = common::to_f32(a1);
    result_.absorbance2 = common::to_f32(a2);
    result_.temperature = common::to_f32(t);
    result_.validity = 1;
    log_("processed ta result at %u = %f", result_.time, ta);
    return result_;
}

}  // namespace kelpira::processing
