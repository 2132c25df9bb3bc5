// The raw output files the emulated sensor writes to its storage: the key=value header with
// the chemistry and its processing parameters, the column line, and one row per sample.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "records/chemistry_type.hpp"
#include "records/live_sample.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::virtual_sensor {

// What the header of a file records, as the sensor holds it when the run starts.
struct RawHeaderSource {
    std::string sensor_name;
    records::ChemistryType chemistry = records::ChemistryType::generic;
    std::uint32_t sample_interval_ms = 1000;
    std::span<const std::uint8_t> params;  // the chemistry's processing-parameter record
    std::array<records::ThermistorConfig, 2> thermistors{};
};

// The header lines and the column line, each ending in a line feed.
std::string raw_file_header(const RawHeaderSource& source);

// One data row of a sample, 20 values and a line feed. The channels are written in volts.
std::string raw_file_row(const records::LiveSample& sample);

// "R0000001.CSV" for run 1: the name GET_OUTPUT_FILE_NAME reports for the run.
std::string raw_file_name(std::uint32_t run);

// The run number of the newest raw output file in `folder` (7 for "R0000007.CSV"); 0 when
// there is none.
std::uint32_t highest_raw_file_number(const std::filesystem::path& folder);

// A file of one run, appended to sample by sample. A file that cannot be written is given
// up; the run goes on, as the sensor's does when its storage is full.
class RawFileWriter {
  public:
    // Creates the file of run `run` in `folder` and writes its header. A name already taken (a
    // file of an earlier session, or of another sensor on the same storage) is never opened,
    // nor is a link followed: the next free run number is used instead, and run() tells it.
    RawFileWriter(const std::filesystem::path& folder, std::uint32_t run,
                  const std::string& header);

    void append(const std::string& row);
    // Hands what was appended to the system, so a reader sees whole rows.
    void flush();
    bool ok() const { return file_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }
    std::uint32_t run() const { return run_; }

  private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::filesystem::path path_;
    std::uint32_t run_;
    std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace kelpira::virtual_sensor
