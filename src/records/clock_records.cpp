// Packing of the clock, schedule and next-measurement records.
#include "records/clock_records.hpp"

#include "common/bytes.hpp"
#include "records/schedule_fields.hpp"

namespace kelpira::records {

RtcTime decode_rtc_time(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    RtcTime t;
    t.reserved0 = r.u8();
    t.year = r.u16();
    t.month = r.u8();
    t.day = r.u8();
    t.hour = r.u8();
    t.minute = r.u8();
    t.second = r.u8();
    return t;
}

std::array<std::uint8_t, RtcTime::size> encode(const RtcTime& t) {
    std::array<std::uint8_t, RtcTime::size> out{};
    common::ByteWriter w(out);
    w.u8(t.reserved0);
    w.u16(t.year);
    w.u8(t.month);
    w.u8(t.day);
    w.u8(t.hour);
    w.u8(t.minute);
    w.u8(t.second);
    return out;
}

MeasurementSchedule decode_measurement_schedule(std::span<const std::uint8_t> data) {
    return decode_record<MeasurementSchedule>(data);
}

std::array<std::uint8_t, MeasurementSchedule::size> encode(const MeasurementSchedule& s) {
    return encode_record(s);
}

NextMeasurement decode_next_measurement(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    NextMeasurement n;
    n.sensor_time = r.u32();
    n.next_time = r.u32();
    n.stop_reached = r.u8();
    return n;
}

std::array<std::uint8_t, NextMeasurement::size> encode(const NextMeasurement& n) {
    std::array<std::uint8_t, NextMeasurement::size> out{};
    common::ByteWriter w(out);
    w.u32(n.sensor_time);
    w.u32(n.next_time);
    w.u8(n.stop_reached);
    return out;
}

}  // namespace kelpira::records
