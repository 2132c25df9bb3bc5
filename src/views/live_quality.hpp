// The quality flags of the results a processed output view reads from the sensor, computed
// as they arrive: one series per chemistry result (per optical channel for a nutrient, the
// Medium, Short and Long results; the value for pH, TA and DIC), in the sensor's time, each
// value as the list shows it (three decimals), as kelpira-process flags them.
//
// A result shows the aggregate of the series its value reports: for a nutrient, the channel
// whose result the value is (the most severe of all three when it is none of them). The
// newest result's spike flag stays 2 until the next usable one; that one then decides it, so
// an earlier result's shown flag may change (`revised`).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quality/live_series.hpp"
#include "quality/qc_parameters_file.hpp"
#include "quality/quality_choice.hpp"
#include "records/chemistry_type.hpp"
#include "records/output_record.hpp"
#include "views/rgb.hpp"

namespace kelpira::views {

struct ResultFlag {
    std::size_t result = 0;  // counted from 0 in reading order
    quality::Flag flag = quality::Flag::not_evaluated;
    bool operator==(const ResultFlag&) const = default;
};

struct LiveResultFlags {
    quality::Flag flag = quality::Flag::not_evaluated;  // of the result appended
    std::vector<ResultFlag> revised;                    // earlier results shown anew
};

class LiveQuality {
  public:
    // Every record a sensor holds fits; later results are not flagged (2, or 9 when missing).
    static constexpr std::size_t kMaxResults = 1'000'000;

    // Nothing is flagged without parameters, nor for a series the file has none for.
    LiveQuality(const std::optional<quality::QcParametersFile>& parameters,
                records::ChemistryType chemistry);

    // Flags the next result. A result whose sensor time does not increase on the one before
    // is out of its series' order: it is not flagged (2, or 9 when missing).
    LiveResultFlags append(const records::OutputRecord& record);

  private:
    static constexpr std::size_t kMaxSeries = 3;
    struct Result {
        std::array<quality::Flag, kMaxSeries> aggregate{};
        std::uint8_t reports = 0;  // bit s: the value is series s's
        bool missing = false;      // the value
    };
    quality::Flag shown(const Result& result) const;

    std::size_t series_count_ = 0;
    bool nutrient_ = false;
    std::array<std::unique_ptr<quality::LiveSeries>, kMaxSeries> series_;  // none: unflagged
    std::optional<double> last_time_;
    std::size_t appended_ = 0;
    std::vector<std::uint32_t> result_of_;  // by position in the series
    std::vector<Result> results_;           // by position in the series
};

// What the processed output views keep for the run: the quality-control choice (the
// parameters the program ships until the user chooses) and "Hide Failed Points".
struct ProcessedViewSettings {
    quality::QualityChoice quality = quality::shipped_quality_choice();
    bool hide_failed = false;
};

// A flag as the processed output list shows it: its value, amber for suspect, red for fail.
struct FlagCell {
    std::string text;
    std::optional<Rgb> colour;
    bool operator==(const FlagCell&) const = default;
};
FlagCell flag_cell(quality::Flag flag);
// A flag's colour in the lists and graphs; white for a flag that has none of its own.
Rgb flag_rgb(quality::Flag flag);

// A value as the processed output list shows it, "%.3f", read back; NaN stays NaN.
double shown_value(double value);

}  // namespace kelpira::views
