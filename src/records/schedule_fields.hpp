// The field table of the measurement schedule. The schedule dialog shows the times with date and
// time pickers and the kind with radio buttons; its labels, the snapshots' names and rules and
// the codec are the rows'.
#pragma once

#include <array>

#include "records/clock_records.hpp"
#include "records/field_table.hpp"

namespace kelpira::records {

// The last schedule time that converts to a date: 19/01/2038 03:14:07. Later values cannot
// be shown and dates after it cannot be stored.
inline constexpr std::uint32_t kLatestScheduleTime = 2147483647;

// How a snapshot names each kind; the dialog's buttons are config/clock_texts.hpp's.
inline constexpr std::array<ListEntry, 4> kIntervalKinds{{
    {kMeasureContinuously, "Continuously"},
    {kMeasureEveryHalfHour, "Every 30 minutes"},
    {kMeasureEveryNHours, "Every N hours"},
    {kMeasureEveryNMinutes, "Every N minutes"},
}};

// How the interval count goes with the kind, and what the sensor's layout makes of the kind,
// are record rules (report/snapshot_record_rules).
inline constexpr RecordTable<MeasurementSchedule, 6> kMeasurementScheduleTable{
    link::CommandCode::GET_SCHEDULE,
    link::CommandCode::SET_SCHEDULE,
    MeasurementSchedule::size,
    {{
        field<&MeasurementSchedule::layout>({.name = "layout", .offset = 0, .reserved = true}),
        field<&MeasurementSchedule::interval_kind>({.name = "interval_kind",
                                                    .offset = 1,
                                                    .format = FieldFormat::list,
                                                    .caption = "After that, measure:",
                                                    .choices = kIntervalKinds}),
        field<&MeasurementSchedule::start_time>({.name = "start_time",
                                                 .offset = 2,
                                                 .caption = "Start measuring at:",
                                                 .low = 0,
                                                 .high = kLatestScheduleTime,
                                                 .unit = "s"}),
        field<&MeasurementSchedule::stop_enabled>({.name = "stop_enabled",
                                                   .offset = 6,
                                                   .format = FieldFormat::check,
                                                   .caption = "Enable Stop Time"}),
        field<&MeasurementSchedule::stop_time>({.name = "stop_time",
                                                .offset = 7,
                                                .caption = "Stop Measuring After:",
                                                .low = 0,
                                                .high = kLatestScheduleTime,
                                                .unit = "s"}),
        field<&MeasurementSchedule::interval_count>({.name = "interval_count", .offset = 11}),
    }},
};

static_assert(tiles(kMeasurementScheduleTable));

constexpr const auto& record_table(std::type_identity<MeasurementSchedule>) {
    return kMeasurementScheduleTable;
}

}  // namespace kelpira::records
