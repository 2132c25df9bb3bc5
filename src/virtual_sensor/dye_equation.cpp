// The m-cresol purple equation, forwards and backwards.
#include "virtual_sensor/dye_equation.hpp"

#include <cmath>

namespace kelpira::virtual_sensor {

namespace {

struct DyeConstants {
    double pk;    // -log10(K2 e2): the pH at which the ratio term is 1
    double e1;    // ratio of the molar absorptivities of the acid form
    double e3e2;  // e3 / e2 of the base form
};

DyeConstants constants(double s, double t_celsius) {
    const double t = t_celsius + 273.15;
    const double a = -246.64209 + 0.315971 * s + 2.8855e-4 * s * s;
    const double b = 7229.23864 - 7.098137 * s - 0.057034 * s * s;
    const double c = 44.493382 - 0.052711 * s;
    const double d = 0.0781344;
    return {a + b / t + c * std::log(t) - d * t, -0.007762 + 4.5174e-5 * t,
            -0.020813 + 2.60262e-4 * t + 1.0436e-4 * (s - 35.0)};
}

constexpr double kTiny = 1e-11;

}  // namespace

std::optional<double> dye_ph(double salinity, double t_celsius, double ratio) {
    const auto k = constants(salinity, t_celsius);
    const double denominator = 1.0 - ratio * k.e3e2;
    if (std::fabs(denominator) <= kTiny) {
        return std::nullopt;
    }
    const double term = (ratio - k.e1) / denominator;
    if (!(term > kTiny)) {
        return std::nullopt;
    }
    return k.pk + std::log10(term);
}

std::optional<double> dye_ratio(double salinity, double t_celsius, double ph) {
    // (R - e1) / (1 - R e3e2) = q  gives  R = (q + e1) / (1 + q e3e2).
    const auto k = constants(salinity, t_celsius);
    const double q = std::pow(10.0, ph - k.pk);
    const double ratio = (q + k.e1) / (1.0 + q * k.e3e2);
    if (!std::isfinite(ratio) || !(ratio > 0)) {
        return std::nullopt;
    }
    return ratio;
}

}  // namespace kelpira::virtual_sensor
