// Packing of the diagnostics, restart log and task records.
#include "records/diagnostics_records.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

DiagnosticsEntry decode_diagnostics_entry(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    DiagnosticsEntry e;
    e.reserved0 = r.u8();
    e.counter = r.u32();
    e.function = r.text(DiagnosticsEntry::kFunctionWidth);
    e.line = r.i32();
    e.task_id = r.u8();
    e.severity = r.u8();
    e.message = r.text(DiagnosticsEntry::kMessageWidth);
    return e;
}

std::array<std::uint8_t, DiagnosticsEntry::size> encode(const DiagnosticsEntry& e) {
    std::array<std::uint8_t, DiagnosticsEntry::size> out{};
    common::ByteWriter w(out);
    w.u8(e.reserved0);
    w.u32(e.counter);
    w.text(e.function, DiagnosticsEntry::kFunctionWidth);
    w.i32(e.line);
    w.u8(e.task_id);
    w.u8(e.severity);
    w.text(e.message, DiagnosticsEntry::kMessageWidth);
    return out;
}

RestartLogEntry decode_restart_log_entry(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    RestartLogEntry e;
    e.reserved0 = r.u8();
    e.usb_connected = r.u8();
    e.reset_cause = r.u16();
    e.supply_decivolts = r.u16();
    e.counter = r.u32();
    e.rtc_time = r.u32();
    return e;
}

std::array<std::uint8_t, RestartLogEntry::size> encode(const RestartLogEntry& e) {
    std::array<std::uint8_t, RestartLogEntry::size> out{};
    common::ByteWriter w(out);
    w.u8(e.reserved0);
    w.u8(e.usb_connected);
    w.u16(e.reset_cause);
    w.u16(e.supply_decivolts);
    w.u32(e.counter);
    w.u32(e.rtc_time);
    return out;
}

TaskDetails decode_task_details(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    TaskDetails t;
    t.reserved0 = r.u8();
    t.name = r.text(TaskDetails::kNameWidth);
    t.stack_start = r.u32();
    t.stack_end = r.u32();
    t.stack_top = r.u32();
    t.active = r.u8();
    t.log_filters = r.u8();
    return t;
}

std::array<std::uint8_t, TaskDetails::size> encode(const TaskDetails& t) {
    std::array<std::uint8_t, TaskDetails::size> out{};
    common::ByteWriter w(out);
    w.u8(t.reserved0);
    w.text(t.name, TaskDetails::kNameWidth);
    w.u32(t.stack_start);
    w.u32(t.stack_end);
    w.u32(t.stack_top);
    w.u8(t.active);
    w.u8(t.log_filters);
    return out;
}

TaskFlags decode_task_flags(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    TaskFlags f;
    r.bytes(f.log_filters);
    return f;
}

std::array<std::uint8_t, TaskFlags::size> encode(const TaskFlags& f) {
    std::array<std::uint8_t, TaskFlags::size> out{};  // bytes 17..25 stay 0
    common::ByteWriter w(out);
    w.bytes(f.log_filters);
    return out;
}

}  // namespace kelpira::records
