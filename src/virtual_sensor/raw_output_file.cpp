// Writing the emulated sensor's raw output files: the header keys per chemistry, the rows.
#include "virtual_sensor/raw_output_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdarg>
#include <cstdlib>

#include "common/number_scan.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"

namespace kelpira::virtual_sensor {

namespace {

using records::ChemistryType;

class HeaderText {
  public:
    void line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buffer[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        text_ += buffer;
        text_ += '\n';
    }
    void key(const char* name, unsigned value) { line("%%KELPIRA.CHEMISTRY.%s=%u", name, value); }
    // Nine significant digits read back as the same single-precision value.
    void real(const char* name, float value) {
        line("%%KELPIRA.CHEMISTRY.%s=%.9g", name, static_cast<double>(value));
    }
    // A concentration held in thousandths of a µM. Readers multiply the decimal by 1000 and
    // truncate, which turns "1.001" into 1000; a trailing digit far below a thousandth keeps
    // the value whole.
    void concentration(const char* name, std::uint32_t nmol) {
        char value[48];
        std::snprintf(value, sizeof value, "%" PRIu32 ".%03" PRIu32, nmol / 1000, nmol % 1000);
        if (static_cast<std::uint32_t>(common::scan_f64(value).value * 1000.0) != nmol) {
            std::snprintf(value, sizeof value, "%" PRIu32 ".%03" PRIu32 "0001", nmol / 1000,
                          nmol % 1000);
        }
        line("%%KELPIRA.CHEMISTRY.%s=%s", name, value);
    }
    void thermistor(unsigned index, const records::ThermistorConfig& t) {
        line("%%KELPIRA.CHEMISTRY.THERMISTOR_INPUT_CHANNEL.%u=%u", index, t.input_channel);
        const float coefficients[] = {t.a3, t.a2, t.a1, t.a0};
        const char letters[] = "ABCD";
        for (int i = 0; i < 4; ++i) {
            line("%%KELPIRA.CHEMISTRY.THERMISTOR_CAL_%c.%u=%.9g", letters[i], index,
                 static_cast<double>(coefficients[i]));
        }
    }
    std::string take() { return std::move(text_); }

