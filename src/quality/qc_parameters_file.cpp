// Reading the parameters file: the strict reader (lines, keys given twice), then each member
// checked against what the tests take.
#include "quality/qc_parameters_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include "common/number_text.hpp"
#include "common/strict_json.hpp"

namespace kelpira::quality {

namespace {

using Json = nlohmann::ordered_json;

// A refused value: its key path and what is wrong with it.
struct Fault {
    std::string path;
    std::string what;
};

// The members of one object, each taken once, the rest refused as unknown.
class Members {
  public:
    Members(const Json& object, std::string path) : object_(object), path_(std::move(path)) {
        if (!object_.is_object()) {
            throw Fault{path_, "expected an object"};
        }
    }

    std::string path_of(std::string_view key) const {
        return path_.empty() ? std::string(key) : path_ + "." + std::string(key);
    }

    const Json* find(std::string_view key) {
        known_.insert(std::string(key));
        const auto it = object_.find(key);
        return it == object_.end() ? nullptr : &*it;
    }

    std::optional<double> number(std::string_view key) {
        const Json* j = find(key);
        if (j == nullptr) {
            return std::nullopt;
        }
        if (!j->is_number()) {
            throw Fault{path_of(key), "expected a number"};
        }
        const double v = j->get<double>();
        if (!std::isfinite(v)) {
            throw Fault{path_of(key), "expected a finite number"};
        }
        return v;
    }

    double at_least_zero(std::string_view key, double absent) {
        const double v = number(key).value_or(absent);
        if (v < 0) {
            throw Fault{path_of(key), "must not be negative"};
        }
        return v;
    }

    std::optional<int> whole(std::string_view key, int lowest) {
        const auto v = number(key);
        if (!v) {
            return std::nullopt;
        }
        if (*v != std::floor(*v) || *v < lowest || *v > 1e6) {
            throw Fault{path_of(key),
                        "expected a whole number from " + std::to_string(lowest) + " to 1000000"};
        }
        return static_cast<int>(*v);
    }

    std::optional<Span> span(std::string_view key) {
        const Json* j = find(key);
        if (j == nullptr) {
            return std::nullopt;
        }
        if (!j->is_array() || j->size() != 2 || !(*j)[0].is_number() || !(*j)[1].is_number()) {
            throw Fault{path_of(key), "expected [min, max]"};
        }
        const Span s{(*j)[0].get<double>(), (*j)[1].get<double>()};
        if (!std::isfinite(s.min) || !std::isfinite(s.max)) {
            throw Fault{path_of(key), "expected finite numbers"};
        }
        if (s.min > s.max) {
            throw Fault{path_of(key), "min is above max"};
        }
        return s;
    }

    // Refuses any member not taken.
    void no_others() const {
        for (const auto& [key, value] : object_.items()) {
            if (!known_.contains(key)) {
                throw Fault{path_of(key), "unknown key"};
            }
        }
    }

    const std::string& path() const { return path_; }

