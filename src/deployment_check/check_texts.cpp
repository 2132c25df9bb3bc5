// Durations for the check's sentences.
#include "deployment_check/check_texts.hpp"

namespace kelpira::deployment_check {

std::string duration_text(std::uint64_t seconds) {
    struct Unit {
        std::uint64_t seconds;
        const char* name;
    };
    static constexpr Unit kUnits[] = {{86400, "d"}, {3600, "h"}, {60, "min"}, {1, "s"}};
    std::string out;
    for (const Unit& u : kUnits) {
        const std::uint64_t n = seconds / u.seconds;
        seconds %= u.seconds;
        if (n != 0) {
            out += (out.empty() ? "" : " ") + std::to_string(n) + " " + u.name;
        }
    }
    return out.empty() ? "0 s" : out;
}

}  // namespace kelpira::deployment_check
