// Seaglider and BRIDGES commands as the firmware takes them.
#include "virtual_sensor/glider_protocol.hpp"

#include <cstdio>

#include "common/number_scan.hpp"
#include "virtual_sensor/platform_exchange.hpp"
#include "virtual_sensor/platform_report.hpp"
#include "virtual_sensor/sensor_clock.hpp"

namespace kelpira::virtual_sensor {

namespace {

bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The arguments of a command as the firmware's scan reads them: comma-separated fields, each
// after optional blanks, every one filled and nothing left over.
class Fields {
  public:
    explicit Fields(std::string_view text) : text_(text) {}

    // "%d" and "%u": an optional sign, then decimal digits.
    template <typename T>
    T whole() {
        const auto s = common::scan_u32(text_, next());
        return static_cast<T>(take(s));
    }
    // "%f".
    float real() { return common::to_f32(take(common::scan_f64(text_, next()))); }
    // "%c": the next character, blank or not.
    char character() {
        const std::size_t at = next();
        ok_ = ok_ && at < text_.size();
        pos_ = at + 1;
        return ok_ ? text_[at] : '\0';
    }
    bool complete() const { return ok_ && pos_ == text_.size(); }

  private:
    // Where the next field starts: past the comma after the one before.
    std::size_t next() {
        if (first_) {
            first_ = false;
        } else {
            ok_ = ok_ && pos_ < text_.size() && text_[pos_] == ',';
            ++pos_;
        }
        return ok_ ? pos_ : text_.size();
    }
    template <typename T>
    T take(const common::Scanned<T>& s) {
        ok_ = ok_ && s.ok;
        pos_ = s.end;
        return s.value;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool first_ = true;
    bool ok_ = true;
};

void clock_set(SensorState& state, TimePoint now, const std::string& args) {
    Fields f(args);
    common::UtcFields d{};
    d.day = f.whole<int>();
    d.month = f.whole<int>();
    d.year = f.whole<int>();
    d.hour = f.whole<int>();
    d.minute = f.whole<int>();
    d.second = f.whole<int>();
    if (f.complete()) {
        set_sensor_date(state, now, d);
    }
}

void status(SensorState& state, TimePoint now, const std::string& args) {
    Fields f(args);
    const char direction = f.character();
    const float depth = f.real();
    const int p1 = f.whole<int>();
    const int p2 = f.whole<int>();
    const int p3 = f.whole<int>();
    if (!f.complete()) {
        return;
    }
    PlatformReport r;
    r.time = static_cast<std::uint32_t>(sensor_seconds(state, now));
    r.depth = depth;
    if (direction == 'a') {
        r.direction = kPlatformDown;
    } else if (direction == 'b') {
        r.direction = kPlatformUp;
    }
    r.p1 = p1;
    r.p2 = p2;
    r.p3 = p3;
    state.platform_report = r;
}

std::string sample_reply(const SensorState& state, TimePoint now, SerialProtocol protocol) {
    const Measurement m = current_measurement(state, now);
    char reply[96];
    std::snprintf(reply, sizeof reply, "%s%u,%d,%d,%d,%u\r",
                  protocol == SerialProtocol::bridges ? kBridgesPrompt.data() : "", m.time,
                  m.value_milli, m.temperature_mc, m.valid ? 0 : 1, m.std_dev_milli);
    return reply;
}

}  // namespace

std::vector<std::string> answer_glider_line(SensorState& state, TimePoint now,
                                            SerialProtocol protocol, std::string_view line) {
    constexpr std::string_view kClockSet = "clock-set=";
    constexpr std::string_view kStart = "start=";
    constexpr std::string_view kStatus = "status=";
    if (starts_with(line, kClockSet)) {
        clock_set(state, now, std::string(line.substr(kClockSet.size())));
    } else if (starts_with(line, kStart)) {
        Fields f(line.substr(kStart.size()));
        f.whole<unsigned>();  // the dive number
        if (f.complete()) {
            start_deployment(state, now);
        }
    } else if (starts_with(line, kStatus)) {
        status(state, now, std::string(line.substr(kStatus.size())));
    } else if (line == "sample") {
        return {sample_reply(state, now, protocol)};
    } else if (line == "download=1") {
        return download_lines(state);
    }
    return {};
}

}  // namespace kelpira::virtual_sensor
