// A NetCDF-4 file of processed results, written through the netCDF C library: a CF
// discrete-sampling-geometry time series (featureType timeSeries, indexed ragged array) with
// ACDD discovery attributes. Results are added in the order of the CSV table and written in
// blocks, so a run of any length holds only a block at once.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "processing/netcdf_input.hpp"
#include "processing/result_quality.hpp"

namespace kelpira::processing {

class NetcdfWriter {
  public:
    // Creates `path` (an existing file is replaced) and defines the variables for the results
    // of `description`'s inputs. Nothing, with `error` set, when the library refuses.
    static std::unique_ptr<NetcdfWriter> create(const std::string& path,
                                                NetcdfDescription description, std::string& error);

    NetcdfWriter(const NetcdfWriter&) = delete;
    NetcdfWriter& operator=(const NetcdfWriter&) = delete;
    // Closes the file if `finish` was not called; the file is then incomplete.
    ~NetcdfWriter();

    // One result of input `input` (an index into the description's inputs), after those added
    // before, with its quality flags when the description has parameters (one QualityFlags
    // per series of the chemistry). False once writing failed; `error()` says why.
    bool add(std::uint32_t input, const ResultRecord& record,
             std::span<const QualityFlags> flags = {});

    // Records why input `input` gave no results (it failed half-way): the file lists it.
    void fail_input(std::uint32_t input, const std::string& why);

    // Writes what is left, the sensors, the inputs and the global attributes, and closes the
    // file. False when any of it failed.
    bool finish();

    const std::string& error() const;
    // Once `finish` succeeded: what keeps the file from being complete (a sensor without a
    // position, results off the track), for the user to read.
    const std::vector<std::string>& warnings() const;

    struct State;

  private:
    explicit NetcdfWriter(std::unique_ptr<State> state);
    bool flush();

    std::unique_ptr<State> state_;
    std::size_t rows_written_ = 0;
    std::size_t pending_rows_ = 0;
};

// Writes `rows` and the description to `path` through the safe writer (a temporary file beside
// it, renamed once complete). False, with `error` set when there is a reason to give, when the
// file could not be written; an existing file is then left as it was. `warnings`, when given,
// receives the writer's warnings.
bool write_netcdf_file(const std::string& path, const NetcdfDescription& description,
                       std::span<const NetcdfRow> rows, std::string& error,
                       std::vector<std::string>* warnings = nullptr);

}  // namespace kelpira::processing
