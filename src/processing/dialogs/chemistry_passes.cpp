// The passes of the processing dialogs over their files, and the result list columns.
#include "processing/dialogs/chemistry_passes.hpp"

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "processing/chemistry_table.hpp"
#include "processing/dialogs/raw_file_choice.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "processing/dic_engine.hpp"
#include "processing/nutrient_csv.hpp"
#include "processing/nutrient_engine.hpp"
#include "processing/raw_row_scan.hpp"
#include "processing/result_csv.hpp"

namespace kelpira::processing {
namespace {

template <typename Cells>
ResultCells row_of(Cells&& cells) {
    return ResultCells(std::make_move_iterator(cells.begin()),
                       std::make_move_iterator(cells.end()));
}

// The input a single-file pass reads: its path, the parameters the dialog shows and the
// sensor name of the file's header.
NetcdfInput pass_input(const std::string& path, RawHeader header) {
    NetcdfInput in{path, std::move(header), {}, {}};
    if (auto file = RawFile::open(path)) {
        in.sensor_name = read_sensor_name(*file);
    }
    return in;
}

// One file through a fresh engine: `feed` feeds a row and gives the result it completed, if
// any, which becomes a list row through `cells`. Records how the pass ended.
template <typename Engine, typename Feed, typename Cells>
PassOutcome single_file_pass(NetcdfInput input, const ChemistryEntry& entry,
                             const PassControl& control, Feed&& feed, Cells cells) {
    PassOutcome out;
    out.source.chemistry = entry.choice;
    out.source.inputs.push_back(std::move(input));
    Engine engine([&out](const std::string& line) { add_log_line(out, line); });
    engine.reset();
    const RowPassEnd end = for_each_file_row(out.source.inputs.front().path, entry.reading, control,
                                             [&](const RawRow& row) {
                                                 if (auto r = feed(engine, row)) {
                                                     out.rows.push_back(row_of(cells(*r)));
                                                     out.records.push_back({0, *r});
                                                 }
                                             });
    switch (end) {
        case RowPassEnd::done:
            out.save_allowed = true;
            break;
        case RowPassEnd::cannot_open:
        case RowPassEnd::read_error:
            out.messages.push_back({std::string(entry.error_caption), std::string(kReadErrorText)});
            break;
        case RowPassEnd::cancelled:
            out.cancelled = true;
            break;
    }
    return out;
}

std::uint64_t file_bytes(const std::string& path) {
    std::error_code ignored;
    const auto size = std::filesystem::file_size(path, ignored);
    return ignored ? 0 : size;
}

// One file of the multi-file pass, with its own header and a fresh engine; its results go
// after those of the files before it. False when the pass was cancelled.
bool nutrient_file_pass(const std::string& path, bool several, const PassControl& control,
                        PassOutcome& out) {
    add_log_line(out, (several ? "Reading file " : "Processing file ") + path);
    const ChemistryEntry& entry = chemistry_entry(ChemistryChoice::nutrient);
    const auto file = read_raw_header(path, entry.reading);
    if (!file) {
        add_log_line(out, cannot_open_text(path));
        return true;
    }
    const auto type = file->header.chemistry;
    if (!file->found) {
        if (several) {
            add_log_line(out, "Failed to read sensor parameters from file header");
        }
        return true;
    }
    if (!type || !records::is_nutrient(*type)) {
        if (several) {
            // A file without a TYPE key names no chemistry: it shows as type 0.
            const int code = records::code_of(type.value_or(records::ChemistryType::generic));
            add_log_line(
                out, "Wrong chemistry type (" + std::to_string(code) + "): not a nutrient sensor");
        }
        return true;
    }
    const auto input = static_cast<std::uint32_t>(out.source.inputs.size());
    out.source.inputs.push_back({path, file->header, file->header.sensor_name, {}});
    NutrientEngine engine([&out](const std::string& line) { add_log_line(out, line); });
    engine.reset();
    const RowPassEnd end = for_each_file_row(path, entry.reading, control, [&](const RawRow& row) {
        if (auto r = engine.feed(*type, file->header.nutrient, row)) {
            out.rows.push_back(row_of(nutrient_multi_result_cells(*r, file->header.sensor_name)));
            out.records.push_back({input, *r});
        }
    });
    switch (end) {
        case RowPassEnd::done:
            out.save_allowed = true;
            return true;
        case RowPassEnd::cannot_open:
        case RowPassEnd::read_error:
            out.messages.push_back({std::string(entry.error_caption), std::string(kReadErrorText)});
            return true;
        case RowPassEnd::cancelled:
            break;
    }
    return false;
}

}  // namespace

std::vector<ResultColumn> result_columns(const ChemistryEntry& entry) {
    std::vector<ResultColumn> out;
    for (std::size_t i = 0; i < entry.columns.size(); ++i) {
        out.push_back({std::string(entry.columns[i]), entry.widths[i]});
    }
    return out;
}

PassJob nutrient_pass_job(std::string path, records::ChemistryType type,
                          records::NutrientParams params) {
    return [=](const PassControl& control) {
        RawHeader header;
        header.chemistry = type;
        header.nutrient = params;
        return single_file_pass<NutrientEngine>(
            pass_input(path, header), single_nutrient_entry(), control,
            [&](NutrientEngine& engine, const RawRow& row) {
                return engine.feed(type, params, row);
            },
            nutrient_result_cells);
    };
}

PassJob nutrient_multi_pass_job(std::vector<std::string> paths, bool several) {
    return [paths = std::move(paths), several](const PassControl& control) {
        PassOutcome out;
        out.source.chemistry = ChemistryChoice::nutrient;
        std::uint64_t total = 0;
        for (const auto& path : paths) {
            total += file_bytes(path);
        }
        std::uint64_t before = 0;  // bytes of the files already read
        for (const auto& path : paths) {
            if (control.cancelled && control.cancelled()) {
                out.cancelled = true;
                break;
            }
            PassControl file_control{control.cancelled, [&](std::uint64_t done, std::uint64_t) {
                                         if (control.progress) {
                                             control.progress(before + done, total);
                                         }
                                     }};
            if (!nutrient_file_pass(path, several, file_control, out)) {
                out.cancelled = true;
                break;
            }
            before += file_bytes(path);
        }
        return out;
    };
}

PassJob ph_pass_job(std::string path, records::PhParams params, std::uint32_t interval_ms,
                    PhThermistors thermistors) {
    return [=](const PassControl& control) {
        RawHeader header;
        header.chemistry = records::ChemistryType::ph;
        header.ph = params;
        header.ph_sample_interval_ms = interval_ms;
        header.thermistors = thermistors;
        return single_file_pass<PhEngine>(
            pass_input(path, header), chemistry_entry(ChemistryChoice::ph), control,
            [&](PhEngine& engine, const RawRow& row) {
                return engine.feed(params, row, interval_ms, thermistors);
            },
            ph_result_cells);
    };
}

PassJob ta_pass_job(std::string path, records::TaParams params, TaThermistors thermistors) {
    return [=](const PassControl& control) {
        RawHeader header;
        header.chemistry = records::ChemistryType::ta;
        header.ta = params;
        header.thermistors = thermistors;
        return single_file_pass<TaEngine>(
            pass_input(path, header), chemistry_entry(ChemistryChoice::ta), control,
            [&](TaEngine& engine, const RawRow& row) {
                return engine.feed(params, row, thermistors);
            },
            ta_result_cells);
    };
}

PassJob dic_pass_job(std::string path, records::DicParams params,
                     records::ThermistorConfig thermistor0) {
    return [=](const PassControl& control) {
        RawHeader header;
        header.chemistry = records::ChemistryType::dic;
        header.dic = params;
        header.thermistors[0] = thermistor0;
        return single_file_pass<DicEngine>(
            pass_input(path, header), chemistry_entry(ChemistryChoice::dic), control,
            [&](DicEngine& engine, const RawRow& row) {
                return engine.feed(params, row, thermistor0);
            },
            dic_result_cells);
    };
}

}  // namespace kelpira::processing