  private:
    const Json& object_;
    std::string path_;
    std::set<std::string, std::less<>> known_;
};

std::string text(double v) {
    return common::general_text(v);
}

GrossRangeTest gross_range(Members m) {
    GrossRangeTest t;
    const auto sensor = m.span("sensor_span");
    if (!sensor) {
        throw Fault{m.path_of("sensor_span"), "missing"};
    }
    t.sensor_span = *sensor;
    t.user_span = m.span("user_span");
    if (t.user_span && (t.user_span->min < sensor->min || t.user_span->max > sensor->max)) {
        throw Fault{m.path_of("user_span"), "must lie inside sensor_span"};
    }
    m.no_others();
    return t;
}

SpikeTest spike(Members m) {
    SpikeTest t;
    for (const auto& [key, value] : {std::pair{"suspect_threshold", &t.suspect_threshold},
                                     {"fail_threshold", &t.fail_threshold}}) {
        if (!m.number(key)) {
            throw Fault{m.path_of(key), "missing"};
        }
        *value = m.at_least_zero(key, 0);
    }
    if (t.suspect_threshold > t.fail_threshold) {
        throw Fault{m.path_of("suspect_threshold"), "is above fail_threshold (" +
                                                        text(t.suspect_threshold) + " > " +
                                                        text(t.fail_threshold) + ")"};
    }
    m.no_others();
    return t;
}

RateOfChangeTest rate_of_change(Members m) {
    RateOfChangeTest t;
    t.n_dev = m.at_least_zero("n_dev", t.n_dev);
    t.tim_dev_s = m.at_least_zero("tim_dev_s", t.tim_dev_s);
    t.floor = m.at_least_zero("floor", t.floor);
    // A standard deviation needs two values.
    t.min_count = m.whole("min_count", 2).value_or(t.min_count);
    m.no_others();
    return t;
}

FlatLineTest flat_line(Members m) {
    FlatLineTest t;
    // A run of one is the value alone: it cannot be flat.
    t.suspect_run = m.whole("suspect_run", 2).value_or(t.suspect_run);
    t.fail_run = m.whole("fail_run", 2).value_or(t.fail_run);
    if (t.fail_run < t.suspect_run) {
        throw Fault{m.path_of("fail_run"), "is below suspect_run (" + std::to_string(t.fail_run) +
                                               " < " + std::to_string(t.suspect_run) + ")"};
    }
    t.eps = m.at_least_zero("eps", t.eps);
    t.skip_at_or_below = m.number("skip_at_or_below");
    m.no_others();
    return t;
}

SeriesParameters series(Members m) {
    SeriesParameters p;
    if (const auto gap = m.number("max_gap_s")) {
        if (*gap <= 0) {
            throw Fault{m.path_of("max_gap_s"), "must be above 0"};
        }
        p.max_gap_s = gap;
    }
    if (const Json* j = m.find("gross_range")) {
        p.gross_range = gross_range(Members(*j, m.path_of("gross_range")));
    }
    if (const Json* j = m.find("spike")) {
        p.spike = spike(Members(*j, m.path_of("spike")));
    }
    if (const Json* j = m.find("rate_of_change")) {
        p.rate_of_change = rate_of_change(Members(*j, m.path_of("rate_of_change")));
    }
    if (const Json* j = m.find("flat_line")) {
        p.flat_line = flat_line(Members(*j, m.path_of("flat_line")));
    }
    m.no_others();
    return p;
}

bool known_series_key(std::string_view key) {
    const auto slash = key.find('/');
    const auto kind = key.substr(0, slash);
    if (std::find(kSeriesKinds.begin(), kSeriesKinds.end(), kind) == kSeriesKinds.end()) {
        return false;
    }
    if (slash == std::string_view::npos) {
        return true;
    }
    const auto channel = key.substr(slash + 1);
    const bool nutrient = kind != "pH" && kind != "TA" && kind != "DIC";
    return nutrient && std::find(kNutrientChannels.begin(), kNutrientChannels.end(), channel) !=
                           kNutrientChannels.end();
}

// True when the file is one series' parameters, for every kind: an object of test names.
bool one_series(const Json& doc) {
    for (const auto& [key, value] : doc.items()) {
        if (key == "max_gap_s" || key == "gross_range" || key == "spike" ||
            key == "rate_of_change" || key == "flat_line") {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<QcParametersFile> read_qc_parameters(std::string_view text, std::string& error) {
    common::StrictJson read;
    try {
        read = common::read_strict_json(text);
    } catch (const nlohmann::json::exception& e) {
        const std::string what = e.what();
        const auto tag_end = what.find("] ");
        error = "invalid JSON: " + (tag_end == std::string::npos ? what : what.substr(tag_end + 2));
        return std::nullopt;
    }
    if (!read.duplicate.empty()) {
        error = "line " + std::to_string(read.duplicate_line) + ": " + read.duplicate +
                ": given more than once";
        return std::nullopt;
    }
    if (!read.doc.is_object()) {
        error = "line 1: expected an object of series kinds";
        return std::nullopt;
    }
    QcParametersFile file;
    try {
        if (one_series(read.doc)) {
            file.series.emplace("", series(Members(read.doc, "")));
            return file;
        }
        for (const auto& [key, value] : read.doc.items()) {
            if (!known_series_key(key)) {
                throw Fault{key,
                            "unknown series kind (nitrate, nitrite, phosphate, silicate, "
                            "ammonia, iron, pH, TA, DIC, or a nutrient and /Medium, "
                            "/Short or /Long)"};
            }
            file.series.emplace(key, series(Members(value, key)));
        }
    } catch (const Fault& f) {
        error = "line " + std::to_string(read.line_of(f.path)) + ": " + f.path + ": " + f.what;
        return std::nullopt;
    }
    return file;
}

const SeriesParameters* series_parameters(const QcParametersFile& file, std::string_view kind,
                                          std::string_view channel) {
    if (!channel.empty()) {
        const auto it = file.series.find(std::string(kind) + "/" + std::string(channel));
        if (it != file.series.end()) {
            return &it->second;
        }
    }
    for (const std::string_view key : {kind, std::string_view{}}) {
        const auto it = file.series.find(key);
        if (it != file.series.end()) {
            return &it->second;
        }
    }
    return nullptr;
}

std::optional<QcParametersFile> load_qc_parameters(const std::string& spec, std::string& error) {
    std::string text;
    if (spec == "default") {
        text = default_qc_parameters_text();
    } else {
        std::ifstream in(spec, std::ios::binary);
        if (!in) {
            error = spec + ": cannot be read: " + std::strerror(errno);
            return std::nullopt;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            error = spec + ": cannot be read";
            return std::nullopt;
        }
    }
    auto file = read_qc_parameters(text, error);
    if (!file) {
        error = spec + ": " + error;
    }
    return file;
}

}  // namespace kelpira::quality
