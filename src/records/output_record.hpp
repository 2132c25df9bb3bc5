// The 53-byte processed result the sensor stores per measurement, read back one at a time
// with READ_OUTPUT_RECORD.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "records/platform_records.hpp"

namespace kelpira::records {

// Codes of `validity` that have a text (those of `platform_direction` are platform_records'
// kDirection*); any other reads "unknown".
constexpr std::uint8_t kValidityGood = 1;
constexpr std::uint8_t kValidityBad = 2;

struct OutputRecord {
    static constexpr std::size_t size = 53;

    std::uint8_t reserved0 = 0;                // carried as read
    std::uint16_t dive_number = 0;             // the measurement state for DIC
    std::uint32_t sensor_time = 0;             // seconds since 1970-01-01 UTC
    std::uint32_t platform_time = 0;           // seconds since 1970-01-01 UTC
    float platform_salinity = 0;               // PSU
    float platform_temperature = 0;            // degrees Celsius
    float platform_depth = 0;                  // metres
    double value = 0;                          // the chemistry's result
    std::array<std::uint8_t, 8> reserved31{};  // carried as read
    std::uint8_t validity = 0;
    std::uint8_t platform_direction = 0;
    float p1 = 0;  // the chemistry's three extra values (channel results, absorbances, ...)
    float p2 = 0;
    float p3 = 0;

    bool operator==(const OutputRecord&) const = default;
};

// A field that short input does not cover whole reads as zero.
OutputRecord decode_output_record(std::span<const std::uint8_t> data);
std::array<std::uint8_t, OutputRecord::size> encode(const OutputRecord& r);

}  // namespace kelpira::records
