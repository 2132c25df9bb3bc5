// The --series run: the parameters, the series, its flags, all or nothing.
#include "processing/series_quality.hpp"

#include <fstream>
#include <iterator>
#include <string>

#include "common/safe_file.hpp"
#include "processing/batch_runner.hpp"
#include "quality/qc_parameters_file.hpp"
#include "quality/series_csv.hpp"

namespace kelpira::processing {

namespace {

constexpr std::string_view kProgram = "kelpira-process: ";

// The parameters of the series: those of `kind` ("nitrate", "nitrate/Long"), else the file's
// only ones.
const quality::SeriesParameters* chosen(const quality::QcParametersFile& file,
                                        const std::optional<std::string>& kind,
                                        std::string& error) {
    if (kind) {
        const auto slash = kind->find('/');
        const auto* p = quality::series_parameters(
            file, kind->substr(0, slash),
            slash == std::string::npos ? std::string() : kind->substr(slash + 1));
        if (p == nullptr) {
            error = "no parameters for " + *kind;
        }
        return p;
    }
    if (file.series.size() == 1) {
        return &file.series.begin()->second;
    }
    std::string kinds;
    for (const auto& [name, p] : file.series) {
        kinds += (kinds.empty() ? "" : ", ") + name;
    }
    error = "holds the parameters of several kinds (" + kinds + "): choose one with --kind";
    return nullptr;
}

}  // namespace

int run_series_quality(const BatchOptions& options, std::istream& standard_input,
                       std::ostream& standard_output, std::ostream& standard_error) {
    std::string error;
    const auto file = quality::load_qc_parameters(*options.qc, error);
    if (!file) {
        standard_error << kProgram << "--qc " << error << '\n';
        return kExitFileFailed;
    }
    const auto* parameters = chosen(*file, options.series_kind, error);
    if (parameters == nullptr) {
        standard_error << kProgram << "--qc " << *options.qc << ": " << error << '\n';
        return kExitFileFailed;
    }
    const std::string& path = *options.series;
    std::string text;
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(standard_input), {});
    } else {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
        if (!in.is_open() || in.bad()) {
            standard_error << kProgram << path << ": cannot be read\n";
            return kExitFileFailed;
        }
    }
    const auto table = quality::read_series_csv(text, error);
    if (!table) {
        standard_error << kProgram << path << ": " << error << '\n';
        return kExitFileFailed;
    }
    const std::string flagged = quality::flagged_series_csv(*parameters, *table);
    if (options.writes_to_stdout()) {
        standard_output << flagged << std::flush;
        return standard_output ? kExitProcessed : kExitFileFailed;
    }
    std::string refusal;
    if (!common::write_file_safely(
            *options.output, [&](std::ostream& out) { return static_cast<bool>(out << flagged); },
            &refusal)) {
        standard_error << kProgram
                       << (refusal.empty() ? "cannot write the results to " + *options.output
                                           : refusal)
                       << '\n';
        return kExitFileFailed;
    }
    return kExitProcessed;
}

}  // namespace kelpira::processing
