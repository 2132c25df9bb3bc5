// The rows "Configure RS232" and "Configure RS485" share: the host platform's protocol and the
// line settings, each list filled from the core's tables and forwarding the user's pick to the
// dialog's controls (config::Rs232Controls or config::Rs485Controls).
#pragma once

#include <QComboBox>
#include <QFormLayout>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <span>

#include "config/platform_lists.hpp"
#include "ui/config/platform_lists_widgets.hpp"

namespace kelpira::ui {

struct SerialLineRows {
    QComboBox* platform = nullptr;
    QComboBox* baud = nullptr;
    QComboBox* parity = nullptr;
    QComboBox* data_bits = nullptr;
    QComboBox* stop_bits = nullptr;
};

// Adds the five rows to `form`; a pick in a line list changes `controls`, a pick in
// "Platform" calls `platform_chosen` with the protocol's value.
template <typename Controls>
SerialLineRows add_serial_line_rows(QWidget* dialog, QFormLayout* form, Controls& controls,
                                    std::span<const records::ListEntry> baud_rates,
                                    std::function<void(std::uint32_t)> platform_chosen) {
    const auto list = [dialog, form](const char* label) {
        auto* box = new QComboBox(dialog);
        form->addRow(QWidget::tr(label), box);
        return box;
    };
    SerialLineRows rows{list("Platform"), list("Baud Rate"), list("Parity"), list("Data Bits"),
                        list("Stop Bits")};
    fill_list(rows.baud, baud_rates);
    fill_list(rows.parity, records::kParities);
    fill_list(rows.data_bits, records::kDataBits);
    fill_list(rows.stop_bits, records::kStopBits);
    QObject::connect(rows.platform, &QComboBox::activated, dialog,
                     [box = rows.platform, chosen = std::move(platform_chosen)](int index) {
                         chosen(value_at(box, index));
                     });
    QObject::connect(
        rows.baud, &QComboBox::activated, dialog,
        [&controls, box = rows.baud](int index) { controls.baud = value_at(box, index); });
    const auto byte_list = [dialog](QComboBox* box, std::uint8_t& field) {
        QObject::connect(box, &QComboBox::activated, dialog, [box, &field](int index) {
            field = static_cast<std::uint8_t>(value_at(box, index));
        });
    };
    byte_list(rows.parity, controls.parity);
    byte_list(rows.data_bits, controls.data_bits);
    byte_list(rows.stop_bits, controls.stop_bits);
    return rows;
}

template <typename Controls>
void show_serial_line(const SerialLineRows& rows, const Controls& c) {
    fill_list(rows.platform, c.protocols);
    select_value(rows.platform, c.protocol);
    select_value(rows.baud, c.baud);
    select_value(rows.parity, c.parity);
    select_value(rows.data_bits, c.data_bits);
    select_value(rows.stop_bits, c.stop_bits);
}

}  // namespace kelpira::ui
