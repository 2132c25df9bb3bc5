// Defining and writing the quality flag variables through the netCDF C library.
#include "processing/netcdf_quality.hpp"

#include "processing/netcdf_library.hpp"

#include <array>
#include <string_view>

namespace kelpira::processing {

namespace {

constexpr std::array<std::string_view, 5> kStandardNames{
    "gross_range_test_quality_flag", "spike_test_quality_flag", "rate_of_change_test_quality_flag",
    "flat_line_test_quality_flag", "aggregate_quality_flag"};
constexpr std::array<std::string_view, 5> kLongNames{
    "gross range test quality flag", "spike test quality flag", "rate of change test quality flag",
    "flat line test quality flag", "aggregate quality flag"};

class Attributes {
  public:
    Attributes(int ncid, int var, std::string& error) : ncid_(ncid), var_(var), error_(error) {}

    void text(const char* name, std::string_view value) {
        check(netcdf().put_att_text(ncid_, var_, name, value.size(), value.data()), name);
    }
    void real(const char* name, std::span<const double> values) {
        check(netcdf().put_att_double(ncid_, var_, name, NC_DOUBLE, values.size(), values.data()),
              name);
    }
    void real(const char* name, double value) { real(name, std::span(&value, 1)); }
    void whole(const char* name, int value) {
        check(netcdf().put_att_int(ncid_, var_, name, NC_INT, 1, &value), name);
    }
    bool check(int status, std::string_view what) {
        if (status != NC_NOERR && error_.empty()) {
            error_ = std::string(what) + ": " + netcdf().strerror(status);
        }
        return status == NC_NOERR;
    }

  private:
    int ncid_;
    int var_;
    std::string& error_;
};

// The parameters test `test` ran with, or why it did not run.
void put_parameters(Attributes& a, std::size_t test, const quality::SeriesParameters* p) {
    const auto not_run = [&](std::string_view key) {
        a.text("comment", "not run (flag 2): the parameters file has no " + std::string(key));
    };
    if (p == nullptr) {
        not_run("parameters for this series");
        return;
    }
    if (test != 0 && test != 4 && p->max_gap_s) {
        a.real("max_gap_s", *p->max_gap_s);
    }
    switch (test) {
        case 0:
            if (!p->gross_range) {
                not_run("gross_range");
                return;
            }
            a.real("sensor_span",
                   std::array{p->gross_range->sensor_span.min, p->gross_range->sensor_span.max});
            if (p->gross_range->user_span) {
                a.real("user_span",
                       std::array{p->gross_range->user_span->min, p->gross_range->user_span->max});
            }
            return;
        case 1:
            if (!p->spike) {
                not_run("spike");
                return;
            }
            a.real("suspect_threshold", p->spike->suspect_threshold);
            a.real("fail_threshold", p->spike->fail_threshold);
            return;
        case 2:
            if (!p->rate_of_change) {
                not_run("rate_of_change");
                return;
            }
            a.real("n_dev", p->rate_of_change->n_dev);
            a.real("tim_dev_s", p->rate_of_change->tim_dev_s);
            a.real("floor", p->rate_of_change->floor);
            a.whole("min_count", p->rate_of_change->min_count);
            return;
        case 3:
            if (!p->flat_line) {
                not_run("flat_line");
                return;
            }
            a.whole("suspect_run", p->flat_line->suspect_run);
            a.whole("fail_run", p->flat_line->fail_run);
            a.real("eps", p->flat_line->eps);
            if (p->flat_line->skip_at_or_below) {
                a.real("skip_at_or_below", *p->flat_line->skip_at_or_below);
            }
            return;
        default:
            a.text("comment",
                   "the most severe of the four tests' flags (fail, suspect, pass), ignoring "
                   "tests that did not evaluate the value; missing where the value is missing");
    }
}

}  // namespace

bool define_quality_variables(int ncid, int obs, std::span<const QualityTarget> targets,
                              QualityVariables& variables, std::string& error) {
    constexpr std::size_t kChunk = 4096;
    const std::array<signed char, 5> flag_values{1, 2, 3, 4, 9};
    for (const auto& target : targets) {
        std::string names;
        for (std::size_t t = 0; t < kStandardNames.size(); ++t) {
            const std::string name = target.data_name + "_" + std::string(kStandardNames[t]);
            int id = -1;
            Attributes file(ncid, NC_GLOBAL, error);
            if (!file.check(netcdf().def_var(ncid, name.c_str(), NC_BYTE, 1, &obs, &id), name) ||
                !file.check(netcdf().def_var_chunking(ncid, id, NC_CHUNKED, &kChunk), name) ||
                !file.check(netcdf().def_var_deflate(ncid, id, 1, 1, 1), name)) {
                return false;
            }
            Attributes at(ncid, id, error);
            at.text("long_name", std::string(kLongNames[t]) + " of " + target.data_name);
            at.text("standard_name", kStandardNames[t]);
            at.check(netcdf().put_att_schar(ncid, id, "flag_values", NC_BYTE, flag_values.size(),
                                            flag_values.data()),
                     "flag_values");
            at.text("flag_meanings", quality::kFlagMeanings);
            put_parameters(at, t, target.parameters);
            names += (names.empty() ? "" : " ") + name;
            variables.ids.push_back(id);
            variables.values.emplace_back();
        }
        // After the variable's own ancillary variables, if it has any.
        std::size_t length = 0;
        std::string list;
        if (netcdf().inq_attlen(ncid, target.data_id, "ancillary_variables", &length) == NC_NOERR) {
            list.resize(length);
            netcdf().get_att_text(ncid, target.data_id, "ancillary_variables", list.data());
            list += ' ';
        }
        list += names;
        Attributes(ncid, target.data_id, error).text("ancillary_variables", list);
    }
    return error.empty();
}

void add_quality_flags(QualityVariables& variables, std::span<const QualityFlags> flags) {
    for (std::size_t v = 0; v < variables.values.size(); ++v) {
        const std::size_t target = v / kStandardNames.size();
        const auto f = target < flags.size() ? flags[target][v % kStandardNames.size()]
                                             : quality::Flag::not_evaluated;
        variables.values[v].push_back(static_cast<signed char>(quality::flag_value(f)));
    }
}

bool write_quality_flags(int ncid, std::size_t start, QualityVariables& variables,
                         std::string& error) {
    for (std::size_t v = 0; v < variables.ids.size(); ++v) {
        auto& values = variables.values[v];
        const std::size_t count = values.size();
        const int status =
            netcdf().put_vara_schar(ncid, variables.ids[v], &start, &count, values.data());
        if (status != NC_NOERR && error.empty()) {
            error = "quality flags: " + std::string(netcdf().strerror(status));
        }
        values.clear();
    }
    return error.empty();
}

}  // namespace kelpira::processing
