// The processing parameters of a raw file's header as the NetCDF results file records them:
// one named number per header key, holding the value the processing used.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "processing/batch_options.hpp"
#include "processing/raw_header.hpp"

namespace kelpira::processing {

// What one value of a coded parameter means, as a CF flag meaning (one word).
struct ParameterCode {
    int value = 0;
    std::string_view meaning;
};

struct ProcessingParameter {
    std::string key;  // the header key, "KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION"
    // The key in lower case after "KELPIRA.CHEMISTRY.", dots as "_": an attribute or variable
    // name ("standard1_concentration", "thermistor_cal_a_0").
    std::string name;
    double value = 0;
    bool integer = false;  // a count, channel, state or code rather than a real number
    // A code (chemistry type, output channel, inlet type): what each value means; empty for a
    // number.
    std::span<const ParameterCode> codes;

    // The codes follow from the key.
    bool operator==(const ProcessingParameter& o) const {
        return key == o.key && name == o.name && value == o.value && integer == o.integer;
    }
};

// Every parameter the chemistry's processing reads from a header, in the order of the header
// keys. Concentrations of the nutrient standards are in µM, as the header writes them.
std::vector<ProcessingParameter> processing_parameters(ChemistryChoice chemistry,
                                                       const RawHeader& header);

}  // namespace kelpira::processing