  private:
    std::string text_;
};

void nutrient_keys(HeaderText& h, const records::NutrientParams& p) {
    h.key("SENSOR_VERSION", p.sensor_version);
    h.key("MEASUREMENT_CHANNEL_MEDIUM", p.measure_medium);
    h.key("MEASUREMENT_CHANNEL_SHORT", p.measure_short);
    h.key("MEASUREMENT_CHANNEL_LONG", p.measure_long);
    h.key("MONITORING_CHANNEL_MEDIUM", p.monitor_medium);
    h.key("MONITORING_CHANNEL_SHORT", p.monitor_short);
    h.key("MONITORING_CHANNEL_LONG", p.monitor_long);
    h.key("OUTPUT_CHANNEL_SELECTION", p.output_channel);
    h.key("SAMPLE_INTAKE_STATE", p.sample_intake_state);
    h.key("SAMPLE_MEASUREMENT_STATE", p.sample_measurement_state);
    h.key("BLANK_MEASUREMENT_STATE", p.blank_measurement_state);
    h.key("STANDARD1_MEASUREMENT_STATE", p.standard1_state);
    h.key("STANDARD2_MEASUREMENT_STATE", p.standard2_state);
    h.concentration("STANDARD1_CONCENTRATION", p.standard1_nmol);
    h.concentration("STANDARD2_CONCENTRATION", p.standard2_nmol);
    h.key("STANDARD_ADJUSTMENT", p.standard_adjustment);
    h.key("PROCESSING_TRIGGER", p.processing_trigger);
    h.key("ENABLE_OPTICAL_CORRECTION", p.optical_correction);
    h.key("OC_SAMPLE_MEASUREMENT_STATE", p.optical_sample_state);
    h.key("OC_BLANK_MEASUREMENT_STATE", p.optical_blank_state);
}

void ph_keys(HeaderText& h, const records::PhParams& p, const RawHeaderSource& s) {
    h.key("SENSOR_VERSION", p.sensor_version);
    h.key("SAMPLE_INTERVAL", static_cast<unsigned>(s.sample_interval_ms));
    h.key("INPUT_CHANNEL_434", p.input_434);
    h.key("INPUT_CHANNEL_578", p.input_578);
    h.key("SAMPLE_INTAKE_STATE", p.sample_intake_state);
    h.key("SAMPLE_MEASUREMENT_STATE", p.sample_measurement_state);
    h.key("BLANK_START_OFFSET", p.blank_start_s);
    h.key("BLANK_END_OFFSET", p.blank_end_s);
    h.real("ABSORBANCE_MIN_434", p.absorbance_min_434);
    h.real("ABSORBANCE_MAX_578", p.absorbance_max_578);
    h.real("DPH_BY_DT", p.dph_dt);
    h.real("R_ADJUSTMENT_SCALE", p.r_scale);
    h.real("R_ADJUSTMENT_OFFSET", p.r_offset);
    h.real("T1_ADJUSTMENT_SCALE", p.t1_scale);
    h.real("T2_ADJUSTMENT_SCALE", p.t2_scale);
    h.thermistor(0, s.thermistors[0]);
    h.thermistor(1, s.thermistors[1]);
}

void ta_keys(HeaderText& h, const records::TaParams& p, const RawHeaderSource& s) {
    h.key("SENSOR_VERSION", p.sensor_version);
    h.key("MEASUREMENT_CHANNEL", p.measurement_channel);
    h.key("MONITORING_CHANNEL_LED1", p.monitor_led1);
    h.key("MONITORING_CHANNEL_LED2", p.monitor_led2);
    h.key("SAMPLE_INTAKE_STATE", p.sample_intake_state);
    h.key("BLANK_MEASUREMENT_STATE_LED1", p.blank_led1_state);
    h.key("BLANK_MEASUREMENT_STATE_LED2", p.blank_led2_state);
    h.key("SAMPLE_MEASUREMENT_STATE_LED1", p.sample_led1_state);
    h.key("SAMPLE_MEASUREMENT_STATE_LED2", p.sample_led2_state);
    h.key("PROCESSING_TRIGGER", p.processing_trigger);
    h.real("CT", p.temperature_coefficient);
    h.real("ACID_MOLARITY", p.titrant_molarity);
    h.real("pKa", p.pka);
    h.real("e1", p.e1);
    h.real("e2", p.e2);
    h.real("e3", p.e3);
    h.thermistor(0, s.thermistors[0]);
    h.thermistor(1, s.thermistors[1]);
}

void dic_keys(HeaderText& h, const records::DicParams& p, const RawHeaderSource& s) {
    h.key("SENSOR_VERSION", p.sensor_version);
    for (unsigned k = 0; k < p.inlet.size(); ++k) {
        const auto& in = p.inlet[k];
        h.line("%%KELPIRA.CHEMISTRY.INLET.%u.TYPE=%u", k, in.type);
        h.line("%%KELPIRA.CHEMISTRY.INLET.%u.INTAKE_STATE=%u", k, in.intake_state);
        h.line("%%KELPIRA.CHEMISTRY.INLET.%u.MEASUREMENT_STATE=%u", k, in.measurement_state);
        h.line("%%KELPIRA.CHEMISTRY.INLET.%u.CRM_VALUE=%.9g", k,
               static_cast<double>(in.crm_umol_kg));
    }
    h.thermistor(0, s.thermistors[0]);
}

double volts(std::uint16_t counts) {
    return counts * 5.0 / 65536.0;
}

}  // namespace

std::string raw_file_header(const RawHeaderSource& s) {
    HeaderText h;
    h.line("%%KELPIRA.HEADER_START");
    h.line("%%KELPIRA.CORE.SENSOR_NAME=%.20s", s.sensor_name.c_str());
    h.key("TYPE", records::code_of(s.chemistry));
    const auto* d = records::find_chemistry(s.chemistry);
    if (d != nullptr && s.params.size() >= d->record_length) {
        switch (d->page) {
            case records::ChemistryPage::nutrient:
                nutrient_keys(h, records::decode_nutrient_params(s.params));
                break;
            case records::ChemistryPage::ph:
                ph_keys(h, records::decode_ph_params(s.params), s);
                break;
            case records::ChemistryPage::ta:
                ta_keys(h, records::decode_ta_params(s.params), s);
                break;
            case records::ChemistryPage::dic:
                dic_keys(h, records::decode_dic_params(s.params), s);
                break;
            case records::ChemistryPage::generic:
            case records::ChemistryPage::ammonia:
                break;
        }
    }
    h.line("%%KELPIRA.HEADER_END");
    h.line(
        "%%Counter,State,Ch 0,Ch 1,Ch 2,Ch 3,Ch 4,Ch 5,Ch 6,Ch 7,Temp (C),Voltage (V),Hall (I),"
        "Hall (W),Sensor Timestamp,Platform Salinity (PSU),Platform Temp (C),"
        "Platform DO (ml/l),Platform Depth (m),Platform Timestamp");
    return h.take();
}

std::string raw_file_row(const records::LiveSample& s) {
    const auto& c = s.channel;
    char row[512];
    std::snprintf(row, sizeof row,
                  "%" PRIu32 ",%u,%.5f,%.5f,%.5f,%.5f,%.5f,%.5f,%.5f,%.5f,%.3f,%.3f,%u,%u,%" PRIu32
                  ",%.3f,%.3f,%.3f,%.3f,%" PRIu32 "\n",
                  s.counter, s.state, volts(c[0]), volts(c[1]), volts(c[2]), volts(c[3]),
                  volts(c[4]), volts(c[5]), volts(c[6]), volts(c[7]), s.temperature_mc / 1000.0,
                  s.voltage_mv / 1000.0, s.hall_i, s.hall_w, s.sensor_time,
                  static_cast<double>(s.platform_salinity),
                  static_cast<double>(s.platform_temperature), static_cast<double>(s.platform_do),
                  static_cast<double>(s.platform_depth), s.platform_time);
    return row;
}

std::string raw_file_name(std::uint32_t run) {
    char name[16];
    std::snprintf(name, sizeof name, "R%07" PRIu32 ".CSV", run % 10000000);
    return name;
}

std::uint32_t highest_raw_file_number(const std::filesystem::path& folder) {
    std::uint32_t highest = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != 12 || name[0] != 'R' || name.compare(8, 4, ".CSV") != 0 ||
            name.find_first_not_of("0123456789", 1) != 8) {
            continue;
        }
        highest = std::max(highest, common::scan_u32(name, 1).value);
    }
    return highest;
}

RawFileWriter::RawFileWriter(const std::filesystem::path& folder, std::uint32_t run,
                             const std::string& header)
    : run_(run) {
    // Bounded: a folder full of taken names leaves the run without a file.
    for (int attempt = 0; attempt < 1000; ++attempt, ++run_) {
        path_ = folder / raw_file_name(run_);
        const int fd =
            ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd >= 0) {
            file_.reset(::fdopen(fd, "w"));
            if (!file_) {
                ::close(fd);
            }
        }
        break;
    }
    append(header);
    flush();
}

void RawFileWriter::append(const std::string& row) {
    if (file_ && std::fwrite(row.data(), 1, row.size(), file_.get()) != row.size()) {
        file_.reset();
    }
}

void RawFileWriter::flush() {
    if (file_ && std::fflush(file_.get()) != 0) {
        file_.reset();
    }
}

}  // namespace kelpira::virtual_sensor
