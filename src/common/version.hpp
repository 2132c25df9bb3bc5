// The version every program shows. CMake generates its definition (version.cpp in the build
// tree) from project(VERSION) and the release letter: change it in CMakeLists.txt.
#pragma once

#include <string_view>

namespace kelpira::common {

extern const std::string_view kProgramVersion;

}  // namespace kelpira::common
