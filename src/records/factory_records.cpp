// Packing of the FRAM and NVRAM factory records.
#include "records/factory_records.hpp"

#include "common/bytes.hpp"
#include "link/board_commands.hpp"

namespace kelpira::records {

static_assert(FramSettings::size == link::kFramSettingsSize);
static_assert(NvramSettings::size == link::kNvramSettingsSize);

FramSettings decode_fram_settings(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    FramSettings f;
    f.layout = r.u8();
    f.board_serial_number = r.u8();
    r.bytes(f.reserved2);
    f.pump_stroke_meter = r.u32();
    return f;
}

std::array<std::uint8_t, FramSettings::size> encode(const FramSettings& f) {
    std::array<std::uint8_t, FramSettings::size> out{};
    common::ByteWriter w(out);
    w.u8(f.layout);
    w.u8(f.board_serial_number);
    w.bytes(f.reserved2);
    w.u32(f.pump_stroke_meter);
    return out;
}

NvramSettings decode_nvram_settings(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    NvramSettings n;
    n.reserved0 = r.u8();
    n.driver_board_serial_number = r.u8();
    r.bytes(n.reserved2);
    return n;
}

std::array<std::uint8_t, NvramSettings::size> encode(const NvramSettings& n) {
    std::array<std::uint8_t, NvramSettings::size> out{};
    common::ByteWriter w(out);
    w.u8(n.reserved0);
    w.u8(n.driver_board_serial_number);
    w.bytes(n.reserved2);
    return out;
}

}  // namespace kelpira::records
