// An emulated sensor with a link to it, and the pieces of a report the tests look at.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "report/config_report.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::report::testing {

using Lines = std::vector<std::string>;

inline const std::string kSeparator(72, '=');

// The lines of a section: those after the title's separator up to the next separator.
inline Lines section_of(const Lines& report, const std::string& title) {
    const auto title_at = std::find(report.begin(), report.end(), title);
    if (title_at == report.end() || title_at + 1 == report.end()) {
        ADD_FAILURE() << "no section " << title;
        return {};
    }
    const auto end = std::find(title_at + 2, report.end(), kSeparator);
    return {title_at + 2, end};
}

class ReportFixture : public virtual_sensor::testing::SensorFixture {
  protected:
    ConfigReport report() {
        return build_config_report(link, virtual_sensor::testing::kStartSeconds);
    }
    Lines section(const std::string& title) { return section_of(report().lines, title); }
};

}  // namespace kelpira::report::testing
