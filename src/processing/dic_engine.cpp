// The DIC engine: measurement steps, the CRM reference and the DIC of each sample.
#include "processing/dic_engine.hpp"

#include <cmath>

#include "common/number_scan.hpp"
#include "processing/row_values.hpp"

namespace kelpira::processing {

namespace {

constexpr std::uint8_t kSample = 1;
constexpr std::uint8_t kCrm = 2;

// Index of the first measured inlet (a sample inlet, or also a CRM inlet unless `sample_only`)
// whose state field `field` is `state`.
std::optional<std::size_t> find_inlet(const records::DicParams& params, std::uint8_t state,
                                      bool sample_only, std::uint8_t records::DicInlet::*field) {
    for (std::size_t k = 0; k < params.inlet.size(); ++k) {
        const auto& inlet = params.inlet[k];
        const bool measured = inlet.type == kSample || (!sample_only && inlet.type == kCrm);
        if (measured && inlet.*field == state) {
            return k;
        }
    }
    return std::nullopt;
}

}  // namespace

void DicWindow::add(double value, double temperature) {
    ring_[count_ % kKept] = value;
    if (count_ == 0 || value < minimum_) {
        minimum_ = value;
    }
    ++count_;
    temperature_ = temperature;
}

std::optional<double> DicWindow::step() const {
    if (count_ < 1) {
        return std::nullopt;
    }
    const std::size_t m = count_ < kKept ? static_cast<std::size_t>(count_) : kKept;
    // Oldest kept value first: position 0 until the ring has wrapped, count mod 30 after.
    const std::size_t first = count_ > kKept ? static_cast<std::size_t>(count_ % kKept) : 0;
    double sum = 0;
    for (std::size_t j = 0; j < m; ++j) {
        sum += ring_[(first + j) % kKept];
    }
    return sum / static_cast<double>(m) - minimum_;
}

void DicEngine::reset() {
    window_.clear();
    crm_step_ = 0;
    crm_value_ = 0;
    crm_available_ = false;
    result_ = DicResult{};
    previous_ = 255;
}

std::optional<DicResult> DicEngine::feed(const records::DicParams& params, const RawRow& row,
                                         const records::ThermistorConfig& thermistor0) {
    const std::uint8_t state = row.state;
    std::optional<DicResult> produced;
    if (state != previous_) {
        produced = leave_measurement(params, previous_);
        if (const auto k = find_inlet(params, state, true, &records::DicInlet::intake_state)) {
            log_("entered inlet %d sample intake state (%u)", static_cast<int>(*k), state);
            result_ = DicResult{};
            result_.time = row.sensor_time;
        }
        if (const auto k =
                find_inlet(params, state, false, &records::DicInlet::measurement_state)) {
            log_("entering inlet %d sample measurement state (%u)", static_cast<int>(*k), state);
            window_.clear();
        }
    }
    if (find_inlet(params, state, false, &records::DicInlet::measurement_state)) {
        window_.add(row.channels[0], thermistor_temperature(thermistor0, row));
    }
    previous_ = state;
    return produced;
}

std::optional<DicResult> DicEngine::leave_measurement(const records::DicParams& params,
                                                      std::uint8_t left) {
    const auto k = find_inlet(params, left, false, &records::DicInlet::measurement_state);
    if (!k) {
        return std::nullopt;
    }
    log_("exited inlet %d measurement state (%u)", static_cast<int>(*k), left);
    const auto step = window_.step();
    if (!step) {
        return std::nullopt;
    }
    const auto& inlet = params.inlet[*k];
    if (inlet.type == kCrm) {
        crm_step_ = *step;
        crm_value_ = inlet.crm_umol_kg;
        crm_available_ = true;
        return std::nullopt;
    }
    result_.validity = 2;
    if (crm_available_ && std::fabs(crm_step_) > 1e-11) {
        result_.state = left;
        result_.validity = 1;
        result_.sample_step = common::to_f32(*step);
        result_.crm_step = common::to_f32(crm_step_);
        result_.dic = *step / crm_step_ * crm_value_;
        result_.temperature = common::to_f32(window_.temperature());
        log_("processed DIC result at %u = %f", result_.time, result_.dic);
    } else {
        log_("processed DIC result at %u failed", result_.time);
    }
    return result_;
}

}  // namespace kelpira::processing
